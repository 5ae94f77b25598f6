// The product-information commands: show and make a .tpi file, read, write and erase the
// board's product information, with the Number ledger for production lines.
#include <algorithm>
#include <optional>

#include "cli/context.h"
#include "cli/ledgers.h"
#include "core/digits.h"
#include "core/utf8.h"
#include "line/ledger.h"

namespace cli {

namespace {

// The window's product-kind question, answered by --allow-kind-mismatch.
class KindAnswers : public core::WriteQuestions {
public:
    explicit KindAnswers(Context& c) : c_(c) {}

    bool ContinueDespite(core::KindMismatch mismatch) override {
        std::wstring what = c_.report.Text(mismatch == core::KindMismatch::VarnexOnLan ? IDS_KIND_VARNEX_ON_LAN_NOTE
                                                                                       : IDS_KIND_PELNEX_ON_USB_NOTE);
        if (c_.inv.Has(Option::AllowKindMismatch)) {
            c_.report.Say(IDS_KIND_ALLOWED, {what});
            return true;
        }
        refusal = what;
        return false;
    }

    std::wstring refusal;

private:
    Context& c_;
};

// The message of a write that did not end in a verified record, and its exit code.
Exit WriteFailure(Context& c, const core::WriteReport& report, const KindAnswers& answers) {
    int msg = IDS_VERIFY_ERROR;
    Exit code = Exit::VerifyFailed;
    switch (report.outcome) {
        case core::WriteOutcome::Refused:
            return c.report.Fail(Exit::Refused, IDS_KIND_REFUSED, {answers.refusal});
        case core::WriteOutcome::ReadFailed:
            msg = IDS_READ_FAILED, code = Exit::ReadFailed;
            break;
        case core::WriteOutcome::EraseFailed:
            msg = IDS_ERASE_FAILED, code = Exit::WriteFailed;
            break;
        case core::WriteOutcome::WriteFailed:
            msg = IDS_WRITE_FAILED, code = Exit::WriteFailed;
            break;
        default:
            break;
    }
    std::wstring text = c.report.Text(msg);
    // The board's earlier records are gone and the new one is not there: the user must know.
    if (report.erased)
        text += L"\n" + c.report.Text(IDS_AREA_ERASED);
    return c.report.FailText(code, text);
}

Exit FirstFailure(std::initializer_list<Exit> exits) {
    for (Exit e : exits) {
        if (e != Exit::Done)
            return e;
    }
    return Exit::Done;
}

// A refused write never looked for a slot; one that failed reading did not find one.
bool SlotKnown(const core::WriteReport& report) {
    return report.outcome != core::WriteOutcome::Refused && report.outcome != core::WriteOutcome::ReadFailed;
}

// Tells what the write did; Done when the record is in the board.
Exit TellWrite(Context& c, const core::WriteReport& report, const KindAnswers& answers, uint32_t number) {
    const bool written = report.outcome == core::WriteOutcome::Written;
    c.report.Fields().Number("number", number).Bool("written", written).Bool("erased", report.erased);
    if (SlotKnown(report))
        c.report.Fields().Text("slot", HexSlot(report.slot));
    if (!written)
        return WriteFailure(c, report, answers);
    if (report.erased)
        c.report.Say(IDS_AREA_FULL_ERASED);
    c.report.Say(IDS_WRITTEN_TO_SLOT, {HexSlot(report.slot), core::DecimalText<wchar_t>(number)});
    return Exit::Done;
}

// One board: connect and show its record as the window does, take the Number from the
// ledger, write and verify, record the outcome, show the board's record again.
Exit WriteBoard(Context& c, core::RecordFields fields, const std::string& recipe, LedgerConnection& connection) {
    std::unique_ptr<LineLedger> ledger;
    if (c.inv.Has(Option::Ledger)) {
        const std::wstring& name = c.inv.Value(Option::Ledger);
        c.report.Fields().Text("ledger", LedgerName(name));
        if (c.inv.Has(Option::Station))
            c.report.Fields().Text("station", c.inv.Value(Option::Station));
        ledger = MakeLineLedger(c, name, connection);
        if (Exit exit = ledger->Check(); exit != Exit::Done)
            return exit;
        TellOldLayout(c, *ledger, name, connection);
    }
    core::BoardConnection board(c.host.Link());
    uint32_t interfaceType = 0;
    if (Exit exit = ConnectWriter(c, board, interfaceType); exit != Exit::Done)
        return exit;
    core::LedgerEntry line = LedgerLine(c, fields, interfaceType);
    line.recipe = recipe;
    uint64_t reservedAt = 0;
    // The file's Number (or --number) is where the ledger's range starts.
    if (ledger) {
        if (Exit exit = ledger->Reserve(line, fields.number); exit != Exit::Done)
            return exit;
        reservedAt = c.host.NowMs();
        c.report.Say(IDS_NUMBER_RESERVED, {core::DecimalText<wchar_t>(fields.number)});
    }
    KindAnswers answers(c);
    core::WriteReport report = core::WriteRecord(c.host.Link(), board.Handle(), *core::EncodeRecord(fields), answers);
    Exit writeExit = TellWrite(c, report, answers, fields.number);
    Exit ledgerExit = Exit::Done;
    if (ledger) {
        line.time = core::FormatIsoTime(c.host.Now());
        line.number = fields.number;
        line.status = writeExit == Exit::Done ? core::LedgerStatus::Ok : core::LedgerStatus::Failed;
        line.slot = SlotKnown(report) ? core::ToUtf8(HexSlot(report.slot)) : std::string();
        line.durationMs = static_cast<uint32_t>(std::min<uint64_t>(c.host.NowMs() - reservedAt, 0xFFFFFFFFu));
        if (writeExit != Exit::Done)
            line.cause = ExitName(writeExit);
        ledgerExit = ledger->Record(line);
    }
    if (report.outcome == core::WriteOutcome::Refused)
        return FirstFailure({writeExit, ledgerExit});
    // Whatever the board holds now is shown; a written board is given back at once.
    Exit refreshExit = ShowCurrentRecord(c, board);
    if (core::EndsConnection(report))
        board.Close();
    return FirstFailure({writeExit, ledgerExit, refreshExit});
}

}  // namespace

Exit PiShow(Context& c) {
    core::RecordImage image;
    if (Exit exit = ReadImageFile(c, c.inv.file, image.data(), image.size()); exit != Exit::Done)
        return c.report.Finish(exit);
    RecordTexts texts = TextsOf(c.host, image.data());
    c.report.SayText(RecordLine(c, texts));
    c.report.Fields().Text("file", c.inv.file).Append(RecordJson(texts));
    return c.report.Finish(Exit::Done);
}

Exit PiMake(Context& c) {
    RecordTexts texts{c.inv.Value(Option::Uuid), c.inv.Value(Option::Number), c.inv.Value(Option::Product),
                      c.inv.Value(Option::Maker)};
    if (c.inv.Has(Option::NewUuid)) {
        core::Uuid uuid;
        if (!c.host.NewUuid(uuid))
            return c.report.Finish(c.report.Fail(Exit::Other, IDS_UUID_CANNOT_BE_CREATED));
        texts.uuid = core::FormatUuidText(uuid.data());
    }
    Exit exit = Exit::Done;
    std::optional<core::RecordFields> fields = BuildFields(c, texts, Exit::Usage, exit);
    if (!fields)
        return c.report.Finish(exit);
    core::RecordImage record = *core::EncodeRecord(*fields);
    exit = WriteImageFile(c, c.inv.Value(Option::Output), record.data(), record.size());
    if (exit == Exit::Done) {
        RecordTexts made = TextsOf(c.host, record.data());
        c.report.SayText(RecordLine(c, made));
        c.report.Fields().Append(RecordJson(made));
    }
    return c.report.Finish(exit);
}

Exit PiRead(Context& c) {
    core::BoardConnection board(c.host.Link());
    uint32_t interfaceType = 0;
    if (Exit exit = OpenBoard(c, board, interfaceType); exit != Exit::Done)
        return c.report.Finish(exit);
    core::CurrentRecord current;
    core::ReadResult result;
    if (Exit exit = ShowCurrentRecord(c, board, &current, &result); exit != Exit::Done)
        return c.report.Finish(exit);
    if (result == core::ReadResult::Empty)
        return c.report.Finish(c.report.Fail(Exit::ReadFailed, IDS_NO_VALID_DATA));
    if (!c.inv.Has(Option::Output))
        return c.report.Finish(Exit::Done);
    // Saved as the editor would save it after reading: the record made anew from its texts.
    Exit exit = Exit::Done;
    std::optional<core::RecordFields> fields =
        BuildFields(c, TextsOf(c.host, current.record.data()), Exit::BadFile, exit);
    if (!fields)
        return c.report.Finish(exit);
    core::RecordImage record = *core::EncodeRecord(*fields);
    return c.report.Finish(WriteImageFile(c, c.inv.Value(Option::Output), record.data(), record.size()));
}

Exit PiWrite(Context& c) {
    core::RecordImage file;
    std::optional<core::RecordFields> fields;
    if (Exit exit = ReadRecordToWrite(c, file, fields); exit != Exit::Done)
        return c.report.Finish(exit);
    // The ledger names the record file it was written from (a digest the system may lack).
    core::FileDigest digest;
    const std::string recipe = c.inv.Has(Option::Ledger) && c.host.Sha256(file.data(), file.size(), digest)
                                   ? core::RecipeText(digest, std::nullopt)
                                   : std::string();
    if (c.inv.Has(Option::Repeat))
        return RepeatBoards(c, [&](Context& board, LedgerConnection& connection) {
            return WriteBoard(board, *fields, recipe, connection);
        });
    LedgerConnection connection;
    return c.report.Finish(WriteBoard(c, *fields, recipe, connection));
}

Exit PiErase(Context& c) {
    core::BoardConnection board(c.host.Link());
    uint32_t interfaceType = 0;
    if (Exit exit = ConnectWriter(c, board, interfaceType); exit != Exit::Done)
        return c.report.Finish(exit);
    Exit exit = Exit::Done;
    if (core::EraseProductInfo(c.host.Link(), board.Handle()))
        c.report.Say(IDS_ERASED);
    else
        exit = c.report.Fail(Exit::WriteFailed, IDS_ERASE_FAILED);
    // A failed erase may have emptied part of the area: what is left is shown.
    Exit refresh = ShowCurrentRecord(c, board);
    return c.report.Finish(FirstFailure({exit, refresh}));
}

}  // namespace cli
