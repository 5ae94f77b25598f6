// tolka's port option commands and info against the virtual board's model.
#include <gtest/gtest.h>

#include <algorithm>

#include "cli/host_test_support.h"
#include "core/utf8.h"
#include "core/portoptions.h"

namespace cli {
namespace {

using clitest::TestHost;
using Lines = std::vector<std::string>;

// As the window writes it: P1 pin 0 output (a warning), P4 pin 7 output and high.
std::vector<uint8_t> KeptImage() {
    std::vector<uint8_t> image(128, 0xFF);
    const uint8_t head[] = {0, 0, 0x80, 0, 0, 0x01, 0, 0x80, 0, 0, 0, 0, 0};
    std::copy(std::begin(head), std::end(head), image.begin());
    return image;
}

// The same grid with bytes the window never writes: the rest, and P5 direction bits no pin has.
std::vector<uint8_t> OddImage() {
    std::vector<uint8_t> image = KeptImage();
    std::fill(image.begin() + 13, image.end(), 0x5A);
    image[0] = image[1] = 0x5A;
    image[8] = 0xF0;
    return image;
}

struct OptCase {
    const char* what;
    const char* faults;
    bool settings;  // area 5 holds OddImage
    const char* line;
    Exit exit;
    Lines calls;  // after the open
};

const std::string kChecked = "Varn_FlshRead(h1, 0x8000) = 0";
const std::string kCheckFailed = "Varn_FlshRead(h1, 0x8000) = 4";
const std::string kAreaRead = "Varn_FlshReadRWArea(h1, 5) = 0";
const std::string kAreaWritten = "Varn_FlshWriteRWArea(h1, 5) = 0";
const std::string kAreaFailed = "Varn_FlshWriteRWArea(h1, 5) = 4";
const std::string kClose = "Tolka_FlashModeClose(h1, 0)";

TEST(OptCommands, MakeTheWindowsCallsAndEndWithTheirCodes) {
    const OptCase cases[] = {
        {"read", "", true, "opt read", Exit::Done, {kChecked, kAreaRead, kClose}},
        {"read, old firmware", "read_fail=0x8000", true, "opt read", Exit::Refused, {kCheckFailed, kClose}},
        {"write", "", false, "opt write o", Exit::Done, {kChecked, kAreaWritten, kClose}},
        {"write fails", "rw_write_fail=1", false, "opt write o", Exit::WriteFailed, {kChecked, kAreaFailed, kClose}},
        {"erase", "", true, "opt erase --yes", Exit::Done, {"Varn_FlshErase(h1, 32) = 0", kClose}},
        {"no board", "no_board=1", true, "opt read", Exit::NoBoard, {}},
    };
    for (const OptCase& c : cases) {
        SCOPED_TRACE(c.what);
        TestHost host;
        host.files[L"o"] = OddImage();
        if (c.settings)
            host.store.files[vboard::kAreaFile] = OddImage();
        host.Board(std::string("[faults]\n") + c.faults + "\n");
        EXPECT_EQ(host.Run(c.line), c.exit);
        Lines calls = host.Calls();
        calls.erase(std::remove_if(calls.begin(), calls.end(),
                                   [](const std::string& l) { return l.rfind("message: ", 0) == 0; }),
                    calls.end());
        ASSERT_FALSE(calls.empty());
        if (c.exit == Exit::NoBoard) {
            EXPECT_EQ(calls, Lines{"Tolka_FlashModeOpen(0xE0000000, 0) = null"});
            continue;
        }
        EXPECT_EQ(calls.front(), "Tolka_FlashModeOpen(0xE0000000, 0) = h1");  // no interface type asked
        EXPECT_EQ(Lines(calls.begin() + 1, calls.end()), c.calls);
    }
}

TEST(OptCommands, WhatIsWrittenAndSavedIsTheWindowsImage) {
    TestHost host;
    host.files[L"o.topt"] = OddImage();
    EXPECT_EQ(host.Run("opt write o.topt"), Exit::Done);
    EXPECT_EQ(host.store.files[vboard::kAreaFile], KeptImage());
    // The grid and its warning are shown before the board is written.
    EXPECT_EQ(host.out[2], L"P1      0 0 0 0 0 0 0 1   - - - - - - - -   - - - - - - - -");
    EXPECT_EQ(host.err.size(), 1u);
    EXPECT_EQ(host.err[0].rfind(L"# P1 pins 0 are set to output", 0), 0u);

    host.store.files[vboard::kAreaFile] = OddImage();
    EXPECT_EQ(host.Run("opt read -o r.topt"), Exit::Done);
    EXPECT_EQ(host.files[L"r.topt"], KeptImage());
    EXPECT_EQ(host.out.front(), L"The current settings were read from the device.");
}

TEST(OptCommands, ShowReadsTheFileAloneAndRefusesAShortOne) {
    TestHost host;
    host.files[L"o.topt"] = OddImage();
    EXPECT_EQ(host.Run("opt show o.topt --json"), Exit::Done);
    ASSERT_EQ(host.out.size(), 1u);
    EXPECT_EQ(host.out[0].rfind(L"{\"command\":\"opt show\",\"exit_code\":0,\"ok\":true,\"file\":\"o.topt\",\"ports\":{"
                                L"\"P1\":{\"direction\":\"00000001\"",
                                0),
              0u)
        << host.out[0];
    EXPECT_NE(host.out[0].find(L"\"warnings\":[\"P1 pins 0 are set to output"), std::wstring::npos);
    EXPECT_TRUE(host.Calls().empty());
    host.files[L"short.topt"] = std::vector<uint8_t>(13, 0);
    EXPECT_EQ(host.Run("opt show short.topt"), Exit::BadFile);
}

// Bytes 0-12 given, the rest 0xFF.
std::vector<uint8_t> Head(std::vector<uint8_t> head) {
    head.resize(128, 0xFF);
    return head;
}

std::vector<uint8_t> Utf8Lines(const std::vector<std::wstring>& lines) {
    std::string text;
    for (const std::wstring& line : lines)
        text += core::ToUtf8(line) + "\r\n";
    return std::vector<uint8_t>(text.begin(), text.end());
}

// show, make, show: the same table again, and the file as the window would save that grid,
// also when what show said on the error stream went into the same file.
TEST(OptCommands, MakeTakesBackWhatShowPrints) {
    const struct {
        const char* what;
        std::vector<uint8_t> shown;
        std::vector<uint8_t> made;
        core::Lang lang;
    } cases[] = {
        {"all clear", Head(std::vector<uint8_t>(13, 0)), Head(std::vector<uint8_t>(13, 0)), core::Lang::En},
        {"all set", std::vector<uint8_t>(128, 0xFF),
         Head({0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 0xFF, 0xFF, 0xFF, 0x0F}), core::Lang::Ja},
        {"worked example", Head({0, 0, 0x80, 0, 0, 0x03, 0, 0, 0, 0, 0, 0, 0}),
         Head({0, 0, 0x80, 0, 0, 0x03, 0, 0, 0, 0, 0, 0, 0}), core::Lang::En},
        {"odd bytes", OddImage(), KeptImage(), core::Lang::Ja},
        {"every warning", Head({0, 0, 0xFF, 0xFF, 0, 1, 2, 0, 4, 0, 0, 0, 0}),
         Head({0, 0, 0xFF, 0xFF, 0, 1, 2, 0, 4, 0, 0, 0, 0}), core::Lang::En},
        {"every warning in Japanese", Head({0, 0, 0xFF, 0xFF, 0, 1, 2, 0, 4, 0, 0, 0, 0}),
         Head({0, 0, 0xFF, 0xFF, 0, 1, 2, 0, 4, 0, 0, 0, 0}), core::Lang::Ja},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestHost host;
        host.files[L"a.topt"] = c.shown;
        ASSERT_EQ(host.RunArgs({L"opt", L"show", L"a.topt"}, c.lang), Exit::Done);
        const std::vector<std::wstring> table = host.out;
        // As a shell that sends both streams to one file may save it: the warnings first.
        std::vector<std::wstring> saved = host.err;
        saved.insert(saved.end(), table.begin(), table.end());
        host.files[L"a.txt"] = Utf8Lines(saved);
        ASSERT_EQ(host.RunArgs({L"opt", L"make", L"a.txt", L"-o", L"b.topt"}, c.lang), Exit::Done) << host.err[0];
        EXPECT_EQ(host.files[L"b.topt"], c.made);
        ASSERT_EQ(host.RunArgs({L"opt", L"show", L"b.topt"}, c.lang), Exit::Done);
        EXPECT_EQ(host.out, table);
    }
}

// UTF-16 with its byte-order mark, as a Windows shell may save the table, reads the same.
TEST(OptCommands, MakeReadsATableSavedAsUtf16) {
    TestHost host;
    host.files[L"a.topt"] = KeptImage();
    ASSERT_EQ(host.Run("opt show a.topt", core::Lang::Ja), Exit::Done);
    std::vector<uint8_t> utf16 = {0xFF, 0xFE};
    for (const std::wstring& line : host.out) {
        for (wchar_t ch : line + L"\r\n") {
            utf16.push_back(static_cast<uint8_t>(ch & 0xFF));
            utf16.push_back(static_cast<uint8_t>((ch >> 8) & 0xFF));
        }
    }
    host.files[L"a.txt"] = utf16;
    EXPECT_EQ(host.Run("opt make a.txt -o b.topt"), Exit::Done);
    EXPECT_EQ(host.files[L"b.topt"], KeptImage());
    EXPECT_EQ(host.err.size(), 1u);  // the same warning as opt show gives

    host.files[L"bad.txt"] = Utf8Lines({L"P1 0 0"});
    EXPECT_EQ(host.Run("opt make bad.txt -o c.topt"), Exit::BadFile);
    EXPECT_EQ(host.err[0], L"bad.txt, line 1: the row of P1 needs 24 marks of 0, 1 or - (three groups of 8)");
    EXPECT_EQ(host.files.count(L"c.topt"), 0u);
}

TEST(Info, TellsBothAreasOfTheBoard) {
    TestHost host;
    host.Board("[board]\ninterface=0x40000000\n");
    core::RecordFields fields;
    core::ParseUuidText(L"787c7eb3-31ac-4be1-bd0a-c07563d39179", fields.uuid);
    fields.number = 12;
    for (uint32_t slot : {0x7000u, 0x7080u, 0x7100u})
        host.PutSlot(slot, *core::EncodeRecord(fields));
    host.store.files[vboard::kAreaFile] = KeptImage();
    EXPECT_EQ(host.Run("info"), Exit::Done);
    EXPECT_EQ(host.out, (std::vector<std::wstring>{
                            L"Connected to a LAN device.", L"Interface: 0x40000000 (LAN)",
                            L"Current record (0x7100): UUID 787c7eb3-31ac-4be1-bd0a-c07563d39179, Number 12, product , "
                            L"maker ",
                            L"Product-information slots: 3 of 32 used", L"Port option area: supported",
                            L"Area 5: holds settings"}));

    host.Board("[board]\ninterface=0x12000000\noption_area=0\n");
    EXPECT_EQ(host.Run("info --json"), Exit::Done);
    EXPECT_NE(host.out[0].find(L"\"interface_kind\":\"other\""), std::wstring::npos);
    EXPECT_NE(host.out[0].find(L"\"slots_used\":3,\"option_area\":false,\"area5_settings\":null}"), std::wstring::npos)
        << host.out[0];

    // A failed check is no fact about the firmware.
    host.Board("[faults]\nread_fail=0x8000\n");
    EXPECT_EQ(host.Run("info --json"), Exit::ReadFailed);
    EXPECT_NE(
        host.out[0].find(L"\"option_area\":null,\"area5_settings\":null,\"error\":\"Port option area: the firmware "
                         L"check (reading 0x8000) failed.\"}"),
        std::wstring::npos)
        << host.out[0];

    host.Board("[faults]\necho_fail=1\n");
    EXPECT_EQ(host.Run("info"), Exit::NoAnswer);
}

}  // namespace
}  // namespace cli
