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
#include "framework/test_support.h"

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

inline const void* ResourceIn(LPCWSTR type, UINT id, core::Lang lang) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), fw::ResourceLanguage(lang));
    return found ? LockResource(LoadResource(module, found)) : nullptr;
}

// The shape of a resource that both languages must share: the strings present in a string
// block, the control ids of a dialog in template order, the command ids of a menu in order.
inline std::vector<int> Shape(LPCWSTR type, UINT id, core::Lang lang) {
    std::vector<int> shape;
    const void* data = ResourceIn(type, id, lang);
    if (data == nullptr)
        return shape;
    if (type == RT_STRING) {
        const auto* text = static_cast<const WCHAR*>(data);
        for (int i = 0; i < 16; text += 1 + *text, ++i)
            shape.push_back(*text != 0);
    } else if (type == RT_DIALOG) {
        HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), static_cast<LPCDLGTEMPLATEW>(data), nullptr,
                                              InertDialogProc, 0);
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

// Every dialog, menu and string block of the program is there in Japanese and in English,
// with the same controls, commands and strings.
inline void ExpectEveryTextInBothLanguages() {
    const LANGID both[] = {fw::ResourceLanguage(core::Lang::Ja), fw::ResourceLanguage(core::Lang::En)};
    for (LPCWSTR type : {RT_DIALOG, RT_MENU, RT_STRING}) {
        std::vector<UINT> ids;
        EnumResourceNamesW(GetModuleHandleW(nullptr), type, CollectName, reinterpret_cast<LONG_PTR>(&ids));
        for (UINT id : ids) {
            SCOPED_TRACE("resource type " + std::to_string(reinterpret_cast<UINT_PTR>(type)) + " id " +
                         std::to_string(type == RT_STRING ? (id - 1) * 16 : id));
            std::vector<LANGID> langs;
            EnumResourceLanguagesW(GetModuleHandleW(nullptr), type, MAKEINTRESOURCEW(id), CollectLanguage,
                                   reinterpret_cast<LONG_PTR>(&langs));
            EXPECT_EQ(langs.size(), 2u);
            for (LANGID lang : both)
                EXPECT_NE(std::find(langs.begin(), langs.end(), lang), langs.end()) << std::hex << lang;
            std::vector<int> ja = Shape(type, id, core::Lang::Ja);
            EXPECT_FALSE(ja.empty());
            EXPECT_EQ(ja, Shape(type, id, core::Lang::En));
        }
    }
}

inline bool ClassIs(HWND control, const wchar_t* name) {
    wchar_t found[16] = {};
    GetClassNameW(control, found, 16);
    return lstrcmpiW(found, name) == 0;
}

inline bool HasCheckMark(HWND control) {
    switch (static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE)) & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return ClassIs(control, L"Button");
        default:
            return false;
    }
}

inline bool IsPushButton(HWND control) {
    const auto type = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE)) & BS_TYPEMASK;
    return ClassIs(control, L"Button") && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

// The left end of a text of that width in the room, as the control aligns it.
inline LONG AlignedLeft(HWND control, const RECT& room, LONG textWidth) {
    const auto style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
    const LONG free = room.right - room.left - textWidth;
    if (ClassIs(control, L"Static")) {
        switch (style & SS_TYPEMASK) {
            case SS_CENTER:
                return room.left + free / 2;
            case SS_RIGHT:
                return room.left + free;
            default:
                return room.left;
        }
    }
    switch (style & BS_CENTER) {
        case BS_CENTER:
            return room.left + free / 2;
        case BS_RIGHT:
            return room.left + free;
        case BS_LEFT:
            return room.left;
        default:
            return IsPushButton(control) ? room.left + free / 2 : room.left;
    }
}

// The room a control gives its own text (client coordinates) and the way it lays the text out,
// as DrawText flags; false for a control that draws no text of its own (an icon, an edit field).
inline bool TextRoomOf(HWND control, HDC dc, RECT& room, UINT& format) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    const auto style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
    GetClientRect(control, &room);
    TEXTMETRICW font{};
    GetTextMetricsW(dc, &font);
    if (lstrcmpiW(name, L"Static") == 0) {
        switch (style & SS_TYPEMASK) {
            case SS_LEFT:
            case SS_CENTER:
            case SS_RIGHT:
                format = (style & SS_CENTERIMAGE) != 0 ? DT_SINGLELINE : DT_WORDBREAK;
                break;
            case SS_LEFTNOWORDWRAP:
            case SS_SIMPLE:
                format = DT_SINGLELINE;
                break;
            default:
                return false;
        }
        format |= DT_EXPANDTABS | ((style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0u);
        return true;
    }
    if (lstrcmpiW(name, L"Button") != 0 || (style & (BS_ICON | BS_BITMAP)) != 0)
        return false;
    format = (style & BS_MULTILINE) != 0 ? DT_WORDBREAK : DT_SINGLELINE;
    if (HasCheckMark(control)) {
        // The box, then half a character before the caption.
        room.left += GetSystemMetrics(SM_CXMENUCHECK) + font.tmAveCharWidth / 2;
        return true;
    }
    switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            // The raised edge and the focus mark inside it.
            InflateRect(&room, -2 * GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
            return true;
        case BS_GROUPBOX:
            // The caption stands in the frame's top line, a character in from either side.
            format = DT_SINGLELINE;
            InflateRect(&room, -font.tmAveCharWidth, 0);
            return true;
        default:
            return false;
    }
}

// What a control's text needs laid out in the room's width, measured with the control's own
// font (the dialog's): the widest line, GetTextExtentPoint32 for a single line, and the lines'
// height.
inline SIZE TextNeeds(HDC dc, const std::wstring& text, const RECT& room, UINT format) {
    if ((format & DT_SINGLELINE) != 0) {
        std::wstring shown;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] != L'&' || (format & DT_NOPREFIX) != 0)
                shown += text[i];
            else if (i + 1 < text.size() && text[i + 1] == L'&')
                shown += text[++i];
        }
        SIZE size{};
        GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
        return size;
    }
    RECT need{0, 0, room.right - room.left, 0};
    DrawTextW(dc, text.c_str(), -1, &need, format | DT_CALCRECT);
    return {need.right - need.left, need.bottom - need.top};
}

// A dialog's child in the dialog's client coordinates.
inline RECT RectInDialog(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Every text of every dialog of the program, in both languages, fits at this screen's
// resolution: no static text, caption or button text is wider or taller than the room its
// control gives it (a single line with two dialog units to spare, for fonts a little wider than
// this one), and none comes closer than three dialog units to the frame of a group it stands
// in or to the dialog's edge.
inline void ExpectEveryTextFitsItsControl() {
    std::vector<UINT> ids;
    EnumResourceNamesW(GetModuleHandleW(nullptr), RT_DIALOG, CollectName, reinterpret_cast<LONG_PTR>(&ids));
    ASSERT_FALSE(ids.empty());
    for (core::Lang lang : {core::Lang::Ja, core::Lang::En}) {
        for (UINT id : ids) {
            const void* data = ResourceIn(RT_DIALOG, id, lang);
            ASSERT_NE(data, nullptr) << id;
            HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), static_cast<LPCDLGTEMPLATEW>(data),
                                                  nullptr, InertDialogProc, 0);
            ASSERT_NE(dlg, nullptr) << id;
            RECT lineSpare{0, 0, 2, 0}, frameGap{0, 0, 3, 0};  // dialog units
            MapDialogRect(dlg, &lineSpare);
            MapDialogRect(dlg, &frameGap);
            std::vector<RECT> frames(1);
            GetClientRect(dlg, &frames[0]);
            for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
                if (ClassIs(c, L"Button") && (GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX)
                    frames.push_back(RectInDialog(c));
            }
            for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
                const std::wstring text = Text(c);
                HDC dc = GetDC(c);
                HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(c, WM_GETFONT, 0, 0)));
                RECT room;
                UINT format = 0;
                if (!text.empty() && TextRoomOf(c, dc, room, format)) {
                    const std::string where = "dialog " + std::to_string(id) +
                                              (lang == core::Lang::Ja ? " ja" : " en") + ", control " +
                                              std::to_string(GetDlgCtrlID(c)) + ": ";
                    const SIZE need = TextNeeds(dc, text, room, format);
                    const LONG width = room.right - room.left, height = room.bottom - room.top;
                    const LONG wanted = need.cx + ((format & DT_SINGLELINE) != 0 ? lineSpare.right : 0);
                    EXPECT_LE(wanted, width) << where << width << " px wide for " << need.cx << ": " << text;
                    EXPECT_LE(need.cy, height) << where << height << " px high for " << need.cy << ": " << text;
                    // What the control draws: its text where it aligns it (a check box's box too).
                    const RECT placed = RectInDialog(c);
                    RECT ink = room;
                    OffsetRect(&ink, placed.left, placed.top);
                    if (need.cx < width) {
                        ink.left = AlignedLeft(c, ink, need.cx);
                        ink.right = ink.left + need.cx;
                    }
                    if (HasCheckMark(c))
                        ink.left = placed.left;
                    // The dialog manager rounds each coordinate on its own: a pixel less is still 3 units.
                    for (const RECT& frame : frames) {
                        RECT common;
                        if (EqualRect(&frame, &placed) || !IntersectRect(&common, &frame, &placed) ||
                            !EqualRect(&common, &placed))
                            continue;  // a frame it does not stand in
                        EXPECT_GE(ink.left - frame.left, frameGap.right - 1) << where << "left frame: " << text;
                        EXPECT_GE(frame.right - ink.right, frameGap.right - 1) << where << "right frame: " << text;
                    }
                }
                SelectObject(dc, old);
                ReleaseDC(c, dc);
            }
            DestroyWindow(dlg);
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
