// tolka's commands against the virtual board's model: exit codes, what is said, what the
// board and the ledger hold afterwards, and the library calls.
#include "cli/commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <set>

#include "cli/host_test_support.h"
#include "line/ledger.h"
#include "core/records_test_support.h"
#include "core/writerops.h"

namespace cli {
namespace {

using clitest::TestHost;
using testrecords::MakeRecord;

const wchar_t kVarnex[] = L"3aa4096d-2cc0-46dd-878a-88511d75ac78";
const wchar_t kPelnex[] = L"787c7eb3-31ac-4be1-bd0a-c07563d39179";
const wchar_t kOther[] = L"01234567-89ab-cdef-0123-456789abcdef";

std::vector<uint8_t> Bytes(const core::RecordImage& image) {
    return std::vector<uint8_t>(image.begin(), image.end());
}

bool Has(const std::vector<std::wstring>& lines, const std::wstring& part) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::wstring& l) { return l.find(part) != std::wstring::npos; });
}

// The ledger's lines after the header, split at the commas (no field here needs quotes).
std::vector<std::vector<std::string>> LedgerRows(const std::string& bytes) {
    core::LedgerContent content = core::ParseLedger(bytes);
    EXPECT_EQ(content.fault, core::LedgerFault::None);
    std::vector<std::vector<std::string>> rows;
    const char* status[] = {"reserved", "ok", "failed"};
    for (const core::LedgerEntry& e : content.entries)
        rows.push_back({status[static_cast<int>(e.status)], std::to_string(e.number), e.slot, e.station});
    return rows;
}

class Commands : public ::testing::Test {
protected:
    void SetUp() override { host.files[L"a.tpi"] = Bytes(MakeRecord(kOther, 1000)); }
    void FillArea() {
        for (uint32_t a = core::kFirstSlot; a <= core::kLastSlot; a += core::kSlotStep)
            host.PutSlot(a, MakeRecord(kOther, a));
    }
    size_t CallsNamed(const std::string& name) {
        std::vector<std::string> calls = host.Calls();
        return static_cast<size_t>(
            std::count_if(calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(name, 0) == 0; }));
    }

    TestHost host;
};

struct FaultCase {
    const char* what;
    const char* ini;
    bool fullArea;
    bool recordAt7080;
    const char* extra;
    Exit exit;
    const wchar_t* message;  // on standard error
};

TEST_F(Commands, WriteEndsWithTheCodeOfItsCause) {
    const FaultCase cases[] = {
        {"written", "", false, false, "", Exit::Done, nullptr},
        {"full area erased and written", "", true, false, "", Exit::Done, nullptr},
        {"no board", "[board]\nattached=0\n", false, false, "", Exit::NoBoard, L"No board could be connected."},
        {"no answer", "[faults]\necho_fail=1\n", false, false, "", Exit::NoAnswer,
         L"If J17 is open, short it and connect again."},
        {"slot search read", "[faults]\nread_fail=0x7000\n", false, true, "", Exit::ReadFailed,
         L"Reading from the device failed."},
        {"write", "[faults]\nwrite_fail=1\n", false, false, "", Exit::WriteFailed, L"Writing failed."},
        {"write after the erase", "[faults]\nwrite_fail=1\n", true, false, "", Exit::WriteFailed,
         L"The product-information area has been erased. Write again."},
        {"read-back", "[faults]\nreadback_fail=1\n", false, false, "", Exit::VerifyFailed,
         L"Verify error: writing failed."},
        {"missing file", "", false, false, " --number 1 missing.tpi", Exit::BadFile, L"(missing.tpi)"},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.what);
        TestHost fresh;
        fresh.files[L"a.tpi"] = Bytes(MakeRecord(kOther, 7));
        for (uint32_t a = core::kFirstSlot; c.fullArea && a <= core::kLastSlot; a += core::kSlotStep)
            fresh.PutSlot(a, MakeRecord(kOther, a));
        if (c.recordAt7080)
            fresh.PutSlot(0x7080, MakeRecord(kOther, 1));
        fresh.Board(c.ini);
        std::string line = std::string("pi write") + (*c.extra ? c.extra : " a.tpi");
        EXPECT_EQ(fresh.Run(line), c.exit);
        if (c.message) {
            EXPECT_TRUE(Has(fresh.err, c.message));
        } else {
            EXPECT_TRUE(fresh.err.empty());
        }
        // Whatever happened, the board is given back.
        std::vector<std::string> calls = fresh.Calls();
        bool opened = !calls.empty() && calls.front().find("= null") == std::string::npos &&
                      calls.front().rfind("Tolka_FlashModeOpen", 0) == 0;
        if (opened) {
            EXPECT_EQ(calls.back().rfind("Tolka_FlashModeClose(", 0), 0u) << calls.back();
        }
    }
}

TEST_F(Commands, WriteMakesTheWindowsCallsAndLeavesTheRecordInTheSlot) {
    host.PutSlot(0x7000, MakeRecord(kOther, 1));
    host.ClearCalls();
    ASSERT_EQ(host.Run("pi write a.tpi --number 0x10"), Exit::Done);
    EXPECT_EQ(host.Slot(0x7080), MakeRecord(kOther, 16));
    std::vector<std::string> calls = host.Calls();
    std::vector<std::string> expected = {"Tolka_FlashModeOpen(0xE0000000, 0) = h1", "Varn_GetIFType(h1) = 0x80000000",
                                         "Varn_SetTimeouts(h1, 1000, 1000)", "Varn_FlshEchoTest(h1) = 0",
                                         "Varn_SetTimeouts(h1, 5000, 5000)"};
    std::vector<std::string> head(calls.begin(), calls.begin() + 5);
    EXPECT_EQ(head, expected);
    auto write = std::find(calls.begin(), calls.end(), "Varn_FlshWrite(h1, 0x7080, 128) = 0");
    ASSERT_NE(write, calls.end());
    EXPECT_EQ(*(write - 1), "Varn_FlshRead(h1, 0x7080) = 0");     // the free slot found
    EXPECT_EQ(*(write + 1), "Varn_FlshRead(h1, 0x7080) = 0");     // the verify
    EXPECT_EQ(*(write + 2), "Varn_SetTimeouts(h1, 1000, 1000)");  // the record shown again
    EXPECT_EQ(calls.back(), "Tolka_FlashModeClose(h1, 0)");
    EXPECT_TRUE(Has(host.out, L"Writing finished normally. (slot 0x7080, Number 16)"));
    EXPECT_TRUE(Has(host.out, L"Current record (0x7080): UUID 01234567-89ab-cdef-0123-456789abcdef, Number 16"));
}

struct KindCase {
    const wchar_t* uuid;
    const char* interfaceType;
    const char* allow;
    Exit exit;
};

TEST_F(Commands, ProductKindMismatchIsRefusedUnlessAllowed) {
    const KindCase cases[] = {
        {kVarnex, "0x40000000", "", Exit::Refused},
        {kVarnex, "0x40000000", " --allow-kind-mismatch", Exit::Done},
        {kPelnex, "0x80000000", "", Exit::Refused},
        {kPelnex, "0x20000000", "", Exit::Done},  // bit 31 alone counts as USB here
        {kVarnex, "0x80000000", "", Exit::Done},
        {kOther, "0x40000000", "", Exit::Done},
    };
    for (const KindCase& c : cases) {
        TestHost fresh;
        fresh.files[L"k.tpi"] = Bytes(MakeRecord(c.uuid, 1));
        fresh.Board(std::string("[board]\ninterface=") + c.interfaceType + "\n");
        EXPECT_EQ(fresh.Run(std::string("pi write k.tpi") + c.allow), c.exit) << c.interfaceType << c.allow;
        bool written = fresh.Slot(0x7000) == MakeRecord(c.uuid, 1);
        EXPECT_EQ(written, c.exit == Exit::Done);
    }
}

TEST_F(Commands, LedgerReservesBeforeTheWriteAndRecordsTheOutcome) {
    EXPECT_EQ(host.Run("pi write a.tpi --ledger l.csv"), Exit::Done);
    EXPECT_EQ(host.Slot(0x7000), MakeRecord(kOther, 1000));  // the file's Number starts the range
    host.Board("[faults]\nwrite_fail=1\n");
    EXPECT_EQ(host.Run("pi write a.tpi --ledger l.csv"), Exit::WriteFailed);
    host.Board("");
    EXPECT_EQ(host.Run("pi write a.tpi --ledger l.csv"), Exit::Done);
    EXPECT_EQ(host.Slot(0x7080), MakeRecord(kOther, 1002));  // 1001 went to the failed write
    using Row = std::vector<std::string>;
    EXPECT_EQ(LedgerRows(host.ledgers[L"l.csv"]), (std::vector<Row>{{"reserved", "1000", "", ""},
                                                                    {"ok", "1000", "0x7000", ""},
                                                                    {"reserved", "1001", "", ""},
                                                                    {"failed", "1001", "0x7080", ""},
                                                                    {"reserved", "1002", "", ""},
                                                                    {"ok", "1002", "0x7080", ""}}));
    const std::string& bytes = host.ledgers[L"l.csv"];
    EXPECT_EQ(bytes.rfind(core::LedgerPreamble(), 0), 0u);
    // A new ledger is of layout 2: pi write fills what it knows (no operator; the version).
    EXPECT_NE(bytes.find("2024-05-01T09:30:00+09:00,,ok,1000,01234567-89ab-cdef-0123-456789abcdef,prod,maker,0x7000,"
                         "0x80000000,,"),
              std::string::npos);
    EXPECT_NE(bytes.find(",1.0.0,"), std::string::npos);
}

TEST_F(Commands, LedgerNumbersBeatTheFileAndTheStationKeepsToItsClass) {
    host.ledgers[L"l.csv"] = core::LedgerPreamble();
    EXPECT_EQ(host.Run("pi write a.tpi --ledger l.csv --station 2/3 --number 5"), Exit::Done);
    EXPECT_EQ(host.Run("pi write a.tpi --ledger l.csv --station 2/3 --number 5"), Exit::Done);
    std::vector<std::vector<std::string>> rows = LedgerRows(host.ledgers[L"l.csv"]);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1], (std::vector<std::string>{"ok", "5", "0x7000", "2/3"}));
    EXPECT_EQ(rows[3], (std::vector<std::string>{"ok", "8", "0x7080", "2/3"}));
}

TEST_F(Commands, ARunThatReservesNothingLeavesNoLedgerBehind) {
    host.Board("[board]\nattached=0\n");
    EXPECT_EQ(host.Run("pi write a.tpi --ledger l.csv"), Exit::NoBoard);
    EXPECT_EQ(host.ledgers.count(L"l.csv"), 0u);
}

TEST_F(Commands, RefusedKindCostsItsReservedNumberButNeverReusesIt) {
    host.files[L"v.tpi"] = Bytes(MakeRecord(kVarnex, 1));
    host.Board("[board]\ninterface=0x40000000\n");
    EXPECT_EQ(host.Run("pi write v.tpi --ledger l.csv"), Exit::Refused);
    std::vector<std::vector<std::string>> rows = LedgerRows(host.ledgers[L"l.csv"]);
    EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{{"reserved", "1", "", ""}, {"failed", "1", "", ""}}));
    EXPECT_EQ(CallsNamed("Varn_FlshWrite"), 0u);
}

struct LedgerFaultCase {
    const char* what;
    std::string bytes;
    bool locked;
    bool readOnly;
    const wchar_t* message;
};

TEST_F(Commands, UnusableLedgerStopsBeforeTheBoardIsWrittenAndStaysAsItWas) {
    const std::string header = core::LedgerPreamble();
    const LedgerFaultCase cases[] = {
        {"foreign", "name,value\r\n", false, false, L"cannot be read at line 1: no UTF-8 byte-order mark"},
        {"damaged", header + "2024-05-01T09:30:00Z,,ok,12\r\n", false, false, L"at line 2: not nine columns"},
        {"cut short", header + "2024-05-01T09:30", false, false, L"at line 2: the line breaks off"},
        {"held by another program", "", true, false, L"The ledger l.csv is held by another program."},
        {"cannot be appended to", header, false, true, L"The ledger l.csv cannot be written."},
    };
    for (const LedgerFaultCase& c : cases) {
        SCOPED_TRACE(c.what);
        TestHost fresh;
        fresh.files[L"a.tpi"] = Bytes(MakeRecord(kOther, 1));
        fresh.ledgers[L"l.csv"] = c.bytes;
        fresh.ledgerLocked = c.locked;
        fresh.ledgerReadOnly = c.readOnly;
        EXPECT_EQ(fresh.Run("pi write a.tpi --ledger l.csv"), Exit::Ledger);
        ASSERT_FALSE(fresh.err.empty());
        EXPECT_NE(fresh.err.back().find(c.message), std::wstring::npos) << fresh.err.back();
        EXPECT_EQ(fresh.ledgers[L"l.csv"], c.bytes);
        EXPECT_EQ(fresh.Slot(0x7000)[0], 0xFF);
    }
}

// The one message an operator needs to mend a ledger: the device write's status, then its Number.
TEST_F(Commands, ALostOutcomeTellsTheWritesStatusAndNumber) {
    host.ledgerAppendsLeft = 1;  // the reservation's line only
    EXPECT_EQ(host.Run("pi write a.tpi --ledger l.csv"), Exit::Ledger);
    EXPECT_TRUE(
        Has(host.err, L"The outcome could not be written to the ledger l.csv. Device write: ok (Number 1000)."));
    host.ledgerAppendsLeft = 1;
    EXPECT_EQ(host.Run("pi write a.tpi --ledger l.csv", core::Lang::Ja), Exit::Ledger);
    EXPECT_TRUE(Has(host.err, L"デバイスの書き込みは ok です (Number 1001)。"));
}

TEST_F(Commands, RepeatWritesBoardAfterBoardWithDistinctNumbers) {
    int swaps = 0;
    host.nextBoard = [&] {
        if (++swaps == 50)
            return false;
        host.store.files.clear();  // the next board: a new one, never written
        return true;
    };
    EXPECT_EQ(host.Run("pi write a.tpi --ledger l.csv --repeat"), Exit::Done);
    std::vector<std::vector<std::string>> rows = LedgerRows(host.ledgers[L"l.csv"]);
    ASSERT_EQ(rows.size(), 100u);
    std::set<std::string> numbers;
    for (size_t i = 0; i < rows.size(); i += 2) {
        EXPECT_EQ(rows[i][0], "reserved");
        EXPECT_EQ(rows[i + 1][0], "ok");
        EXPECT_EQ(rows[i + 1][1], rows[i][1]);
        numbers.insert(rows[i][1]);
    }
    EXPECT_EQ(numbers.size(), 50u);
    EXPECT_TRUE(Has(host.out, L"--- board 50 ---"));
    EXPECT_EQ(host.out.back(), L"50 devices written (0 failed).");
    EXPECT_EQ(std::count(host.err.begin(), host.err.end(), core::Text(core::Lang::En, IDS_NEXT_BOARD_PROMPT)), 50);
}

TEST_F(Commands, RepeatGoesOnAfterAFailedBoardAndEndsWithItsCode) {
    int boards = 0;
    host.Board("[board]\nattached=0\n");
    host.nextBoard = [&] {
        host.Board("");
        return ++boards < 2;
    };
    EXPECT_EQ(host.Run("pi write a.tpi --repeat --json"), Exit::NoBoard);
    ASSERT_EQ(host.out.size(), 3u);  // one object per board, then the summary
    EXPECT_EQ(host.out[0].rfind(L"{\"command\":\"pi write\",\"exit_code\":4,\"ok\":false,\"board\":1", 0), 0u);
    EXPECT_EQ(host.out[1].rfind(L"{\"command\":\"pi write\",\"exit_code\":0,\"ok\":true,\"board\":2", 0), 0u);
    EXPECT_EQ(host.out[2], L"{\"command\":\"pi write\",\"exit_code\":4,\"ok\":false,\"boards\":2,\"failed\":1}");
}

TEST_F(Commands, RepeatStopsWhenTheLedgerFails) {
    host.ledgers[L"l.csv"] = "broken";
    host.nextBoard = [] { return true; };
    EXPECT_EQ(host.Run("pi write a.tpi --ledger l.csv --repeat"), Exit::Ledger);
    EXPECT_EQ(host.out.back(), L"0 devices written (1 failed).");
}

TEST_F(Commands, JsonCarriesTheWrittenRecordAndTheLedger) {
    EXPECT_EQ(host.Run("pi write a.tpi --ledger l.csv --json"), Exit::Done);
    ASSERT_EQ(host.out.size(), 1u);
    EXPECT_EQ(
        host.out[0],
        L"{\"command\":\"pi write\",\"exit_code\":0,\"ok\":true,\"ledger\":\"l.csv\",\"interface\":\"0x80000000\","
        L"\"interface_kind\":\"USB\",\"current\":{\"uuid\":\"01234567-89ab-cdef-0123-456789abcdef\","
        L"\"number\":1000,\"product\":\"prod\",\"maker\":\"maker\",\"slot\":\"0x7000\"},\"number\":1000,\"written\":"
        L"true,\"erased\":false,\"slot\":\"0x7000\"}");
    EXPECT_TRUE(host.err.empty());
}

TEST_F(Commands, MakeBuildsTheRecordTheWindowBuilds) {
    ASSERT_EQ(host.Run("pi make --uuid 3AA4096D-2CC0-46DD-878A-88511D75AC78 --number 0x0A --product P --maker M -o "
                       "m.tpi"),
              Exit::Done);
    EXPECT_EQ(host.files[L"m.tpi"], Bytes(MakeRecord(kVarnex, 10, "P", "M")));
    EXPECT_TRUE(Has(host.out, L"UUID 3aa4096d-2cc0-46dd-878a-88511d75ac78, Number 10, product P, maker M"));
    ASSERT_EQ(host.Run("pi make --new-uuid -o n.tpi"), Exit::Done);
    EXPECT_EQ(host.files[L"n.tpi"], Bytes(MakeRecord(L"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0", 0, "", "")));
}

struct MakeCase {
    std::vector<std::wstring> args;
    Exit exit;
    const wchar_t* message;
};

TEST_F(Commands, MakeRefusesWhatTheWindowRefusesInItsOrder) {
    const std::wstring thirtyOne(31, L'x'), thirtyTwo(32, L'x');
    const std::wstring sixteenKana(16, L'\u30a2');  // 16 characters, 32 bytes in a double-byte code page
    const MakeCase cases[] = {
        {{L"--uuid", L"{3aa4096d-2cc0-46dd-878a-88511d75ac78}"}, Exit::Usage, L"The UUID is not correct."},
        {{L"--uuid", L" 3aa4096d-2cc0-46dd-878a-88511d75ac78"}, Exit::Usage, L"The UUID is not correct."},
        {{L"--uuid", L""}, Exit::Usage, L"No UUID has been entered."},
        {{L"--new-uuid", L"--product", thirtyTwo}, Exit::Usage, L"Product name: enter at most 31 characters."},
        {{L"--new-uuid", L"--maker", sixteenKana}, Exit::Usage, L"Maker: enter at most 31 bytes."},
        {{L"--uuid", L"bad", L"--product", thirtyTwo, L"--maker", thirtyTwo},
         Exit::Usage,
         L"Maker: enter at most 31 characters."},
        {{L"--new-uuid", L"--product", thirtyOne, L"--number", L"0xFFFFFFFF"}, Exit::Done, nullptr},
    };
    for (const MakeCase& c : cases) {
        std::vector<std::wstring> args = {L"pi", L"make", L"-o", L"out.tpi"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        host.files.erase(L"out.tpi");
        EXPECT_EQ(host.RunArgs(args), c.exit);
        if (c.message) {
            ASSERT_FALSE(host.err.empty());
            EXPECT_EQ(host.err.back(), c.message);
            EXPECT_EQ(host.files.count(L"out.tpi"), 0u);
        } else {
            EXPECT_EQ(core::DecodeRecord(host.files[L"out.tpi"].data()).number, 4294967295u);
        }
    }
    host.uuidAvailable = false;
    EXPECT_EQ(host.Run("pi make --new-uuid -o out.tpi"), Exit::Other);
}

// A file of any other length than one image is refused by every command that reads one.
TEST_F(Commands, ShowAndWriteRefuseAFileThatIsNotExactlyOneImage) {
    std::vector<uint8_t> longer = Bytes(MakeRecord(kPelnex, 42, "S", ""));
    longer.resize(129, 0xAB);
    host.files[L"short.tpi"] = std::vector<uint8_t>(127, 0);
    host.files[L"long.tpi"] = longer;
    host.files[L"short.topt"] = std::vector<uint8_t>(127, 0xFF);
    host.files[L"long.topt"] = std::vector<uint8_t>(129, 0xFF);
    for (const char* line :
         {"pi show short.tpi", "pi show long.tpi", "pi write short.tpi", "pi write long.tpi", "opt show short.topt",
          "opt show long.topt", "opt write short.topt", "opt write long.topt"}) {
        EXPECT_EQ(host.Run(line), Exit::BadFile) << line;
        const std::string file = std::string(line).substr(std::string(line).rfind(' ') + 1);
        EXPECT_EQ(host.err.back(),
                  L"The file's format is not correct. (" + std::wstring(file.begin(), file.end()) + L")")
            << line;
    }
    EXPECT_TRUE(host.Calls().empty());
}

// A name that fills its whole field was never typed: the file is at fault, not the user.
TEST_F(Commands, WriteBlamesTheFileForANameWithoutRoomForItsEnd) {
    std::vector<uint8_t> full = Bytes(MakeRecord(kOther, 1));
    std::fill(full.begin() + 56, full.begin() + 88, 'm');  // the maker's 32 bytes, no NUL
    host.files[L"full.tpi"] = full;
    EXPECT_EQ(host.Run("pi write full.tpi"), Exit::BadFile);
    EXPECT_EQ(host.err.back(), L"The file's format is not correct. (full.tpi)\nMaker is longer than 31 bytes.");
    EXPECT_TRUE(host.Calls().empty());
}

TEST_F(Commands, ReadSavesTheCurrentRecordAsTheEditorWouldSaveIt) {
    core::RecordImage odd = MakeRecord(kOther, 5, "p", "m");
    odd[100] = 0x55;  // reserved bytes that the editor does not keep
    host.PutSlot(0x7000, MakeRecord(kOther, 4));
    host.PutSlot(0x7080, odd);
    EXPECT_EQ(host.Run("pi read -o r.tpi"), Exit::Done);
    EXPECT_EQ(host.files[L"r.tpi"], Bytes(MakeRecord(kOther, 5, "p", "m")));

    TestHost empty;
    EXPECT_EQ(empty.Run("pi read -o r.tpi"), Exit::ReadFailed);
    EXPECT_EQ(empty.err.back(), L"There is no valid data.");
    EXPECT_EQ(empty.files.count(L"r.tpi"), 0u);
}

TEST_F(Commands, EraseEmptiesTheAreaAndSaysWhatIsLeft) {
    FillArea();
    EXPECT_EQ(host.Run("pi erase --yes"), Exit::Done);
    EXPECT_EQ(host.out, (std::vector<std::wstring>{L"Connected to a USB device.",
                                                   L"Current record (0x7F80): UUID 01234567-89ab-cdef-0123-"
                                                   L"456789abcdef, Number 32640, product prod, maker maker",
                                                   L"Erased.", L"Current record: Empty"}));
    host.Board("[faults]\nerase_fail=1\n");
    EXPECT_EQ(host.Run("pi erase --yes"), Exit::WriteFailed);
    EXPECT_EQ(CallsNamed("Varn_FlshErase"), 2u);
}

TEST_F(Commands, LedgerShowCountsPerStationAndExportWritesTheSameCsv) {
    host.ledgers[L"l.csv"] = core::LedgerPreamble();
    EXPECT_EQ(host.Run("pi write a.tpi --ledger l.csv --station 1/2"), Exit::Done);
    host.Board("[faults]\nwrite_fail=1\n");
    EXPECT_EQ(host.Run("pi write a.tpi --ledger l.csv --station 2/2"), Exit::WriteFailed);
    host.Board("");
    EXPECT_EQ(host.Run("pi write a.tpi --ledger l.csv --station 2/2"), Exit::Done);
    EXPECT_EQ(host.Run("ledger show l.csv --json"), Exit::Done);
    ASSERT_EQ(host.out.size(), 1u);
    EXPECT_EQ(
        host.out[0],
        L"{\"command\":\"ledger show\",\"exit_code\":0,\"ok\":true,\"ledger\":\"l.csv\",\"total\":{\"reserved\":3,"
        L"\"ok\":2,\"failed\":1,\"highest\":1004,\"gaps\":[1002]},\"stations\":[{\"station\":\"1/2\",\"reserved\":1,"
        L"\"ok\":1,\"failed\":0,\"highest\":1001,\"gaps\":[]},{\"station\":\"2/2\",\"reserved\":2,\"ok\":1,"
        L"\"failed\":1,\"highest\":1004,\"gaps\":[1002]}]}");
    EXPECT_EQ(host.Run("ledger show l.csv"), Exit::Done);
    EXPECT_EQ(host.out.back(), L"  reserved without ok: 1002");

    EXPECT_EQ(host.Run("ledger export l.csv -o copy.csv"), Exit::Done);
    const std::string& ledger = host.ledgers[L"l.csv"];
    EXPECT_EQ(host.files[L"copy.csv"], std::vector<uint8_t>(ledger.begin(), ledger.end()));
}

// A ledger of layout 1 is converted whole, each line as it was with the new fields empty, and
// appended to as one of layout 2 afterwards; a ledger refused or already new is left as it was.
TEST_F(Commands, LedgerUpgradeKeepsEveryLineOrLeavesTheLedgerAsItWas) {
    const std::string old = core::LedgerPreamble(core::kLedgerLayout1) +
                            core::FormatLedgerLine({"2024-05-01T09:30:00+09:00", "1/2", core::LedgerStatus::Reserved, 7,
                                                    "3aa4096d-2cc0-46dd-878a-88511d75ac78", "=1", "a,\"b\"", "", "0x1"},
                                                   core::kLedgerLayout1);
    host.ledgers = {{L"old.csv", old}, {L"new.csv", core::LedgerPreamble()}, {L"bad.csv", old.substr(3)}};
    ASSERT_EQ(host.Run("pi write a.tpi --ledger old.csv"), Exit::Done);  // appended as layout 1, indexed
    const std::map<std::wstring, std::string> kept = host.ledgers;
    host.environment[L"TOLKA_LEDGER"] = L"new.csv";
    EXPECT_EQ(host.Run("ledger upgrade"), Exit::Done);
    EXPECT_TRUE(Has(host.out, L"The ledger new.csv is already of layout 2; it is left as it is."));
    EXPECT_EQ(host.Run("ledger upgrade bad.csv"), Exit::Ledger);
    EXPECT_EQ(host.ledgers, kept);

    EXPECT_EQ(host.Run("ledger upgrade old.csv --json"), Exit::Done);
    EXPECT_TRUE(Has(host.out, L"\"lines\":3,\"layout_before\":1,\"layout\":2")) << host.out[0];
    const std::vector<core::LedgerEntry> before = core::ParseLedger(kept.at(L"old.csv")).entries;
    core::LedgerContent after = core::ParseLedger(host.ledgers[L"old.csv"]);
    EXPECT_EQ(after.layout, core::kLedgerLayout2);
    ASSERT_EQ(after.entries.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(core::FormatLedgerLine(after.entries[i]), core::FormatLedgerLine(before[i])) << i;
    ASSERT_EQ(host.Run("pi write a.tpi --ledger old.csv"), Exit::Done);
    after = core::ParseLedger(host.ledgers[L"old.csv"]);
    EXPECT_EQ(std::make_pair(after.fault, after.highest),
              std::make_pair(core::LedgerFault::None, std::optional<uint32_t>(1001)));
}

// The figures themselves are checked in core; here the command's ends: the period, the page
// written, and what stops it before anything is written.
TEST_F(Commands, LedgerReportWritesThePeriodsPageOrNothing) {
    std::string ledger = core::LedgerPreamble();
    for (uint32_t n = 1; n <= 4; ++n) {
        core::LedgerEntry e{n < 4 ? "2024-05-01T09:30:00+09:00" : "2024-05-02T09:30:00+09:00",
                            "1/1",
                            core::LedgerStatus::Reserved,
                            n,
                            "3aa4096d-2cc0-46dd-878a-88511d75ac78",
                            "<b>&",
                            "m",
                            "",
                            "0x80000000"};
        ledger += core::FormatLedgerLine(e);
        e.status = n == 3 ? core::LedgerStatus::Failed : core::LedgerStatus::Ok;
        ledger += n == 2 ? "" : core::FormatLedgerLine(e);
    }
    host.ledgers[L"l.csv"] = ledger;
    host.ledgers[L"bad.csv"] = ledger.substr(3);
    EXPECT_EQ(host.Run("ledger report l.csv -o r.html --to 2024-05-01 --json", core::Lang::Ja), Exit::Done);
    ASSERT_EQ(host.out.size(), 1u);
    EXPECT_EQ(host.out[0],
              L"{\"command\":\"ledger report\",\"exit_code\":0,\"ok\":true,\"ledger\":\"l.csv\",\"file\":\"r.html\","
              L"\"lines\":7,\"total\":{\"reserved\":3,\"ok\":1,\"failed\":1,\"gaps\":2}}");
    const std::string page(host.files[L"r.html"].begin(), host.files[L"r.html"].end());
    EXPECT_NE(page.find("<td>&lt;b&gt;&amp;</td>"), std::string::npos);
    EXPECT_NE(page.find("<title>生産レポート</title>"), std::string::npos) << "the asked language";
    host.files.clear();
    const struct {
        const char* line;
        Exit exit;
        const wchar_t* message;
    } refused[] = {
        {"ledger report l.csv -o r.html --from 2024-05-32", Exit::Usage, L"--from 2024-05-32 must be a date"},
        {"ledger report l.csv -o r.html --from 2024-05-02 --to=2024-05-01", Exit::Usage, L"must not be later than"},
        {"ledger report l.csv --to 2024-05-01", Exit::Usage, L"option --output is required"},
        {"ledger show l.csv --from 2024-05-01", Exit::Usage, L"--from does not go with this command"},
        {"ledger report missing.csv -o r.html", Exit::Ledger, L"The ledger missing.csv does not exist."},
        {"ledger report bad.csv -o r.html", Exit::Ledger, L"The ledger bad.csv cannot be read at line 1"},
        {"ledger report l.csv -o l.csv", Exit::BadFile, L"l.csv is the ledger itself"},
        {"ledger export l.csv -o l.csv.index", Exit::BadFile, L"l.csv.index is the ledger itself (or its index)"},
    };
    for (const auto& r : refused) {
        EXPECT_EQ(host.Run(r.line), r.exit) << r.line;
        EXPECT_TRUE(Has(host.err, r.message)) << r.line;
        EXPECT_TRUE(host.files.empty()) << r.line;
    }
}

TEST_F(Commands, DatabaseLedgerThatCannotBeUsedStopsBeforeTheBoardWithoutShowingThePassword) {
    struct Case {
        const char* ledger;
        const wchar_t* message;
    } cases[] = {
        {"odbc:Driver={PostgreSQL};Database=line;Pwd=s3cret",
         L"The ledger odbc:Driver={PostgreSQL};Database=line;Pwd=*** cannot be used.\n"
         L"SQLSTATE IM002: Data source name not found"},
        {"odbc:Server=db1;Pwd=s3cret",
         L"The ledger's connection string (after odbc:) is not correct: it names "
         L"neither DSN nor Driver"},
        {"odbc:Driver={PostgreSQL;Pwd=s3cret", L"is not correct: a { is not closed"},
    };
    for (const Case& c : cases) {
        for (bool fromEnvironment : {false, true}) {
            TestHost fresh;
            fresh.files[L"a.tpi"] = Bytes(MakeRecord(kOther, 1));
            std::vector<std::wstring> args = clitest::Words("pi write a.tpi --json");
            const std::wstring ledger(c.ledger, c.ledger + std::string(c.ledger).size());
            if (fromEnvironment)
                fresh.environment[L"TOLKA_LEDGER"] = ledger;
            else
                args.insert(args.end(), {L"--ledger", ledger});
            EXPECT_EQ(fresh.RunArgs(args), Exit::Ledger) << c.ledger;
            ASSERT_EQ(fresh.out.size(), 1u);
            EXPECT_NE(fresh.out[0].find(JsonString(c.message).substr(1, std::wcslen(c.message))), std::wstring::npos)
                << fresh.out[0];
            EXPECT_EQ(fresh.out[0].find(L"s3cret"), std::wstring::npos);
            EXPECT_TRUE(fresh.Calls().empty());
        }
    }
}

}  // namespace
}  // namespace cli
