#include "framework/language.h"

#include "framework/module.h"

namespace fw {

core::Lang GetUiLang() {
    std::wstring chosen = GetEnvironmentString(L"TOLKA_LANG");
    if (chosen == L"ja")
        return core::Lang::Ja;
    if (chosen == L"en")
        return core::Lang::En;
    return PRIMARYLANGID(GetThreadUILanguage()) == LANG_JAPANESE ? core::Lang::Ja : core::Lang::En;
}

LANGID ResourceLanguage(core::Lang lang) {
    return lang == core::Lang::Ja ? MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)
                                  : MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
}

void ApplyUiLanguageToThread() {
    SetThreadUILanguage(ResourceLanguage(GetUiLang()));
}

HRSRC FindUiResource(LPCWSTR type, LPCWSTR name, HMODULE module) {
    if (module == nullptr)
        module = GetModuleHandleW(nullptr);
    if (HRSRC found = FindResourceExW(module, type, name, ResourceLanguage(GetUiLang())))
        return found;
    return FindResourceW(module, name, type);
}

const void* LockUiResource(LPCWSTR type, LPCWSTR name, HMODULE module) {
    if (module == nullptr)
        module = GetModuleHandleW(nullptr);
    HRSRC found = FindUiResource(type, name, module);
    if (found == nullptr)
        return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    return loaded ? LockResource(loaded) : nullptr;
}

}  // namespace fw
