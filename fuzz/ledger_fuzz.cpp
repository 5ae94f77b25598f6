// The Number ledger is a CSV file people open in spreadsheets and stations append to: any
// bytes come back as entries or as a fault, never a crash; what is read is written back the
// same way and reads back the same; station texts round-trip.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/ledger.h"

namespace {

bool SameEntries(const core::LedgerEntry& a, const core::LedgerEntry& b) {
    return a.time == b.time && a.station == b.station && a.status == b.status && a.number == b.number &&
           a.uuid == b.uuid && a.product == b.product && a.maker == b.maker && a.slot == b.slot &&
           a.interfaceType == b.interfaceType;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    core::LedgerContent content = core::ParseLedger(bytes);
    if (content.fault == core::LedgerFault::None) {
        std::string written = core::LedgerPreamble();
        for (const core::LedgerEntry& entry : content.entries)
            written += core::FormatLedgerLine(entry);
        core::LedgerContent again = core::ParseLedger(written);
        if (again.fault != core::LedgerFault::None || again.entries.size() != content.entries.size() ||
            again.highest != content.highest)
            std::abort();
        for (size_t i = 0; i < content.entries.size(); ++i) {
            if (!SameEntries(again.entries[i], content.entries[i]))
                std::abort();
        }
    }
    if (std::optional<core::Station> station = core::ParseStation(bytes.substr(0, 24))) {
        std::optional<core::Station> again = core::ParseStation(core::FormatStation(*station));
        if (!again || again->k != station->k || again->n != station->n)
            std::abort();
    }
    return 0;
}
