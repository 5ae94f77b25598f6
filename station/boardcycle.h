// The station's board cycle over the line cycle (core::RunLineCycle): one connection per
// board, the record file's record written with its own Number, the port options when the
// station has them, and each failure put in words for the operator. No Number ledger yet:
// every board gets the record file's Number. Portable: no <windows.h>.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/boardlink.h"
#include "core/portoptions.h"
#include "core/record.h"
#include "station/stationsession.h"

namespace station {

struct CycleRecipe {
    core::RecordImage record{};
    std::optional<core::PortOptionImage> options;
    bool rework = false;
};

// The text of a catalogue id in the face's language (a window: its string table).
using TextOfId = std::function<std::wstring(int id)>;

std::unique_ptr<BoardCycle> MakeBoardCycle(core::DeviceLink& link, const CycleRecipe& recipe, TextOfId text);

}  // namespace station
