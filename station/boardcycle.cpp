#include "station/boardcycle.h"

#include "core/digits.h"
#include "core/linecycle.h"
#include "core/placeholders.h"
#include "core/textids.h"
#include "core/writerops.h"

namespace station {

namespace {

struct CauseRow {
    core::LineOutcome outcome;
    int textId;
};

const CauseRow kCauses[] = {
    {core::LineOutcome::NoBoard, IDS_STATION_CAUSE_NO_BOARD},
    {core::LineOutcome::NoAnswer, IDS_STATION_CAUSE_NO_ANSWER},
    {core::LineOutcome::ReadFailed, IDS_STATION_CAUSE_READ_FAILED},
    {core::LineOutcome::AlreadyNumbered, IDS_STATION_CAUSE_ALREADY_NUMBERED},
    {core::LineOutcome::AreaFull, IDS_STATION_CAUSE_AREA_FULL},
    {core::LineOutcome::OptionsUnsupported, IDS_STATION_CAUSE_NO_OPTIONS},
    {core::LineOutcome::NotReserved, IDS_STATION_CAUSE_NOT_RESERVED},
    {core::LineOutcome::EraseFailed, IDS_STATION_CAUSE_ERASE_FAILED},
    {core::LineOutcome::WriteFailed, IDS_STATION_CAUSE_WRITE_FAILED},
    {core::LineOutcome::VerifyFailed, IDS_STATION_CAUSE_VERIFY_FAILED},
    {core::LineOutcome::OptionsWriteFailed, IDS_STATION_CAUSE_OPTIONS_FAILED},
    {core::LineOutcome::OptionsVerifyFailed, IDS_STATION_CAUSE_OPTIONS_FAILED},
};

// Gives the record file's record to every fit board of the right kind.
class FileRecordHooks : public core::LineCycleHooks {
public:
    FileRecordHooks(const core::RecordImage& record, const std::function<void(core::LineStep)>& onStep)
        : m_record(record), m_onStep(onStep) {}

    bool Reserve(const core::BoardHolding& holding, core::RecordImage& record) override {
        wrongKind = core::KindMismatchOf(m_record, holding.interfaceType).has_value();
        if (wrongKind)
            return false;
        record = m_record;
        return true;
    }
    void Step(core::LineStep step) override { m_onStep(step); }

    bool wrongKind = false;

private:
    const core::RecordImage& m_record;
    const std::function<void(core::LineStep)>& m_onStep;
};

class FileRecordCycle : public BoardCycle {
public:
    FileRecordCycle(core::DeviceLink& link, const CycleRecipe& recipe, TextOfId text)
        : m_link(link), m_recipe(recipe), m_text(std::move(text)) {}

    // The operator is not recorded anywhere until the cycle keeps a ledger.
    StationResult Run(const std::wstring&, const std::function<void(core::LineStep)>& onStep) override {
        FileRecordHooks hooks(m_recipe.record, onStep);
        core::LineJob job;
        job.rework = m_recipe.rework;
        job.options = m_recipe.options;
        const core::LineReport report = core::RunLineCycle(m_link, job, hooks);
        StationResult result;
        if (report.outcome == core::LineOutcome::Written) {
            result.pass = true;
            result.number = core::DecodeRecord(report.record.data()).number;
            return result;
        }
        if (report.recordWritten)
            result.number = core::DecodeRecord(report.record.data()).number;
        else if (report.before.numbered)
            result.number = report.before.number;
        int id = IDS_STATION_CAUSE_NOT_RESERVED;
        for (const CauseRow& row : kCauses) {
            if (row.outcome == report.outcome)
                id = row.textId;
        }
        if (hooks.wrongKind)
            id = IDS_STATION_CAUSE_WRONG_KIND;
        result.cause = core::FillPlaceholders(m_text(id).c_str(), {core::DecimalText<wchar_t>(report.before.number)});
        return result;
    }

private:
    core::DeviceLink& m_link;
    const CycleRecipe m_recipe;
    const TextOfId m_text;
};

}  // namespace

std::unique_ptr<BoardCycle> MakeBoardCycle(core::DeviceLink& link, const CycleRecipe& recipe, TextOfId text) {
    return std::make_unique<FileRecordCycle>(link, recipe, std::move(text));
}

}  // namespace station
