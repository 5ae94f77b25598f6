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
