#include "station/setupdlg.h"

#include "core/digits.h"
#include "core/placeholders.h"
#include "core/utf8.h"
#include "devicelink/librarylink.h"
#include "framework/filedialog.h"
#include "framework/fileio.h"
#include "framework/language.h"
#include "framework/module.h"
#include "framework/msgbox.h"
#include "framework/text.h"
#include "framework/waitcursor.h"
#include "station/boardcheck.h"
#include "station/resource.h"
#include "station/stationdlg.h"

namespace {

// Closing with changes asks first; No, the default, keeps the window.
constexpr UINT kAskYesNo = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
constexpr DWORD kOpenFlags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;

std::wstring Text(int id, std::initializer_list<std::wstring> args = {}) {
    return core::FillPlaceholders(fw::LoadResString(static_cast<UINT>(id)).c_str(), args);
}

// The field of each key of the station file that the window edits, and its name in messages.
struct FieldRow {
    const wchar_t* key;
    int control;
    int nameId;
};

const FieldRow kFields[] = {
    {L"record", IDC_SETUP_RECORD, IDS_STATION_SETUP_FIELD_RECORD},
    {L"options", IDC_SETUP_OPTIONS, IDS_STATION_SETUP_FIELD_OPTIONS},
    {L"ledger", IDC_SETUP_LEDGER, IDS_STATION_SETUP_FIELD_LEDGER},
    {L"station", IDC_SETUP_SHARE, IDS_STATION_SETUP_FIELD_SHARE},
};

bool IsChecked(HWND dlg, int id) {
    return IsDlgButtonChecked(dlg, id) == BST_CHECKED;
}

}  // namespace

const fw::CommandEntry<CSetupDlg> CSetupDlg::kCommands[] = {
    {IDC_SETUP_RECORD_BROWSE, &CSetupDlg::OnBrowseRecord},
    {IDC_SETUP_OPTIONS_BROWSE, &CSetupDlg::OnBrowseOptions},
    {IDC_SETUP_LEDGER_BROWSE, &CSetupDlg::OnBrowseLedger},
    {IDC_SETUP_OPERATOR, &CSetupDlg::OnChanged},
    {IDC_SETUP_REWORK, &CSetupDlg::OnChanged},
    {IDC_SETUP_CHECK, &CSetupDlg::OnCheckBoard},
    {IDC_SETUP_SAVE, &CSetupDlg::OnSave},
    {IDC_SETUP_SAVE_AS, &CSetupDlg::OnSaveAs},
};

const fw::NotifyEntry<CSetupDlg> CSetupDlg::kNotifications[] = {
    {IDC_SETUP_RECORD, EN_CHANGE, &CSetupDlg::OnChanged},
    {IDC_SETUP_OPTIONS, EN_CHANGE, &CSetupDlg::OnChanged},
    {IDC_SETUP_LEDGER, EN_CHANGE, &CSetupDlg::OnChanged},
    {IDC_SETUP_SHARE, EN_CHANGE, &CSetupDlg::OnChanged},
};

const fw::DialogTables<CSetupDlg> CSetupDlg::kTables{kCommands, kNotifications};

CSetupDlg::CSetupDlg(const std::wstring& path) : CTableDialog(IDD_STATION_SETUP, IDC_VERSION), m_path(path) {
    // Its own place, apart from the operator's window.
    m_placementKey += L"Setup";
}

CSetupDlg::~CSetupDlg() {
    DestroyWindow();
}

BOOL CSetupDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    InitMainWindow(false);
    station::StationFile file;
    // A file that is not there yet is the one the first save makes.
    if (!m_path.empty() && GetFileAttributesW(m_path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        std::optional<station::StationFile> read = ReadStationFile(m_path);
        if (read)
            file = *read;
        else
            m_path.clear();  // told; the next save asks for a name, so the refused file stays as it is
    }
    ShowFile(file);
    m_modified = false;
    ShowTitle();
    return TRUE;
}

void CSetupDlg::ShowFile(const station::StationFile& file) {
    SetDlgItemText(IDC_SETUP_RECORD, file.record);
    SetDlgItemText(IDC_SETUP_OPTIONS, file.options);
    SetDlgItemText(IDC_SETUP_LEDGER, file.ledger);
    SetDlgItemText(IDC_SETUP_SHARE, file.station ? core::FromUtf8(core::FormatStation(*file.station)) : std::wstring());
    CheckDlgButton(m_hWnd, IDC_SETUP_OPERATOR, file.operatorRequired ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_SETUP_REWORK, file.rework ? BST_CHECKED : BST_UNCHECKED);
}

void CSetupDlg::ShowTitle() {
    SetWindowText(m_path.empty() ? Text(IDS_STATION_SETUP_TITLE)
                                 : Text(IDS_STATION_SETUP_TITLE_FILE, {fw::FileNameOfPath(m_path)}));
}

bool CSetupDlg::TakeFields(const std::wstring& folder, station::StationFile& file) {
    station::StationFields fields;
    fields.record = GetDlgItemText(IDC_SETUP_RECORD);
    fields.options = GetDlgItemText(IDC_SETUP_OPTIONS);
    fields.ledger = GetDlgItemText(IDC_SETUP_LEDGER);
    fields.share = GetDlgItemText(IDC_SETUP_SHARE);
    fields.operatorRequired = IsChecked(m_hWnd, IDC_SETUP_OPERATOR);
    fields.rework = IsChecked(m_hWnd, IDC_SETUP_REWORK);
    const station::StationParse parse = station::ReadStationFields(fields, folder, file);
    if (parse.fault == station::StationFault::None)
        return true;
    for (const FieldRow& row : kFields) {
        if (parse.key != row.key)
            continue;
        const bool share = row.control == IDC_SETUP_SHARE && parse.fault == station::StationFault::BadValue;
        fw::AppMessageBox(
            Text(IDS_STATION_SETUP_FIELD_BAD,
                 {Text(row.nameId), share ? Text(IDS_STATION_SETUP_SHARE_RULE) : StationFaultText(parse.fault)}));
        SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(row.control)), TRUE);
        return false;
    }
    fw::AppMessageBox(StationFaultText(parse.fault));
    return false;
}

void CSetupDlg::Browse(int field, const wchar_t* extension, int filterId, DWORD flags) {
    fw::CFileDialog dlg(true, extension, Text(filterId), flags, m_hWnd);
    if (dlg.DoModal() == IDOK)
        SetDlgItemText(field, dlg.GetPathName());
}

void CSetupDlg::OnBrowseRecord() {
    Browse(IDC_SETUP_RECORD, L"tpi", IDS_STATION_SETUP_RECORD_FILTER, kOpenFlags);
}

void CSetupDlg::OnBrowseOptions() {
    Browse(IDC_SETUP_OPTIONS, L"topt", IDS_STATION_SETUP_OPTIONS_FILTER, kOpenFlags);
}

// A ledger the station has not written yet may be named too: the file need not be there.
void CSetupDlg::OnBrowseLedger() {
    Browse(IDC_SETUP_LEDGER, L"csv", IDS_STATION_SETUP_LEDGER_FILTER, OFN_HIDEREADONLY);
}

void CSetupDlg::OnChanged() {
    m_modified = true;
}

// Reads the files as the operator's window would and looks at the board attached now; the
// board is only read.
void CSetupDlg::OnCheckBoard() {
    station::StationFile file;
    if (!TakeFields(m_path.empty() ? std::wstring() : fw::FolderOfPath(m_path), file))
        return;
    const std::optional<station::CycleRecipe> recipe = ReadRecipe(file);
    if (!recipe)
        return;
    if (std::optional<core::MissingLibrary> missing = DeviceLibrariesMissing()) {
        fw::AppMessageBox(core::MissingLibraryText(fw::GetUiLang(), *missing), MB_OK | MB_ICONSTOP);
        return;
    }
    station::BoardCheck check;
    {
        fw::CCommandCursor cursor;
        fw::CCommandCursor::ShowWait();
        check = station::CheckBoard(LibraryLink(), *recipe);
    }
    const std::wstring words = station::BoardCheckText(check, [](int id) { return Text(id); });
    fw::AppMessageBox(words, check.writable ? UINT{MB_OK | MB_ICONINFORMATION} : UINT{MB_OK | MB_ICONEXCLAMATION});
}

void CSetupDlg::OnSave() {
    if (m_path.empty())
        OnSaveAs();
    else
        SaveTo(m_path);
}

// The fields are checked before a name is asked for: a name never leads to a refusal.
void CSetupDlg::OnSaveAs() {
    station::StationFile file;
    if (!TakeFields(std::wstring(), file))
        return;
    fw::CFileDialog dlg(false, L"tstation", Text(IDS_STATION_SETUP_FILTER), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                        m_hWnd);
    if (dlg.DoModal() == IDOK)
        SaveTo(dlg.GetPathName());
}

// Relative paths in the fields are relative to the file's own folder, as the station reads them.
bool CSetupDlg::SaveTo(const std::wstring& path) {
    const std::wstring folder = fw::FolderOfPath(path);
    station::StationFile file;
    if (!TakeFields(folder, file))
        return false;
    const std::string text = station::FormatStationFile(file, folder);
    switch (fw::WriteFileReplacing(path, reinterpret_cast<const uint8_t*>(text.data()), text.size())) {
        case core::FileResult::Ok:
            break;
        case core::FileResult::CannotOpen:
        case core::FileResult::Missing:
            fw::AppMessageBox(Text(IDS_STATION_FILE_CANNOT_OPEN, {path}));
            return false;
        case core::FileResult::IoError:
            fw::ReportFileError(fw::FileErrorKind::Write, path);
            return false;
    }
    m_path = path;
    m_modified = false;
    ShowTitle();
    return true;
}

// Enter in a field does nothing: saving and checking are each a button of their own.
void CSetupDlg::OnOK() {}

// Esc, the close button and the close box.
void CSetupDlg::OnCancel() {
    if (m_modified && fw::AppMessageBox(Text(IDS_STATION_SETUP_DISCARD), kAskYesNo) != IDYES)
        return;
    EndDialog(IDCANCEL);
}
