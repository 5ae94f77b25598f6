// The line cycle on the virtual board's model: round trips per state of the area, every call failing.
#include <gtest/gtest.h>

#include <map>

#include "core/linecycle.h"
#include "core/records_test_support.h"
#include "varnet/fault_matrix_test_support.h"
#include "varnet/memory_store_test_support.h"
#include "varnet/call_log.h"
#include "varnet/model_link.h"

namespace core {
namespace {

const wchar_t kUuid[] = L"01234567-89ab-cdef-0123-456789abcdef";
const PortOptionImage kOptions{0x00, 0x00, 0x12, 0x34};

// A board whose slot i holds the record with Number i + 1 when bit i of used is set, and
// whose call number failCall fails; it reserves Number 5001, once.
struct Bench : LineCycleHooks {
    explicit Bench(uint32_t used, uint32_t failCall = 0) {
        auto& flash = store.files[vboard::kFlashFile] = vboard::FlashImage::NewBoard().Bytes();
        for (uint32_t i = 0; i < 32; ++i) {
            RecordImage r = testrecords::MakeRecord(kUuid, i + 1, "old" + std::to_string(i + 1));
            if (used >> i & 1)
                std::copy(r.begin(), r.end(), flash.begin() + kFirstSlot + i * kSlotSize);
        }
        store.SetText(vboard::kIniFile, "[faults]\nfail_call=" + std::to_string(failCall) + "\n");
    }
    bool Reserve(const BoardHolding&, RecordImage& record) override {
        EXPECT_EQ(++reserved, 1) << "Reserve called again";
        record = testrecords::MakeRecord(kUuid, 5001, "new");
        return true;
    }
    vboard::MemoryStore store;
    vboard::ModelLink link{store};
    int reserved = 0;
};

TEST(LineCycle, CallsAndOutcomePerAreaState) {
    struct Row {
        uint32_t used;
        bool rework, options;
        LineOutcome outcome;
        uint32_t slot;
        size_t calls;
    } const rows[] = {
        {0, false, false, LineOutcome::Written, 0x7000, 11},
        {0, false, true, LineOutcome::Written, 0x7000, 14},
        {0x1, false, true, LineOutcome::AlreadyNumbered, 0, 13},
        {0x1, true, true, LineOutcome::Written, 0x7080, 18},
        {0xFFFF, true, true, LineOutcome::Written, 0x7800, 19},
        {0x7FFFFFFF, true, true, LineOutcome::Written, 0x7F80, 17},
        {0xFFFFFFFF, false, true, LineOutcome::AlreadyNumbered, 0, 12},
        {0xFFFFFFFF, true, true, LineOutcome::Written, 0x7000, 18},
        {0x6, false, false, LineOutcome::AlreadyNumbered, 0, 38},  // a hole at slot 0: the full scan
        {0x6, true, false, LineOutcome::Written, 0x7180, 40},      // above every used slot
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << row.used << ' ' << row.rework << row.options);
        Bench b(row.used);
        const std::vector<uint8_t> flash = b.store.files[vboard::kFlashFile];
        LineReport r = RunLineCycle(b.link, {row.rework, row.options ? std::optional(kOptions) : std::nullopt}, b);
        EXPECT_STREQ(LineOutcomeName(r.outcome), LineOutcomeName(row.outcome));
        EXPECT_EQ(r.calls, row.calls);
        EXPECT_EQ(r.calls, vboard::CountCalls(b.store.Text(vboard::kLogFile)));
        EXPECT_TRUE(row.used == 0x6 || r.calls <= (row.options ? 16u : 12u) + (row.used ? 6u : 0u));  // the budget
        const uint32_t newest = row.used ? 32 - static_cast<uint32_t>(__builtin_clz(row.used)) : 0;
        EXPECT_EQ(r.before.number, newest);
        EXPECT_EQ(r.before.productName, row.used ? "old" + std::to_string(newest) : "");
        EXPECT_EQ(b.reserved, r.outcome == LineOutcome::Written ? 1 : 0);
        EXPECT_EQ(r.erased, row.used == 0xFFFFFFFF && row.rework);
        const std::vector<uint8_t>& after = b.store.files[vboard::kFlashFile];
        EXPECT_EQ(after == flash, row.slot == 0);  // the guard changes nothing
        EXPECT_EQ(b.store.files.count(vboard::kAreaFile), row.options && row.slot ? 1u : 0u);
        EXPECT_TRUE(!row.slot || std::equal(r.record.begin(), r.record.end(), after.begin() + row.slot));
    }
}

// Each call of a cycle failing in turn ends it at once, with the step of the failed call.
// Only a retried call can end Written: the matrix holds that run to the clean run's.
using Steps = std::map<std::string, std::string>;
const Steps kSteps{{"Tolka_FlashModeOpen", "NoBoard"}, {"Varn_FlshErase", "EraseFailed"},
                   {"Varn_FlshWrite", "WriteFailed"},  {"Varn_FlshWriteRWArea", "OptionsWriteFailed"},
                   {"Varn_FlshRead", "ReadFailed"},    {"Varn_FlshReadRWArea", "OptionsVerifyFailed"}};

void CycleRule(const faultmatrix::Run&, const faultmatrix::Run& faulty, faultmatrix::Verdict& verdict) {
    const std::string& outcome = faulty.after.window.at("outcome");
    bool wrote = false;
    for (const faultmatrix::LoggedCall& call : faultmatrix::ParseCalls(faulty.log)) {
        if (faultmatrix::Failed(call)) {
            const std::string f = call.Function();
            if (!verdict.retried && outcome != (f == "Varn_FlshRead" && wrote ? "VerifyFailed" : kSteps.at(f)))
                verdict.problems.push_back(outcome + " after " + call.call + " failed");
            break;
        }
        wrote = wrote || call.Function() == "Varn_FlshWrite";
    }
}

TEST(LineCycle, EveryCallFailingInTurn) {
    std::vector<faultmatrix::Row> rows;
    for (uint32_t used : {0x0u, 0xFFFFu, 0xFFFFFFFFu, 0x6u}) {
        auto runner = [used](uint32_t failCall) {
            Bench b(used, failCall);
            faultmatrix::Run run;
            run.before.flash = b.store.files[vboard::kFlashFile];
            LineReport r = RunLineCycle(b.link, {true, kOptions}, b);
            const char* outcome = LineOutcomeName(r.outcome);
            run.messages.push_back({outcome, r.outcome == LineOutcome::Written ? 0x40u : 0x30u, r.calls});
            run.after.flash = b.store.files[vboard::kFlashFile];
            if (b.store.files.count(vboard::kAreaFile))
                run.after.area5 = b.store.files[vboard::kAreaFile];
            run.after.window = {{"outcome", outcome}, {"reserved", std::to_string(b.reserved)}};
            const std::string log = b.store.Text(vboard::kLogFile);
            for (size_t at = 0, end; (end = log.find('\n', at)) != std::string::npos; at = end + 1)
                run.log.push_back(log.substr(at, end - at));
            return run;
        };
        rows.push_back(
            faultmatrix::RunOperation("rework with options, used " + std::to_string(used), runner, CycleRule));
    }
    EXPECT_EQ(faultmatrix::CountProblems(rows), 0u) << faultmatrix::FormatMatrix(rows);
}

}  // namespace
}  // namespace core
