#include "board_config.h"

#include "core/digits.h"

namespace vboard {
namespace {

std::string Trim(const std::string& s) {
    const char* blanks = " \t\r\n";
    size_t begin = s.find_first_not_of(blanks);
    if (begin == std::string::npos)
        return std::string();
    size_t end = s.find_last_not_of(blanks);
    return s.substr(begin, end - begin + 1);
}

std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// Editors on Windows may put a UTF-8 byte-order mark in front of the first section.
std::string WithoutBom(const std::string& text) {
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return text.substr(3);
    return text;
}

bool IsComment(const std::string& trimmed) {
    return trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#';
}

// "[name]", possibly followed by a comment, gives name in lowercase; anything else gives
// an empty string.
std::string SectionName(const std::string& trimmed) {
    std::string header = Trim(trimmed.substr(0, trimmed.find_first_of(";#")));
    if (header.size() < 2 || header.front() != '[' || header.back() != ']')
        return std::string();
    return Lower(Trim(header.substr(1, header.size() - 2)));
}

bool SplitKeyValue(const std::string& trimmed, std::string& key, std::string& value) {
    size_t eq = trimmed.find('=');
    if (eq == std::string::npos)
        return false;
    key = Lower(Trim(trimmed.substr(0, eq)));
    value = trimmed.substr(eq + 1);
    size_t comment = value.find_first_of(";#");
    if (comment != std::string::npos)
        value.erase(comment);
    value = Trim(value);
    return !key.empty();
}

std::string Hex32(uint32_t v) {
    return "0x" + core::HexText(v, 8);
}

const char kSwitchValues[] = "1/0, true/false, yes/no or on/off";
const char kNumberValues[] = "a decimal or 0x hexadecimal number";
const char kReadFailValues[] = "none, all or an address";

bool SetSwitch(bool& target, const std::string& value) {
    return ParseSwitch(value, target);
}

bool SetNumber(uint32_t& target, const std::string& value) {
    return ParseUInt32(value, target);
}

bool SetReadFail(Faults& faults, const std::string& value) {
    std::string word = Lower(value);
    if (word.empty() || word == "none") {
        faults.readFail = Faults::ReadFail::None;
    } else if (word == "all") {
        faults.readFail = Faults::ReadFail::All;
    } else if (ParseUInt32(value, faults.readFailAddress)) {
        faults.readFail = Faults::ReadFail::AtAddress;
    } else {
        return false;
    }
    return true;
}

// Every key board.ini knows: where it stands, what it takes, what it sets.
struct IniKey {
    const char* section;
    const char* name;
    const char* values;
    bool (*apply)(BoardConfig& config, const std::string& value);
};

const IniKey kKeys[] = {
    {"board", "attached", kSwitchValues, [](BoardConfig& c, const std::string& v) { return SetSwitch(c.attached, v); }},
    {"board", "interface", kNumberValues,
     [](BoardConfig& c, const std::string& v) { return SetNumber(c.interfaceType, v); }},
    {"board", "option_area", kSwitchValues,
     [](BoardConfig& c, const std::string& v) { return SetSwitch(c.optionArea, v); }},
    {"board", "call_delay_ms", kNumberValues,
     [](BoardConfig& c, const std::string& v) { return SetNumber(c.callDelayMs, v); }},
    {"board", "new_board_each_open", kSwitchValues,
     [](BoardConfig& c, const std::string& v) { return SetSwitch(c.newBoardEachOpen, v); }},
    {"faults", "no_board", kSwitchValues,
     [](BoardConfig& c, const std::string& v) { return SetSwitch(c.faults.noBoard, v); }},
    {"faults", "echo_fail", kSwitchValues,
     [](BoardConfig& c, const std::string& v) { return SetSwitch(c.faults.echoFail, v); }},
    {"faults", "echo_fail_first", kSwitchValues,
     [](BoardConfig& c, const std::string& v) { return SetSwitch(c.faults.echoFailFirst, v); }},
    {"faults", "read_fail", kReadFailValues,
     [](BoardConfig& c, const std::string& v) { return SetReadFail(c.faults, v); }},
    {"faults", "write_fail", kSwitchValues,
     [](BoardConfig& c, const std::string& v) { return SetSwitch(c.faults.writeFail, v); }},
    {"faults", "write_corrupt", kSwitchValues,
     [](BoardConfig& c, const std::string& v) { return SetSwitch(c.faults.writeCorrupt, v); }},
    {"faults", "write_delay_ms", kNumberValues,
     [](BoardConfig& c, const std::string& v) { return SetNumber(c.faults.writeDelayMs, v); }},
    {"faults", "readback_fail", kSwitchValues,
     [](BoardConfig& c, const std::string& v) { return SetSwitch(c.faults.readBackFail, v); }},
    {"faults", "erase_fail", kSwitchValues,
     [](BoardConfig& c, const std::string& v) { return SetSwitch(c.faults.eraseFail, v); }},
    {"faults", "rw_read_none", kSwitchValues,
     [](BoardConfig& c, const std::string& v) { return SetSwitch(c.faults.areaReadNone, v); }},
    {"faults", "rw_write_fail", kSwitchValues,
     [](BoardConfig& c, const std::string& v) { return SetSwitch(c.faults.areaWriteFail, v); }},
    {"faults", "product_info_fail", kSwitchValues,
     [](BoardConfig& c, const std::string& v) { return SetSwitch(c.faults.productInfoFail, v); }},
    {"faults", "fail_call", kNumberValues,
     [](BoardConfig& c, const std::string& v) { return SetNumber(c.faults.failCall, v); }},
};

const IniKey* FindKey(const std::string& section, const std::string& name) {
    for (const IniKey& key : kKeys) {
        if (section == key.section && name == key.name)
            return &key;
    }
    return nullptr;
}

}  // namespace

bool ParseUInt32(const std::string& text, uint32_t& value) {
    std::string s = Trim(text);
    unsigned base = 10;
    size_t i = 0;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        i = 2;
    }
    if (i >= s.size())
        return false;
    uint64_t v = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return false;
        }
        v = v * base + digit;
        if (v > 0xFFFFFFFFu)
            return false;
    }
    value = static_cast<uint32_t>(v);
    return true;
}

bool ParseSwitch(const std::string& text, bool& value) {
    static const struct {
        const char* word;
        bool value;
    } kWords[] = {{"1", true},   {"0", false},  {"true", true}, {"false", false},
                  {"yes", true}, {"no", false}, {"on", true},   {"off", false}};
    const std::string word = Lower(Trim(text));
    for (const auto& w : kWords) {
        if (word == w.word) {
            value = w.value;
            return true;
        }
    }
    return false;
}

BoardConfig ParseBoardIni(const std::string& text, std::vector<std::string>* problems) {
    BoardConfig config;
    std::string section;
    int lineNumber = 0;
    auto problem = [&](const std::string& what) {
        if (problems)
            problems->push_back("line " + core::DecimalText(lineNumber) + ": " + what);
    };
    for (const std::string& raw : SplitLines(WithoutBom(text))) {
        ++lineNumber;
        std::string line = Trim(raw);
        if (IsComment(line))
            continue;
        if (line.front() == '[') {
            section = SectionName(line);
            if (section != "board" && section != "faults")
                problem("unknown section: " + line);
            continue;
        }
        std::string key, value;
        if (!SplitKeyValue(line, key, value)) {
            problem("not a key=value line: " + line);
            continue;
        }
        const IniKey* known = FindKey(section, key);
        if (!known) {
            problem((section.empty() ? "key outside a section: " : "unknown key in [" + section + "]: ") + line);
        } else if (!known->apply(config, value)) {
            problem(line + ": use " + known->values);
        }
    }
    return config;
}

std::string DefaultBoardIni() {
    return "; The virtual board of the Tolka programs. Edit it while no program has the board open.\r\n"
           "; Numbers are decimal or hexadecimal with 0x; switches take 1/0, true/false, yes/no or\r\n"
           "; on/off. A line the board does not understand makes every call fail until it is mended.\r\n"
           "\r\n"
           "[board]\r\n"
           "; 1: a board is attached; 0: none, opening it says no board was found.\r\n"
           "attached=1\r\n"
           "; Interface type the board reports: 0x80000000 or 0x20000000 USB, 0x40000000 LAN;\r\n"
           "; any other 32-bit value is an interface the programs do not know.\r\n"
           "interface=0x80000000\r\n"
           "; 0: firmware without the port option area: the bytes at 0x8000-0x8003 read 0xFF and\r\n"
           "; read/write area 5 cannot be read, written or erased.\r\n"
           "option_area=1\r\n"
           "; Milliseconds every library call waits before it answers, as a real board's round trip\r\n"
           "; does: to see how long a program's work takes on a line. The in-process model used by\r\n"
           "; the engine's tests does not wait.\r\n"
           "call_delay_ms=0\r\n"
           "; 1: every connection finds a new board (the flash and area 5 as a new board's), as a\r\n"
           "; line brings the next board for each one: to run a line of boards on one virtual board.\r\n"
           "new_board_each_open=0\r\n"
           "\r\n"
           "[faults]\r\n"
           "; 1: no board is found, as with attached=0.\r\n"
           "no_board=0\r\n"
           "; 1: every echo test fails (the board does not answer).\r\n"
           "echo_fail=0\r\n"
           "; 1: the first echo test after each open fails, later ones pass.\r\n"
           "echo_fail_first=0\r\n"
           "; Flash reads that fail: none, all, or an address such as 0x7F80 (reads starting\r\n"
           "; exactly there fail). read_fail=0x8000 makes the firmware look as if it had no\r\n"
           "; option area, as does option_area=0.\r\n"
           "read_fail=none\r\n"
           "; 1: flash writes fail and store nothing.\r\n"
           "write_fail=0\r\n"
           "; 1: flash writes report success but store the middle byte with its lowest bit inverted.\r\n"
           "write_corrupt=0\r\n"
           "; Milliseconds each flash write waits before it does anything: a slow or hung board,\r\n"
           "; to see what a program that is killed in the middle of a write leaves behind.\r\n"
           "write_delay_ms=0\r\n"
           "; 1: the read-back after a write fails: a read of the address that the same open\r\n"
           "; last wrote.\r\n"
           "readback_fail=0\r\n"
           "; 1: erasing fails and erases nothing.\r\n"
           "erase_fail=0\r\n"
           "; 1: reading read/write area 5 finds no settings, even when area5.bin exists.\r\n"
           "rw_read_none=0\r\n"
           "; 1: writing read/write area 5 fails and stores nothing.\r\n"
           "rw_write_fail=0\r\n"
           "; 1: showing the product information fails (communication error).\r\n"
           "product_info_fail=0\r\n"
           "; N: the Nth call in calls.log fails (counting its call lines; delete calls.log to count\r\n"
           "; afresh). A call without a result (close, time-outs, interface type, connection\r\n"
           "; settings) cannot fail. 0: off.\r\n"
           "fail_call=0\r\n";
}

std::string SetBoardSettings(const std::string& text, bool attached, uint32_t interfaceType) {
    const std::string eol = text.find("\r\n") != std::string::npos || text.empty() ? "\r\n" : "\n";
    const std::string attachedLine = std::string("attached=") + (attached ? "1" : "0");
    const std::string interfaceLine = "interface=" + Hex32(interfaceType);

    std::vector<std::string> lines = SplitLines(text);
    bool inBoard = false;
    bool sawBoard = false;
    bool haveAttached = false;
    bool haveInterface = false;
    size_t insertAt = 0;  // after the last line that belongs to [board]
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string line = Trim(lines[i]);
        if (!line.empty() && line.front() == '[') {
            inBoard = SectionName(line) == "board";
            if (inBoard) {
                sawBoard = true;
                insertAt = i + 1;
            }
            continue;
        }
        if (!inBoard || IsComment(line))
            continue;
        std::string key, value;
        if (!SplitKeyValue(line, key, value))
            continue;
        if (key == "attached") {
            lines[i] = attachedLine;
            haveAttached = true;
        } else if (key == "interface") {
            lines[i] = interfaceLine;
            haveInterface = true;
        }
        insertAt = i + 1;
    }
    if (!sawBoard) {
        if (!lines.empty() && !Trim(lines.back()).empty())
            lines.push_back(std::string());
        lines.push_back("[board]");
        insertAt = lines.size();
    }
    if (!haveInterface)
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), interfaceLine);
    if (!haveAttached)
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), attachedLine);

    std::string out;
    for (const std::string& line : lines)
        out += line + eol;
    return out;
}

}  // namespace vboard
