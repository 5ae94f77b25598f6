// For the fuzz targets: an independent check that a text is well-formed UTF-8 on one line.
#pragma once

#include <cstddef>
#include <string>

namespace fuzzcheck {

// Well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF) without control
// characters, so it is one readable line.
inline bool IsOneLineOfUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7F)
                return false;
            ++i;
            continue;
        }
        size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        unsigned long code = c & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        const unsigned long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

}  // namespace fuzzcheck
