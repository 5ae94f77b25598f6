// The index kept beside a ledger (`<ledger>.index`): what spares a reservation the read of a
// long ledger. Portable: no <windows.h>.
#pragma once

#include <cstdint>
#include <optional>

#include "line/ledger.h"

namespace core::ledger_detail {

struct LedgerIndex {
    uint64_t length = 0;
    std::optional<uint32_t> highest;
    uint64_t check = 0;
    int layout = 0;  // the ledger's, from its header: what the lines after the index hold
};

// The index when it is to be believed for the held ledger of `size` bytes.
std::optional<LedgerIndex> TrustedIndex(LedgerFile& file, uint64_t size);

// Records that the ledger's first `length` bytes are sound with this highest Number.
void RecordIndex(LedgerFile& file, uint64_t length, std::optional<uint32_t> highest);

}  // namespace core::ledger_detail
