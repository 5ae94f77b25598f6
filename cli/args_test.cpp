#include "cli/args.h"

#include <gtest/gtest.h>

#include "cli/host_test_support.h"
#include "core/utf8.h"

namespace cli {
namespace {

using clitest::Words;

struct Accepted {
    const char* line;
    Command command;
    const char* file;
};

TEST(Args, CommandsWithTheirFiles) {
    const Accepted cases[] = {
        {"info", Command::Info, ""},
        {"help", Command::Help, ""},
        {"pi write --help", Command::Help, ""},
        {"-h", Command::Help, ""},
        {"-?", Command::Help, ""},
        {"/?", Command::Help, ""},
        {"--version", Command::Version, ""},
        {"opt make a.txt -o a.topt", Command::OptMake, "a.txt"},
        {"pi show a.tpi", Command::PiShow, "a.tpi"},
        {"pi make --new-uuid -o a.tpi", Command::PiMake, ""},
        {"pi make --uuid=x --output=a.tpi", Command::PiMake, ""},
        {"pi read", Command::PiRead, ""},
        {"--json pi read -o out.tpi", Command::PiRead, ""},
        {"pi write a.tpi --ledger l.csv --station 2/3 --repeat --allow-kind-mismatch", Command::PiWrite, "a.tpi"},
        {"pi write --number 0x10 a.tpi", Command::PiWrite, "a.tpi"},
        {"pi write -- -odd.tpi", Command::PiWrite, "-odd.tpi"},
        {"pi erase --yes", Command::PiErase, ""},
        {"opt show a.topt --lang ja", Command::OptShow, "a.topt"},
        {"opt read", Command::OptRead, ""},
        {"opt write a.topt", Command::OptWrite, "a.topt"},
        {"opt erase --yes --json", Command::OptErase, ""},
    };
    for (const Accepted& c : cases) {
        ParsedArgs parsed = ParseArgs(Words(c.line));
        EXPECT_FALSE(parsed.error) << c.line;
        EXPECT_EQ(parsed.invocation.command, c.command) << c.line;
        EXPECT_EQ(parsed.invocation.file, std::wstring(c.file, c.file + strlen(c.file))) << c.line;
    }
}

TEST(Args, OptionValues) {
    ParsedArgs parsed = ParseArgs(Words("pi write a.tpi --number=0x10 --ledger l.csv --station 2/3 --lang en"));
    ASSERT_FALSE(parsed.error);
    const Invocation& inv = parsed.invocation;
    EXPECT_EQ(inv.name, L"pi write");
    EXPECT_EQ(inv.Value(Option::Number), L"0x10");
    EXPECT_EQ(inv.Value(Option::Ledger), L"l.csv");
    EXPECT_EQ(inv.station.k, 2u);
    EXPECT_EQ(inv.station.n, 3u);
    EXPECT_EQ(inv.lang, Lang::En);
    EXPECT_EQ(inv.Value(Option::Maker), L"");
    // A value may itself look like an option.
    EXPECT_EQ(ParseArgs(Words("pi make --new-uuid --product -x- -o a.tpi")).invocation.Value(Option::Product), L"-x-");
}

struct Refused {
    const char* line;
    Msg detail;
    const wchar_t* argument;
};

TEST(Args, UsageErrorsNameTheirCause) {
    const Refused cases[] = {
        {"", Msg::MissingCommand, L""},
        {"--json", Msg::MissingCommand, L""},
        {"write", Msg::UnknownCommand, L"write"},
        {"pi", Msg::UnknownCommand, L"pi"},
        {"pi burn a.tpi", Msg::UnknownCommand, L"pi burn"},
        {"info --verbose", Msg::UnknownOption, L"--verbose"},
        {"info --json=1", Msg::UnknownOption, L"--json=1"},
        {"info --yes", Msg::OptionNotForCommand, L"--yes"},
        {"pi read --ledger l.csv", Msg::OptionNotForCommand, L"--ledger"},
        {"pi write a.tpi --number", Msg::OptionNeedsValue, L"--number"},
        {"pi write a.tpi --number 1 --number 2", Msg::OptionTwice, L"--number"},
        {"pi write", Msg::MissingFile, L""},
        {"pi show a.tpi b.tpi", Msg::ExtraArgument, L"b.tpi"},
        {"info now", Msg::ExtraArgument, L"now"},
        {"pi make --new-uuid", Msg::MissingOption, L"--output"},
        {"pi make -o a.tpi", Msg::UuidOrNewUuid, L""},
        {"pi make --uuid x --new-uuid -o a.tpi", Msg::UuidOrNewUuid, L""},
        {"pi erase", Msg::EraseNeedsYes, L""},
        {"opt erase", Msg::EraseNeedsYes, L""},
        {"pi write a.tpi --station 1/2", Msg::StationNeedsLedger, L""},
        {"pi write a.tpi --ledger l.csv --station 3/2", Msg::BadStation, L"3/2"},
        {"pi write a.tpi --ledger l.csv --station 0/2", Msg::BadStation, L"0/2"},
        {"info --lang fr", Msg::BadLang, L"fr"},
        {"pi write a.tpi --ledger l.csv --ledger-timeout 0", Msg::BadLedgerTimeout, L"0"},
        {"pi write a.tpi --ledger l.csv --ledger-timeout 601", Msg::BadLedgerTimeout, L"601"},
        {"pi write a.tpi --ledger l.csv --ledger-timeout 5s", Msg::BadLedgerTimeout, L"5s"},
        {"ledger show", Msg::MissingFile, L""},
        {"ledger export l.csv", Msg::MissingOption, L"--output"},
    };
    for (const Refused& c : cases) {
        ParsedArgs parsed = ParseArgs(Words(c.line));
        ASSERT_TRUE(parsed.error) << c.line;
        EXPECT_EQ(parsed.error->detail, c.detail) << c.line;
        EXPECT_EQ(parsed.error->argument, c.argument) << c.line;
    }
}

// Every Number the console takes: decimal or 0x hexadecimal up to 0xFFFFFFFF, blanks trimmed.
TEST(Args, NumberTakesOnlyDecimalOrHexadecimalUpTo32Bits) {
    // {text, kept as}; kept as null: refused.
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"0", L"0"},
        {L"4294967295", L"4294967295"},
        {L"0xFFFFFFFF", L"0xFFFFFFFF"},
        {L"0X0000000ff", L"0X0000000ff"},
        {L"007", L"007"},
        // Blanks around the Number are refused, as around a station.
        {L" 1", nullptr},
        {L"1 ", nullptr},
        {L"1\t", nullptr},
        {L"\r1", nullptr},
        {L"1\n", nullptr},
        {L"\v1", nullptr},
        {L"\u00A01", nullptr},
        {L"1\u2028", nullptr},
        {L"\u3000"
         L"0x1A",
         nullptr},
        {L"", nullptr},
        {L" ", nullptr},
        {L"abc", nullptr},
        {L"0x", nullptr},
        {L"0xg", nullptr},
        {L"1e3", nullptr},
        {L"12abc", nullptr},
        {L"1,000", nullptr},
        {L"1 000", nullptr},
        {L"2^32", nullptr},
        {L"-1", nullptr},
        {L"+1", nullptr},
        {L"4294967296", nullptr},
        {L"0x100000000", nullptr},
        {L"99999999999999999999", nullptr},
        {L"\uFF11\uFF12", nullptr},
        {L"0b101", nullptr},
    };
    for (const auto& [text, kept] : cases) {
        for (const char* command : {"pi write a.tpi --number", "pi make --new-uuid -o a.tpi --number"}) {
            std::vector<std::wstring> args = Words(command);
            args.push_back(text);
            ParsedArgs parsed = ParseArgs(args);
            ASSERT_EQ(parsed.error.has_value(), kept == nullptr) << core::ToUtf8(text);
            if (kept != nullptr)
                EXPECT_EQ(parsed.invocation.Value(Option::Number), kept);
            else
                EXPECT_TRUE(parsed.error->detail == Msg::BadNumber && parsed.error->argument == L"--number");
        }
    }
}

TEST(Args, LanguageAndJsonAreKnownEvenWhenTheLineIsWrong) {
    ParsedArgs parsed = ParseArgs(Words("--bogus --lang en --json"));
    ASSERT_TRUE(parsed.error);
    EXPECT_EQ(parsed.lang, Lang::En);
    EXPECT_TRUE(parsed.json);
    EXPECT_EQ(ParseArgs(Words("pi burn --lang=ja")).lang, Lang::Ja);
    EXPECT_FALSE(ParseArgs(Words("pi write -- --json")).json);
}

}  // namespace
}  // namespace cli
