#include "cli/args.h"
#include "cli/context.h"

#include <gtest/gtest.h>

#include "cli/host_test_support.h"
#include "core/utf8.h"

namespace cli {
namespace {

using clitest::Words;

struct Accepted {
    const char* line;
    Handler handler;
    const char* file;
};

TEST(Args, CommandsWithTheirFiles) {
    const Accepted cases[] = {
        {"info", Info, ""},
        {"help", ShowHelp, ""},
        {"pi write --help", ShowHelp, "pi write"},  // the help of that command
        {"help ledger report", ShowHelp, "ledger report"},
        {"help pi", ShowHelp, "pi"},  // the commands of that group
        {"opt --help", ShowHelp, "opt"},
        {"-h", ShowHelp, ""},
        {"-?", ShowHelp, ""},
        {"/?", ShowHelp, ""},
        {"--version", ShowVersion, ""},
        {"opt make a.txt -o a.topt", OptMake, "a.txt"},
        {"pi show a.tpi", PiShow, "a.tpi"},
        {"pi make --new-uuid -o a.tpi", PiMake, ""},
        {"pi make --uuid=x --output=a.tpi", PiMake, ""},
        {"pi read", PiRead, ""},
        {"--json pi read -o out.tpi", PiRead, ""},
        {"pi write a.tpi --ledger l.csv --station 2/3 --repeat --allow-kind-mismatch", PiWrite, "a.tpi"},
        {"pi write --number 0x10 a.tpi", PiWrite, "a.tpi"},
        {"pi write -- -odd.tpi", PiWrite, "-odd.tpi"},
        {"pi erase --yes", PiErase, ""},
        {"opt show a.topt --lang ja", OptShow, "a.topt"},
        {"opt read", OptRead, ""},
        {"opt write a.topt", OptWrite, "a.topt"},
        {"opt erase --yes --json", OptErase, ""},
    };
    for (const Accepted& c : cases) {
        ParsedArgs parsed = ParseArgs(Words(c.line));
        EXPECT_FALSE(parsed.error) << c.line;
        EXPECT_EQ(parsed.invocation.handler, c.handler) << c.line;
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
    EXPECT_EQ(inv.lang, core::Lang::En);
    EXPECT_EQ(inv.Value(Option::Maker), L"");
    // A value may itself look like an option.
    EXPECT_EQ(ParseArgs(Words("pi make --new-uuid --product -x- -o a.tpi")).invocation.Value(Option::Product), L"-x-");
}

struct Refused {
    const char* line;
    int detail;
    const wchar_t* argument;
};

TEST(Args, UsageErrorsNameTheirCause) {
    const Refused cases[] = {
        {"", IDS_MISSING_COMMAND, L""},
        {"--json", IDS_MISSING_COMMAND, L""},
        {"write", IDS_UNKNOWN_COMMAND, L"write"},
        {"pi", IDS_GROUP_NEEDS_COMMAND, L"pi"},
        {"help pi burn", IDS_UNKNOWN_COMMAND, L"pi burn"},
        {"pi burn --help", IDS_UNKNOWN_COMMAND, L"pi burn"},
        {"burn --help", IDS_UNKNOWN_COMMAND, L"burn"},
        {"pi burn a.tpi", IDS_UNKNOWN_COMMAND, L"pi burn"},
        {"info --verbose", IDS_UNKNOWN_OPTION, L"--verbose"},
        {"info --json=1", IDS_UNKNOWN_OPTION, L"--json=1"},
        {"info --yes", IDS_OPTION_NOT_FOR_COMMAND, L"--yes"},
        {"pi read --ledger l.csv", IDS_OPTION_NOT_FOR_COMMAND, L"--ledger"},
        {"pi write a.tpi --number", IDS_OPTION_NEEDS_VALUE, L"--number"},
        {"pi write a.tpi --number 1 --number 2", IDS_OPTION_TWICE, L"--number"},
        {"pi write", IDS_MISSING_FILE, L""},
        {"pi show a.tpi b.tpi", IDS_EXTRA_ARGUMENT, L"b.tpi"},
        {"info now", IDS_EXTRA_ARGUMENT, L"now"},
        {"pi make --new-uuid", IDS_MISSING_OPTION, L"--output"},
        {"pi make -o a.tpi", IDS_UUID_OR_NEW_UUID, L""},
        {"pi make --uuid x --new-uuid -o a.tpi", IDS_UUID_OR_NEW_UUID, L""},
        {"pi erase", IDS_ERASE_NEEDS_YES, L""},
        {"opt erase", IDS_ERASE_NEEDS_YES, L""},
        {"pi write a.tpi --station 1/2", IDS_STATION_NEEDS_LEDGER, L""},
        {"pi write a.tpi --ledger l.csv --station 3/2", IDS_BAD_STATION, L"3/2"},
        {"pi write a.tpi --ledger l.csv --station 0/2", IDS_BAD_STATION, L"0/2"},
        {"info --lang fr", IDS_BAD_LANG, L"fr"},
        {"pi write a.tpi --ledger l.csv --ledger-timeout 0", IDS_BAD_LEDGER_TIMEOUT, L"0"},
        {"pi write a.tpi --ledger l.csv --ledger-timeout 601", IDS_BAD_LEDGER_TIMEOUT, L"601"},
        {"pi write a.tpi --ledger l.csv --ledger-timeout 5s", IDS_BAD_LEDGER_TIMEOUT, L"5s"},
        {"ledger show", IDS_MISSING_FILE, L""},
        {"ledger export l.csv", IDS_MISSING_OPTION, L"--output"},
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
                EXPECT_TRUE(parsed.error->detail == IDS_BAD_NUMBER && parsed.error->argument == L"--number");
        }
    }
}

// The help is made from the command table: every command is in it and has a help of its own,
// asked for either way, in both languages.
TEST(Args, EveryCommandIsInTheHelpAndHasItsOwn) {
    for (const std::wstring& name : CommandNames()) {
        const std::string text = core::ToUtf8(name);
        for (core::Lang lang : {core::Lang::Ja, core::Lang::En}) {
            EXPECT_NE(HelpText(lang).find(L"\n  " + name), std::wstring::npos) << text;
            const std::wstring own = HelpText(lang, name);
            EXPECT_NE(own.find(name), std::wstring::npos) << text;
            // A usage line of its own, then the command's text.
            const size_t usageEnd = own.find(L'\n');
            EXPECT_NE(usageEnd, std::wstring::npos) << text;
            EXPECT_GT(usageEnd, 0u) << text;
        }
        EXPECT_EQ(ParseArgs(Words("help " + text)).invocation.file, name) << text;
        EXPECT_EQ(ParseArgs(Words(text + " --help")).invocation.file, name == L"help" ? L"" : name) << text;
    }
    EXPECT_TRUE(HelpText(core::Lang::En, L"pi burn").empty());
}

TEST(Args, AGroupsHelpListsItsCommandsOnly) {
    const std::wstring help = HelpText(core::Lang::En, L"pi");
    EXPECT_NE(help.find(L"\n  pi write"), std::wstring::npos);
    EXPECT_NE(help.find(L"\n  pi erase"), std::wstring::npos);
    EXPECT_EQ(help.find(L"opt "), std::wstring::npos);
}

TEST(Args, LanguageAndJsonAreKnownEvenWhenTheLineIsWrong) {
    ParsedArgs parsed = ParseArgs(Words("--bogus --lang en --json"));
    ASSERT_TRUE(parsed.error);
    EXPECT_EQ(parsed.lang, core::Lang::En);
    EXPECT_TRUE(parsed.json);
    EXPECT_EQ(ParseArgs(Words("pi burn --lang=ja")).lang, core::Lang::Ja);
    EXPECT_FALSE(ParseArgs(Words("pi write -- --json")).json);
}

}  // namespace
}  // namespace cli
