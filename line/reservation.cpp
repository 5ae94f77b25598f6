#include <algorithm>

#include "line/ledger.h"
#include "line/ledgerindex.h"
#include "line/ledgerstream.h"

namespace core {

using namespace ledger_detail;

std::optional<uint32_t> NextNumber(std::optional<uint32_t> highest, uint32_t floor, const Station& station) {
    if (station.n == 0)
        return std::nullopt;
    uint64_t start = floor;
    if (highest)
        start = std::max<uint64_t>(start, uint64_t{*highest} + 1);
    const uint64_t n = station.n;
    const uint64_t candidate = start + (station.k % n + n - start % n) % n;
    if (candidate > 0xFFFFFFFFu)
        return std::nullopt;
    return static_cast<uint32_t>(candidate);
}

bool ScanLedger(LedgerFile& file, LedgerContent& content) {
    content = LedgerContent();
    uint64_t size = 0;
    if (!file.Size(size))
        return false;
    if (std::optional<LedgerIndex> index = TrustedIndex(file, size)) {
        if (!ReadStream(file, index->length, size, nullptr, content, index->layout))
            return false;
        if (content.fault == LedgerFault::None) {
            if (index->highest)
                content.highest = std::max(content.highest.value_or(0), *index->highest);
            if (size > index->length)
                RecordIndex(file, size, content.highest);
            return true;
        }
    }
    // A fault after the index is told as a read of the whole file tells it, from the
    // ledger's own lines.
    if (!ReadStream(file, 0, size, nullptr, content))
        return false;
    if (content.fault == LedgerFault::None && !content.fresh)
        RecordIndex(file, size, content.highest);
    return true;
}

Reservation ReserveNumber(LedgerFile& file, LedgerEntry line, uint32_t floor, const Station& station) {
    Reservation result;
    LedgerContent content;
    if (!ScanLedger(file, content)) {
        result.failure = ReserveFailure::ReadFailed;
        return result;
    }
    if (content.fault != LedgerFault::None) {
        result.failure = ReserveFailure::Refused;
        result.fault = content.fault;
        result.faultLine = content.faultLine;
        return result;
    }
    std::optional<uint32_t> next = NextNumber(content.highest, floor, station);
    if (!next) {
        result.failure = ReserveFailure::Exhausted;
        return result;
    }
    line.number = *next;
    line.status = LedgerStatus::Reserved;
    result.layout = content.layout;
    if (!file.Append((content.fresh ? LedgerPreamble(content.layout) : std::string()) +
                     FormatLedgerLine(line, content.layout))) {
        result.failure = ReserveFailure::AppendFailed;
        return result;
    }
    result.number = *next;
    return result;
}

}  // namespace core
