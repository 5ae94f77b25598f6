#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

#include "board.h"
#include "call_log.h"
#include "varnet/memory_store_test_support.h"
#include "model_link.h"

namespace vboard {
namespace {

using Slot = std::vector<uint8_t>;

Slot Filled(uint8_t value) {
    return Slot(kSlotSize, value);
}

// A valid product-information record: status 0, the Varnex kind UUID, number, names.
Slot Record(uint32_t number, const char* product, const char* maker) {
    Slot r(kSlotSize, 0);
    const uint8_t uuid[16] = {0x6D, 0x09, 0xA4, 0x3A, 0xC0, 0x2C, 0xDD, 0x46,
                              0x87, 0x8A, 0x88, 0x51, 0x1D, 0x75, 0xAC, 0x78};
    std::copy(uuid, uuid + 16, r.begin() + 4);
    for (size_t i = 0; i < 4; ++i)
        r[20 + i] = static_cast<uint8_t>(number >> (8 * i));
    std::copy(product, product + std::strlen(product), r.begin() + 24);
    std::copy(maker, maker + std::strlen(maker), r.begin() + 56);
    return r;
}

class BoardTest : public ::testing::Test {
protected:
    Slot ReadSlot(uint32_t address, int32_t expected = kOk) {
        Slot s(kSlotSize, 0x55);
        EXPECT_EQ(board.Read(address, s.data()), expected) << std::hex << address;
        return s;
    }
    void SetFaults(const std::string& lines) { store.SetText(kIniFile, "[faults]\n" + lines + "\n"); }

    MemoryStore store;
    VirtualBoard board{store};
    HandleState handle;
};

TEST(FlashImage, NewBoardIsErasedExceptTheFirmwareMark) {
    FlashImage flash = FlashImage::NewBoard();
    const std::vector<uint8_t>& b = flash.Bytes();
    ASSERT_EQ(b.size(), 0x9000u);
    for (size_t i = 0; i < b.size(); ++i) {
        uint8_t expected = (i >= 0x8000 && i < 0x8004) ? 0x00 : 0xFF;
        ASSERT_EQ(b[i], expected) << std::hex << i;
    }
}

TEST(FlashImage, ReadsPastTheEndAsErased) {
    FlashImage flash(std::vector<uint8_t>(10, 0x11));
    uint8_t out[6];
    flash.Read(7, out, sizeof out);
    const uint8_t expected[6] = {0x11, 0x11, 0x11, 0xFF, 0xFF, 0xFF};
    EXPECT_TRUE(std::equal(out, out + 6, expected));
    flash.Read(0xFFFFFFFE, out, sizeof out);  // no wrap to address 0
    EXPECT_EQ(out[5], 0xFF);
}

TEST(FlashImage, ProgrammingOnlyClearsBits) {
    FlashImage flash(std::vector<uint8_t>{0xFF, 0x3C, 0x00});
    const uint8_t data[3] = {0xA5, 0xF0, 0xFF};
    ASSERT_TRUE(flash.Program(0, data, 3));
    EXPECT_EQ(flash.Bytes(), (std::vector<uint8_t>{0xA5, 0x30, 0x00}));

    // Programming beyond the stored image grows it with erased bytes.
    ASSERT_TRUE(flash.Program(5, data, 1));
    EXPECT_EQ(flash.Bytes(), (std::vector<uint8_t>{0xA5, 0x30, 0x00, 0xFF, 0xFF, 0xA5}));

    EXPECT_FALSE(flash.Program(kFlashLimit - 1, data, 2));
    EXPECT_FALSE(flash.Program(0xFFFFFFFF, data, 2));
    EXPECT_EQ(flash.Bytes().size(), 6u);
}

TEST_F(BoardTest, FirstUseCreatesTheFilesOfANewBoard) {
    EXPECT_EQ(board.Probe(), kOk);
    EXPECT_EQ(store.Text(kIniFile), DefaultBoardIni());
    EXPECT_EQ(store.files[kFlashFile], FlashImage::NewBoard().Bytes());
    EXPECT_EQ(store.files.count(kAreaFile), 0u);
    EXPECT_EQ(board.InterfaceType(), 0x80000000u);
}

TEST_F(BoardTest, WriteThenReadBackAndAUsedSlotFailsTheVerify) {
    const Slot first = Record(1, "A", "B");
    ASSERT_EQ(board.Write(0x7000, first.data(), kSlotSize), kOk);
    EXPECT_EQ(ReadSlot(0x7000), first);
    EXPECT_EQ(ReadSlot(0x7080), Filled(0xFF));

    // Over a used slot only bits that both images have set survive, so the read-back differs.
    const Slot second = Record(2, "C", "D");
    ASSERT_EQ(board.Write(0x7000, second.data(), kSlotSize), kOk);
    Slot stored = ReadSlot(0x7000);
    EXPECT_NE(stored, second);
    for (size_t i = 0; i < kSlotSize; ++i)
        EXPECT_EQ(stored[i], first[i] & second[i]) << i;
}

TEST_F(BoardTest, FlashSurvivesInTheStoreBetweenBoards) {
    const Slot record = Record(9, "P", "M");
    ASSERT_EQ(board.Write(0x7F80, record.data(), kSlotSize), kOk);
    VirtualBoard later(store);
    Slot s(kSlotSize);
    ASSERT_EQ(later.Read(0x7F80, s.data()), kOk);
    EXPECT_EQ(s, record);
}

TEST_F(BoardTest, ReadsBeyondTheFileEndAreErasedAndBeyondTheFlashFail) {
    // A flash.bin that stops at 0x8000 is firmware without the option area.
    store.files[kFlashFile] = std::vector<uint8_t>(0x8000, 0x00);
    EXPECT_EQ(ReadSlot(0x7F80), Filled(0x00));
    EXPECT_EQ(ReadSlot(0x8000), Filled(0xFF));
    EXPECT_EQ(ReadSlot(kFlashLimit - kSlotSize), Filled(0xFF));
    EXPECT_EQ(ReadSlot(kFlashLimit - kSlotSize + 1, kBadArgument), Filled(kFailedReadFill));
    EXPECT_EQ(board.Read(0x7000, nullptr), kBadArgument);
}

TEST_F(BoardTest, EraseSelectors) {
    struct Row {
        uint32_t selector;
        int32_t result;
        bool productAreaErased;
        bool portOptionsErased;
    };
    const Row rows[] = {
        {128, kOk, true, false},           {32, kOk, false, true},           {0, kBadArgument, false, false},
        {160, kBadArgument, false, false}, {64, kBadArgument, false, false}, {1, kBadArgument, false, false},
    };
    for (const Row& row : rows) {
        store.files[kFlashFile] = std::vector<uint8_t>(0x9000, 0x00);
        store.files[kAreaFile] = Filled(0x42);
        EXPECT_EQ(board.Erase(row.selector), row.result) << row.selector;
        const std::vector<uint8_t>& flash = store.files[kFlashFile];
        for (uint32_t a = 0x7000; a < 0x8000; ++a) {
            ASSERT_EQ(flash[a], row.productAreaErased ? 0xFF : 0x00) << row.selector << " at " << a;
        }
        EXPECT_EQ(flash[0x6FFF], 0x00) << row.selector;
        EXPECT_EQ(flash[0x8000], 0x00) << row.selector;
        EXPECT_EQ(store.files.count(kAreaFile), row.portOptionsErased ? 0u : 1u) << row.selector;
    }
}

TEST_F(BoardTest, ReadWriteAreaFive) {
    Slot image(kSlotSize);
    for (size_t i = 0; i < kSlotSize; ++i)
        image[i] = static_cast<uint8_t>(i);
    Slot buffer = Filled(0x55);
    EXPECT_EQ(board.ReadArea(5, buffer.data()), kNoSettings);
    EXPECT_EQ(buffer, Filled(0x55));

    ASSERT_EQ(board.WriteArea(5, image.data()), kOk);
    ASSERT_EQ(board.ReadArea(5, buffer.data()), kOk);
    EXPECT_EQ(buffer, image);
    // The area is not flash: a second write replaces it.
    ASSERT_EQ(board.WriteArea(5, Filled(0xF0).data()), kOk);
    ASSERT_EQ(board.ReadArea(5, buffer.data()), kOk);
    EXPECT_EQ(buffer, Filled(0xF0));

    EXPECT_EQ(board.ReadArea(4, buffer.data()), kBadArgument);
    EXPECT_EQ(board.WriteArea(6, image.data()), kBadArgument);
    store.files[kAreaFile].pop_back();
    EXPECT_EQ(board.ReadArea(5, buffer.data()), kNoSettings);
}

TEST_F(BoardTest, NewestValidSlotIsTheHighestWithStatusZero) {
    ProductInfo info;
    bool found = true;
    auto readInfo = [&] {
        uint32_t slot = 0;
        Slot record(kSlotSize);
        int32_t rc = board.ReadProductInfo(slot, record.data(), found);
        if (found)
            info = DecodeProductInfo(slot, record.data());
        return rc;
    };
    ASSERT_EQ(readInfo(), kOk);
    EXPECT_FALSE(found);

    ASSERT_EQ(board.Write(0x7000, Record(1, "old", "m").data(), kSlotSize), kOk);
    ASSERT_EQ(board.Write(0x7080, Record(0xA1B2C3D4, "新製品", "Maker").data(), kSlotSize), kOk);
    Slot neither = Record(3, "x", "y");
    neither[0] = 0x34;  // neither valid nor free
    ASSERT_EQ(board.Write(0x7100, neither.data(), kSlotSize), kOk);

    ASSERT_EQ(readInfo(), kOk);
    ASSERT_TRUE(found);
    EXPECT_EQ(info.slot, 0x7080u);
    EXPECT_EQ(info.uuid, "3aa4096d-2cc0-46dd-878a-88511d75ac78");
    EXPECT_EQ(info.number, 0xA1B2C3D4u);
    EXPECT_EQ(info.productName, "新製品");
    EXPECT_EQ(info.maker, "Maker");

    // The last slot counts too, and a name field without NUL is read whole.
    Slot last = Record(4, "", "");
    std::fill(last.begin() + 56, last.begin() + 88, 'M');
    ASSERT_EQ(board.Write(0x7F80, last.data(), kSlotSize), kOk);
    ASSERT_EQ(readInfo(), kOk);
    EXPECT_EQ(info.slot, 0x7F80u);
    EXPECT_EQ(info.productName, "");
    EXPECT_EQ(info.maker, std::string(32, 'M'));
}

TEST_F(BoardTest, SettingsChangedBetweenCallsCountAtOnce) {
    ASSERT_EQ(board.Probe(), kOk);
    store.SetText(kIniFile, "[board]\nattached=0\ninterface=0x40000000\n");
    EXPECT_EQ(board.EchoTest(handle), kNoBoard);
    EXPECT_EQ(ReadSlot(0x7000, kNoBoard), Filled(kFailedReadFill));
    EXPECT_EQ(board.InterfaceType(), 0x40000000u);
    ASSERT_TRUE(board.SaveSettings(true, 0x20000000u));
    EXPECT_EQ(board.EchoTest(handle), kOk);
    EXPECT_EQ(board.InterfaceType(), 0x20000000u);
}

TEST_F(BoardTest, FilesThatCannotBeWrittenAreAStateError) {
    store.readOnly = true;
    EXPECT_EQ(board.Probe(), kStateError);
    store.readOnly = false;
    ASSERT_EQ(board.Probe(), kOk);
    store.readOnly = true;
    EXPECT_EQ(board.Write(0x7000, Filled(0).data(), kSlotSize), kStateError);
    EXPECT_EQ(board.WriteArea(5, Filled(0).data()), kStateError);
}

// Each fault alone: the operation fails with it and succeeds on a healthy board.
TEST_F(BoardTest, EachFaultMakesItsOperationFail) {
    Slot buffer(kSlotSize);
    const Slot record = Record(5, "p", "m");
    uint32_t slot = 0;
    bool found = false;
    struct Row {
        const char* ini;
        std::function<int32_t()> operation;
        int32_t result;
    };
    const Row rows[] = {
        {"[board]\nattached=0", [&] { return board.Probe(); }, kNoBoard},
        {"[faults]\nno_board=1", [&] { return board.Probe(); }, kNoBoard},
        {"[faults]\necho_fail=1", [&] { return board.EchoTest(handle); }, kInjectedFault},
        {"[faults]\necho_fail_first=1", [&] { return board.EchoTest(handle); }, kInjectedFault},
        {"[faults]\nread_fail=0x7F80", [&] { return board.Read(0x7F80, buffer.data()); }, kInjectedFault},
        {"[faults]\nread_fail=all", [&] { return board.Read(0x1234, buffer.data()); }, kInjectedFault},
        {"[faults]\nread_fail=0x8000", [&] { return board.Read(0x8000, buffer.data()); }, kInjectedFault},
        {"[faults]\nwrite_fail=1", [&] { return board.Write(0x7000, record.data(), kSlotSize); }, kInjectedFault},
        {"[faults]\nreadback_fail=1",
         [&] {
             board.Write(0x7080, record.data(), kSlotSize, &handle);
             return board.Read(0x7080, buffer.data(), &handle);
         },
         kInjectedFault},
        {"[faults]\nerase_fail=1", [&] { return board.Erase(128); }, kInjectedFault},
        {"[faults]\nerase_fail=1", [&] { return board.Erase(32); }, kInjectedFault},
        {"[faults]\nrw_read_none=1", [&] { return board.ReadArea(5, buffer.data()); }, kNoSettings},
        {"[faults]\nrw_write_fail=1", [&] { return board.WriteArea(5, record.data()); }, kInjectedFault},
        {"[faults]\nproduct_info_fail=1", [&] { return board.ReadProductInfo(slot, buffer.data(), found); },
         kInjectedFault},
    };
    for (const Row& row : rows) {
        store.files.clear();
        store.files[kAreaFile] = Filled(0x00);
        handle = HandleState();
        EXPECT_EQ(row.operation(), kOk) << "healthy: " << row.ini;
        store.SetText(kIniFile, std::string(row.ini) + "\n");
        handle = HandleState();
        EXPECT_EQ(row.operation(), row.result) << row.ini;
    }
}

TEST_F(BoardTest, FailingEchoTestsAreCountedPerHandle) {
    SetFaults("echo_fail_first=1");
    EXPECT_EQ(board.EchoTest(handle), kInjectedFault);
    EXPECT_EQ(board.EchoTest(handle), kOk);
    EXPECT_EQ(board.EchoTest(handle), kOk);
    HandleState another;
    EXPECT_EQ(board.EchoTest(another), kInjectedFault);

    SetFaults("echo_fail=1");
    EXPECT_EQ(board.EchoTest(handle), kInjectedFault);
    EXPECT_EQ(board.EchoTest(handle), kInjectedFault);
}

TEST_F(BoardTest, ReadFaultAtOneAddressLeavesTheOthersAndMarksTheBuffer) {
    ASSERT_EQ(board.Probe(), kOk);
    SetFaults("read_fail=0x7F80");
    EXPECT_EQ(ReadSlot(0x7F80, kInjectedFault), Filled(kFailedReadFill));
    EXPECT_EQ(ReadSlot(0x7F00), Filled(0xFF));
    EXPECT_EQ(ReadSlot(0x7F7F), Filled(0xFF));
}

TEST_F(BoardTest, FailedWritesAndErasesChangeNothing) {
    ASSERT_EQ(board.Write(0x7000, Record(1, "a", "b").data(), kSlotSize), kOk);
    store.files[kAreaFile] = Filled(0x42);
    const auto before = store.files;
    SetFaults("write_fail=1\nerase_fail=1\nrw_write_fail=1");
    EXPECT_NE(board.Write(0x7080, Record(2, "c", "d").data(), kSlotSize), kOk);
    EXPECT_NE(board.Erase(128), kOk);
    EXPECT_NE(board.Erase(32), kOk);
    EXPECT_NE(board.WriteArea(5, Filled(0).data()), kOk);
    EXPECT_EQ(store.files[kFlashFile], before.at(kFlashFile));
    EXPECT_EQ(store.files[kAreaFile], before.at(kAreaFile));
}

// A caller's length or address mistake fails and says why, instead of passing every test.
TEST_F(BoardTest, WritesOutsideTheSlotsOfTheProductAreaAreRefused) {
    const Slot data(0x200, 0x00);
    struct Row {
        uint32_t address;
        uint32_t length;
        const char* warning;  // nullptr: written
    };
    const Row rows[] = {
        {0x7000, 128, nullptr},
        {0x7F80, 128, nullptr},
        {0x7000, 127, "warning: Varn_FlshWrite: length 127: the board writes 128 bytes at a time"},
        {0x7000, 256, "warning: Varn_FlshWrite: length 256: the board writes 128 bytes at a time"},
        {0x7000, 0, "warning: Varn_FlshWrite: length 0: the board writes 128 bytes at a time"},
        {0x6F80, 128, "warning: Varn_FlshWrite: 0x6F80 is outside the product-information area 0x7000-0x7FFF"},
        {0x8000, 128, "warning: Varn_FlshWrite: 0x8000 is outside the product-information area 0x7000-0x7FFF"},
        {0xFFFFFFC0, 128, "warning: Varn_FlshWrite: 0xFFFFFFC0 is outside the product-information area 0x7000-0x7FFF"},
        {0x7010, 128, "warning: Varn_FlshWrite: 0x7010 is not the start of a 128-byte slot"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.address);
        store.files.clear();
        ASSERT_EQ(board.Probe(), kOk);
        const std::vector<uint8_t> before = store.files[kFlashFile];
        EXPECT_EQ(board.Write(row.address, data.data(), row.length), row.warning ? kBadArgument : kOk);
        EXPECT_EQ(store.files[kFlashFile] == before, row.warning != nullptr);
        EXPECT_EQ(store.Text(kLogFile), row.warning ? std::string(row.warning) + "\n" : "");
    }
}

TEST_F(BoardTest, FirmwareWithoutTheOptionAreaHasNoMarkAndNoArea) {
    store.files[kAreaFile] = Filled(0x42);
    std::vector<uint8_t> flash = FlashImage::NewBoard().Bytes();
    flash[0x7FFF] = flash[0x8004] = 0x00;  // around the mark
    store.files[kFlashFile] = flash;
    Slot buffer(kSlotSize);
    ASSERT_EQ(board.Read(0x7FFE, buffer.data()), kOk);
    EXPECT_EQ(Slot(buffer.begin(), buffer.begin() + 8), (Slot{0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF}));
    store.SetText(kIniFile, "[board]\noption_area=0\n");
    ASSERT_EQ(board.Read(0x7FFE, buffer.data()), kOk);
    EXPECT_EQ(Slot(buffer.begin(), buffer.begin() + 8), (Slot{0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xFF}));
    ASSERT_EQ(board.Read(0x8000, buffer.data()), kOk);
    EXPECT_EQ(Slot(buffer.begin(), buffer.begin() + 5), (Slot{0xFF, 0xFF, 0xFF, 0xFF, 0x00}));
    EXPECT_EQ(store.files[kFlashFile][0x8000], 0x00);  // flash.bin itself is left alone

    EXPECT_EQ(board.ReadArea(5, buffer.data()), kBadArgument);
    EXPECT_EQ(board.WriteArea(5, buffer.data()), kBadArgument);
    EXPECT_EQ(board.Erase(32), kBadArgument);
    EXPECT_EQ(board.Erase(128), kOk);
    EXPECT_EQ(store.files[kAreaFile], Filled(0x42));
    EXPECT_NE(store.Text(kLogFile).find("warning: the firmware has no port option area (option_area=0)\n"),
              std::string::npos);
}

// A board.ini line the board does not understand must not be taken for "fault off".
TEST_F(BoardTest, ABoardIniLineNotUnderstoodFailsEveryCallAtOnceUntilMended) {
    ASSERT_EQ(board.Probe(), kOk);
    HandleState open;
    std::vector<std::string> shown;
    VirtualBoard strict(store, [&](const std::string& text) { shown.push_back(text); });
    store.SetText(kIniFile, "[faults]\r\nwrite_fail=enabled\r\n");
    Slot buffer(kSlotSize);
    uint32_t slot = 0;
    bool found = false;
    const std::function<int32_t()> calls[] = {
        [&] { return strict.Probe(); },
        [&] { return strict.EchoTest(open); },
        [&] { return strict.Read(0x7000, buffer.data()); },
        [&] { return strict.Write(0x7000, buffer.data(), kSlotSize); },
        [&] { return strict.Erase(128); },
        [&] { return strict.ReadArea(5, buffer.data()); },
        [&] { return strict.WriteArea(5, buffer.data()); },
        [&] { return strict.ReadProductInfo(slot, buffer.data(), found); },
    };
    const std::string message = "board.ini line 2: write_fail=enabled: use 1/0, true/false, yes/no or on/off";
    for (const auto& call : calls) {
        shown.clear();
        store.files.erase(kLogFile);
        EXPECT_EQ(call(), kStateError);
        EXPECT_EQ(shown, std::vector<std::string>{message + " (every call fails until it is mended)"});
        EXPECT_EQ(store.Text(kLogFile), "message: " + message + " (every call fails until it is mended)\n");
    }
    EXPECT_EQ(strict.InterfaceType(), 0u);
    EXPECT_TRUE(strict.ReportedProblem());

    store.SetText(kIniFile, "[faults]\r\nwrite_fail=on\r\n");
    EXPECT_EQ(strict.Write(0x7000, buffer.data(), kSlotSize), kInjectedFault);
    store.SetText(kIniFile, "[faults]\r\nwrite_fail=off\r\n");
    EXPECT_EQ(strict.Write(0x7000, buffer.data(), kSlotSize), kOk);
}

TEST_F(BoardTest, CorruptWriteReportsSuccessButFailsTheVerify) {
    SetFaults("write_corrupt=1");
    const Slot record = Record(7, "p", "m");
    ASSERT_EQ(board.Write(0x7000, record.data(), kSlotSize), kOk);
    Slot stored = ReadSlot(0x7000);
    for (size_t i = 0; i < kSlotSize; ++i) {
        EXPECT_EQ(stored[i], i == 64 ? (record[i] ^ 0x01) : record[i]) << i;
    }
}

TEST(CallLog, LinesAsDocumented) {
    const std::pair<std::string, std::string> rows[] = {
        {CallLine("Tolka_FlashModeOpen").Hex(0xE0000000).Dec(0).ResultHandle(1),
         "Tolka_FlashModeOpen(0xE0000000, 0) = h1"},
        {CallLine("Tolka_FlashModeOpen").Hex(0xE0000000).Dec(0).ResultHandle(0),
         "Tolka_FlashModeOpen(0xE0000000, 0) = null"},
        {CallLine("Tolka_OptionDlg1").NoResult(), "Tolka_OptionDlg1()"},
        {CallLine("Varn_SetTimeouts").Handle(12).Dec(1000).Dec(5000).NoResult(), "Varn_SetTimeouts(h12, 1000, 5000)"},
        {CallLine("Varn_FlshRead").Handle(1).Hex(0x80).Result(4), "Varn_FlshRead(h1, 0x0080) = 4"},
        {CallLine("Varn_FlshWrite").Handle(1).Hex(0x7F80).Dec(128).Result(0), "Varn_FlshWrite(h1, 0x7F80, 128) = 0"},
        {CallLine("Varn_GetIFType").Handle(0).ResultHex32(0x40), "Varn_GetIFType(null) = 0x00000040"},
        {CallLine("Varn_FlshEchoTest").Handle(kInvalidHandleId).Result(2), "Varn_FlshEchoTest(invalid) = 2"},
        {MessageEntry("一行目\r\n二行目 C:\\x"), "message: 一行目\\r\\n二行目 C:\\\\x"},
        {DialogEntry("product information", "none"), "dialog: product information: none"},
        {DialogEntry("connection settings"), "dialog: connection settings"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.first, row.second);
}

TEST(CallLog, TextsStayValidUtf8OnOneLine) {
    const std::pair<std::string, std::string> rows[] = {
        {"plain ascii", "plain ascii"},
        {"\xE8\xA8\xAD\xE5\xAE\x9A", "\xE8\xA8\xAD\xE5\xAE\x9A"},  // two Japanese characters kept
        {"tab\tbell\x07"
         "del\x7F",
         "tab\\x09bell\\x07del\\x7F"},
        {"\x83"
         "e"
         "\x83"
         "X",
         "\\x83e\\x83X"},                              // code page 932 bytes are no UTF-8
        {"\xC0\xAF", "\\xC0\\xAF"},                    // overlong '/'
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"},           // a surrogate
        {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},  // past U+10FFFF
        {"cut \xE3\x81", "cut \\xE3\\x81"},            // a sequence cut short
        {std::string("nul\0", 4), "nul\\x00"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(EscapeText(row.first), row.second) << row.second;
}

TEST_F(BoardTest, LogAppendsOneLinePerEntry) {
    board.Log("first");
    board.Log(MessageEntry("a\nb"));
    EXPECT_EQ(store.Text(kLogFile), "first\nmessage: a\\nb\n");
}

}  // namespace
}  // namespace vboard

namespace vboard {
namespace {

// fail_call=N fails the Nth call of calls.log, whichever it is; calls without a result go
// on as usual. Every call of the libraries in turn.
TEST(ModelLink, FailCallFailsExactlyTheNthCallOfTheLog) {
    struct Step {
        const char* call;
        std::function<int(ModelLink&, TOLKA_HANDLE&)> make;
        int failed;  // the result when it is the Nth call
    };
    uint8_t buffer[kSlotSize] = {};
    const Step steps[] = {
        {"Tolka_FlashModeOpen",
         [](ModelLink& l, TOLKA_HANDLE& h) { return (h = l.FlashModeOpen(TOLKA_IF_ALL, 0)) ? 0 : 1; }, 1},
        {"Varn_GetIFType", [](ModelLink& l, TOLKA_HANDLE& h) { return l.GetIFType(h) == 0x80000000u ? 0 : 1; }, 0},
        {"Varn_SetTimeouts", [](ModelLink& l, TOLKA_HANDLE& h) { return l.SetTimeouts(h, 1000, 1000), 0; }, 0},
        {"Varn_FlshEchoTest", [](ModelLink& l, TOLKA_HANDLE& h) { return l.FlshEchoTest(h); }, kInjectedFault},
        {"Varn_FlshRead", [&](ModelLink& l, TOLKA_HANDLE& h) { return l.FlshRead(h, 0x7000, buffer); }, kInjectedFault},
        {"Varn_FlshWrite", [&](ModelLink& l, TOLKA_HANDLE& h) { return l.FlshWrite(h, 0x7000, buffer, kSlotSize); },
         kInjectedFault},
        {"Varn_FlshErase", [](ModelLink& l, TOLKA_HANDLE& h) { return l.FlshErase(h, 128); }, kInjectedFault},
        {"Varn_FlshWriteRWArea", [&](ModelLink& l, TOLKA_HANDLE& h) { return l.FlshWriteRWArea(h, 5, buffer); },
         kInjectedFault},
        {"Varn_FlshReadRWArea", [&](ModelLink& l, TOLKA_HANDLE& h) { return l.FlshReadRWArea(h, 5, buffer); },
         kInjectedFault},
        {"Tolka_ShowProductInfo", [](ModelLink& l, TOLKA_HANDLE& h) { return l.ShowProductInfo(h); }, kInjectedFault},
        {"Tolka_OptionDlg1", [](ModelLink& l, TOLKA_HANDLE&) { return l.OptionDlg1(), 0; }, 0},
        {"Tolka_FlashModeClose", [](ModelLink& l, TOLKA_HANDLE& h) { return l.FlashModeClose(h, 0), 0; }, 0},
    };
    const size_t count = sizeof steps / sizeof steps[0];
    for (size_t n = 1; n <= count; ++n) {
        SCOPED_TRACE(steps[n - 1].call);
        MemoryStore store;
        store.SetText(kIniFile, "[faults]\nfail_call=" + std::to_string(n) + "\n");
        store.files[kAreaFile] = Slot(kSlotSize, 0x00);
        ModelLink link(store);
        TOLKA_HANDLE h = nullptr;
        for (size_t i = 0; i < count && (i == 0 || h); ++i)
            EXPECT_EQ(steps[i].make(link, h), i + 1 == n ? steps[i].failed : 0) << steps[i].call;
        // Lines that are not calls do not count: the dialog line came before the call.
        EXPECT_EQ(CountCalls(store.Text(kLogFile)), n == 1 ? 1u : count);
    }
}

// The in-process link makes each call on the model and logs it as the DLLs do.
TEST(ModelLink, CallsReachTheModelAndTheLogAsTheLibrariesWriteIt) {
    MemoryStore store;
    ModelLink link(store);
    TOLKA_HANDLE h = link.FlashModeOpen(TOLKA_IF_ALL, 0);
    ASSERT_NE(h, nullptr);
    uint8_t buffer[kSlotSize];
    Slot record = Record(7, "p", "m");
    EXPECT_EQ(link.FlshWrite(h, 0x7000, record.data(), kSlotSize), kOk);
    EXPECT_EQ(link.FlshRead(h, 0x7000, buffer), kOk);
    EXPECT_EQ(Slot(buffer, buffer + kSlotSize), record);
    EXPECT_EQ(link.FlshReadRWArea(h, 5, buffer), kNoSettings);
    link.FlashModeClose(h, 0);
    EXPECT_EQ(link.FlshRead(h, 0x7000, buffer), kBadHandle);
    EXPECT_EQ(link.OpenHandles(), 0u);
    EXPECT_EQ(store.Text(kLogFile),
              "Tolka_FlashModeOpen(0xE0000000, 0) = h1\n"
              "Varn_FlshWrite(h1, 0x7000, 128) = 0\n"
              "Varn_FlshRead(h1, 0x7000) = 0\n"
              "Varn_FlshReadRWArea(h1, 5) = 6\n"
              "Tolka_FlashModeClose(h1, 0)\n"
              "Varn_FlshRead(invalid, 0x7000) = 2\n");
}

}  // namespace
}  // namespace vboard
