// tolka.exe on a production line, under Wine on the virtual board: many boards in a row, a
// program killed in the middle of a write, two programs on one ledger. Whatever happens, no
// Number is ever given twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "cli/tolka_test_support.h"
#include "line/ledger.h"
#include "core/record.h"
#include "framework/dialog_test_support.h"
#include "varnet/board_test_support.h"

namespace {

std::wstring Quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

// The ledger's bytes, read without disturbing a program that holds it (bounded wait).
std::string LedgerBytes(const std::wstring& path) {
    for (int attempt = 0; attempt < 250; ++attempt) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() != ERROR_SHARING_VIOLATION)
                return std::string();
            Sleep(20);
            continue;
        }
        std::string bytes;
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
            bytes.append(buffer, got);
        CloseHandle(file);
        return bytes;
    }
    return "ledger held for more than 5 s";
}

class Line : public ::testing::Test {
protected:
    void SetUp() override {
        tpi = fwtest::TempPath(L"line.tpi");
        ledger = fwtest::TempPath(L"line ledger.csv");
        core::RecordFields fields;
        core::ParseUuidText(L"3aa4096d-2cc0-46dd-878a-88511d75ac78", fields.uuid);
        fields.number = 5000;
        fields.productName = "Varnex";
        fields.makerName = "Tolka";
        core::RecordImage image = *core::EncodeRecord(fields);
        tolkatest::WriteFileBytes(tpi, std::vector<uint8_t>(image.begin(), image.end()));
    }

    std::wstring WriteArgs(const std::wstring& more = L"") const {
        return L"pi write " + Quoted(tpi) + L" --ledger " + Quoted(ledger) + L" --lang en" + more;
    }

    core::LedgerContent Ledger() const { return core::ParseLedger(LedgerBytes(ledger)); }

    std::wstring tpi;
    std::wstring ledger;
};

size_t CountStatus(const core::LedgerContent& content, core::LedgerStatus status) {
    return static_cast<size_t>(std::count_if(content.entries.begin(), content.entries.end(),
                                             [&](const core::LedgerEntry& e) { return e.status == status; }));
}

std::set<uint32_t> Reserved(const core::LedgerContent& content) {
    std::set<uint32_t> numbers;
    for (const core::LedgerEntry& e : content.entries) {
        if (e.status == core::LedgerStatus::Reserved)
            numbers.insert(e.number);
    }
    return numbers;
}

TEST_F(Line, FiftyBoardsSwappedBetweenWritesGetFiftyNumbers) {
    testboard::VirtualBoard board;
    tolkatest::Tolka tolka;
    ASSERT_TRUE(tolka.Start(WriteArgs(L" --repeat")));
    const std::string prompt = "Attach the next device and press Enter";
    for (size_t n = 1; n <= 50; ++n) {
        ASSERT_TRUE(tolka.WaitForErr(prompt, n)) << "board " << n << "\n" << tolka.Err();
        if (n == 50) {
            tolka.Input("q\r\n");
            break;
        }
        // The next board: one that has never been written.
        board.SetFlash(std::vector<uint8_t>(testboard::kNewFlashSize, 0xFF));
        tolka.Input("\r\n");
    }
    EXPECT_EQ(tolka.Wait(), 0) << tolka.Err();
    EXPECT_NE(tolka.Out().find("--- board 50 ---"), std::string::npos);
    EXPECT_NE(tolka.Out().find("50 devices written (0 failed)."), std::string::npos);

    core::LedgerContent content = Ledger();
    ASSERT_EQ(content.fault, core::LedgerFault::None);
    EXPECT_EQ(CountStatus(content, core::LedgerStatus::Ok), 50u);
    EXPECT_EQ(CountStatus(content, core::LedgerStatus::Reserved), 50u);
    std::set<uint32_t> numbers = Reserved(content);
    EXPECT_EQ(numbers.size(), 50u);
    EXPECT_EQ(*numbers.begin(), 5000u);
    EXPECT_EQ(*numbers.rbegin(), 5049u);
    // The last board holds the last Number, in the only slot it has.
    core::RecordFields last = core::DecodeRecord(board.Slot(0x7000).data());
    EXPECT_EQ(last.number, 5049u);
}

TEST_F(Line, AProgramKilledDuringTheWriteLeavesAGapNeverAReuse) {
    {
        testboard::VirtualBoard hung;
        hung.SetFaults("write_delay_ms=120000");
        tolkatest::Tolka tolka;
        ASSERT_TRUE(tolka.Start(WriteArgs()));
        bool reserved = false;
        for (int waited = 0; waited < 30000 && !reserved; waited += 50) {
            reserved = LedgerBytes(ledger).find(",reserved,5000,") != std::string::npos;
            Sleep(50);
        }
        ASSERT_TRUE(reserved) << tolka.Err();
        // The board is in the middle of the write: the calls end with it, not with a result.
        std::vector<std::string> calls = hung.Calls();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back(), "Varn_FlshRead(h1, 0x7000) = 0");
        tolka.Kill();
    }
    core::LedgerContent killed = Ledger();
    ASSERT_EQ(killed.fault, core::LedgerFault::None);
    ASSERT_EQ(killed.entries.size(), 1u);
    EXPECT_EQ(killed.entries[0].status, core::LedgerStatus::Reserved);

    testboard::VirtualBoard next;
    tolkatest::Result r = tolkatest::Run(WriteArgs());
    EXPECT_EQ(r.exit, 0) << r.err;
    core::LedgerContent after = Ledger();
    ASSERT_EQ(after.entries.size(), 3u);
    EXPECT_EQ(after.entries[1].number, 5001u);
    EXPECT_EQ(after.entries[2].status, core::LedgerStatus::Ok);
    EXPECT_EQ(after.entries[2].number, 5001u);
    EXPECT_EQ(after.entries[2].slot, "0x7000");
}

TEST_F(Line, TwoProgramsOnOneLedgerNeverShareANumber) {
    // Two stations on one PC, each with a board of its own, writing at the same time.
    constexpr int kBoards = 12;
    std::string input;
    for (int i = 1; i < kBoards; ++i)
        input += "\r\n";
    input += "q\r\n";
    testboard::VirtualBoard first;
    tolkatest::Tolka a;
    ASSERT_TRUE(a.Start(WriteArgs(L" --repeat")));
    testboard::VirtualBoard second;  // the environment of the next program names this board
    tolkatest::Tolka b;
    ASSERT_TRUE(b.Start(WriteArgs(L" --repeat")));
    a.Input(input);
    b.Input(input);
    EXPECT_EQ(a.Wait(), 0) << a.Err();
    EXPECT_EQ(b.Wait(), 0) << b.Err();

    core::LedgerContent content = Ledger();
    ASSERT_EQ(content.fault, core::LedgerFault::None) << content.faultLine;
    EXPECT_EQ(CountStatus(content, core::LedgerStatus::Ok), 2u * kBoards);
    EXPECT_EQ(Reserved(content).size(), 2u * kBoards);
    // Each board holds the Numbers its own program reserved.
    std::set<uint32_t> onBoards;
    for (testboard::VirtualBoard* board : {&first, &second}) {
        for (uint32_t slot = 0x7000; slot < 0x7000 + 0x80 * kBoards; slot += 0x80)
            onBoards.insert(core::DecodeRecord(board->Slot(slot).data()).number);
    }
    EXPECT_EQ(onBoards, Reserved(content));
}

// Stations of a line started at the same moment all read the one prepared record, also while
// an engineer saves it over with the same content (the replacement's moment without the file).
TEST_F(Line, ThreeStationsStartedTogetherAllReadTheOneRecord) {
    const std::wstring save =
        L"pi make --uuid 3aa4096d-2cc0-46dd-878a-88511d75ac78 --number 5000 --product Varnex "
        L"--maker Tolka -o " +
        Quoted(tpi);
    for (int round = 1; round <= 10; ++round) {
        std::vector<std::unique_ptr<testboard::VirtualBoard>> boards;
        std::vector<std::unique_ptr<tolkatest::Tolka>> stations;
        tolkatest::Tolka saver;
        ASSERT_TRUE(saver.Start(save));
        for (int k = 0; k < 3; ++k) {
            boards.push_back(std::make_unique<testboard::VirtualBoard>());  // named to the next program
            stations.push_back(std::make_unique<tolkatest::Tolka>());
            ASSERT_TRUE(stations.back()->Start(L"pi write " + Quoted(tpi) + L" --lang en"));
        }
        for (auto& station : stations)
            EXPECT_EQ(station->Wait(), 0) << "round " << round << ": " << station->Err();
        EXPECT_EQ(saver.Wait(), 0) << saver.Err();
        for (auto& board : boards)
            EXPECT_EQ(core::DecodeRecord(board->Slot(0x7000).data()).number, 5000u) << "round " << round;
    }
}

TEST_F(Line, ARunWithoutABoardLeavesNoLedgerBehind) {
    testboard::VirtualBoard board;
    board.Configure(0x80000000u, "", false);
    EXPECT_EQ(tolkatest::Run(WriteArgs()).exit, 4);
    EXPECT_EQ(GetFileAttributesW(ledger.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Line, StationsTakeTheirOwnClassAndARefusedLedgerStaysAsItWas) {
    testboard::VirtualBoard board;
    tolkatest::Result r = tolkatest::Run(WriteArgs(L" --station 2/3 --json"));
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_NE(r.out.find("\"station\":\"2/3\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"number\":5000"), std::string::npos) << r.out;  // 5000 mod 3 = 2
    r = tolkatest::Run(WriteArgs(L" --station 2/3"));
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(Reserved(Ledger()), (std::set<uint32_t>{5000, 5003}));

    // A line broken off by hand: refused with its number, never repaired.
    std::string bytes = LedgerBytes(ledger);
    std::string broken = bytes + "2024-05-01T09:30";
    tolkatest::WriteFileBytes(ledger, std::vector<uint8_t>(broken.begin(), broken.end()));
    board.ClearCalls();
    r = tolkatest::Run(WriteArgs());
    EXPECT_EQ(r.exit, 10);
    EXPECT_NE(r.err.find("cannot be read at line 6: the line breaks off"), std::string::npos) << r.err;
    EXPECT_EQ(LedgerBytes(ledger), broken);
    EXPECT_TRUE(board.Calls().empty());
}

// The real program's report of a small ledger: one page with the line's figures and its gap.
TEST_F(Line, AReportOfTheLedgerIsOnePageWithItsFigures) {
    testboard::VirtualBoard board;
    ASSERT_EQ(tolkatest::Run(WriteArgs()).exit, 0);
    board.SetFaults("write_fail=1");
    EXPECT_EQ(tolkatest::Run(WriteArgs()).exit, 7);
    board.SetFaults("");
    ASSERT_EQ(tolkatest::Run(WriteArgs()).exit, 0);
    const std::wstring page = fwtest::TempPath(L"line report.html");
    tolkatest::Result r =
        tolkatest::Run(L"ledger report " + Quoted(ledger) + L" -o " + Quoted(page) + L" --from 2020-01-01 --json");
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_NE(r.out.find("\"lines\":6,\"total\":{\"reserved\":3,\"ok\":2,\"failed\":1,\"gaps\":1}"), std::string::npos)
        << r.out;
    const std::string html = LedgerBytes(page);
    EXPECT_NE(html.find("<svg class=\"chart\""), std::string::npos);
    EXPECT_NE(html.find("<td class=\"n\">5001</td>"), std::string::npos) << "the failed Number among the gaps";
    EXPECT_EQ(html.substr(html.size() - 8), "</html>\n");
    // Never over the ledger itself, by whatever name.
    const std::string before = LedgerBytes(ledger);
    std::wstring shortName(MAX_PATH, L'\0');
    shortName.resize(GetShortPathNameW(ledger.c_str(), &shortName[0], MAX_PATH));
    for (const std::wstring& name : {ledger, shortName}) {
        r = tolkatest::Run(L"ledger report " + Quoted(ledger) + L" -o " + Quoted(name));
        EXPECT_EQ(r.exit, 3) << r.err;
        EXPECT_EQ(LedgerBytes(ledger), before);
    }
}

}  // namespace
