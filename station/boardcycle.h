// The station's board cycle: one board per Enter through core::RunLedgerBoard, the same run
// as the console's `line run`, with the Number from the station's ledger and the operator
// recorded with it, and each failure put in words for the operator. Portable: no <windows.h>.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/boardlink.h"
#include "core/portoptions.h"
#include "core/record.h"
#include "line/lineledger.h"
#include "station/stationsession.h"

namespace station {

// What every board of the station gets.
struct CycleRecipe {
    core::RecordFields fields;  // the record file's; its Number is the floor of the ledger's
    std::optional<core::PortOptionImage> options;
    bool rework = false;
    std::wstring ledger;     // a file, or "odbc:" and a connection string
    core::Station share;     // 1/1 when the station file names none
    core::LedgerEntry line;  // the ledger line's station, product, maker, version and recipe
};

// The text of a catalogue id in the face's language (a window: its string table).
using TextOfId = std::function<std::wstring(int id)>;

// The ledger as the operator sees it named: a file by its name, a database without its password.
std::wstring ShownLedgerName(const std::wstring& ledger);

// Why the ledger cannot be used, for the operator: what happened and what to do.
std::wstring LedgerCause(const core::LedgerResult& r,
                         const std::wstring& ledgerName,
                         uint32_t number,
                         const TextOfId& text);

std::unique_ptr<BoardCycle> MakeBoardCycle(core::DeviceLink& link,
                                           core::LedgerSystem& system,
                                           const CycleRecipe& recipe,
                                           TextOfId text);

}  // namespace station
