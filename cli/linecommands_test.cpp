#include <gtest/gtest.h>

#include "cli/host_test_support.h"
#include "core/records_test_support.h"

namespace cli {
namespace {

using clitest::TestHost;
using testrecords::RecordBytes;

const wchar_t kOther[] = L"01234567-89ab-cdef-0123-456789abcdef";

// A line of boards on one virtual board: each step runs one command and checks what the board,
// the ledger and the call log show after it.
struct Step {
    const char* ini;      // board.ini before the command
    const char* command;  // after "line run a.tpi --ledger l.csv --operator op7 "
    Exit exit;
    size_t ledgerLines;  // lines of the ledger after the header
    const char* lastStatus;
    const char* lastCause;
    uint32_t lastReplaces;  // 0: none
    size_t maxCalls;        // of the command, in the board's call log; 0: not checked
};

TEST(LineRun, ACycleOfAFewCallsThatNeverNumbersABoardTwice) {
    TestHost host;
    host.files[L"a.tpi"] = RecordBytes(kOther, 1000);
    host.files[L"o.topt"] = std::vector<uint8_t>(128, 0);
    const Step steps[] = {
        {"", "", Exit::Done, 2, "ok", "", 0, 12},
        // A board that carries a Number is refused before anything is reserved or written.
        {"", "", Exit::Refused, 2, "ok", "", 0, 18},
        {"", "--rework", Exit::Done, 4, "ok", "", 1000, 18},
        {"[faults]\nwrite_fail=1\n", "--rework", Exit::WriteFailed, 6, "failed", "write", 1001, 18},
        {"[board]\noption_area=0\n", "--rework --options o.topt", Exit::Refused, 6, "failed", "write", 1001, 0},
        {"", "--rework --options o.topt", Exit::Done, 8, "ok", "", 1001, 22},
    };
    for (const Step& s : steps) {
        host.Board(s.ini);
        host.ClearCalls();
        const std::string command = std::string("line run a.tpi --ledger l.csv --operator op7 ") + s.command;
        EXPECT_EQ(host.Run(command), s.exit) << command;
        const core::LedgerContent ledger = core::ParseLedger(host.ledgers[L"l.csv"]);
        ASSERT_EQ(ledger.entries.size(), s.ledgerLines) << command;
        const core::LedgerEntry& last = ledger.entries.back();
        EXPECT_EQ(core::LedgerStatusText(last.status), std::string(s.lastStatus)) << command;
        EXPECT_EQ(last.cause, s.lastCause) << command;
        EXPECT_EQ(last.replaces.value_or(0), s.lastReplaces) << command;
        EXPECT_EQ(last.operatorId, "op7");
        EXPECT_TRUE(last.durationMs.has_value());
        if (s.maxCalls != 0) {
            EXPECT_LE(host.Calls().size(), s.maxCalls) << command;
        }
        // A refused board is left as it was.
        for (const std::string& call : host.Calls())
            EXPECT_TRUE(s.exit != Exit::Refused || call.find("Write") == std::string::npos) << call;
    }
    // Every Number reserved once; the recipe names the options file once it was written too.
    const core::LedgerContent ledger = core::ParseLedger(host.ledgers[L"l.csv"]);
    EXPECT_EQ(ledger.highest, 1003u);
    EXPECT_EQ(ledger.entries.back().recipe.size(), 33u);
}

// A ledger made before layout 2 is appended to as it is, and the user is told once.
TEST(LineRun, ALayoutOneLedgerKeepsItsLayout) {
    TestHost host;
    host.files[L"a.tpi"] = RecordBytes(kOther, 1000);
    const std::string layout1 = core::LedgerPreamble(core::kLedgerLayout1);
    host.ledgers[L"l.csv"] = layout1;
    EXPECT_EQ(host.Run("line run a.tpi --ledger l.csv"), Exit::Done);
    const core::LedgerContent ledger = core::ParseLedger(host.ledgers[L"l.csv"]);
    EXPECT_EQ(ledger.layout, core::kLedgerLayout1);
    EXPECT_EQ(ledger.entries.size(), 2u);
    ASSERT_EQ(host.err.size(), 1u);
    EXPECT_NE(host.err[0].find(L"layout 1"), std::wstring::npos);
}

// A line of boards on one virtual board that brings a new board for each connection.
TEST(LineRun, ALineOfNewBoardsTakesOneNumberEach) {
    TestHost host;
    host.files[L"a.tpi"] = RecordBytes(kOther, 1000);
    host.Board("[board]\nnew_board_each_open=1\n");
    int more = 2;
    host.nextBoard = [&] { return more-- > 0; };
    EXPECT_EQ(host.Run("line run a.tpi --ledger l.csv --repeat"), Exit::Done);
    const core::LedgerContent ledger = core::ParseLedger(host.ledgers[L"l.csv"]);
    EXPECT_EQ(ledger.entries.size(), 6u);
    EXPECT_EQ(ledger.highest, 1002u);
}

}  // namespace
}  // namespace cli
