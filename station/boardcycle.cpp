#include "station/boardcycle.h"

#include "core/digits.h"
#include "core/linecycle.h"
#include "core/placeholders.h"
#include "core/textids.h"
#include "core/utf8.h"
#include "framework/text.h"
#include "line/lineboard.h"

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

struct LedgerCauseRow {
    core::LedgerProblem problem;
    int textId;
};

const LedgerCauseRow kLedgerCauses[] = {
    {core::LedgerProblem::Busy, IDS_STATION_LEDGER_BUSY},
    {core::LedgerProblem::NoUuid, IDS_STATION_LEDGER_BUSY},
    {core::LedgerProblem::NoPlace, IDS_STATION_LEDGER_UNREACHABLE},
    {core::LedgerProblem::NotAFile, IDS_STATION_LEDGER_UNREACHABLE},
    {core::LedgerProblem::NoAccess, IDS_STATION_LEDGER_UNREACHABLE},
    {core::LedgerProblem::Refused, IDS_STATION_LEDGER_REFUSED},
    {core::LedgerProblem::CannotRead, IDS_STATION_LEDGER_IO},
    {core::LedgerProblem::CannotWrite, IDS_STATION_LEDGER_IO},
    {core::LedgerProblem::Exhausted, IDS_STATION_LEDGER_EXHAUSTED},
    {core::LedgerProblem::OtherLayout, IDS_STATION_LEDGER_OTHER_LAYOUT},
    {core::LedgerProblem::BadConnection, IDS_STATION_LEDGER_UNREACHABLE},
    {core::LedgerProblem::NoReadRights, IDS_STATION_LEDGER_DATABASE},
    {core::LedgerProblem::Unusable, IDS_STATION_LEDGER_DATABASE},
    {core::LedgerProblem::OutcomeLost, IDS_STATION_LEDGER_OUTCOME_LOST},
};

// The calls of a database ledger end within this many seconds, answered or not.
constexpr unsigned kLedgerTimeoutSeconds = 5;

// The board's cycle with the station's ledger; a database ledger stays connected from one
// board to the next.
class LedgerCycle : public BoardCycle {
public:
    LedgerCycle(core::DeviceLink& link, core::LedgerSystem& system, const CycleRecipe& recipe, TextOfId text)
        : m_link(link), m_system(system), m_recipe(recipe), m_text(std::move(text)) {}

    LedgerLook Look() override {
        LedgerLook look;
        std::unique_ptr<core::LineLedger> ledger = Ledger();
        const core::LedgerResult r = ledger->Check(m_recipe.fields.number, look.next);
        look.usable = r.Ok();
        if (!look.usable)
            look.cause = LedgerCause(r, ShownLedgerName(m_recipe.ledger), 0, m_text);
        return look;
    }

    StationResult Run(const std::wstring& operatorId, const std::function<void(core::LineStep)>& onStep) override {
        StationResult result;
        std::unique_ptr<core::LineLedger> ledger = Ledger();
        const core::LedgerResult checked = ledger->Check(m_recipe.fields.number, result.next);
        if (!checked.Ok()) {
            result.cause = LedgerCause(checked, ShownLedgerName(m_recipe.ledger), 0, m_text);
            return result;
        }
        core::LineBoardJob job;
        job.fields = m_recipe.fields;
        job.options = m_recipe.options;
        job.rework = m_recipe.rework;
        job.line = m_recipe.line;
        job.line.operatorId = core::ToUtf8(operatorId);
        const core::LineBoardResult board = core::RunLedgerBoard(m_link, *ledger, m_system, job, onStep);
        Tell(board, result);
        // What the next board would take, now that this one took its Number.
        if (!ledger->Check(m_recipe.fields.number, result.next).Ok())
            result.next.reset();
        return result;
    }

private:
    std::unique_ptr<core::LineLedger> Ledger() {
        return core::MakeLineLedger(m_system, m_recipe.ledger, m_recipe.share, kLedgerTimeoutSeconds, m_connection);
    }

    void Tell(const core::LineBoardResult& board, StationResult& result) const {
        const core::LineReport& r = board.cycle;
        if (r.reserved)
            result.number = board.line.number;
        else if (r.before.numbered)
            result.number = r.before.number;
        const std::wstring name = ShownLedgerName(m_recipe.ledger);
        if (!board.outcome.Ok()) {
            // The board's Number is spent but its outcome is not in the ledger: never a pass.
            result.cause = LedgerCause(board.outcome, name, result.number, m_text);
            if (r.outcome != core::LineOutcome::Written)
                result.cause = core::FillPlaceholders(m_text(IDS_STATION_LEDGER_FAILED_LOST).c_str(),
                                                      {name, core::DecimalText<wchar_t>(result.number)});
            return;
        }
        if (r.outcome == core::LineOutcome::Written) {
            result.pass = true;
            return;
        }
        if (!board.reservation.Ok()) {
            result.cause = LedgerCause(board.reservation, name, 0, m_text);
            return;
        }
        int id = IDS_STATION_CAUSE_NOT_RESERVED;
        for (const CauseRow& row : kCauses) {
            if (row.outcome == r.outcome)
                id = row.textId;
        }
        if (board.wrongKind)
            id = IDS_STATION_CAUSE_WRONG_KIND;
        result.cause = core::FillPlaceholders(m_text(id).c_str(), {core::DecimalText<wchar_t>(r.before.number)});
    }

    core::DeviceLink& m_link;
    core::LedgerSystem& m_system;
    const CycleRecipe m_recipe;
    const TextOfId m_text;
    core::LedgerConnection m_connection;
};

}  // namespace

std::wstring ShownLedgerName(const std::wstring& ledger) {
    return core::IsDatabaseLedger(ledger) ? core::LedgerName(ledger) : fw::FileNameOfPath(ledger);
}

std::wstring LedgerCause(const core::LedgerResult& r,
                         const std::wstring& ledgerName,
                         uint32_t number,
                         const TextOfId& text) {
    int id = IDS_STATION_LEDGER_IO;
    for (const LedgerCauseRow& row : kLedgerCauses) {
        if (row.problem == r.problem)
            id = row.textId;
    }
    std::wstring second = core::DecimalText<wchar_t>(r.problem == core::LedgerProblem::Refused ? r.faultLine : number);
    if (id == IDS_STATION_LEDGER_DATABASE)
        second = core::FromUtf8(r.server.state.empty() ? r.server.text : r.server.state + ": " + r.server.text);
    return core::FillPlaceholders(text(id).c_str(), {ledgerName, second});
}

std::unique_ptr<BoardCycle> MakeBoardCycle(core::DeviceLink& link,
                                           core::LedgerSystem& system,
                                           const CycleRecipe& recipe,
                                           TextOfId text) {
    return std::make_unique<LedgerCycle>(link, system, recipe, std::move(text));
}

}  // namespace station
