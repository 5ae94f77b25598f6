// The station's board cycle on the virtual board's model: what the operator is told per board.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/records_test_support.h"
#include "core/textids.h"
#include "station/boardcycle.h"
#include "varnet/board_config.h"
#include "varnet/flash_image.h"
#include "varnet/memory_store_test_support.h"
#include "varnet/model_link.h"

namespace station {
namespace {

const wchar_t kOther[] = L"01234567-89ab-cdef-0123-456789abcdef";

TEST(BoardCycle, TellsThePassWithItsNumberOrTheCauseWithTheBoardsNumber) {
    struct Row {
        const wchar_t* uuid;
        uint32_t held;  // the Number in slot 0; 0: an empty board
        bool attached;
        bool pass;
        uint32_t number;
        std::wstring cause;
    } const rows[] = {
        {kOther, 0, true, true, 77, L""},
        {kOther, 12, true, false, 12, L"61743:12"},              // already numbered: told with its Number
        {core::kPelnexKindUuid, 0, true, false, 0, L"61746:0"},  // a LAN record on a USB board
        {kOther, 0, false, false, 0, L"61740:0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.cause);
        vboard::MemoryStore store;
        auto& flash = store.files[vboard::kFlashFile] = vboard::FlashImage::NewBoard().Bytes();
        if (row.held != 0) {
            const core::RecordImage held = testrecords::MakeRecord(kOther, row.held);
            std::copy(held.begin(), held.end(), flash.begin() + core::kFirstSlot);
        }
        store.SetText(vboard::kIniFile, vboard::SetBoardSettings("", row.attached, TOLKA_IF_USB));
        vboard::ModelLink link{store};
        const auto cycle = MakeBoardCycle(link, {testrecords::MakeRecord(row.uuid, 77), std::nullopt, false},
                                          [](int id) { return std::to_wstring(id) + L":%1"; });
        std::vector<core::LineStep> steps;
        const StationResult result = cycle->Run(L"OP-1", [&](core::LineStep step) { steps.push_back(step); });
        EXPECT_EQ(result.pass, row.pass);
        EXPECT_EQ(result.number, row.number);
        EXPECT_EQ(result.cause, row.cause);
        EXPECT_EQ(std::count(steps.begin(), steps.end(), core::LineStep::Writing), row.pass ? 1 : 0);
    }
}

}  // namespace
}  // namespace station
