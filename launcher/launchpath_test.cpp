#include "launcher/launchpath.h"

#include <gtest/gtest.h>

namespace {

using launcher::MakeUpperAscii;
using launcher::QuotedCommandLine;
using launcher::ToolPathFor;

// A folder deeper than MAX_PATH allows, as the extended-length form of a path can be.
std::wstring LongFolder() {
    std::wstring folder = L"\\\\?\\C:\\";
    for (int i = 0; i < 40; ++i)
        folder += L"フォルダ " + std::to_wstring(i) + L"\\";
    return folder;
}

TEST(MakeUpperAscii, ChangesOnlyAsciiLetters) {
    struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"c:\\tools\\pelntools.exe", L"C:\\TOOLS\\PELNTOOLS.EXE"},
        {L"C:\\Tools\\PelnTools.exe", L"C:\\TOOLS\\PELNTOOLS.EXE"},
        {L"@[`{", L"@[`{"},  // the neighbours of the letter ranges
        {L"C:\\ツール\\テスト\\pelntools.exe", L"C:\\ツール\\テスト\\PELNTOOLS.EXE"},
        {L"ｐｅｌｎ\\äöü\\straße\\ǆ", L"ｐｅｌｎ\\äöü\\STRAßE\\ǆ"},  // full-width, accented, digraph
        {L"", L""},
    };
    for (const auto& c : cases) {
        std::wstring text = c.in;
        MakeUpperAscii(text);
        EXPECT_EQ(text, c.out) << c.in;
    }
}

TEST(ToolPathFor, ReplacesOnlyTheLaunchersFileName) {
    const std::wstring longFolder = LongFolder();
    ASSERT_GT(longFolder.size(), 260u);
    struct {
        std::wstring modulePath;
        const wchar_t* fileName;
        std::wstring expected;
    } cases[] = {
        {L"C:\\TOOLS\\PELNTOOLS.EXE", L"TOLKAPIWRITER.EXE", L"C:\\TOOLS\\TOLKAPIWRITER.EXE"},
        {L"C:\\TOOLS\\PELNTOOLS.EXE", L"REZIRA.EXE", L"C:\\TOOLS\\REZIRA.EXE"},
        // A renamed launcher still starts the tools, not further copies of itself.
        {L"C:\\TOOLS\\PELNTOOLS (2).EXE", L"PELNCONFIG.EXE", L"C:\\TOOLS\\PELNCONFIG.EXE"},
        {L"C:\\TOOLS\\LAUNCHER.EXE", L"DADURODERID.EXE", L"C:\\TOOLS\\DADURODERID.EXE"},
        // Folders named like the launcher stay as they are.
        {L"D:\\PELNTOOLS.EXE\\PELNTOOLS.EXE", L"TOLKAOPTION.EXE", L"D:\\PELNTOOLS.EXE\\TOLKAOPTION.EXE"},
        {L"D:\\OLD PELNTOOLS.EXE FILES\\X\\PELNTOOLS.EXE", L"TOLKAINIWRITER.EXE",
         L"D:\\OLD PELNTOOLS.EXE FILES\\X\\TOLKAINIWRITER.EXE"},
        {L"C:\\PROGRAM FILES\\TOLKA TOOLS\\PELNTOOLS.EXE", L"REZIRA.EXE",
         L"C:\\PROGRAM FILES\\TOLKA TOOLS\\REZIRA.EXE"},
        {L"C:\\ツール\\テスト フォルダ\\PELNTOOLS.EXE", L"TOLKAPIWRITER.EXE",
         L"C:\\ツール\\テスト フォルダ\\TOLKAPIWRITER.EXE"},
        {L"\\\\SERVER\\SHARE\\PELNTOOLS.EXE", L"PELNCONFIG.EXE", L"\\\\SERVER\\SHARE\\PELNCONFIG.EXE"},
        {longFolder + L"PELNTOOLS.EXE", L"TOLKAOPTION.EXE", longFolder + L"TOLKAOPTION.EXE"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToolPathFor(c.modulePath, c.fileName), c.expected) << c.modulePath.size();
}

TEST(ToolPathFor, FollowsTheModulePathAsTheWindowKeepsIt) {
    // The window keeps its own path upper-cased; Japanese folder names keep their form.
    std::wstring modulePath = L"C:\\Users\\taro\\デスクトップ\\PelnTools.exe\\Tolka Suite.exe";
    MakeUpperAscii(modulePath);
    EXPECT_EQ(ToolPathFor(modulePath, L"TOLKAPIWRITER.EXE"),
              L"C:\\USERS\\TARO\\デスクトップ\\PELNTOOLS.EXE\\TOLKAPIWRITER.EXE");
}

TEST(QuotedCommandLine, QuotesTheWholePath) {
    const std::wstring longPath = LongFolder() + L"REZIRA.EXE";
    struct {
        std::wstring path;
        std::wstring expected;
    } cases[] = {
        {L"C:\\TOOLS\\REZIRA.EXE", L"\"C:\\TOOLS\\REZIRA.EXE\""},
        {L"C:\\TOLKA TOOLS\\MY APPS\\REZIRA.EXE", L"\"C:\\TOLKA TOOLS\\MY APPS\\REZIRA.EXE\""},
        {L"C:\\ツール テスト\\TOLKAOPTION.EXE", L"\"C:\\ツール テスト\\TOLKAOPTION.EXE\""},
        {longPath, L"\"" + longPath + L"\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QuotedCommandLine(c.path), c.expected);
}

}  // namespace
