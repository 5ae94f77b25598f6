// The line cycle on the virtual board's model: calls and outcome per state of the area (the
// round trips a line pays for), the guard and the rework, and every call failing in turn.
#include <gtest/gtest.h>

#include <cstdio>

#include "core/linecycle.h"
#include "core/records_test_support.h"
#include "testing/fault_matrix.h"
#include "testing/memory_store.h"
#include "varnet/call_log.h"
#include "varnet/model_link.h"

namespace core {
namespace {

using Bytes = std::vector<uint8_t>;
const wchar_t kUuid[] = L"01234567-89ab-cdef-0123-456789abcdef";

class Station : public LineCycleHooks {
public:
    bool Reserve(const BoardHolding&, RecordImage& record) override {
        record = testrecords::MakeRecord(kUuid, 5000u + static_cast<uint32_t>(++reserved), "new");
        return true;
    }
    int reserved = 0;
};

// A board whose slot i holds the record with Number i + 1 when bit i of used is set.
struct Bench {
    explicit Bench(uint32_t used, const std::string& faults = "") {
        Bytes& flash = store.files[vboard::kFlashFile] = vboard::FlashImage::NewBoard().Bytes();
        for (uint32_t i = 0; i < 32; ++i) {
            RecordImage r = testrecords::MakeRecord(kUuid, i + 1, "old" + std::to_string(i + 1));
            if (used >> i & 1)
                std::copy(r.begin(), r.end(), flash.begin() + kFirstSlot + i * kSlotSize);
        }
        store.SetText(vboard::kIniFile, "[faults]\n" + faults);
    }
    LineReport Run(bool rework, bool options) {
        LineJob job{rework, std::nullopt};
        if (options)
            job.options = PortOptionImage{0x00, 0x00, 0x12, 0x34};
        return RunLineCycle(link, job, station);
    }
    vboard::MemoryStore store;
    vboard::ModelLink link{store};
    Station station;
};

TEST(LineCycle, CallsAndOutcomePerAreaState) {
    const uint32_t kHole = 0x6;  // slot 0 free below two records
    struct Row {
        uint32_t used;
        bool rework, options;
        LineOutcome outcome;
        uint32_t slot;
        size_t calls;
    } const rows[] = {
        {0, false, false, LineOutcome::Written, 0x7000, 11},
        {0, false, true, LineOutcome::Written, 0x7000, 14},
        {0, true, true, LineOutcome::Written, 0x7000, 14},
        {0x1, false, true, LineOutcome::AlreadyNumbered, 0, 13},
        {0x1, true, false, LineOutcome::Written, 0x7080, 15},
        {0x1, true, true, LineOutcome::Written, 0x7080, 18},
        {0xFFFF, false, false, LineOutcome::AlreadyNumbered, 0, 14},
        {0xFFFF, true, true, LineOutcome::Written, 0x7800, 19},
        {0x7FFFFFFF, true, false, LineOutcome::Written, 0x7F80, 14},
        {0x7FFFFFFF, true, true, LineOutcome::Written, 0x7F80, 17},
        {0xFFFFFFFF, false, true, LineOutcome::AlreadyNumbered, 0, 12},
        {0xFFFFFFFF, true, false, LineOutcome::Written, 0x7000, 15},
        {0xFFFFFFFF, true, true, LineOutcome::Written, 0x7000, 18},
        {kHole, false, false, LineOutcome::AlreadyNumbered, 0, 38},  // the full scan
        {kHole, true, false, LineOutcome::Written, 0x7180, 40},       // above every used slot
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << row.used << " rework " << row.rework << " options "
                                        << row.options);
        Bench b(row.used);
        const Bytes flash = b.store.files[vboard::kFlashFile];
        LineReport r = b.Run(row.rework, row.options);
        EXPECT_STREQ(LineOutcomeName(r.outcome), LineOutcomeName(row.outcome));
        EXPECT_EQ(r.calls, row.calls);
        EXPECT_EQ(r.calls, vboard::CountCalls(b.store.Text(vboard::kLogFile)));
        if (row.used != kHole) {
            EXPECT_LE(r.calls, (row.options ? 16u : 12u) + (row.used ? 6u : 0u));
        }
        EXPECT_EQ(b.link.OpenHandles(), 0u);
        const uint32_t newest = row.used ? 32 - static_cast<uint32_t>(__builtin_clz(row.used)) : 0;
        EXPECT_EQ(r.before.numbered, row.used != 0);
        EXPECT_EQ(r.before.number, newest);
        EXPECT_EQ(r.before.productName, row.used ? "old" + std::to_string(newest) : "");
        EXPECT_EQ(b.station.reserved, r.outcome == LineOutcome::Written ? 1 : 0);
        EXPECT_EQ(r.erased, row.used == 0xFFFFFFFF && row.rework);
        if (r.outcome != LineOutcome::Written) {
            EXPECT_EQ(b.store.files[vboard::kFlashFile], flash);  // the guard changes nothing
            continue;
        }
        EXPECT_EQ(r.slot, row.slot);
        RecordImage stored;
        b.link.Board().Read(r.slot, stored.data());
        EXPECT_EQ(stored, r.record);
        EXPECT_EQ(b.store.files.count(vboard::kAreaFile), row.options ? 1u : 0u);
    }
}

// Each call of a cycle failing in turn: the run ends at once with the failed step named,
// Reserve is called at most once, and Written means the board was read back equal.
const char* ExpectedOutcome(const faultmatrix::LoggedCall& failed, bool wrote) {
    const std::string f = failed.Function();
    if (f == "Varn_FlshRead")
        return wrote ? "VerifyFailed" : "ReadFailed";
    return f == "Tolka_FlashModeOpen" ? "NoBoard"
           : f == "Varn_FlshErase"    ? "EraseFailed"
           : f == "Varn_FlshWrite"    ? "WriteFailed"
           : f == "Varn_FlshWriteRWArea" ? "OptionsWriteFailed"
                                         : "OptionsVerifyFailed";
}

void CycleRule(const faultmatrix::Run& clean, const faultmatrix::Run& faulty, faultmatrix::Verdict& verdict) {
    const auto& report = faulty.after.window;
    if (std::stoi(report.at("reserved")) > 1)
        verdict.problems.push_back("Reserve called " + report.at("reserved") + " times");
    if (report.at("outcome") == "Written" &&
        (faulty.after.flash != clean.after.flash || faulty.after.area5 != clean.after.area5))
        verdict.problems.push_back("Written, but the board is not as in the clean run");
    bool wrote = false;
    for (const faultmatrix::LoggedCall& call : faultmatrix::ParseCalls(faulty.log)) {
        if (faultmatrix::Failed(call)) {
            if (!verdict.retried && report.at("outcome") != ExpectedOutcome(call, wrote))
                verdict.problems.push_back(report.at("outcome") + " after " + call.call + " failed");
            break;
        }
        wrote = wrote || call.Function() == "Varn_FlshWrite";
    }
}

TEST(LineCycle, EveryCallFailingInTurn) {
    std::vector<faultmatrix::Row> rows;
    for (uint32_t used : {0x0u, 0xFFFFu, 0xFFFFFFFFu, 0x6u}) {
        auto runner = [used](uint32_t failCall) {
            Bench b(used);
            faultmatrix::Run run;
            run.before.flash = b.store.files[vboard::kFlashFile];
            run.before.window["connected"] = "no";
            if (failCall)
                b.store.SetText(vboard::kIniFile, "[faults]\nfail_call=" + std::to_string(failCall) + "\n");
            LineReport r = b.Run(true, true);
            const char* outcome = LineOutcomeName(r.outcome);
            run.messages.push_back({outcome, r.outcome == LineOutcome::Written ? 0x40u : 0x30u, r.calls});
            run.after.flash = b.store.files[vboard::kFlashFile];
            auto area = b.store.files.find(vboard::kAreaFile);
            if (area != b.store.files.end())
                run.after.area5 = area->second;
            run.after.window = {{"connected", b.link.OpenHandles() ? "yes" : "no"},
                                {"outcome", outcome},
                                {"reserved", std::to_string(b.station.reserved)}};
            const std::string log = b.store.Text(vboard::kLogFile);
            for (size_t at = 0, end; (end = log.find('\n', at)) != std::string::npos; at = end + 1)
                run.log.push_back(log.substr(at, end - at));
            return run;
        };
        rows.push_back(faultmatrix::RunOperation("rework with options, used " + std::to_string(used), runner, CycleRule));
    }
    const std::string table = faultmatrix::FormatMatrix(rows);
    std::fwrite(table.data(), 1, table.size(), stdout);
    EXPECT_EQ(faultmatrix::CountProblems(rows), 0u) << "see the lines marked !! in the matrix above";
}

}  // namespace
}  // namespace core
