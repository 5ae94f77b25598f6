#include <gtest/gtest.h>

#include <algorithm>

#include "board_config.h"

namespace vboard {
namespace {

TEST(BoardIni, NewFileHoldsEveryKeyAtItsDefault) {
    std::vector<std::string> problems;
    BoardConfig parsed = ParseBoardIni(DefaultBoardIni(), &problems);
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_TRUE(parsed.attached);
    EXPECT_EQ(parsed.interfaceType, 0x80000000u);
    EXPECT_FALSE(parsed.faults.noBoard);
    EXPECT_EQ(parsed.faults.readFail, Faults::ReadFail::None);

    // Every fault key is in the new file, so a person can see what there is to switch on.
    const char* keys[] = {"no_board=",     "echo_fail=",      "echo_fail_first=",   "read_fail=",
                          "write_fail=",   "write_corrupt=",  "readback_fail=",     "erase_fail=",
                          "rw_read_none=", "rw_write_fail=",  "product_info_fail=", "fail_call=",
                          "option_area=",  "write_delay_ms=", "call_delay_ms=",     "new_board_each_open="};
    for (const char* key : keys)
        EXPECT_NE(DefaultBoardIni().find(std::string("\n") + key), std::string::npos) << key;
}

TEST(BoardIni, ReadsHexDecimalCaseBlanksCommentsAndByteOrderMark) {
    const std::string text =
        "\xEF\xBB\xBF[Board]\r\n"
        "  Attached = 0   ; unplugged\r\n"
        "INTERFACE=0x4000ABcd\r\n"
        "call_delay_ms = 250\r\n"
        "[faults] ; what goes wrong\n"
        "# a comment\n"
        "read_fail = 32640\n"
        "write_corrupt=1\n"
        "write_delay_ms=0x10\n";
    std::vector<std::string> problems;
    BoardConfig c = ParseBoardIni(text, &problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_FALSE(c.attached);
    EXPECT_EQ(c.interfaceType, 0x4000ABCDu);
    EXPECT_EQ(c.callDelayMs, 250u);
    EXPECT_EQ(c.faults.readFail, Faults::ReadFail::AtAddress);
    EXPECT_EQ(c.faults.readFailAddress, 0x7F80u);
    EXPECT_TRUE(c.faults.writeCorrupt);
    EXPECT_EQ(c.faults.writeDelayMs, 16u);
    EXPECT_FALSE(c.faults.writeFail);
}

TEST(BoardIni, MissingKeysAndSectionsKeepDefaults) {
    for (const char* text : {"", "[faults]\nerase_fail=1\n", "[board]\n"}) {
        BoardConfig c = ParseBoardIni(text);
        EXPECT_TRUE(c.attached) << text;
        EXPECT_EQ(c.interfaceType, 0x80000000u) << text;
    }
}

TEST(BoardIni, ReadFailTakesNoneAllOrAnAddress) {
    struct Row {
        const char* value;
        Faults::ReadFail kind;
        uint32_t address;
    };
    const Row rows[] = {
        {"none", Faults::ReadFail::None, 0},   {"", Faults::ReadFail::None, 0},
        {"ALL", Faults::ReadFail::All, 0},     {"0x8000", Faults::ReadFail::AtAddress, 0x8000},
        {"0", Faults::ReadFail::AtAddress, 0},
    };
    for (const Row& row : rows) {
        BoardConfig c = ParseBoardIni(std::string("[faults]\nread_fail=") + row.value + "\n");
        EXPECT_EQ(c.faults.readFail, row.kind) << row.value;
        if (row.kind == Faults::ReadFail::AtAddress) {
            EXPECT_EQ(c.faults.readFailAddress, row.address) << row.value;
        }
    }
}

TEST(BoardIni, LinesNotUnderstoodAreReportedWithTheirNumberAndIgnored) {
    const std::string text =
        "[board]\n"
        "attached=maybe\n"        // 2: bad value, stays attached
        "colour=blue\n"           // 3: unknown key
        "interface 0x40000000\n"  // 4: no '='
        "[extras]\n"              // 5: unknown section
        "[faults]\n"
        "erase_fail=2\n"          // 7: bad value: a switch is no number
        "read_fail=somewhere\n";  // 8: bad value
    std::vector<std::string> problems;
    BoardConfig c = ParseBoardIni(text, &problems);
    EXPECT_TRUE(c.attached);
    EXPECT_EQ(c.interfaceType, 0x80000000u);
    EXPECT_FALSE(c.faults.eraseFail);
    EXPECT_EQ(c.faults.readFail, Faults::ReadFail::None);
    ASSERT_EQ(problems.size(), 6u);
    const char* lines[] = {"line 2:", "line 3:", "line 4:", "line 5:", "line 7:", "line 8:"};
    for (size_t i = 0; i < problems.size(); ++i)
        EXPECT_NE(problems[i].find(lines[i]), std::string::npos) << problems[i];
}

TEST(BoardIni, SwitchesTakeWordsButNoOtherValue) {
    struct Row {
        const char* value;
        bool ok;
        bool on;
    };
    const Row rows[] = {
        {"1", true, true},     {"0", true, false},       {"true", true, true}, {"FALSE", true, false},
        {" Yes ", true, true}, {"no", true, false},      {"on", true, true},   {"Off", true, false},
        {"2", false, false},   {"0x1", false, false},    {"", false, false},   {"enabled", false, false},
        {"tru", false, false}, {"yes no", false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        std::vector<std::string> problems;
        BoardConfig c = ParseBoardIni(
            std::string("[board]\noption_area=") + row.value + "\n[faults]\nwrite_fail=" + row.value + "\n", &problems);
        EXPECT_EQ(problems.size(), row.ok ? 0u : 2u);
        EXPECT_EQ(c.faults.writeFail, row.ok && row.on);
        EXPECT_EQ(c.optionArea, !row.ok || row.on);  // a bad value leaves the default
    }
    // The problem names the line, the key as written and what it takes.
    std::vector<std::string> problems;
    ParseBoardIni("[faults]\n\nWrite_Fail = enabled\n", &problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "line 3: Write_Fail = enabled: use 1/0, true/false, yes/no or on/off");
}

TEST(BoardIni, ParseUInt32) {
    struct Row {
        const char* text;
        bool ok;
        uint32_t value;
    };
    const Row rows[] = {
        {"0", true, 0},
        {" 42 ", true, 42},
        {"0x80000000", true, 0x80000000u},
        {"0XfFfFfFfF", true, 0xFFFFFFFFu},
        {"4294967295", true, 0xFFFFFFFFu},
        {"4294967296", false, 0},
        {"0x100000000", false, 0},
        {"0x", false, 0},
        {"", false, 0},
        {"-1", false, 0},
        {"12abc", false, 0},
        {"0x1g", false, 0},
    };
    for (const Row& row : rows) {
        uint32_t value = 7;
        EXPECT_EQ(ParseUInt32(row.text, value), row.ok) << row.text;
        if (row.ok) {
            EXPECT_EQ(value, row.value) << row.text;
        }
    }
}

TEST(BoardIni, SavingSettingsKeepsCommentsAndFaults) {
    std::string before = DefaultBoardIni();
    before.replace(before.find("erase_fail=0"), 12, "erase_fail=1");
    std::string after = SetBoardSettings(before, false, 0x40000000u);

    BoardConfig c = ParseBoardIni(after);
    EXPECT_FALSE(c.attached);
    EXPECT_EQ(c.interfaceType, 0x40000000u);
    EXPECT_TRUE(c.faults.eraseFail);
    // Only the two values changed: same number of lines, comments still there.
    EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), std::count(before.begin(), before.end(), '\n'));
    EXPECT_NE(after.find("interface=0x40000000\r\n"), std::string::npos);
    EXPECT_NE(after.find("; 1: every echo test fails"), std::string::npos);
}

TEST(BoardIni, SavingSettingsAddsWhatIsMissing) {
    const char* texts[] = {"", "[faults]\nwrite_fail=1\n", "[board]\nattached=1\n[faults]\n", "[board]\n"};
    for (const char* text : texts) {
        BoardConfig c = ParseBoardIni(SetBoardSettings(text, false, 0x20000000u));
        EXPECT_FALSE(c.attached) << text;
        EXPECT_EQ(c.interfaceType, 0x20000000u) << text;
    }
    // The added key stays in [board], not in the section that follows it.
    std::string saved = SetBoardSettings("[board]\nattached=1\n[faults]\n", true, 0x20000000u);
    EXPECT_LT(saved.find("interface="), saved.find("[faults]")) << saved;
    EXPECT_TRUE(ParseBoardIni(SetBoardSettings("[faults]\nwrite_fail=1\n", true, 1)).faults.writeFail);
}

}  // namespace
}  // namespace vboard
