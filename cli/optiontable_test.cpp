#include "cli/optiontable.h"

#include <gtest/gtest.h>

#include <array>

namespace cli {
namespace {

using Image = std::array<uint8_t, 128>;

// Port bytes at offsets 2-12, the rest as the window writes it.
Image PortBytes(std::initializer_list<std::pair<size_t, uint8_t>> bytes) {
    Image image;
    image.fill(0xFF);
    for (size_t i = 0; i < 13; ++i)
        image[i] = 0;
    for (const auto& [offset, value] : bytes)
        image[offset] = value;
    return image;
}

TEST(OptionTable, PortsAndPinsAsTheGridShowsThem) {
    // P1 pins 0 and 1 outputs, P4 pin 7 output data; P5 pull-up pin 3.
    Image image = PortBytes({{5, 0x03}, {2, 0x80}, {12, 0x08}});
    std::vector<std::wstring> expected = {
        L"        Direction         Output data       Pull-up",
        L"        7 6 5 4 3 2 1 0   7 6 5 4 3 2 1 0   7 6 5 4 3 2 1 0",
        L"P1      0 0 0 0 0 0 1 1   - - - - - - - -   - - - - - - - -",
        L"P2      0 0 0 0 0 0 0 0   - - - - - - - -   0 0 0 0 0 0 0 0",
        L"P5      - - - - 0 0 0 0   - - - - - - - -   - - - - 1 0 0 0",
        L"P4      0 0 0 0 0 0 0 0   1 0 0 0 0 0 0 0   0 0 0 0 0 0 0 0",
        L"PA      0 0 0 0 0 0 0 0   0 0 0 0 0 0 0 0   - - - - - - - -",
        L"POUT    - - - - - - - -   0 0 0 0 0 0 0 0   - - - - - - - -",
    };
    EXPECT_EQ(OptionTable(image.data(), core::Lang::En), expected);
    // Japanese captions take two columns a character; the pin columns stay under them.
    EXPECT_EQ(OptionTable(image.data(), core::Lang::Ja)[0], L"        入出力方向        出力データ        プルアップ");
}

// Marks may run together, a group at a time as --json writes them or all 24 in one word.
TEST(OptionTable, MarksMayStandApartOrRunTogether) {
    Image image = PortBytes({{5, 0x03}, {2, 0x80}, {12, 0x08}});
    for (bool byGroup : {true, false}) {
        std::string table;
        for (const std::wstring& line : OptionTable(image.data(), core::Lang::En)) {
            std::string row(line.begin(), line.end());
            const size_t marks = row.find_first_of("01-", row.find(' '));
            if (row.rfind("P", 0) != 0)
                continue;
            std::string joined = row.substr(0, marks);
            for (size_t i = marks; i < row.size(); ++i) {
                if (row[i] != ' ')
                    joined += row[i];
                else if (byGroup && row.compare(i, 3, "   ") == 0)
                    joined += ' ';
            }
            table += joined + "\n";
        }
        core::PortOptionImage back;
        EXPECT_FALSE(ParseOptionTable(std::vector<uint8_t>(table.begin(), table.end()), core::Lang::En, back)) << table;
        EXPECT_TRUE(std::equal(back.begin() + 2, back.begin() + 13, image.begin() + 2)) << table;
    }
}

TEST(OptionTable, UpperBitsOfTheFourPinCellsAreNotShown) {
    Image image = PortBytes({{8, 0xF5}, {12, 0xF0}});
    std::vector<std::wstring> lines = OptionTable(image.data(), core::Lang::En);
    EXPECT_EQ(lines[4], L"P5      - - - - 0 1 0 1   - - - - - - - -   - - - - 0 0 0 0");
}

// What a person may get wrong in a table, each refused with its line.
TEST(OptionTable, RefusesARowItCannotRead) {
    const std::string rows =
        "P1      0 0 0 0 0 0 1 1   - - - - - - - -   - - - - - - - -\n"
        "P2      0 0 0 0 0 0 0 0   - - - - - - - -   0 0 0 0 0 0 0 0\n"
        "P5      - - - - 0 0 0 0   - - - - - - - -   - - - - 1 0 0 0\n"
        "P4      0 0 0 0 0 0 0 0   1 0 0 0 0 0 0 0   0 0 0 0 0 0 0 0\n"
        "PA      0 0 0 0 0 0 0 0   0 0 0 0 0 0 0 0   - - - - - - - -\n";
    const std::string pout = "POUT    - - - - - - - -   0 0 0 0 0 0 0 0   - - - - - - - -\n";
    const struct {
        std::string text;
        size_t line;
        int detail;
        std::wstring firstArg;
    } cases[] = {
        {rows, 0, IDS_TABLE_PORT_MISSING, L"POUT"},
        {rows + pout + "P2 0 0 0 0 0 0 0 0 - - - - - - - - 0 0 0 0 0 0 0 0\n", 7, IDS_TABLE_PORT_TWICE, L"P2"},
        {rows + "P6 0 0 0 0\n" + pout, 6, IDS_TABLE_UNKNOWN_PORT, L"P6"},
        {"P1 0 0 0 0 0 0 1 1 - - - - - - - -\n", 1, IDS_TABLE_ROW_MARKS, L"P1"},
        {"P1 0 0 0 0 0 0 1 2 - - - - - - - - - - - - - - - -\n", 1, IDS_TABLE_ROW_MARKS, L"P1"},
        {"\n# pins 7-0\nP5 1 - - - 0 0 0 0 - - - - - - - - - - - - 0 0 0 0\n", 3, IDS_TABLE_NO_SUCH_PIN, L"P5"},
        {"P1 0 0 0 0 0 0 1 1 - - - - - - - 0 - - - - - - - -\n", 1, IDS_TABLE_NO_SUCH_PIN, L"P1"},
        {"P4 0 0 0 0 0 0 0 - 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n", 1, IDS_TABLE_PIN_TAKES_BIT, L"P4"},
    };
    for (const auto& c : cases) {
        core::PortOptionImage image;
        std::optional<TableError> error =
            ParseOptionTable(std::vector<uint8_t>(c.text.begin(), c.text.end()), core::Lang::En, image);
        ASSERT_TRUE(error) << c.text;
        EXPECT_EQ(error->line, c.line) << c.text;
        EXPECT_EQ(error->detail, c.detail) << c.text;
        EXPECT_EQ(error->args[0], c.firstArg) << c.text;
    }
}

struct WarningCase {
    const char* what;
    Image image;
    std::vector<std::wstring> warnings;
};

TEST(OptionTable, WarnsWhereTheHelpTextsWarn) {
    const std::wstring address =
        L" are set to output: P1, P2 and P5 set to output become address outputs and cannot "
        L"be used as output ports.";
    const std::wstring input =
        L" are inputs but have output data checked: output data counts only for pins set "
        L"to output.";
    const WarningCase cases[] = {
        {"all clear", PortBytes({}), {}},
        {"P1 and P5 outputs",
         PortBytes({{5, 0x81}, {8, 0x0F}}),
         {L"P1 pins 0, 7" + address, L"P5 pins 0, 1, 2, 3" + address}},
        {"P4 and PA outputs are fine", PortBytes({{7, 0xFF}, {9, 0xFF}, {2, 0xFF}, {3, 0xFF}}), {}},
        {"output data on inputs",
         PortBytes({{7, 0x0F}, {2, 0x30}, {3, 0x01}}),
         {L"P4 pins 4, 5" + input, L"PA pins 0" + input}},
        {"POUT has no direction", PortBytes({{4, 0xFF}}), {}},
        {"pull-up on an output", PortBytes({{7, 0x01}, {11, 0x01}}), {}},
    };
    for (const WarningCase& c : cases)
        EXPECT_EQ(OptionWarnings(c.image.data(), core::Lang::En), c.warnings) << c.what;
}

TEST(OptionTable, JsonGivesEveryCellPinsSevenToZero) {
    Image image = PortBytes({{5, 0x03}, {8, 0x09}});
    std::wstring json = OptionJson(image.data()).Serialize();
    EXPECT_EQ(json.find(L"{\"P1\":{\"direction\":\"00000011\",\"output_data\":null,\"pull_up\":null},"), 0u) << json;
    EXPECT_NE(json.find(L"\"P5\":{\"direction\":\"1001\",\"output_data\":null,\"pull_up\":\"0000\"}"),
              std::wstring::npos);
    EXPECT_NE(json.find(L"\"POUT\":{\"direction\":null,\"output_data\":\"00000000\",\"pull_up\":null}}"),
              std::wstring::npos);
}

}  // namespace
}  // namespace cli
