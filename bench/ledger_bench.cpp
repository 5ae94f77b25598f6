// What one reservation in the file ledger costs against the ledger's length: for ledgers
// of 1k, 100k and 1M lines, the first reservation (no index yet: the whole file is read and
// checked, as before) beside one plain read of the file, the process's peak memory after it,
// and the reservations after it (the index vouches for all but the new lines). Then what a
// production report of the whole ledger costs (tolka ledger report): the time, the page's
// size, and the process's peak memory.
//   ledger_bench [folder]      default: the system's temporary folder
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "line/ledger.h"
#include "line/ledgersummary.h"
#include "line/reportpage.h"

namespace {

// The ledger as a plain file; the bench is the only one using it.
class PlainLedgerFile : public core::LedgerFile {
public:
    explicit PlainLedgerFile(std::string path) : path_(std::move(path)) {}

    bool Size(uint64_t& size) override {
        std::error_code error;
        size = std::filesystem::file_size(path_, error);
        return !error;
    }
    bool ReadAt(uint64_t offset, uint64_t length, std::string& bytes) override {
        std::ifstream in(path_, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(offset));
        bytes.assign(length, '\0');
        in.read(&bytes[0], static_cast<std::streamsize>(length));
        bytes.resize(static_cast<size_t>(in.gcount()));
        return !in.bad();
    }
    bool Append(const std::string& bytes) override {
        std::ofstream out(path_, std::ios::binary | std::ios::app);
        out << bytes;
        out.flush();
        return out.good();
    }
    std::string ReadIndex() override {
        std::ifstream in(path_ + ".index", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void WriteIndex(const std::string& text) override { std::ofstream(path_ + ".index", std::ios::binary) << text; }

private:
    std::string path_;
};

// A board every 3 seconds from 2024-05-01 09:30 on.
core::LedgerEntry Line(uint32_t number, core::LedgerStatus status) {
    core::LedgerEntry e;
    const uint32_t s = 9 * 3600 + 30 * 60 + number * 3;
    e.time = core::FormatIsoTime({2024, 5, static_cast<int>(1 + s / 86400), static_cast<int>(s / 3600 % 24),
                                  static_cast<int>(s / 60 % 60), static_cast<int>(s % 60), 540});
    e.station = "1/1";
    e.status = status;
    e.number = number;
    e.uuid = "3aa4096d-2cc0-46dd-878a-88511d75ac78";
    e.product = "製品A";
    e.maker = "製造元";
    e.slot = status == core::LedgerStatus::Reserved ? "" : "0x7080";
    e.interfaceType = "0x80000000";
    return e;
}

// A ledger of `lines` lines: reservations, each followed by its outcome (one board in 50
// failed).
void MakeLedger(const std::string& path, size_t lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << core::LedgerPreamble();
    for (size_t i = 0; i < lines; ++i) {
        auto number = static_cast<uint32_t>(i / 2);
        const core::LedgerStatus outcome = number % 50 == 7 ? core::LedgerStatus::Failed : core::LedgerStatus::Ok;
        out << core::FormatLedgerLine(Line(number, i % 2 ? outcome : core::LedgerStatus::Reserved));
    }
    std::filesystem::remove(path + ".index");
}

// One reservation and its outcome, as tolka makes them; milliseconds of the reservation.
double Reserve(const std::string& path) {
    PlainLedgerFile file(path);
    auto start = std::chrono::steady_clock::now();
    core::Reservation r = core::ReserveNumber(file, Line(0, core::LedgerStatus::Reserved), 0, core::Station{});
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (r.failure != core::ReserveFailure::None) {
        std::fprintf(stderr, "reservation failed\n");
        std::exit(1);
    }
    file.Append(core::FormatLedgerLine(Line(r.number, core::LedgerStatus::Ok)));
    return ms;
}

struct ReportCost {
    double ms = 0;
    double cpuMs = 0;  // this process's, whatever else the machine runs
    size_t pageBytes = 0;
    uint64_t reserved = 0;
};

// The report of the whole ledger, as tolka ledger report makes it.
ReportCost Report(const std::string& path) {
    PlainLedgerFile file(path);
    auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    core::LedgerSummary summary({});
    core::LedgerContent content;
    if (!core::ReadLedgerEntries(
            file, [&](core::LedgerEntry&& e) { summary.Add(e); }, content) ||
        content.fault != core::LedgerFault::None) {
        std::fprintf(stderr, "the ledger could not be read\n");
        std::exit(1);
    }
    const core::LedgerFigures& figures = summary.Finish();
    core::ReportFacts facts;
    facts.ledger = L"bench.csv";
    const std::string page = core::ReportPage(figures, facts);
    ReportCost cost;
    cost.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    cost.cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    cost.pageBytes = page.size();
    cost.reserved = figures.total.reserved;
    return cost;
}

// Milliseconds to read the whole file once, in pieces of 1 MiB.
double ReadOnce(const std::string& path) {
    auto start = std::chrono::steady_clock::now();
    std::ifstream in(path, std::ios::binary);
    std::vector<char> piece(1 << 20);
    while (in.read(piece.data(), static_cast<std::streamsize>(piece.size()))) {
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The most memory the process has held so far, in MiB.
double PeakMemoryMib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path();
    const std::string path = (folder / "tolka-ledger-bench.csv").string();
    constexpr int kRuns = 21;
    std::printf(
        "| lines | file MB | one read of the file ms | first reservation ms | peak memory MiB "
        "| later reservations ms (median of %d) |\n",
        kRuns);
    std::printf("|---|---|---|---|---|---|\n");
    std::vector<std::string> reports;
    for (size_t lines : {size_t{1000}, size_t{100000}, size_t{1000000}}) {
        MakeLedger(path, lines);
        const double mb = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
        const double read = ReadOnce(path);
        const double first = Reserve(path);
        const double peak = PeakMemoryMib();
        std::vector<double> later;
        for (int i = 0; i < kRuns; ++i)
            later.push_back(Reserve(path));
        std::nth_element(later.begin(), later.begin() + kRuns / 2, later.end());
        std::printf("| %zu | %.1f | %.1f | %.1f | %.1f | %.3f |\n", lines, mb, read, first, peak, later[kRuns / 2]);
        const ReportCost report = Report(path);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        char row[160];
        std::snprintf(row, sizeof row, "| %zu | %llu | %.0f | %.0f | %.1f | %ld |", lines,
                      static_cast<unsigned long long>(report.reserved), report.ms, report.cpuMs,
                      static_cast<double>(report.pageBytes) / 1000, usage.ru_maxrss / 1024);
        reports.push_back(row);
    }
    std::printf(
        "\n| lines | reserved | report ms | of it CPU ms | page KB | peak memory so far MB "
        "|\n|---|---|---|---|---|---|\n");
    for (const std::string& row : reports)
        std::printf("%s\n", row.c_str());
    std::filesystem::remove(path);
    std::filesystem::remove(path + ".index");
    return 0;
}
