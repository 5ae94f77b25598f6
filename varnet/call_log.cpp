#include "call_log.h"

#include <cstdio>

namespace vboard {

std::string HandleLabel(uint32_t id) {
    if (id == 0)
        return "null";
    if (id == kInvalidHandleId)
        return "invalid";
    return "h" + std::to_string(id);
}

std::string HexText(uint32_t value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(value));
    return buf;
}

std::string EscapeText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
                break;
        }
    }
    return out;
}

std::string CallLine::ResultHex32(uint32_t result) const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(result));
    return text_ + ") = " + buf;
}

std::string MessageEntry(const std::string& utf8Text) {
    return "message: " + EscapeText(utf8Text);
}

std::string DialogEntry(const std::string& name, const std::string& details) {
    std::string entry = "dialog: " + EscapeText(name);
    if (!details.empty())
        entry += ": " + EscapeText(details);
    return entry;
}

std::string WarningEntry(const std::string& text) {
    return "warning: " + EscapeText(text);
}

}  // namespace vboard
