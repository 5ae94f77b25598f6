#include "core/devicelibrary.h"

#include <iterator>

namespace core {

std::wstring MissingLibraryText(bool japanese, const MissingLibrary& missing) {
    const wchar_t* pattern = nullptr;
    if (missing.function.empty())
        pattern = japanese
                      ? L"デバイスライブラリ %1 が見つかりません。\n%1 をプログラムのフォルダ (%2) に置いてください。"
                      : L"The device library %1 cannot be found.\nPut %1 in the program's folder (%2).";
    else
        pattern = japanese
                      ? L"デバイスライブラリ %1 に関数 %3 がありません。\n"
                        L"正しい %1 をプログラムのフォルダ (%2) に置いてください。"
                      : L"The device library %1 has no function %3.\nPut the right %1 in the program's folder (%2).";
    return FillPlaceholders(pattern, {missing.library, missing.folder, missing.function});
}

std::wstring FillPlaceholders(const wchar_t* pattern, std::initializer_list<std::wstring> args) {
    std::wstring text;
    for (const wchar_t* p = pattern; *p != L'\0'; ++p) {
        size_t index = p[1] >= L'1' && p[1] <= L'9' ? static_cast<size_t>(p[1] - L'1') : args.size();
        if (*p == L'%' && index < args.size()) {
            text += std::data(args)[index];
            ++p;
        } else {
            text += *p;
        }
    }
    return text;
}

}  // namespace core
