// The writer window: controls, data exchange, title and edited flag, the record from and
// into the editor, the new and exit commands.
#include "piwriter/piwritedlg.h"

#include "core/digits.h"
#include "core/textids.h"
#include "framework/codepage.h"
#include "framework/module.h"
#include "framework/msgbox.h"
#include "framework/text.h"
#include "framework/uuid.h"
#include "piwriter/resource.h"

namespace {
const CEditorDialog::EditorTraits kWriter = {
    IDD_VARNPIWRITE_DIALOG,  // window
    IDC_VERSION,             // About box's version text
    IDD_FLASHMODE_HELP,      // flash-mode help
    L"TolkaPIWriter",        // title
    IDS_FILE_FILTER,         // file dialogs
    L"tpi",                  // default extension
    IDS_DISCARD_AND_EXIT,    // the close path's question
    IDS_WRITE_FIRST_FOUND,   // a write without a connection
    IDS_ERASE_QUESTION,      // before an erase
};

// A name in the thread's ANSI code page as the record rules take it (core/record.h).
core::AnsiName ThreadAnsiName(const std::wstring& text) {
    core::AnsiName name;
    name.bytes = fw::ToThreadAnsi(text, &name.firstMissing);
    return name;
}

}  // namespace

const fw::CommandEntry<CVarnPIWriteDlg> CVarnPIWriteDlg::kCommands[] = {
    {IDC_CONNECT, &CVarnPIWriteDlg::OnConnect},
    {IDC_CREATE_UUID, &CVarnPIWriteDlg::OnCreateUuid},
    {IDC_FILE_SAVE, &CVarnPIWriteDlg::OnFileSave},
    {IDC_FILE_OPEN, &CVarnPIWriteDlg::OnFileOpen},
    {IDC_WRITE_DEVICE, &CVarnPIWriteDlg::OnWriteToDevice},
    {IDC_CONNECTION_SETTINGS, &CVarnPIWriteDlg::OnConnectionSettings},
    {IDC_FLASHMODE_HELP, &CVarnPIWriteDlg::OnFlashModeHelp},
    {IDC_DISCONNECT, &CVarnPIWriteDlg::OnDisconnect},
    {ID_FILE_NEW, &CVarnPIWriteDlg::OnFileNew},
    {ID_FILE_SAVE_AS, &CVarnPIWriteDlg::OnFileSaveAs},
    {ID_FILE_EXIT, &CVarnPIWriteDlg::OnFileExit},
    {ID_READ_TO_EDITOR, &CVarnPIWriteDlg::OnReadToEditor},
    {ID_ERASE_DEVICE, &CVarnPIWriteDlg::OnEraseDevice},
    {ID_APP_ABOUT, &CVarnPIWriteDlg::OnAppAbout},
    {ID_EDIT_SELECT_ALL, &CVarnPIWriteDlg::OnSelectAll},
};

const fw::NotifyEntry<CVarnPIWriteDlg> CVarnPIWriteDlg::kNotifications[] = {
    {IDC_UUID, EN_CHANGE, &CVarnPIWriteDlg::OnEditChange},
    {IDC_NUMBER, EN_CHANGE, &CVarnPIWriteDlg::OnEditChange},
    {IDC_PRODUCT_NAME, EN_CHANGE, &CVarnPIWriteDlg::OnEditChange},
    {IDC_MAKER, EN_CHANGE, &CVarnPIWriteDlg::OnEditChange},
};

const fw::UpdateEntry<CVarnPIWriteDlg> CVarnPIWriteDlg::kUpdateHandlers[] = {
    {IDC_DISCONNECT, &CVarnPIWriteDlg::OnUpdateConnected},
    {IDC_CONNECT, &CVarnPIWriteDlg::OnUpdateConnect},
    {ID_ERASE_DEVICE, &CVarnPIWriteDlg::OnUpdateConnected},
};

const fw::DialogTables<CVarnPIWriteDlg> CVarnPIWriteDlg::kTables = {kCommands, kNotifications, kUpdateHandlers};

CVarnPIWriteDlg::CVarnPIWriteDlg(core::DeviceLink& link) : CTableDialog(kWriter, link) {}

void CVarnPIWriteDlg::DoDataExchange(fw::CDataExchange& dx) {
    ExchangeName(dx, IDC_MAKER, m_strMaker, IDS_MAKER_NOT_IN_CODE_PAGE);
    ExchangeName(dx, IDC_PRODUCT_NAME, m_strProductName, IDS_PRODUCT_NAME_NOT_IN_CODE_PAGE);
    dx.Text(IDC_UUID, m_strUuid);
    dx.Text(IDC_CUR_PRODUCT_NAME, m_strCurProductName);
    dx.Text(IDC_CUR_UUID, m_strCurUuid);
    dx.Text(IDC_CUR_MAKER, m_strCurMaker);
    dx.Text(IDC_CUR_NUMBER, m_strCurNumber);
    dx.Text(IDC_NUMBER, m_strNumber);
    dx.Control(IDC_AUTO_INCREMENT, m_btnAutoIncrement);
}

// A name the record cannot hold as typed is refused before anything is written: a record
// with "?" or a look-alike in place of a character would tell host programs a name nobody
// typed. notInCodePageId names the field in its message.
void CVarnPIWriteDlg::ExchangeName(fw::CDataExchange& dx, int id, std::wstring& member, UINT notInCodePageId) {
    dx.Text(id, member);
    dx.MaxChars(id, member, core::kNameMaxChars);
    if (!dx.IsChecking())
        return;
    const core::AnsiName ansi = ThreadAnsiName(member);
    switch (core::CheckName(member, ansi)) {
        case core::NameVerdict::NotInCodePage:
            dx.Refuse(id,
                      fw::FormatMessageText(fw::LoadResString(notInCodePageId), core::MissingCharacter(member, ansi)));
            break;
        case core::NameVerdict::TooManyBytes:
            dx.Refuse(id, fw::FormatMessageText(fw::LoadResString(IDS_FW_MAX_BYTES),
                                                core::DecimalText<wchar_t>(core::kNameMaxBytes)));
            break;
        case core::NameVerdict::TooManyChars:  // refused by MaxChars already
        case core::NameVerdict::Fits:
            break;
    }
}

void CVarnPIWriteDlg::OnFileExit() {
    OnCancel();
}

// Runs on every change of an editor field, typed or set by the program.
void CVarnPIWriteDlg::OnEditChange() {
    MarkModified();
}

void CVarnPIWriteDlg::OnFileNew() {
    if (!ConfirmDiscard(IDS_DISCARD_CONTENTS, kAskYesNo))
        return;
    m_editor = core::RecordTexts();
    UpdateData(false);
    ForgetFile();
}

void CVarnPIWriteDlg::OnSelectAll() {
    SelectAllInFocusedEdit();
}

// The RPC library is loaded on the first click; a system without it cannot create an ID either.
void CVarnPIWriteDlg::OnCreateUuid() {
    core::Uuid uuid;
    if (!fw::CreateSystemUuid(uuid)) {
        fw::AppMessageBox(IDS_UUID_CREATE_FAILED);
        return;
    }
    SetDlgItemText(IDC_UUID, core::FormatUuidText(uuid.data()));
}

// The names have passed the data exchange's checks; the engine checks the UUID text.
bool CVarnPIWriteDlg::BuildRecord(core::RecordImage& dest) {
    if (!UpdateData(true))
        return false;
    core::RecordFromTexts made =
        core::FieldsFromTexts(m_editor, ThreadAnsiName(m_strProductName), ThreadAnsiName(m_strMaker));
    switch (made.fault) {
        case core::RecordTextFault::UuidMissing:
            fw::AppMessageBox(IDS_UUID_MISSING);
            return false;
        case core::RecordTextFault::UuidMalformed:
            fw::AppMessageBox(IDS_UUID_MALFORMED);
            return false;
        case core::RecordTextFault::MakerName:  // refused by the data exchange already
        case core::RecordTextFault::ProductName:
            return false;
        case core::RecordTextFault::None:
            break;
    }
    m_strNumber = core::TrimBlanks(m_strNumber);
    // The data exchange has refused names that do not fit; this cannot cut one either.
    std::optional<core::RecordImage> image = core::EncodeRecord(made.fields);
    if (!image)
        return false;
    dest = *image;
    return true;
}

void CVarnPIWriteDlg::LoadRecordIntoEditor(const uint8_t* record) {
    m_editor = core::TextsOfRecord(record, fw::FromThreadAnsi);
    UpdateData(false);
}
