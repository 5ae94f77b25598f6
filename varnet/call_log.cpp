#include "call_log.h"

#include "core/digits.h"
#include "core/utf8.h"

namespace vboard {

std::string HandleLabel(uint32_t id) {
    if (id == 0)
        return "null";
    if (id == kInvalidHandleId)
        return "invalid";
    return "h" + core::DecimalText(id);
}

std::string HexText(uint32_t value) {
    return "0x" + core::HexText(value, 4);
}

std::string EscapeText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if (size_t length = c >= 0x80 ? core::Utf8SequenceLength(text, i) : 0) {
            out.append(text, i, length);
            i += length;
            continue;
        } else {
            out += "\\x" + core::HexText(c, 2);
        }
        ++i;
    }
    return out;
}

bool IsCallLine(const std::string& line) {
    return line.compare(0, 6, "Tolka_") == 0 || line.compare(0, 5, "Varn_") == 0;
}

uint32_t CountCalls(const std::string& log) {
    uint32_t calls = 0;
    for (size_t start = 0; start < log.size();) {
        size_t end = log.find('\n', start);
        if (end == std::string::npos)
            end = log.size();
        if (IsCallLine(log.substr(start, end - start)))
            ++calls;
        start = end + 1;
    }
    return calls;
}

std::string CallLine::ResultHex32(uint32_t result) const {
    return text_ + ") = 0x" + core::HexText(result, 8);
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

std::string ProcessEntry(uint32_t processId, const std::string& program) {
    return "process: " + core::DecimalText(processId) + " " + EscapeText(program);
}

}  // namespace vboard
