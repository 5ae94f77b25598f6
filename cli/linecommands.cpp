// tolka line run: one board per cycle in one connection, with the Number from the ledger, the
// port options when given, and who ran the board, with which recipe and why it failed recorded
// with its outcome (core::RunLedgerBoard, which the station window runs too). On a line every library call is a round
// trip to a real board, so this is the console's own cycle, not the writer window's calls.
#include <algorithm>
#include <optional>

#include "cli/context.h"
#include "cli/ledgers.h"
#include "core/digits.h"
#include "core/linecycle.h"
#include "line/lineboard.h"
#include "core/recipe.h"
#include "core/utf8.h"

namespace cli {

namespace {

// What every board of the line gets, read once before the first board.
struct LineRecipe {
    core::RecordFields fields;
    std::optional<core::PortOptionImage> options;
    std::string recipe;
};

// How a cycle that did not write ends the command; its message, when the cycle tells one.
struct OutcomeRow {
    core::LineOutcome outcome;
    Exit exit;
    int msg;  // 0: told where it happened (the ledger, the guard)
};
const OutcomeRow kOutcomes[] = {
    {core::LineOutcome::NoBoard, Exit::NoBoard, IDS_CANNOT_CONNECT},
    {core::LineOutcome::NoAnswer, Exit::NoAnswer, IDS_NO_ANSWER},
    {core::LineOutcome::ReadFailed, Exit::ReadFailed, IDS_READ_FAILED},
    {core::LineOutcome::AlreadyNumbered, Exit::Refused, 0},
    {core::LineOutcome::AreaFull, Exit::Refused, IDS_LINE_AREA_FULL},
    {core::LineOutcome::OptionsUnsupported, Exit::Refused, IDS_FIRMWARE_UNSUPPORTED},
    {core::LineOutcome::NotReserved, Exit::Ledger, 0},
    {core::LineOutcome::EraseFailed, Exit::WriteFailed, IDS_ERASE_FAILED},
    {core::LineOutcome::WriteFailed, Exit::WriteFailed, IDS_WRITE_FAILED},
    {core::LineOutcome::VerifyFailed, Exit::VerifyFailed, IDS_VERIFY_ERROR},
    {core::LineOutcome::OptionsWriteFailed, Exit::WriteFailed, IDS_WRITE_FAILED},
    {core::LineOutcome::OptionsVerifyFailed, Exit::VerifyFailed, IDS_LINE_OPTIONS_VERIFY_FAILED},
};

const OutcomeRow& RowOf(core::LineOutcome outcome) {
    for (const OutcomeRow& row : kOutcomes) {
        if (row.outcome == outcome)
            return row;
    }
    return kOutcomes[0];
}

// Tells what the cycle did and gives its exit code.
Exit TellCycle(Context& c, const core::LineBoardResult& board, const std::wstring& ledgerName) {
    const core::LineReport& r = board.cycle;
    c.report.Fields().Number("calls", r.calls);
    if (r.before.numbered)
        c.report.Fields().Number("held_number", r.before.number);
    if (r.reserved)
        c.report.Fields().Number("number", board.line.number);
    if (r.outcome == core::LineOutcome::Written) {
        if (r.before.numbered)
            c.report.Say(IDS_LINE_REWORK,
                         {core::DecimalText<wchar_t>(board.line.number), core::DecimalText<wchar_t>(r.before.number)});
        if (r.erased)
            c.report.Say(IDS_AREA_FULL_ERASED);
        c.report.Fields().Text("slot", HexSlot(r.slot));
        c.report.Say(IDS_LINE_WRITTEN, {core::DecimalText<wchar_t>(board.line.number), HexSlot(r.slot),
                                        core::DecimalText<wchar_t>(r.calls)});
        if (c.inv.Has(Option::Options))
            c.report.Say(IDS_LINE_OPTIONS_WRITTEN);
        return Exit::Done;
    }
    if (board.wrongKind)
        return c.report.Fail(
            Exit::Refused, IDS_KIND_REFUSED,
            {c.report.Text(*board.wrongKind == core::KindMismatch::VarnexOnLan ? IDS_KIND_VARNEX_ON_LAN_NOTE
                                                                               : IDS_KIND_PELNEX_ON_USB_NOTE)});
    if (!board.reservation.Ok())
        return TellLedger(c, ledgerName, board.reservation);
    const OutcomeRow& row = RowOf(r.outcome);
    if (r.outcome == core::LineOutcome::AlreadyNumbered)
        return c.report.Fail(row.exit, IDS_LINE_ALREADY_NUMBERED,
                             {core::DecimalText<wchar_t>(r.before.number), c.host.FromAnsi(r.before.productName)});
    std::wstring text = c.report.Text(row.msg);
    if (r.erased)
        text += L"\n" + c.report.Text(IDS_AREA_ERASED);
    return c.report.FailText(row.exit, text);
}

// One board: the ledger found usable before the board is touched, then the cycle with its
// Number reserved and its outcome recorded (core::RunLedgerBoard).
Exit RunBoard(Context& c, const LineRecipe& recipe, LedgerConnection& connection) {
    if (Exit exit = CheckDeviceLibraries(c); exit != Exit::Done)
        return exit;
    const std::wstring& name = c.inv.Value(Option::Ledger);
    c.report.Fields().Text("ledger", LedgerName(name));
    std::unique_ptr<LineLedger> ledger = MakeLineLedger(c, name, connection);
    if (Exit exit = ledger->Check(); exit != Exit::Done)
        return exit;
    TellOldLayout(c, *ledger, name, connection);

    core::LineBoardJob job;
    job.fields = recipe.fields;
    job.options = recipe.options;
    job.rework = c.inv.Has(Option::Rework);
    job.line = LedgerLine(c, recipe.fields, 0);
    job.line.operatorId = core::ToUtf8(c.inv.Value(Option::Operator));
    job.line.recipe = recipe.recipe;
    const core::LineBoardResult board = core::RunLedgerBoard(c.host.Link(), ledger->Engine(), c.host, job, nullptr);
    const Exit exit = TellCycle(c, board, LedgerName(name));
    if (!board.cycle.reserved)
        return exit;
    const Exit recorded = TellLedger(c, LedgerName(name), board.outcome, &board.line);
    return exit != Exit::Done ? exit : recorded;
}

// The record file (and the options file) read once, with the editor's checks, and the
// recipe made of both files' digests.
Exit ReadRecipe(Context& c, LineRecipe& recipe) {
    core::RecordImage file;
    std::optional<core::RecordFields> fields;
    if (Exit exit = ReadRecordToWrite(c, file, fields); exit != Exit::Done)
        return exit;
    recipe.fields = *fields;
    core::FileDigest recordDigest;
    std::optional<core::FileDigest> optionsDigest;
    if (!c.host.Sha256(file.data(), file.size(), recordDigest))
        return c.report.Fail(Exit::Other, IDS_RECIPE_UNAVAILABLE);
    if (c.inv.Has(Option::Options)) {
        core::PortOptionImage options;
        const std::wstring& path = c.inv.Value(Option::Options);
        if (Exit e = ReadImageFile(c, path, options.data(), options.size()); e != Exit::Done)
            return e;
        recipe.options = options;
        optionsDigest.emplace();
        if (!c.host.Sha256(options.data(), options.size(), *optionsDigest))
            return c.report.Fail(Exit::Other, IDS_RECIPE_UNAVAILABLE);
    }
    recipe.recipe = core::RecipeText(recordDigest, optionsDigest);
    c.report.Fields().Text("recipe", core::FromUtf8(recipe.recipe));
    return Exit::Done;
}

}  // namespace

Exit LineRun(Context& c) {
    LineRecipe recipe;
    if (Exit exit = ReadRecipe(c, recipe); exit != Exit::Done)
        return c.report.Finish(exit);
    const auto oneBoard = [&](Context& board, LedgerConnection& connection) {
        return RunBoard(board, recipe, connection);
    };
    if (c.inv.Has(Option::Repeat))
        return RepeatBoards(c, oneBoard);
    LedgerConnection connection;
    return c.report.Finish(oneBoard(c, connection));
}

}  // namespace cli
