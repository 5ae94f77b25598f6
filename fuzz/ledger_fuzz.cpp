// The Number ledger is a CSV file people open in spreadsheets and stations append to: any
// bytes come back as entries or as a fault, never a crash; what is read is written back the
// same way and reads back the same; read a piece at a time it reads as it does whole; fields
// put in quotes read as they did without; an index beside it, whatever it holds, never
// changes what a reservation gives; station texts round-trip; its production report adds up
// and no text of it becomes markup.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "line/ledger.h"
#include "line/ledgersummary.h"
#include "line/reportpage.h"

namespace {

// A ledger in memory that hands out at most `piece` bytes per read.
class FuzzLedger : public core::LedgerFile {
public:
    FuzzLedger(std::string bytes, std::string index, uint64_t piece)
        : bytes_(std::move(bytes)), index_(std::move(index)), piece_(piece) {}
    bool Size(uint64_t& size) override {
        size = bytes_.size();
        return true;
    }
    bool ReadAt(uint64_t offset, uint64_t length, std::string& out) override {
        out = offset < bytes_.size() ? bytes_.substr(offset, std::min(length, piece_)) : std::string();
        return true;
    }
    bool Append(const std::string& more) override {
        bytes_ += more;
        return true;
    }
    std::string ReadIndex() override { return index_; }
    void WriteIndex(const std::string& text) override { index_ = text; }

private:
    std::string bytes_, index_;
    uint64_t piece_;
};

bool SameReservation(const core::Reservation& a, const core::Reservation& b) {
    return a.failure == b.failure && a.fault == b.fault && a.faultLine == b.faultLine && a.number == b.number;
}

core::Reservation Reserve(const std::string& bytes, const std::string& index) {
    FuzzLedger file(bytes, index, UINT64_MAX);
    core::LedgerEntry line;
    return core::ReserveNumber(file, line, 0, core::Station{});
}

// The ledger with every field after the header line put in quotes, which changes no field:
// lines without quotes are split in place, quoted ones by the full reader, and both must
// read alike. Empty when the ledger holds a quote or a CR, which quoting would change.
std::string QuotedFields(const std::string& bytes) {
    const size_t header = bytes.find('\n');
    if (header == std::string::npos || bytes.find_first_of("\"\r") != std::string::npos)
        return std::string();
    std::string quoted = bytes.substr(0, header + 1);
    for (size_t at = header + 1; at < bytes.size();) {
        const size_t end = std::min(bytes.find('\n', at), bytes.size());
        quoted += '"';
        for (size_t i = at; i < end; ++i)
            quoted += bytes[i] == ',' ? std::string("\",\"") : std::string(1, bytes[i]);
        quoted += end < bytes.size() ? "\"\n" : "\"";
        at = end + 1;
    }
    return quoted;
}

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
    if (content.fault == core::LedgerFault::None) {
        core::LedgerSummary summary({core::ParsePeriodBound(bytes.substr(0, 16), false), std::nullopt});
        for (const core::LedgerEntry& entry : content.entries)
            summary.Add(entry);
        const core::LedgerFigures& f = summary.Finish();
        if (f.total.ok > f.total.reserved || f.total.failed > f.total.Gaps() || f.gaps.size() > f.total.Gaps() ||
            core::ReportPage(f, core::ReportFacts()).find("<script") != std::string::npos)
            std::abort();
    }
    const std::string quoted = QuotedFields(bytes);
    if (!quoted.empty()) {
        const core::LedgerContent inQuotes = core::ParseLedger(quoted);
        if (inQuotes.fault != content.fault || inQuotes.faultLine != content.faultLine ||
            inQuotes.highest != content.highest || inQuotes.entries.size() != content.entries.size())
            std::abort();
        for (size_t i = 0; i < content.entries.size(); ++i) {
            if (!SameEntries(inQuotes.entries[i], content.entries[i]))
                std::abort();
        }
    }
    // Pieces of 1 to 16 bytes, chosen by the first byte.
    FuzzLedger chopped(bytes, "", size > 0 ? data[0] % 16u + 1u : 1u);
    core::LedgerContent streamed;
    if (!core::ReadLedgerEntries(chopped, nullptr, streamed) || streamed.fault != content.fault ||
        streamed.faultLine != content.faultLine || streamed.highest != content.highest)
        std::abort();
    // What follows the first line feed is a ledger, the line before it its index: the index
    // is a cache, also when the ledger is a sound one and the index forged from it.
    const size_t feed = bytes.find('\n');
    if (feed != std::string::npos) {
        const std::string index = bytes.substr(0, feed + 1), ledger = bytes.substr(feed + 1);
        const core::Reservation fullRead = Reserve(ledger, "");
        if (!SameReservation(Reserve(ledger, index), fullRead))
            std::abort();
        // The index a scan of the ledger's start wrote, before the rest came behind its back.
        FuzzLedger start(ledger.substr(0, ledger.size() * (size > 1 ? data[1] : 0) / 255), "", UINT64_MAX);
        core::LedgerContent scanned;
        core::ScanLedger(start, scanned);
        if (!SameReservation(Reserve(ledger, start.ReadIndex()), fullRead))
            std::abort();
    }
    if (std::optional<core::Station> station = core::ParseStation(bytes.substr(0, 24))) {
        std::optional<core::Station> again = core::ParseStation(core::FormatStation(*station));
        if (!again || again->k != station->k || again->n != station->n)
            std::abort();
    }
    return 0;
}
