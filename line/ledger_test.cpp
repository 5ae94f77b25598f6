#include "line/ledger.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace core {
namespace {

const std::string kHeader = "\xEF\xBB\xBFtime,station,status,number,uuid,product,maker,slot,interface\r\n";
const std::string kUuid = "3aa4096d-2cc0-46dd-878a-88511d75ac78";

std::string Line(const std::string& status, const std::string& number, const std::string& station = "") {
    return "2024-05-01T09:30:00+09:00," + station + "," + status + "," + number + "," + kUuid +
           ",prod,maker,,0x80000000\r\n";
}

LedgerEntry Entry(LedgerStatus status, uint32_t number) {
    LedgerEntry e;
    e.time = "2024-05-01T09:30:00+09:00";
    e.status = status;
    e.number = number;
    e.uuid = kUuid;
    e.interfaceType = "0x80000000";
    return e;
}

class MemoryLedger : public LedgerFile {
public:
    bool Size(uint64_t& size) override {
        size = bytes.size();
        return readable;
    }
    bool ReadAt(uint64_t offset, uint64_t length, std::string& out) override {
        out = offset < bytes.size() ? bytes.substr(offset, std::min(length, pieceBytes)) : std::string();
        bytesRead += out.size();
        return readable;
    }
    bool Append(const std::string& more) override {
        if (!writable)
            return false;
        bytes += more;
        return true;
    }
    std::string ReadIndex() override { return index; }
    void WriteIndex(const std::string& text) override { index = text; }
    std::string bytes;
    std::string index;
    bool readable = true;
    bool writable = true;
    uint64_t bytesRead = 0;
    uint64_t pieceBytes = UINT64_MAX;  // at most this much per read, as a file may hand it out
};

TEST(Ledger, WrittenLinesReadBackFieldForField) {
    LedgerEntry awkward = Entry(LedgerStatus::Ok, 4294967295u);
    awkward.station = "2/3";
    awkward.product = "製品, \"特別\" 版";
    awkward.maker = "two\r\nlines";
    awkward.slot = "0x7F80";
    LedgerEntry plain = Entry(LedgerStatus::Failed, 0);
    plain.time = "2024-12-31T23:59:59-03:30";

    const std::string bytes = LedgerPreamble(kLedgerLayout1) + FormatLedgerLine(awkward, kLedgerLayout1) +
                              FormatLedgerLine(plain, kLedgerLayout1) + Line("reserved", "7");
    LedgerContent content = ParseLedger(bytes);
    ASSERT_EQ(content.fault, LedgerFault::None);
    // A piece at a time, however the pieces cut the lines and characters, the same lines.
    for (uint64_t piece = 1; piece < 10; ++piece) {
        MemoryLedger file;
        file.bytes = bytes;
        file.pieceBytes = piece;
        std::vector<LedgerEntry> streamed;
        LedgerContent whole;
        ASSERT_TRUE(ReadLedgerEntries(
            file, [&](LedgerEntry&& e) { streamed.push_back(std::move(e)); }, whole));
        ASSERT_EQ(whole.fault, LedgerFault::None) << piece;
        ASSERT_EQ(streamed.size(), 3u);
        EXPECT_EQ(streamed[0].product, awkward.product) << piece;
        EXPECT_EQ(streamed[0].maker, awkward.maker) << piece;
        EXPECT_EQ(whole.highest, 4294967295u) << piece;
    }
    ASSERT_EQ(content.entries.size(), 3u);
    const LedgerEntry& a = content.entries[0];
    EXPECT_EQ(a.product, awkward.product);
    EXPECT_EQ(a.maker, awkward.maker);
    EXPECT_EQ(a.station, "2/3");
    EXPECT_EQ(a.slot, "0x7F80");
    EXPECT_EQ(a.status, LedgerStatus::Ok);
    EXPECT_EQ(content.entries[1].time, plain.time);
    EXPECT_EQ(content.entries[1].status, LedgerStatus::Failed);
    EXPECT_EQ(content.entries[2].status, LedgerStatus::Reserved);
    EXPECT_EQ(content.highest, 4294967295u);
    EXPECT_FALSE(content.fresh);
}

TEST(Ledger, QuotesOnlyWhereNeeded) {
    struct Case {
        std::string text, field;
    } cases[] = {
        {"製品A", "製品A"},
        {"", ""},
        {" padded ", " padded "},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"cr\rlf\n", "\"cr\rlf\n\""},
        // What a spreadsheet would run as a formula is shown as text.
        {"=1+2", "'=1+2"},
        {"+81", "'+81"},
        {"-x,y", "\"'-x,y\""},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"''=x", "'''=x"},
        {"\t=1+2", "'\t=1+2"},
        {"\r=1+2", "\"'\r=1+2\""},
        {"'plain", "'plain"},
        {"a=b", "a=b"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CsvField(c.text), c.field) << c.text;
        LedgerEntry entry = Entry(LedgerStatus::Ok, 1);
        entry.product = c.text;
        LedgerContent back = ParseLedger(kHeader + FormatLedgerLine(entry, kLedgerLayout1));
        ASSERT_EQ(back.entries.size(), 1u) << c.text;
        EXPECT_EQ(back.entries[0].product, c.text);
    }
}

TEST(Ledger, EmptyFileIsANewLedgerAndHeaderAloneHasNoNumbers) {
    LedgerContent fresh = ParseLedger("");
    EXPECT_EQ(fresh.fault, LedgerFault::None);
    EXPECT_TRUE(fresh.fresh);
    LedgerContent header = ParseLedger(kHeader);
    EXPECT_EQ(header.fault, LedgerFault::None);
    EXPECT_FALSE(header.fresh);
    EXPECT_FALSE(header.highest);
    EXPECT_EQ(LedgerPreamble(kLedgerLayout1), kHeader);
}

TEST(Ledger, RefusesForeignAndDamagedFilesAtTheirLine) {
    const std::string ok = Line("ok", "5");
    struct Case {
        const char* what;
        std::string bytes;
        LedgerFault fault;
        size_t line;
    } cases[] = {
        {"no byte-order mark", kHeader.substr(3) + ok, LedgerFault::NoByteOrderMark, 1},
        {"mark alone", "\xEF\xBB\xBF", LedgerFault::BadHeader, 1},
        {"other columns", "\xEF\xBB\xBFname,value\r\nx,1\r\n", LedgerFault::BadHeader, 1},
        {"header without line end", kHeader.substr(0, kHeader.size() - 2), LedgerFault::BadHeader, 1},
        {"re-saved in Shift_JIS", kHeader + ok + "2024-05-01T09:30:00+09:00,,ok,6," + kUuid + ",\x90\xBB,m,,0x1\r\n",
         LedgerFault::NotUtf8, 3},
        {"overlong UTF-8", kHeader + "\xC0\xAF\r\n", LedgerFault::NotUtf8, 2},
        {"cut short", kHeader + ok + ok.substr(0, 30), LedgerFault::UnterminatedLine, 3},
        {"complete fields, no line end", kHeader + ok.substr(0, ok.size() - 2), LedgerFault::UnterminatedLine, 2},
        {"only the last LF lost", kHeader + ok.substr(0, ok.size() - 1), LedgerFault::UnterminatedLine, 2},
        {"open quote at the end", kHeader + ok + "\"abc\r\n", LedgerFault::UnterminatedLine, 3},
        {"blank line", kHeader + ok + "\r\n", LedgerFault::FieldCount, 3},
        {"ten fields", kHeader + ok.substr(0, ok.size() - 2) + ",x\r\n", LedgerFault::FieldCount, 2},
        {"quote inside a field", kHeader + "2024-05-01T09:30:00+09:00,,ok,5," + kUuid + ",a\"b,m,,0x1\r\n",
         LedgerFault::BadQuoting, 2},
        {"text after a quote", kHeader + "2024-05-01T09:30:00+09:00,,ok,5," + kUuid + ",\"a\"b,m,,0x1\r\n",
         LedgerFault::BadQuoting, 2},
        {"lone CR", kHeader + ok + "x\ry\r\n", LedgerFault::BadQuoting, 3},
        {"unknown status", kHeader + Line("done", "5"), LedgerFault::BadField, 2},
        {"number with a sign", kHeader + Line("ok", "+5"), LedgerFault::BadField, 2},
        {"number above 32 bits", kHeader + Line("ok", "4294967296"), LedgerFault::BadField, 2},
        {"hexadecimal number", kHeader + Line("ok", "0x10"), LedgerFault::BadField, 2},
        {"station 0/2", kHeader + Line("ok", "5", "0/2"), LedgerFault::BadField, 2},
        {"spreadsheet date", kHeader + "2024/05/01 9:30,,ok,5," + kUuid + ",p,m,,0x1\r\n", LedgerFault::BadField, 2},
        {"braced UUID", kHeader + "2024-05-01T09:30:00Z,,ok,5,{" + kUuid + "},p,m,,0x1\r\n", LedgerFault::BadField, 2},
        {"slot not hexadecimal", kHeader + "2024-05-01T09:30:00Z,,ok,5," + kUuid + ",p,m,7000,0x1\r\n",
         LedgerFault::BadField, 2},
        {"no interface type", kHeader + "2024-05-01T09:30:00Z,,ok,5," + kUuid + ",p,m,0x7000,\r\n",
         LedgerFault::BadField, 2},
        // A name with a line break inside quotes moves the following lines down by one.
        {"after a two-line name", kHeader + "2024-05-01T09:30:00Z,,ok,5," + kUuid + ",\"a\r\nb\",m,,0x1\r\n" + "x\r\n",
         LedgerFault::FieldCount, 4},
        // Bytes that are no UTF-8 refuse the file before any line does.
        {"no UTF-8 after a damaged line", kHeader + "x\r\n" + ok + "\xFF\r\n", LedgerFault::NotUtf8, 4},
    };
    for (const Case& c : cases) {
        LedgerContent content = ParseLedger(c.bytes);
        EXPECT_EQ(content.fault, c.fault) << c.what;
        EXPECT_EQ(content.faultLine, c.line) << c.what;
        EXPECT_TRUE(content.entries.empty() || content.fault == LedgerFault::None) << c.what;
        // Read a piece at a time, however the pieces fall, the file reads the same.
        for (uint64_t piece = 1; piece < 10; ++piece) {
            MemoryLedger file;
            file.bytes = c.bytes;
            file.pieceBytes = piece;
            LedgerContent streamed;
            ASSERT_TRUE(ReadLedgerEntries(file, nullptr, streamed));
            EXPECT_EQ(streamed.fault, c.fault) << c.what << ", pieces of " << piece;
            EXPECT_EQ(streamed.faultLine, c.line) << c.what << ", pieces of " << piece;
        }
    }
}

TEST(Ledger, AcceptsLfLineEndsAndUtcTimes) {
    std::string lf =
        "\xEF\xBB\xBFtime,station,status,number,uuid,product,maker,slot,interface\n"
        "2024-05-01T00:30:00Z,,reserved,12," +
        kUuid + ",p,m,,0x40000000\n";
    LedgerContent content = ParseLedger(lf);
    EXPECT_EQ(content.fault, LedgerFault::None);
    EXPECT_EQ(content.highest, 12u);
}

TEST(Ledger, StationText) {
    struct Case {
        const char* text;
        bool ok;
        uint32_t k, n;
    } cases[] = {
        {"1/1", true, 1, 1},    {"2/3", true, 2, 3},
        {"3/3", true, 3, 3},    {"0/3", false, 0, 0},
        {"4/3", false, 0, 0},   {"1/0", false, 0, 0},
        {"1", false, 0, 0},     {"1/", false, 0, 0},
        {"/2", false, 0, 0},    {" 1/2", false, 0, 0},
        {"1/2/3", false, 0, 0}, {"-1/2", false, 0, 0},
        {"+1/2", false, 0, 0},  {"1/99999999999", false, 0, 0},
    };
    for (const Case& c : cases) {
        std::optional<Station> s = ParseStation(c.text);
        ASSERT_EQ(s.has_value(), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(s->k, c.k) << c.text;
            EXPECT_EQ(s->n, c.n) << c.text;
            EXPECT_EQ(FormatStation(*s), c.text);
        }
    }
}

TEST(Ledger, NextNumberIsOnePastTheHighestInTheStationsClass) {
    const std::optional<uint32_t> none;
    struct Case {
        std::optional<uint32_t> highest;
        uint32_t floor;
        Station station;
        std::optional<uint32_t> next;
    } cases[] = {
        {none, 0, {1, 1}, 0u},
        {none, 1000, {1, 1}, 1000u},
        {7u, 0, {1, 1}, 8u},
        {7u, 5, {1, 1}, 8u},  // the floor never brings a Number back
        {7u, 100, {1, 1}, 100u},
        {none, 0, {1, 3}, 1u},
        {none, 0, {3, 3}, 0u},  // K = N takes the multiples of N
        {9u, 0, {1, 3}, 10u},
        {10u, 0, {1, 3}, 13u},
        {11u, 0, {2, 3}, 14u},
        {none, 1000, {2, 4}, 1002u},
        {4294967294u, 0, {1, 1}, 4294967295u},
        {4294967295u, 0, {1, 1}, none},
        {4294967292u, 0, {1, 7}, 4294967293u},
        {4294967293u, 0, {1, 7}, none},  // 4294967300 would be next
        {none, 4294967295u, {1, 2}, 4294967295u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NextNumber(c.highest, c.floor, c.station), c.next)
            << c.highest.value_or(0) << " " << c.floor << " " << FormatStation(c.station);
    }
}

TEST(Ledger, StationsOnOneRangeNeverMeet) {
    // Three stations with ledgers of their own, each reserving in turn.
    std::optional<uint32_t> highest[3];
    std::vector<uint32_t> all;
    for (int round = 0; round < 20; ++round) {
        for (uint32_t k = 1; k <= 3; ++k) {
            std::optional<uint32_t> n = NextNumber(highest[k - 1], 100, Station{k, 3});
            ASSERT_TRUE(n);
            EXPECT_EQ(*n % 3, k % 3);
            highest[k - 1] = n;
            all.push_back(*n);
        }
    }
    std::sort(all.begin(), all.end());
    EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
}

TEST(Ledger, IsoTimeWithOffset) {
    struct Case {
        LocalTime time;
        const char* text;
    } cases[] = {
        {{2024, 5, 1, 9, 30, 0, 540}, "2024-05-01T09:30:00+09:00"},
        {{2024, 12, 31, 23, 59, 59, 0}, "2024-12-31T23:59:59+00:00"},
        {{2025, 1, 2, 3, 4, 5, -210}, "2025-01-02T03:04:05-03:30"},
        {{2025, 1, 2, 3, 4, 5, 345}, "2025-01-02T03:04:05+05:45"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatIsoTime(c.time), c.text);
}

TEST(Ledger, ReservationAppendsOneLineAfterTheHeaderOfANewFile) {
    MemoryLedger file;
    LedgerEntry line = Entry(LedgerStatus::Ok, 0);  // status and Number are the reservation's
    line.station = "1/2";
    Reservation first = ReserveNumber(file, line, 100, Station{1, 2});
    ASSERT_EQ(first.failure, ReserveFailure::None);
    EXPECT_EQ(first.number, 101u);
    line.number = 101;
    line.status = LedgerStatus::Reserved;
    EXPECT_EQ(file.bytes, LedgerPreamble() + FormatLedgerLine(line));  // a new ledger is of layout 2

    Reservation second = ReserveNumber(file, line, 100, Station{1, 2});
    EXPECT_EQ(second.number, 103u);
}

TEST(Ledger, AReservationWithoutOutcomeIsNeverGivenAgain) {
    // A program killed between the reservation and the outcome leaves the reserved line alone.
    MemoryLedger file;
    file.bytes = kHeader + Line("reserved", "41") + Line("ok", "41") + Line("reserved", "42");
    Reservation next = ReserveNumber(file, Entry(LedgerStatus::Reserved, 0), 0, Station{});
    EXPECT_EQ(next.number, 43u);
}

TEST(Ledger, FailedReservationsLeaveTheFileAsItWas) {
    struct Case {
        const char* what;
        std::string bytes;
        bool readable;
        ReserveFailure failure;
        size_t line;
    } cases[] = {
        {"damaged", kHeader + Line("ok", "1") + "garbage\r\n", true, ReserveFailure::Refused, 3},
        {"exhausted", kHeader + Line("ok", "4294967295"), true, ReserveFailure::Exhausted, 0},
        {"unreadable", kHeader, false, ReserveFailure::ReadFailed, 0},
    };
    for (const Case& c : cases) {
        MemoryLedger file;
        file.bytes = c.bytes;
        file.readable = c.readable;
        Reservation r = ReserveNumber(file, Entry(LedgerStatus::Reserved, 0), 0, Station{});
        EXPECT_EQ(r.failure, c.failure) << c.what;
        EXPECT_EQ(r.faultLine, c.line) << c.what;
        EXPECT_EQ(file.bytes, c.bytes) << c.what;
    }
    MemoryLedger full;
    full.writable = false;
    EXPECT_EQ(ReserveNumber(full, Entry(LedgerStatus::Reserved, 0), 0, Station{}).failure,
              ReserveFailure::AppendFailed);
}

}  // namespace
}  // namespace core

namespace core {
namespace {

std::string ManyLines(uint32_t from, uint32_t count) {
    std::string lines;
    for (uint32_t n = from; n < from + count; ++n)
        lines += Line("reserved", std::to_string(n)) + Line("ok", std::to_string(n));
    return lines;
}

TEST(LedgerIndex, AReservationReadsOnlyWhatWasAppendedSinceTheLastOne) {
    MemoryLedger file;
    file.bytes = kHeader + ManyLines(1, 5000);
    ASSERT_EQ(ReserveNumber(file, Entry(LedgerStatus::Reserved, 0), 0, Station{}).number, 5001u);
    file.bytes += Line("ok", "5001");
    for (uint32_t n = 5002; n < 5012; ++n) {
        file.bytesRead = 0;
        ASSERT_EQ(ReserveNumber(file, Entry(LedgerStatus::Reserved, 0), 0, Station{}).number, n);
        EXPECT_LT(file.bytesRead, 5 * 4096u);  // two checks of the index and the lines since
    }
}

// What a reservation gives: a Number, or why there is none.
struct Outcome {
    ReserveFailure failure;
    LedgerFault fault;
    size_t line;
    uint32_t number;
    bool operator==(const Outcome& o) const {
        return failure == o.failure && fault == o.fault && line == o.line && number == o.number;
    }
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
    return out << "failure " << static_cast<int>(o.failure) << " fault " << static_cast<int>(o.fault) << " line "
               << o.line << " Number " << o.number;
}

Outcome Reserve(const std::string& bytes, const std::string& index) {
    MemoryLedger file;
    file.bytes = bytes;
    file.index = index;
    Reservation r = ReserveNumber(file, Entry(LedgerStatus::Reserved, 0), 0, Station{});
    return {r.failure, r.fault, r.faultLine, r.number};
}

// An index line with a check that holds, as someone who knows its format would write it.
std::string ForgedIndex(const std::string& ledger, uint64_t length, const std::string& highest) {
    const std::string fields = "tolka-ledger-index 2 " + std::to_string(length) + " " + highest;
    const uint64_t ends = std::min<uint64_t>(length, 4096);
    uint64_t hash = 0xcbf29ce484222325ull;
    for (const std::string& part : {fields, ledger.substr(0, ends), ledger.substr(length - ends, ends)}) {
        for (char c : part)
            hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    }
    std::ostringstream line;
    line << fields << " " << std::hex << hash << "\n";
    return line.str();
}

std::string Replaced(std::string text, const std::string& from, const std::string& to, size_t after = 0) {
    return text.replace(text.find(from, after), from.size(), to);
}

// Whatever the index holds and whatever happened to the ledger behind its back, a
// reservation gives what a read of the whole ledger without any index gives.
TEST(LedgerIndex, NoDamageToTheIndexOrTheLedgerChangesWhatAFullReadGives) {
    const std::string sound = kHeader + ManyLines(100, 100);  // about 19 KiB: a start, a middle, an end
    MemoryLedger scanned;
    scanned.bytes = sound;
    LedgerContent content;
    ASSERT_TRUE(ScanLedger(scanned, content));
    const std::string index = scanned.index;
    ASSERT_EQ(index, ForgedIndex(sound, sound.size(), "199"));

    std::vector<std::pair<std::string, std::string>> indexes;  // what, index text
    for (size_t at = 0; at < index.size(); ++at) {
        for (const char* with : {"", "0", "9", "-", " ", "x", "\n"})
            indexes.push_back({"character " + std::to_string(at) + " made '" + with + "'",
                               index.substr(0, at) + with + index.substr(at + 1)});
        indexes.push_back({"cut to " + std::to_string(at), index.substr(0, at)});
    }
    std::vector<std::string> words;
    for (size_t at = 0, end; at < index.size(); at = end + 1) {
        end = index.find_first_of(" \n", at);
        words.push_back(index.substr(at, end - at));
    }
    for (size_t i = 0; i < words.size(); ++i) {
        for (size_t j = i + 1; j < words.size(); ++j) {
            std::vector<std::string> w = words;
            std::swap(w[i], w[j]);
            indexes.push_back({"words swapped", w[0] + " " + w[1] + " " + w[2] + " " + w[3] + " " + w[4] + "\n"});
        }
    }
    for (const char* highest : {"-", "0", "1", "198", "200", "4294967295", "00199", "+199"})
        indexes.push_back({std::string("claims ") + highest, ForgedIndex(sound, sound.size(), highest)});
    for (size_t length = sound.size() - 300; length < sound.size(); length += 7)
        indexes.push_back({"covers part of a line", ForgedIndex(sound, length, "199")});
    indexes.push_back({"version 1", "tolka-ledger-index 1 " + std::to_string(sound.size()) + " 401 199 0\n"});
    indexes.push_back({"another ledger's", ForgedIndex(kHeader + ManyLines(100, 50), sound.size() / 2, "149")});
    indexes.push_back({"twice", index + index});
    indexes.push_back({"bytes", std::string("\0\xff\r\n", 4)});
    const Outcome fullRead = Reserve(sound, "");
    for (const auto& [what, damaged] : indexes)
        EXPECT_EQ(Reserve(sound, damaged), fullRead) << "index " << what << ": " << damaged;

    const std::string lastLine = Line("ok", "199");
    const std::pair<const char*, std::string> ledgers[] = {
        {"lines appended", sound + Line("reserved", "900") + Line("failed", "900")},
        {"a damaged line appended", sound + "garbage\r\n"},
        {"a line appended without its end", sound + Line("reserved", "900").substr(0, 40)},
        {"last line's Number raised", Replaced(sound, lastLine, Line("ok", "999"), sound.size() - lastLine.size())},
        {"last line's Number lowered", Replaced(sound, lastLine, Line("ok", "001"), sound.size() - lastLine.size())},
        {"first line's Number raised", Replaced(sound, Line("reserved", "100"), Line("reserved", "999"))},
        {"first line damaged", Replaced(sound, "2024", "x024")},
        {"last line damaged", sound.substr(0, sound.size() - 3) + "z\r\n"},
        {"cut to a line's end", kHeader + ManyLines(100, 60)},
        {"cut inside the last line", sound.substr(0, sound.size() - 5)},
        {"cut and others appended", kHeader + ManyLines(100, 60) + ManyLines(500, 40)},
        {"replaced by another of the same length", kHeader + ManyLines(300, 100)},
        {"re-saved without the mark", sound.substr(3)},
        {"emptied", ""},
    };
    for (const auto& [what, bytes] : ledgers)
        EXPECT_EQ(Reserve(bytes, index), Reserve(bytes, "")) << what;
}

}  // namespace
}  // namespace core
