#include "core/utf8.h"

namespace core {

size_t Utf8SequenceLength(const std::string& text, size_t at) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;  // no overlong forms
        if (lead == 0xED)
            high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() - at < length || byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (size_t k = 2; k < length; ++k) {
        if (byte(at + k) < 0x80 || byte(at + k) > 0xBF)
            return 0;
    }
    return length;
}

namespace {

void Append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

void AppendWide(std::wstring& out, char32_t c) {
    if (c >= 0x10000 && sizeof(wchar_t) == 2) {
        out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        out += static_cast<wchar_t>(c);
    }
}

// The character of the sequence at `at` and its length; 0 when none starts there.
size_t Decode(const std::string& text, size_t at, char32_t& c) {
    const size_t length = Utf8SequenceLength(text, at);
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    if (length == 0)
        return 0;
    c = length == 1 ? byte(at) : byte(at) & (0xFFu >> (length + 1));
    for (size_t i = 1; i < length; ++i)
        c = (c << 6) | (byte(at + i) & 0x3F);
    return length;
}

}  // namespace

std::wstring FromUtf8(const std::string& text) {
    std::wstring out;
    for (size_t at = 0; at < text.size();) {
        char32_t c = 0;
        size_t length = Decode(text, at, c);
        AppendWide(out, length == 0 ? 0xFFFD : c);
        at += length == 0 ? 1 : length;
    }
    return out;
}

std::string ToUtf8(const std::wstring& text) {
    constexpr char32_t kReplacement = 0xFFFD;
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(static_cast<char32_t>(text[i + 1]))) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c) || c > 0x10FFFF) {
            c = kReplacement;
        }
        Append(out, c);
    }
    return out;
}

}  // namespace core
