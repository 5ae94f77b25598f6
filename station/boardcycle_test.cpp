// The station's board cycle on the virtual board's model and a ledger in memory: what the
// operator is told per board, and what the ledger keeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/textids.h"
#include "line/ledger_test_support.h"
#include "station/station_test_support.h"
#include "station/boardcycle.h"
#include "varnet/board_config.h"
#include "varnet/memory_store_test_support.h"
#include "varnet/model_link.h"

namespace station {
namespace {

using stationtest::kOther;

// One ledger file in memory, which a test may lock or let fail after some appends.
class MemoryLedgers : public core::LedgerSystem {
public:
    std::unique_ptr<core::LedgerFile> OpenLedger(const std::wstring&,
                                                 core::LedgerOpen,
                                                 core::LedgerOpenFailure& failure) override {
        failure = core::LedgerOpenFailure::Busy;
        if (locked)
            return nullptr;
        return std::make_unique<linetest::MemoryLedger>(bytes, index, true, appendsLeft);
    }
    std::unique_ptr<core::DbLink> OpenDatabase() override { return nullptr; }
    bool NewUuid(core::Uuid&) override { return true; }
    std::wstring ComputerName() override { return L"pc1"; }
    core::LocalTime Now() override { return {2026, 12, 8, 9, 30, 0, 540}; }
    uint64_t NowMs() override { return 0; }

    std::string bytes, index;
    bool locked = false;
    int appendsLeft = -1;  // -1: any number
};

TEST(BoardCycle, TellsEachBoardAndKeepsItsNumberInTheLedger) {
    struct Row {
        const char* what;
        const wchar_t* uuid;
        uint32_t held;  // the Number in slot 0; 0: an empty board
        bool attached;
        bool locked;
        int appendsLeft;
        int writes;  // the product information written
        bool pass;
        uint32_t number;
        std::wstring cause;
        size_t ledgerLines;  // after the board, the header included
    } const rows[] = {
        {"written", kOther, 0, true, false, -1, 1, true, 77, L"", 3},
        {"already numbered", kOther, 12, true, false, -1, 0, false, 12, L"61743:12", 0},
        {"a LAN record on a USB board", core::kPelnexKindUuid, 0, true, false, -1, 0, false, 0, L"61746:0", 0},
        {"no board", kOther, 0, false, false, -1, 0, false, 0, L"61740:0", 0},
        {"ledger held elsewhere", kOther, 0, true, true, -1, 0, false, 0, L"61820:ledger.csv", 0},
        {"outcome not recorded", kOther, 0, true, false, 1, 1, false, 77, L"61827:ledger.csv", 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        vboard::MemoryStore store;
        stationtest::PutUsbBoard(store, row.held, row.attached);
        vboard::ModelLink link{store};
        MemoryLedgers ledgers;
        ledgers.locked = row.locked;
        ledgers.appendsLeft = row.appendsLeft;
        CycleRecipe recipe;
        recipe.fields = core::DecodeRecord(testrecords::MakeRecord(row.uuid, 77).data());
        recipe.ledger = L"ledger.csv";
        const auto cycle = MakeBoardCycle(link, ledgers, recipe, [](int id) { return std::to_wstring(id) + L":%1"; });
        std::vector<core::LineStep> steps;
        const StationResult result = cycle->Run(L"OP-1", [&](core::LineStep step) { steps.push_back(step); });
        EXPECT_EQ(result.pass, row.pass);
        EXPECT_EQ(result.number, row.number);
        EXPECT_EQ(result.cause, row.cause);
        EXPECT_EQ(std::count(steps.begin(), steps.end(), core::LineStep::Writing), row.writes);
        EXPECT_EQ(static_cast<size_t>(std::count(ledgers.bytes.begin(), ledgers.bytes.end(), '\n')), row.ledgerLines);
        if (row.pass) {
            EXPECT_NE(ledgers.bytes.find(",OP-1,"), std::string::npos) << ledgers.bytes;
            EXPECT_EQ(result.next, 78u);
        }
    }
}

// Board after board, each gets its own Number; a board that already carries one is refused
// without spending a Number, and written again only on a rework.
TEST(BoardCycle, NeverGivesANumberTwice) {
    vboard::MemoryStore store;
    store.SetText(vboard::kIniFile, vboard::SetBoardSettings("[board]\nnew_board_each_open=1\n", true, TOLKA_IF_USB));
    vboard::ModelLink link{store};
    MemoryLedgers ledgers;
    CycleRecipe recipe;
    recipe.fields = core::DecodeRecord(testrecords::MakeRecord(kOther, 77).data());
    recipe.ledger = L"ledger.csv";
    const auto text = [](int id) { return std::to_wstring(id); };
    EXPECT_EQ(MakeBoardCycle(link, ledgers, recipe, text)->Look().next, 77u);
    const auto cycle = MakeBoardCycle(link, ledgers, recipe, text);
    for (uint32_t number : {77u, 78u, 79u})
        EXPECT_EQ(cycle->Run(L"OP-1", nullptr).number, number);
    EXPECT_EQ(cycle->Look().next, 80u);
}

}  // namespace
}  // namespace station
