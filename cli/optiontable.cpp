#include "cli/optiontable.h"

#include <algorithm>
#include <map>
#include <set>

#include "core/digits.h"
#include "core/portoptions.h"
#include "core/texts.h"

namespace cli {

namespace {

constexpr core::Port kPorts[] = {core::Port::P1, core::Port::P2, core::Port::P5,
                                 core::Port::P4, core::Port::PA, core::Port::POUT};
constexpr core::PortGroup kGroups[] = {core::PortGroup::Direction, core::PortGroup::OutputData,
                                       core::PortGroup::PullUp};
constexpr unsigned kPins = 8;
constexpr size_t kLabelWidth = 8;
constexpr size_t kGroupWidth = 18;  // "7 6 5 4 3 2 1 0" and a gap

// Columns a character takes in a console: East Asian wide and full-width forms take two.
size_t DisplayWidth(const std::wstring& text) {
    size_t width = 0;
    for (wchar_t c : text) {
        bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
                    (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                    (c >= 0xFFE0 && c <= 0xFFE6);
        width += wide ? 2 : 1;
    }
    return width;
}

std::wstring Padded(const std::wstring& text, size_t width) {
    size_t used = DisplayWidth(text);
    return text + std::wstring(used < width ? width - used : 1, L' ');
}

// The option window's caption with a capital, as a heading: "Direction".
std::wstring GroupName(core::PortGroup group, core::Lang lang) {
    std::wstring name = core::CatalogueText(lang, core::PortGroupTextId(group));
    if (!name.empty() && name[0] >= L'a' && name[0] <= L'z')
        name[0] = static_cast<wchar_t>(name[0] - L'a' + L'A');
    return name;
}

// '1', '0', or '-' where the port has no such pin in the group.
wchar_t PinMark(const uint8_t* image, core::PortGroup group, core::Port port, unsigned pin) {
    const core::PortCell* cell = core::FindPortCell(group, port);
    if (cell == nullptr || pin >= cell->pinCount)
        return L'-';
    return core::IsPinSet(image, *cell, pin) ? L'1' : L'0';
}

bool IsSet(const uint8_t* image, core::PortGroup group, core::Port port, unsigned pin) {
    return PinMark(image, group, port, pin) == L'1';
}

std::wstring PinList(const std::vector<unsigned>& pins) {
    std::wstring list;
    for (unsigned pin : pins)
        list += (list.empty() ? L"" : L", ") + core::DecimalText<wchar_t>(pin);
    return list;
}

// The text's characters as far as the table needs them: ASCII kept, anything else one
// stand-in byte that is neither a blank nor a mark.
std::string AsciiOf(const std::vector<uint8_t>& text) {
    constexpr char kOther = '\x7F';
    std::string ascii;
    if (text.size() >= 2 && text[0] == 0xFF && text[1] == 0xFE) {
        for (size_t i = 2; i + 1 < text.size(); i += 2)
            ascii += text[i + 1] == 0 && text[i] < 0x80 ? static_cast<char>(text[i]) : kOther;
        return ascii;
    }
    size_t start = text.size() >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF ? 3 : 0;
    for (size_t i = start; i < text.size(); ++i)
        ascii += text[i] < 0x80 ? static_cast<char>(text[i]) : kOther;
    return ascii;
}

std::vector<std::string> WordsOf(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    for (char ch : line + ' ') {
        if (ch == ' ' || ch == '\t' || ch == '\r' || ch == '\v' || ch == '\f') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += ch;
        }
    }
    return words;
}

bool IsMark(const std::string& word) {
    return word == "0" || word == "1" || word == "-";
}

std::optional<core::Port> PortNamed(const std::string& name) {
    for (core::Port port : kPorts) {
        std::wstring known = core::PortName(port);
        if (std::string(known.begin(), known.end()) == name)
            return port;
    }
    return std::nullopt;
}

std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// One port's row: marks for pins 7 to 0 of each group in turn.
std::optional<TableError> ReadRow(size_t line,
                                  core::Port port,
                                  const std::vector<std::string>& marks,
                                  core::Lang lang,
                                  std::map<unsigned, bool>& boxes) {
    const std::wstring name = core::PortName(port);
    if (marks.size() != kPins * core::kPortGroupCount || !std::all_of(marks.begin(), marks.end(), IsMark))
        return TableError{line, IDS_TABLE_ROW_MARKS, {name}};
    for (size_t g = 0; g < core::kPortGroupCount; ++g) {
        const core::PortCell* cell = core::FindPortCell(kGroups[g], port);
        for (unsigned column = 0; column < kPins; ++column) {
            const unsigned pin = kPins - 1 - column;
            const std::string& mark = marks[g * kPins + column];
            const bool exists = cell != nullptr && pin < cell->pinCount;
            if (exists != (mark != "-")) {
                int why = exists ? IDS_TABLE_PIN_TAKES_BIT : IDS_TABLE_NO_SUCH_PIN;
                return TableError{line, why, {name, GroupName(kGroups[g], lang), core::DecimalText<wchar_t>(pin)}};
            }
            if (exists)
                boxes[core::PortBit(*cell, pin)] = mark == "1";
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<TableError> ParseOptionTable(const std::vector<uint8_t>& text,
                                           core::Lang lang,
                                           core::PortOptionImage& image) {
    std::map<unsigned, bool> boxes;
    std::set<core::Port> seen;
    const std::string ascii = AsciiOf(text);
    size_t number = 0;
    // Lines end at '\n'; a last line may go without one.
    for (size_t at = 0; at < ascii.size();) {
        ++number;
        size_t end = std::min(ascii.find('\n', at), ascii.size());
        std::vector<std::string> words = WordsOf(ascii.substr(at, end - at));
        at = end + 1;
        if (words.empty())
            continue;
        std::optional<core::Port> port = PortNamed(words[0]);
        // Marks may stand apart or run together, as --json writes a group: "00000000".
        std::vector<std::string> marks;
        for (auto word = words.begin() + 1; word != words.end(); ++word) {
            if (word->find_first_not_of("01-") == std::string::npos) {
                for (char c : *word)
                    marks.emplace_back(1, c);
            } else {
                marks.push_back(*word);
            }
        }
        if (!port) {
            if (!marks.empty() && std::all_of(marks.begin(), marks.end(), IsMark))
                return TableError{number, IDS_TABLE_UNKNOWN_PORT, {Wide(words[0])}};
            continue;
        }
        if (!seen.insert(*port).second)
            return TableError{number, IDS_TABLE_PORT_TWICE, {core::PortName(*port)}};
        if (auto error = ReadRow(number, *port, marks, lang, boxes))
            return error;
    }
    for (core::Port port : kPorts) {
        if (seen.count(port) == 0)
            return TableError{0, IDS_TABLE_PORT_MISSING, {core::PortName(port)}};
    }
    core::GetPortOptions(image.data(), [&](unsigned box) { return boxes[box]; });
    return std::nullopt;
}

std::vector<std::wstring> OptionTable(const uint8_t* image, core::Lang lang) {
    std::wstring heading(kLabelWidth, L' ');
    std::wstring pinNumbers(kLabelWidth, L' ');
    for (core::PortGroup group : kGroups) {
        heading += Padded(GroupName(group, lang), kGroupWidth);
        pinNumbers += Padded(L"7 6 5 4 3 2 1 0", kGroupWidth);
    }
    std::vector<std::wstring> lines = {heading, pinNumbers};
    for (core::Port port : kPorts) {
        std::wstring line = Padded(core::PortName(port), kLabelWidth);
        for (core::PortGroup group : kGroups) {
            std::wstring cells;
            for (unsigned pin = kPins; pin-- > 0;)
                cells += std::wstring(1, PinMark(image, group, port, pin)) + (pin ? L" " : L"");
            line += Padded(cells, kGroupWidth);
        }
        lines.push_back(line);
    }
    for (std::wstring& line : lines) {
        while (!line.empty() && line.back() == L' ')
            line.pop_back();
    }
    return lines;
}

std::vector<std::wstring> OptionWarnings(const uint8_t* image, core::Lang lang) {
    std::vector<std::wstring> warnings;
    for (core::Port port : {core::Port::P1, core::Port::P2, core::Port::P5}) {
        std::vector<unsigned> outputs;
        for (unsigned pin = 0; pin < kPins; ++pin) {
            if (IsSet(image, core::PortGroup::Direction, port, pin))
                outputs.push_back(pin);
        }
        if (!outputs.empty())
            warnings.push_back(core::Text(lang, IDS_WARN_ADDRESS_OUTPUT, {core::PortName(port), PinList(outputs)}));
    }
    for (core::Port port : {core::Port::P4, core::Port::PA}) {
        std::vector<unsigned> inputs;
        for (unsigned pin = 0; pin < kPins; ++pin) {
            if (IsSet(image, core::PortGroup::OutputData, port, pin) &&
                !IsSet(image, core::PortGroup::Direction, port, pin))
                inputs.push_back(pin);
        }
        if (!inputs.empty())
            warnings.push_back(
                core::Text(lang, IDS_WARN_OUTPUT_DATA_ON_INPUT, {core::PortName(port), PinList(inputs)}));
    }
    return warnings;
}

JsonObject OptionJson(const uint8_t* image) {
    const char* keys[] = {"direction", "output_data", "pull_up"};
    JsonObject ports;
    for (core::Port port : kPorts) {
        JsonObject groups;
        for (size_t g = 0; g < 3; ++g) {
            const core::PortCell* cell = core::FindPortCell(kGroups[g], port);
            if (cell == nullptr) {
                groups.Null(keys[g]);
                continue;
            }
            std::wstring bits;
            for (unsigned pin = cell->pinCount; pin-- > 0;)
                bits += core::IsPinSet(image, *cell, pin) ? L'1' : L'0';
            groups.Text(keys[g], bits);
        }
        std::wstring name = core::PortName(port);
        ports.Object(std::string(name.begin(), name.end()), groups);
    }
    return ports;
}

}  // namespace cli
