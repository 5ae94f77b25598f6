#include "core/placeholders.h"

#include <cstddef>
#include <iterator>

namespace core {

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
