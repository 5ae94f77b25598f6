#include "cli/messages.h"

#include <algorithm>

#include "core/placeholders.h"

namespace cli {

std::wstring Text(Lang lang, Msg id, std::initializer_list<std::wstring> args) {
    std::wstring pattern = core::CatalogueText(lang, static_cast<int>(id));
    pattern.erase(std::remove(pattern.begin(), pattern.end(), L'\r'), pattern.end());
    return core::FillPlaceholders(pattern.c_str(), args);
}

}  // namespace cli
