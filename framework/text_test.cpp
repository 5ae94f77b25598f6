#include "framework/text.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/cmdline_test_support.h"

namespace {

TEST(FormatMessageText, ReplacesEveryPlaceholder) {
    EXPECT_EQ(fw::FormatMessageText(L"%1 文字以内で入力してください。", L"31"), L"31 文字以内で入力してください。");
    EXPECT_EQ(fw::FormatMessageText(L"%1/%1", L"a"), L"a/a");
    EXPECT_EQ(fw::FormatMessageText(L"100%", L"a"), L"100%");
    EXPECT_EQ(fw::FormatMessageText(L"%2", L"a"), L"%2");
}

TEST(PathParts, SplitsWindowsPaths) {
    struct {
        const wchar_t* path;
        const wchar_t* name;
        const wchar_t* folder;
        const wchar_t* withoutExt;
    } cases[] = {
        {L"C:\\Tools\\PelnTools.exe", L"PelnTools.exe", L"C:\\Tools\\", L"C:\\Tools\\PelnTools"},
        {L"C:\\a.b\\file", L"file", L"C:\\a.b\\", L"C:\\a.b\\file"},  // dot in a folder name
        {L"C:\\data\\製品.tpi", L"製品.tpi", L"C:\\data\\", L"C:\\data\\製品"},
        {L"sample.tar.tpi", L"sample.tar.tpi", L"", L"sample.tar"},
        {L"C:x.tpi", L"x.tpi", L"C:", L"C:x"},
        {L"d/e.f", L"e.f", L"d/", L"d/e"},
        {L"", L"", L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fw::FileNameOfPath(c.path), c.name) << c.path;
        EXPECT_EQ(fw::FolderOfPath(c.path), c.folder) << c.path;
        EXPECT_EQ(fw::PathWithoutExtension(c.path), c.withoutExt) << c.path;
    }
}

TEST(PathParts, DeviceNamesAreNoFiles) {
    for (const wchar_t* device : {L"CON", L"com1", L"COM1.tpi", L"AUX", L"C:\\doc\\nul.topt", L"lpt9.a.b", L"CON .txt",
                                  L"conout$", L"COM\u00B9", L"\\\\.\\COM10", L"//./pipe/x"})
        EXPECT_TRUE(fw::IsDeviceName(device)) << device;
    for (const wchar_t* file :
         {L"COM0", L"COM10.tpi", L"CONSOLE.tpi", L"xCON", L"C:\\CON\\a.tpi", L"a.con", L"", L"製品.tpi"})
        EXPECT_FALSE(fw::IsDeviceName(file)) << file;
}

TEST(CommandLineSplit, ArgumentsAfterTheProgramName) {
    for (const auto& c : fwcases::kCommandLineCases) {
        std::vector<std::wstring> expected(c.args.begin(), c.args.end());
        EXPECT_EQ(fw::SplitCommandLineArgs(c.line), expected) << c.line;
    }
}

}  // namespace
