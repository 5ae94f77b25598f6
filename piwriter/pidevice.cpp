// The writer on the board: connect, show the board's current record, read it into the
// editor, write the editor's record into the next free slot, erase the area. The board
// algorithms are core's; this file asks the user and tells what happened.
#include "devicelink/librarylink.h"
#include "core/textids.h"
#include "core/writerops.h"
#include "framework/codepage.h"
#include "framework/module.h"
#include "framework/msgbox.h"
#include "piwriter/piwritedlg.h"
#include "piwriter/resource.h"

namespace {

constexpr UINT kYesNoPlain = MB_YESNO | MB_DEFBUTTON2;

// The product-kind questions of a write, asked in message boxes.
class KindQuestions : public core::WriteQuestions {
public:
    bool ContinueDespite(core::KindMismatch mismatch) override {
        UINT text = mismatch == core::KindMismatch::VarnexOnLan ? IDS_KIND_VARNEX_ON_LAN : IDS_KIND_PELNEX_ON_USB;
        return fw::AppMessageBox(text, kYesNoPlain) == IDYES;
    }
};

// The message of a write that did not end in a verified record.
std::wstring WriteFailureText(const core::WriteReport& report) {
    UINT textId = IDS_VERIFY_ERROR;
    switch (report.outcome) {
        case core::WriteOutcome::ReadFailed:
            textId = IDS_READ_FAILED;
            break;
        case core::WriteOutcome::EraseFailed:
            textId = IDS_ERASE_FAILED;
            break;
        case core::WriteOutcome::WriteFailed:
            textId = IDS_WRITE_FAILED;
            break;
        default:
            break;
    }
    std::wstring text = fw::LoadResString(textId);
    // The board's earlier records are gone and the new one is not there: the user must know.
    if (report.erased)
        text += L"\n" + fw::LoadResString(IDS_AREA_ERASED);
    return text;
}

}  // namespace

// The interface the board answered on, told before the panel is read.
void CVarnPIWriteDlg::AnnounceConnection() {
    switch (core::AnnouncedInterface(BoardLink().GetIFType(Device()))) {
        case core::InterfaceKind::Usb:
            fw::AppMessageBox(IDS_CONNECTED_USB, kOkInfo);
            break;
        case core::InterfaceKind::Lan:
            fw::AppMessageBox(IDS_CONNECTED_LAN, kOkInfo);
            break;
        case core::InterfaceKind::Other:
            break;
    }
}

// A new connection shows the board's current record in the panel.
bool CVarnPIWriteDlg::RefreshAfterConnect() {
    return RefreshCurrentData();
}

// Shows the board's newest valid record in the panel, or "Empty". When the board cannot be
// read the panel goes blank instead: it must never show what the board may no longer hold.
// True when the panel now shows the board.
bool CVarnPIWriteDlg::RefreshCurrentData() {
    if (!IsConnected())
        return false;
    // Taken in without checks, so that the redisplay below keeps every field as typed.
    TakeInWithoutChecks();
    core::CurrentRecord current;
    core::ReadResult result = core::ReadCurrentRecord(BoardLink(), Device(), current);
    switch (result) {
        case core::ReadResult::Found:
            m_panel = Panel::Record;
            m_current = core::TextsOfRecord(current.record.data(), fw::FromThreadAnsi);
            break;
        case core::ReadResult::Empty: {
            m_panel = Panel::Empty;
            const std::wstring empty = fw::LoadResString(IDS_PANEL_EMPTY);
            m_current = {empty, empty, empty, empty};
            break;
        }
        case core::ReadResult::NoAnswer:
        case core::ReadResult::ReadFailed:
            m_panel = Panel::Nothing;
            m_current = core::RecordTexts();
            break;
    }
    UpdateData(false);
    if (result == core::ReadResult::NoAnswer)
        fw::AppMessageBox(IDS_NO_ANSWER);
    else if (result == core::ReadResult::ReadFailed)
        fw::AppMessageBox(IDS_READ_FAILED);
    if (core::EndsConnection(result))
        Disconnect();
    return m_panel != Panel::Nothing;
}

void CVarnPIWriteDlg::OnReadToEditor() {
    if (m_bModified && fw::AppMessageBox(IDS_DISCARD_CONTENTS, kAskYesNo) != IDYES)
        return;
    if (!Connect())
        return;
    // A panel that an earlier read could not fill is read again; only what the board holds
    // now may reach the editor.
    if (m_panel == Panel::Nothing && !RefreshCurrentData())
        return;
    if (m_panel == Panel::Empty) {
        fw::AppMessageBox(IDS_NO_VALID_DATA, kOkInfo);
        return;
    }
    m_editor = m_current;
    UpdateData(false);
    MarkReadFromBoard();
}

void CVarnPIWriteDlg::OnWriteToDevice() {
    core::RecordImage record;
    if (!BuildRecord(record) || !ConnectForWrite())
        return;
    KindQuestions questions;
    core::WriteReport report = core::WriteRecord(BoardLink(), Device(), record, questions);
    switch (report.outcome) {
        case core::WriteOutcome::Refused:
            return;
        case core::WriteOutcome::Written:
            fw::AppMessageBox(IDS_WRITTEN, kOkInfo);
            RefreshCurrentData();
            CountUpNumber(core::DecodeRecord(record.data()).number);
            break;
        default:
            fw::AppMessageBox(WriteFailureText(report));
            // Whatever the board holds now, the panel shows it.
            RefreshCurrentData();
            break;
    }
    if (core::EndsConnection(report))
        Disconnect();
}

// After a write with "Numberの自動加算" on: the next number, in the form the field uses.
void CVarnPIWriteDlg::CountUpNumber(uint32_t written) {
    if (m_btnAutoIncrement == nullptr || SendMessageW(m_btnAutoIncrement, BM_GETCHECK, 0, 0) != BST_CHECKED)
        return;
    if (written == 0xFFFFFFFFu)
        return;
    // The refresh has taken the field in again: blanks around it must not hide a "0x".
    m_strNumber = core::FormatNumberText(written + 1, core::TrimBlanks(m_strNumber));
    SetDlgItemText(IDC_NUMBER, m_strNumber);
}

void CVarnPIWriteDlg::OnEraseDevice() {
    if (!ConfirmErase())
        return;
    if (core::EraseProductInfo(BoardLink(), Device()))
        fw::AppMessageBox(IDS_ERASED, kOkInfo);
    else
        fw::AppMessageBox(IDS_ERASE_FAILED);
    // A failed erase may have emptied part of the area: the panel shows what is left.
    RefreshCurrentData();
}
