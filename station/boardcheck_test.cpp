// The set-up's look at a board on the virtual board's model: what it finds, what it says the
// station would do, and that the board is left as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/textids.h"
#include "station/station_test_support.h"
#include "station/boardcheck.h"
#include "varnet/board_config.h"
#include "varnet/memory_store_test_support.h"
#include "varnet/model_link.h"

namespace station {
namespace {

using stationtest::kOther;

TEST(BoardCheck, TellsWhatTheBoardHoldsAndWritesNothing) {
    using O = OptionSupport;
    const struct Row {
        const char* name;
        const wchar_t* uuid;
        uint32_t held;  // the Number in slot 0; 0: an empty board
        bool attached, firmwareOptions, withOptions, rework;
        bool read;
        O options;
        bool mismatch, writable;
    } rows[] = {
        {"empty board", kOther, 0, true, true, false, false, true, O::Supported, false, true},
        {"numbered", kOther, 12, true, true, false, false, true, O::Supported, false, false},
        {"numbered, rework", kOther, 12, true, true, false, true, true, O::Supported, false, true},
        {"LAN record", core::kPelnexKindUuid, 0, true, true, false, false, true, O::Supported, true, false},
        {"no option area", kOther, 0, true, false, true, false, true, O::Unsupported, false, false},
        {"no option area, none asked", kOther, 0, true, false, false, false, true, O::Unsupported, false, true},
        {"no board", kOther, 0, false, true, false, false, false, O::Unknown, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        vboard::MemoryStore store;
        std::vector<uint8_t>& flash = stationtest::PutUsbBoard(store, row.held, row.attached);
        if (!row.firmwareOptions)
            flash[core::kOptionFirmwareAddress] = 0xFF;
        const auto before = store.files;
        vboard::ModelLink link{store};
        CycleRecipe recipe;
        recipe.fields = core::DecodeRecord(testrecords::MakeRecord(row.uuid, 77).data());
        recipe.rework = row.rework;
        if (row.withOptions)
            recipe.options = core::PortOptionImage{};

        const BoardCheck check = CheckBoard(link, recipe);
        EXPECT_EQ(check.read, row.read);
        EXPECT_EQ(check.holding.number, row.held);
        EXPECT_EQ(check.options, row.options);
        EXPECT_EQ(check.mismatch.has_value(), row.mismatch);
        EXPECT_EQ(check.writable, row.writable);
        // Open, the interface, the echo test, three slot reads, the firmware's mark, close.
        EXPECT_LE(check.calls, 10u + (row.held != 0 ? 6u : 0u));
        EXPECT_EQ(store.files.at(vboard::kFlashFile), before.at(vboard::kFlashFile));
        EXPECT_EQ(store.files.count(vboard::kAreaFile), 0u);

        const std::wstring words = BoardCheckText(check, [](int id) { return std::to_wstring(id) + L"(%1)"; });
        const int last = !row.read      ? IDS_STATION_SETUP_CHECK_NO_BOARD
                         : row.writable ? IDS_STATION_SETUP_CHECK_WRITABLE
                                        : IDS_STATION_SETUP_CHECK_REFUSED;
        EXPECT_EQ(words.substr(words.rfind(L'\n') + 1), std::to_wstring(last) + L"(%1)");
        EXPECT_EQ(words.find(std::to_wstring(IDS_STATION_SETUP_CHECK_NUMBER) + L"(12)") != std::wstring::npos,
                  row.held != 0);
    }
}

}  // namespace
}  // namespace station
