#include "core/catalogue_table.h"

#include <cstring>
#include <cwchar>

#include "core/utf8.h"

namespace core {

std::wstring FindCatalogueText(const CatalogueTable& table, int id) {
    const char* utf8 = table.utf8;
    const wchar_t* wide = table.wide;
    for (std::size_t i = 0; i < table.count; ++i) {
        if (table.ids[i] == id)
            return utf8 != nullptr ? FromUtf8(utf8) : std::wstring(wide);
        if (utf8 != nullptr)
            utf8 += std::strlen(utf8) + 1;
        else
            wide += std::wcslen(wide) + 1;
    }
    return L"";
}

}  // namespace core
