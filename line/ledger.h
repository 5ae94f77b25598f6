// The Number ledger: a CSV file in which every Number handed to a board is recorded before
// the board is written, so that no Number is ever given twice, even by a program that was
// killed half-way or by several stations sharing one range.
//
//   time,station,status,number,uuid,product,maker,slot,interface
//   2024-05-01T09:30:00+09:00,1/2,reserved,1001,3aa4...,製品,製造元,,0x80000000
//   2024-05-01T09:30:01+09:00,1/2,ok,1001,3aa4...,製品,製造元,0x7080,0x80000000
//
// UTF-8 with a byte-order mark (so that a spreadsheet shows Japanese names), CRLF line ends,
// RFC 4180 quoting. A field that begins with "=", "+", "-", "@", a tab or a CR is written after an
// apostrophe, so that a spreadsheet shows it as text instead of running it as a formula.
// A ledger is only ever appended to: a file this code cannot read fully is refused, never
// repaired, rewritten or truncated. A small index beside it (see ScanLedger) spares each
// reservation a read of the whole file. Portable: no <windows.h>.
//
// Its files: ledgerline.* (a line's columns, writing and checking one), csvreader.* (quoted
// lines), bytescan.h (the fast path's scans), ledgerstream.* (reading a piece at a time),
// ledgerindex.* (the index), reservation.cpp (scanning and reserving), isotime.* (times).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "line/isotime.h"

namespace core {

enum class LedgerStatus { Reserved, Ok, Failed };

// "reserved", "ok", "failed", as the ledgers write them.
const char* LedgerStatusText(LedgerStatus status);
std::optional<LedgerStatus> ParseLedgerStatus(std::string_view text);

// One line of the ledger. Texts are UTF-8.
struct LedgerEntry {
    std::string time;     // ISO 8601 local time with its offset from UTC
    std::string station;  // "K/N", or empty when the line has no station
    LedgerStatus status = LedgerStatus::Reserved;
    uint32_t number = 0;
    std::string uuid;           // 36 characters
    std::string product;        // product name
    std::string maker;          // maker name
    std::string slot;           // flash address written, "0x7080"; empty until known
    std::string interfaceType;  // "0x80000000"
    // Layout 2 on: who, what and why. A ledger of layout 1 neither writes nor reads them.
    std::string operatorId{};              // who ran the station; empty when not asked
    std::string recipe{};                  // the record file's digest, "+" and the options file's
    std::string version{};                 // the program's version
    std::optional<uint32_t> durationMs{};  // from the reservation to the outcome
    std::string cause{};                   // on a failed line: the exit code's name ("verify")
    std::optional<uint32_t> replaces{};    // on a rework: the Number the board carried
};

// The ledger's columns: layout 1 has the first nine, layout 2 (every ledger made now) all.
// A ledger keeps the layout it was made with until `tolka ledger upgrade` converts it.
constexpr int kLedgerLayout1 = 1;
constexpr int kLedgerLayout2 = 2;
constexpr int kNewLedgerLayout = kLedgerLayout2;

// Station K of N takes only the Numbers n with n mod N == K mod N, so N stations with
// ledgers of their own share one range without ever meeting.
struct Station {
    uint32_t k = 1;
    uint32_t n = 1;
};

inline bool operator==(const Station& a, const Station& b) {
    return a.k == b.k && a.n == b.n;
}

// "K/N" with 1 <= K <= N, decimal digits only.
std::optional<Station> ParseStation(std::string_view text);
std::string FormatStation(const Station& station);

// Why a ledger was refused; the line is where the fault starts (the header is line 1).
enum class LedgerFault {
    None,
    NoByteOrderMark,   // not written by us, or re-saved by a program that dropped it
    BadHeader,         // a CSV file of some other kind
    NotUtf8,           // bytes that are no UTF-8 text (a re-save in another code page)
    BadQuoting,        // a quote inside an unquoted field, or text after a closing quote
    UnterminatedLine,  // the last line has no line end (an append that was cut short)
    FieldCount,        // not as many fields as the header's columns
    BadField,          // a field that does not hold what its column holds
};

struct LedgerContent {
    LedgerFault fault = LedgerFault::None;
    size_t faultLine = 0;
    bool fresh = false;  // no bytes at all: the header is still to be written
    std::vector<LedgerEntry> entries;
    std::optional<uint32_t> highest;  // the highest Number on any line
    size_t lines = 0;                 // physical lines read, the header included (a whole read)
    int layout = kNewLedgerLayout;    // as its header says; a fresh ledger gets the new one
};

// Reads a whole ledger file. Takes any bytes: a fault comes back as a fault, never as a
// crash or an exception.
LedgerContent ParseLedger(const std::string& bytes);

// Byte-order mark and header line: the start of a new ledger.
std::string LedgerPreamble(int layout = kNewLedgerLayout);

// One line of the layout's columns, CRLF-terminated, fields quoted where RFC 4180 needs it.
std::string FormatLedgerLine(const LedgerEntry& entry, int layout = kNewLedgerLayout);

// A field as RFC 4180 writes it: in quotes, with quotes doubled, when it holds a comma, a
// quote, CR or LF; otherwise as it is. A text that a spreadsheet would take for a formula
// gets an apostrophe first (and one that already begins with apostrophes before such a
// character one more), which the reader takes off again: every text reads back as written.
std::string CsvField(const std::string& text);

// The smallest Number n that is at least `floor`, above `highest` (a Number once reserved
// is never given again) and belongs to the station. Empty when no such n fits in 32 bits.
std::optional<uint32_t> NextNumber(std::optional<uint32_t> highest, uint32_t floor, const Station& station);

// A ledger file that this process holds alone from opening to destruction: no other
// process reads or appends meanwhile, which is what makes a reservation safe.
class LedgerFile {
public:
    virtual ~LedgerFile() = default;
    virtual bool Size(uint64_t& size) = 0;
    // `length` bytes from `offset`, fewer at the end of the file.
    virtual bool ReadAt(uint64_t offset, uint64_t length, std::string& bytes) = 0;
    // Appends at the end; true only once the bytes are on the disk.
    virtual bool Append(const std::string& bytes) = 0;
    // The index kept beside the ledger: empty when there is none. Writing it may fail
    // unnoticed; it is only a shortcut and is checked against the ledger before each use.
    virtual std::string ReadIndex() = 0;
    virtual void WriteIndex(const std::string& text) = 0;
};

// Reads the whole held ledger a piece at a time, handing each sound line to `onEntry` in
// its order; memory does not grow with the ledger. The lines handed over count only when
// `content` comes back without a fault (a fault further on refuses the whole ledger).
// `content.entries` stays empty. False when the file could not be read.
bool ReadLedgerEntries(LedgerFile& file, const std::function<void(LedgerEntry&&)>& onEntry, LedgerContent& content);

// What the held ledger says about its Numbers (`entries` stays empty). The index beside it
// (`<ledger>.index`) spares a read of the whole file: it vouches for the ledger's first bytes
// as they were last read whole and sound, with their highest Number, under a check of its
// own fields and of the first and last 4 KiB of those bytes; then only the lines appended
// since are read, and the cost stays the same however long the ledger grows. An index that
// is not exactly such a line, whose check fails, that covers part of a line, or whose
// highest Number the last lines it covers do not bear out, is passed over, and so is one
// after which a line cannot be read: the whole file is then read, a piece at a time, and a
// fault is told from the ledger's own lines. Whatever the index holds, the result is that of
// a read of the whole file; the index is brought up to date. False when the file could not
// be read.
bool ScanLedger(LedgerFile& file, LedgerContent& content);

enum class ReserveFailure { None, Refused, Exhausted, ReadFailed, AppendFailed };

struct Reservation {
    ReserveFailure failure = ReserveFailure::None;
    LedgerFault fault = LedgerFault::None;  // when refused
    size_t faultLine = 0;
    uint32_t number = 0;
    int layout = kNewLedgerLayout;  // of the ledger the line went into
};

// Scans the held ledger, takes the next Number by NextNumber and appends `line` with that
// Number and the status `reserved` (after the preamble when the file is new). Nothing is
// appended unless the ledger could be read up to its end.
Reservation ReserveNumber(LedgerFile& file, LedgerEntry line, uint32_t floor, const Station& station);

}  // namespace core
