// For the Windows tests of the programs' languages: choosing the UI language for a while, the
// check that every dialog, menu and string of a program exists in both languages alike, and
// the messages that a user's actions end with.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "framework/language.h"
#include "framework/module.h"
#include "framework/dialog_test_support.h"

namespace fwtest {

// While it lives, TOLKA_LANG chooses the UI language, as for a user who set it; the value the
// test program started with comes back afterwards.
class ScopedUiLang {
public:
    explicit ScopedUiLang(const wchar_t* lang) : m_before(fw::GetEnvironmentString(L"TOLKA_LANG")) {
        SetEnvironmentVariableW(L"TOLKA_LANG", lang);
    }
    ~ScopedUiLang() { SetEnvironmentVariableW(L"TOLKA_LANG", m_before.empty() ? nullptr : m_before.c_str()); }
    ScopedUiLang(const ScopedUiLang&) = delete;
    ScopedUiLang& operator=(const ScopedUiLang&) = delete;

private:
    const std::wstring m_before;
};

inline BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR ids) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<UINT>*>(ids)->push_back(static_cast<UINT>(reinterpret_cast<UINT_PTR>(name)));
    return TRUE;
}

inline BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD lang, LONG_PTR langs) {
    reinterpret_cast<std::vector<LANGID>*>(langs)->push_back(lang);
    return TRUE;
}

inline INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

inline const void* ResourceIn(HMODULE module, LPCWSTR type, UINT id, core::Lang lang) {
    HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), fw::ResourceLanguage(lang));
    return found ? LockResource(LoadResource(module, found)) : nullptr;
}

// The shape of a resource that both languages must share: the strings present in a string
// block, the control ids of a dialog in template order, the command ids of a menu in order.
inline std::vector<int> Shape(HMODULE module, LPCWSTR type, UINT id, core::Lang lang) {
    std::vector<int> shape;
    const void* data = ResourceIn(module, type, id, lang);
    if (data == nullptr)
        return shape;
    if (type == RT_STRING) {
        const auto* text = static_cast<const WCHAR*>(data);
        for (int i = 0; i < 16; text += 1 + *text, ++i)
            shape.push_back(*text != 0);
    } else if (type == RT_DIALOG) {
        HWND dlg = CreateDialogIndirectParamW(module, static_cast<LPCDLGTEMPLATEW>(data), nullptr, InertDialogProc, 0);
        for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
            shape.push_back(GetDlgCtrlID(c));
        DestroyWindow(dlg);
    } else {
        HMENU menu = LoadMenuIndirectW(data);
        std::vector<HMENU> open{menu};
        while (!open.empty()) {
            HMENU m = open.back();
            open.pop_back();
            for (int i = 0, n = GetMenuItemCount(m); i < n; ++i) {
                shape.push_back(static_cast<int>(GetMenuItemID(m, i)));
                if (HMENU sub = GetSubMenu(m, i))
                    open.push_back(sub);
            }
        }
        DestroyMenu(menu);
    }
    return shape;
}

// Every dialog, menu and string block of the program (or of the given library) is there in
// Japanese and in English, with the same controls, commands and strings.
inline void ExpectEveryTextInBothLanguages(HMODULE module = GetModuleHandleW(nullptr)) {
    const LANGID both[] = {fw::ResourceLanguage(core::Lang::Ja), fw::ResourceLanguage(core::Lang::En)};
    for (LPCWSTR type : {RT_DIALOG, RT_MENU, RT_STRING}) {
        std::vector<UINT> ids;
        EnumResourceNamesW(module, type, CollectName, reinterpret_cast<LONG_PTR>(&ids));
        for (UINT id : ids) {
            SCOPED_TRACE("resource type " + std::to_string(reinterpret_cast<UINT_PTR>(type)) + " id " +
                         std::to_string(type == RT_STRING ? (id - 1) * 16 : id));
            std::vector<LANGID> langs;
            EnumResourceLanguagesW(module, type, MAKEINTRESOURCEW(id), CollectLanguage,
                                   reinterpret_cast<LONG_PTR>(&langs));
            EXPECT_EQ(langs.size(), 2u);
            for (LANGID lang : both)
                EXPECT_NE(std::find(langs.begin(), langs.end(), lang), langs.end()) << std::hex << lang;
            std::vector<int> ja = Shape(module, type, id, core::Lang::Ja);
            EXPECT_FALSE(ja.empty());
            EXPECT_EQ(ja, Shape(module, type, id, core::Lang::En));
        }
    }
}

// How a control lays out its own text: the room it gives it (client coordinates) and DrawText's
// flags; false for a control that draws none of its own (an icon, an edit field, a frame).
inline bool TextLayoutOf(HWND control, HDC dc, RECT& room, UINT& format) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    const auto style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
    GetClientRect(control, &room);
    if (lstrcmpiW(name, L"Static") == 0) {
        const DWORD type = style & SS_TYPEMASK;
        format = (type == SS_CENTER ? DT_CENTER : 0u) | DT_EXPANDTABS |
                 ((style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0u) |
                 (type <= SS_RIGHT && (style & SS_CENTERIMAGE) == 0 ? DT_WORDBREAK : DT_SINGLELINE);
        return type <= SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
    }
    const DWORD type = style & BS_TYPEMASK;
    if (lstrcmpiW(name, L"Button") != 0 || (style & (BS_ICON | BS_BITMAP)) != 0 || type == BS_GROUPBOX)
        return false;
    format = (style & BS_MULTILINE) != 0 ? DT_WORDBREAK : DT_SINGLELINE;
    if (type <= BS_DEFPUSHBUTTON) {  // centred inside the raised edge and the focus mark
        InflateRect(&room, -2 * GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
        format |= DT_CENTER;
    } else {  // a check box or a radio button: after the box and half a character
        TEXTMETRICW font{};
        GetTextMetricsW(dc, &font);
        room.left += GetSystemMetrics(SM_CXMENUCHECK) + font.tmAveCharWidth / 2;
    }
    return type <= BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
}

// The size a text needs, laid out in the room's width with the control's own font: a single
// line measured by GetTextExtentPoint32 (without its '&' marks), wrapped text by DrawText.
inline SIZE TextNeeds(HDC dc, const std::wstring& text, const RECT& room, UINT format) {
    SIZE size{};
    if ((format & DT_SINGLELINE) != 0) {
        std::wstring shown;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == L'&' && (format & DT_NOPREFIX) == 0 && ++i == text.size())
                break;  // "&x" shows x, "&&" shows &
            shown += text[i];
        }
        GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
        return size;
    }
    RECT need{0, 0, room.right - room.left, 0};
    DrawTextW(dc, text.c_str(), -1, &need, format | DT_CALCRECT);
    return {need.right, need.bottom};
}

inline RECT RectInDialog(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Every text of every dialog of the program, in both languages, fits at this screen's
// resolution: no static text, check box caption or button text is wider or taller than the room
// its control gives it (a single line with two dialog units to spare, for a slightly wider
// font), and none comes closer than three dialog units (a pixel less: each coordinate is rounded
// on its own) to the frame of a group it stands in or to the dialog's edge.
inline void ExpectEveryTextFitsItsControl() {
    std::vector<UINT> ids;
    EnumResourceNamesW(GetModuleHandleW(nullptr), RT_DIALOG, CollectName, reinterpret_cast<LONG_PTR>(&ids));
    ASSERT_FALSE(ids.empty());
    for (core::Lang lang : {core::Lang::Ja, core::Lang::En}) {
        for (UINT id : ids) {
            HWND dlg = CreateDialogIndirectParamW(
                GetModuleHandleW(nullptr),
                static_cast<LPCDLGTEMPLATEW>(ResourceIn(GetModuleHandleW(nullptr), RT_DIALOG, id, lang)), nullptr,
                InertDialogProc, 0);
            ASSERT_NE(dlg, nullptr) << id;
            RECT spare{0, 0, 2, 0}, gap{0, 0, 3, 0};
            MapDialogRect(dlg, &spare);
            MapDialogRect(dlg, &gap);
            std::vector<RECT> frames(1);
            GetClientRect(dlg, &frames[0]);
            for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
                wchar_t name[16] = {};
                GetClassNameW(c, name, 16);
                if (lstrcmpiW(name, L"Button") == 0 && (GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX)
                    frames.push_back(RectInDialog(c));
            }
            for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
                const std::wstring text = Text(c);
                HDC dc = GetDC(c);
                HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(c, WM_GETFONT, 0, 0)));
                RECT room;
                UINT format = 0;
                if (!text.empty() && TextLayoutOf(c, dc, room, format)) {
                    SCOPED_TRACE(::testing::Message() << "dialog " << id << (lang == core::Lang::Ja ? " ja" : " en")
                                                      << ", control " << GetDlgCtrlID(c) << ": " << text);
                    const SIZE need = TextNeeds(dc, text, room, format);
                    const LONG width = room.right - room.left;
                    EXPECT_LE(need.cx + ((format & DT_SINGLELINE) != 0 ? spare.right : 0), width);
                    EXPECT_LE(need.cy, room.bottom - room.top);
                    // The ink: the text where the control aligns it, and a check box's box.
                    const RECT placed = RectInDialog(c);
                    const LONG free = std::max(0L, width - need.cx);
                    const LONG left = placed.left + room.left + ((format & DT_CENTER) != 0 ? free / 2 : 0);
                    const LONG inkLeft = room.left > 0 && (format & DT_CENTER) == 0 ? placed.left : left;
                    const LONG inkRight = left + std::min(need.cx, width);
                    for (const RECT& frame : frames) {
                        RECT common;
                        if (!EqualRect(&frame, &placed) && IntersectRect(&common, &frame, &placed) &&
                            EqualRect(&common, &placed)) {
                            EXPECT_GE(inkLeft - frame.left, gap.right - 1) << "left frame";
                            EXPECT_GE(frame.right - inkRight, gap.right - 1) << "right frame";
                        }
                    }
                }
                SelectObject(dc, old);
                ReleaseDC(c, dc);
            }
            DestroyWindow(dlg);
        }
    }
}

inline bool IsFrame(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    return lstrcmpiW(name, L"Button") == 0 && (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// Every control lies inside the dialog's client area; no two controls other than frames
// overlap, and none crosses a frame's edge: each is wholly inside a frame or wholly outside it.
inline void ExpectControlsInsideAndApart(HWND dlg) {
    RECT client;
    GetClientRect(dlg, &client);
    std::vector<HWND> controls;
    for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
        controls.push_back(c);
    for (size_t i = 0; i < controls.size(); ++i) {
        const RECT a = RectInDialog(controls[i]);
        RECT common;
        EXPECT_TRUE(IntersectRect(&common, &a, &client) && EqualRect(&common, &a)) << "control " << i + 1;
        for (size_t j = 0; j < controls.size(); ++j) {
            const RECT b = RectInDialog(controls[j]);
            if (i == j || IsFrame(controls[i]) || !IntersectRect(&common, &a, &b))
                continue;
            EXPECT_TRUE(IsFrame(controls[j]) && EqualRect(&common, &a))
                << "control " << i + 1 << " overlaps control " << j + 1;
        }
    }
}

// The text of the menu bar's item at index.
inline std::wstring MenuBarText(HWND window, int index) {
    wchar_t text[64] = {};
    GetMenuStringW(GetMenu(window), static_cast<UINT>(index), text, 64, MF_BYPOSITION);
    return text;
}

// An action of the user and the message box it ends with.
struct MessageRow {
    std::function<void()> act;
    const wchar_t* text;
    UINT type;
};

// Runs the rows in order; each action's last message box has the row's text and type.
inline void ExpectLastMessages(ScriptedUser& user, const std::vector<MessageRow>& rows) {
    for (const MessageRow& row : rows) {
        user.messages.clear();
        row.act();
        ASSERT_FALSE(user.messages.empty()) << static_cast<const void*>(row.text);
        EXPECT_EQ(user.messages.back().text, row.text);
        EXPECT_EQ(user.messages.back().type, row.type);
    }
}

}  // namespace fwtest
