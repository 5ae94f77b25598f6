#include "line/ledgerindex.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/digits.h"
#include "line/ledgerline.h"
#include "line/ledgerstream.h"

namespace core::ledger_detail {

namespace {

// The index beside a ledger, one line: "tolka-ledger-index 2 <length> <highest or -> <check>".
// It says that the ledger's first <length> bytes were read whole and sound and that <highest>
// is the highest Number on them. <check> is a hash of the line's own fields and of the first
// and the last 4 KiB of those bytes. It is believed only when it is exactly such a line, its
// check holds, the bytes it covers end with a whole line, and the lines in their last 4 KiB
// agree with <highest> (a Number reserved is above every earlier one, so the last lines of a
// ledger hold its highest Number). Otherwise the ledger is read whole: the index can cost
// time, never decide a Number that a full read would not.
constexpr char kIndexTag[] = "tolka-ledger-index";
constexpr char kIndexVersion[] = "2";
constexpr uint64_t kCheckedBytes = 4096;  // at the start and at the end

// The first and the last bytes of the ledger's first `length` bytes.
struct LedgerEnds {
    std::string head;
    std::string tail;
};

bool ReadEnds(LedgerFile& file, uint64_t length, LedgerEnds& ends) {
    const uint64_t tailLength = std::min(length, kCheckedBytes);
    return file.ReadAt(0, tailLength, ends.head) && ends.head.size() == tailLength &&
           file.ReadAt(length - tailLength, tailLength, ends.tail) && ends.tail.size() == tailLength;
}

uint64_t Fnv1a(const std::string& bytes, uint64_t hash) {
    for (char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    return hash;
}

std::string IndexFields(const LedgerIndex& index) {
    return std::string(kIndexTag) + " " + kIndexVersion + " " + DecimalText(index.length) + " " +
           (index.highest ? DecimalText(*index.highest) : "-");
}

uint64_t CheckOf(const LedgerIndex& index, const LedgerEnds& ends) {
    return Fnv1a(ends.tail, Fnv1a(ends.head, Fnv1a(IndexFields(index), 0xcbf29ce484222325ull)));
}

std::string FormatIndex(const LedgerIndex& index) {
    return IndexFields(index) + " " + HexText(index.check, 1, HexCase::Lower) + "\n";
}

// The blank-separated words of a line.
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    size_t at = 0;
    while ((at = text.find_first_not_of(" \r\n", at)) != std::string::npos) {
        size_t end = text.find_first_of(" \r\n", at);
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

// Lower-case hexadecimal digits only, at most 64 bits.
bool ParseLowerHex(const std::string& text, uint64_t& value) {
    if (text.empty() || text.size() > 16)
        return false;
    value = 0;
    for (char c : text) {
        int digit = IsDigit(c) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
        if (digit < 0)
            return false;
        value = value * 16 + static_cast<uint64_t>(digit);
    }
    return true;
}

// The index as written by FormatIndex, and nothing else: no other spelling of a field.
std::optional<LedgerIndex> ParseIndex(const std::string& text) {
    const std::vector<std::string> w = Words(text);
    LedgerIndex index;
    uint32_t highest = 0;
    const std::optional<uint64_t> length = w.size() == 5 ? ParseDecimal(w[2], UINT64_MAX) : std::nullopt;
    if (!length || !ParseLowerHex(w[4], index.check) || (w[3] != "-" && !ParseNumber(w[3], highest)))
        return std::nullopt;
    index.length = *length;
    if (w[3] != "-")
        index.highest = highest;
    if (FormatIndex(index) != text)
        return std::nullopt;
    return index;
}

// Whether the whole lines in the last bytes the index covers have its highest Number.
bool TailAgrees(const LedgerIndex& index, const LedgerEnds& ends) {
    const std::string& tail = ends.tail;
    if (tail.empty() || tail.back() != '\n')
        return false;
    LedgerContent seen;
    if (tail.size() == index.length) {
        seen = ParseLedger(tail);
    } else {
        const size_t lineStart = tail.find('\n') + 1;
        seen = ParseLines(tail.substr(lineStart), index.layout);
    }
    return seen.fault == LedgerFault::None && seen.highest == index.highest;
}

}  // namespace

std::optional<LedgerIndex> TrustedIndex(LedgerFile& file, uint64_t size) {
    std::optional<LedgerIndex> index = ParseIndex(file.ReadIndex());
    LedgerEnds ends;
    if (!index || index->length > size || !ReadEnds(file, index->length, ends) || CheckOf(*index, ends) != index->check)
        return std::nullopt;
    // The header lies within the first bytes the check covers: the lines after it are of its layout.
    const LedgerContent header = ParseLedger(ends.head.substr(0, ends.head.find('\n') + 1));
    index->layout = header.layout;
    if (header.fault != LedgerFault::None || !TailAgrees(*index, ends))
        return std::nullopt;
    return index;
}

void RecordIndex(LedgerFile& file, uint64_t length, std::optional<uint32_t> highest) {
    LedgerIndex index{length, highest, 0};
    LedgerEnds ends;
    if (!ReadEnds(file, length, ends))
        return;
    index.check = CheckOf(index, ends);
    file.WriteIndex(FormatIndex(index));
}

}  // namespace core::ledger_detail
