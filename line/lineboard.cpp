#include "line/lineboard.h"

#include <algorithm>

#include "core/digits.h"
#include "core/utf8.h"

namespace core {

namespace {

struct CauseRow {
    LineOutcome outcome;
    const char* cause;
};

// The names the console's exit codes have, so that one ledger reads the same whichever face
// wrote the line.
const CauseRow kCauses[] = {
    {LineOutcome::NoBoard, "no-board"},         {LineOutcome::NoAnswer, "no-answer"},
    {LineOutcome::ReadFailed, "read"},          {LineOutcome::AlreadyNumbered, "refused"},
    {LineOutcome::AreaFull, "refused"},         {LineOutcome::OptionsUnsupported, "refused"},
    {LineOutcome::NotReserved, "ledger"},       {LineOutcome::EraseFailed, "write"},
    {LineOutcome::WriteFailed, "write"},        {LineOutcome::VerifyFailed, "verify"},
    {LineOutcome::OptionsWriteFailed, "write"}, {LineOutcome::OptionsVerifyFailed, "verify"},
};

std::string HexText32(uint32_t value) {
    return "0x" + HexText<char>(value, 8);
}

std::string SlotText(uint32_t slot) {
    return "0x" + HexText<char>(slot, 4);
}

// The cycle's questions, answered from the ledger: the Number is reserved once the board has
// been read and found fit, before anything on it changes.
class LedgerHooks : public LineCycleHooks {
public:
    LedgerHooks(LineLedger& ledger,
                LedgerSystem& system,
                const LineBoardJob& job,
                const std::function<void(LineStep)>& onStep,
                LineBoardResult& result)
        : ledger_(ledger), system_(system), job_(job), onStep_(onStep), result_(result) {}

    bool Reserve(const BoardHolding& holding, RecordImage& record) override {
        RecordFields fields = job_.fields;
        result_.wrongKind = KindMismatchOf(*EncodeRecord(fields), holding.interfaceType);
        if (result_.wrongKind)
            return false;
        LedgerEntry& line = result_.line;
        line = job_.line;
        line.time = FormatIsoTime(system_.Now());
        line.uuid = ToUtf8(FormatUuidText(fields.uuid.data()));
        line.number = fields.number;
        line.interfaceType = HexText32(holding.interfaceType);
        if (holding.numbered)
            line.replaces = holding.number;
        uint32_t number = fields.number;  // the record's Number is the floor
        result_.reservation = ledger_.Reserve(line, number);
        if (!result_.reservation.Ok())
            return false;
        reservedAt = system_.NowMs();
        fields.number = line.number = number;
        record = *EncodeRecord(fields);
        return true;
    }

    void Step(LineStep step) override {
        if (onStep_)
            onStep_(step);
    }

    uint64_t reservedAt = 0;

private:
    LineLedger& ledger_;
    LedgerSystem& system_;
    const LineBoardJob& job_;
    const std::function<void(LineStep)>& onStep_;
    LineBoardResult& result_;
};

}  // namespace

const char* FailureCause(LineOutcome outcome) {
    for (const CauseRow& row : kCauses) {
        if (row.outcome == outcome)
            return row.cause;
    }
    return "other";
}

LineBoardResult RunLedgerBoard(DeviceLink& link,
                               LineLedger& ledger,
                               LedgerSystem& system,
                               const LineBoardJob& job,
                               const std::function<void(LineStep)>& onStep) {
    LineBoardResult result;
    LedgerHooks hooks(ledger, system, job, onStep, result);
    LineJob cycle;
    cycle.rework = job.rework;
    cycle.options = job.options;
    result.cycle = RunLineCycle(link, cycle, hooks);
    const LineReport& r = result.cycle;
    if (!r.reserved)
        return result;
    LedgerEntry& line = result.line;
    const bool written = r.outcome == LineOutcome::Written;
    line.time = FormatIsoTime(system.Now());
    line.status = written ? LedgerStatus::Ok : LedgerStatus::Failed;
    line.slot = r.outcome >= LineOutcome::EraseFailed || written ? SlotText(r.slot) : std::string();
    line.durationMs = static_cast<uint32_t>(std::min<uint64_t>(system.NowMs() - hooks.reservedAt, 0xFFFFFFFFu));
    if (!written)
        line.cause = FailureCause(r.outcome);
    result.outcome = ledger.Record(line);
    return result;
}

}  // namespace core
