#include "common/editordlg.h"

#include <winsock2.h>

#include "common/flashmodehelp.h"
#include "common/sockets.h"
#include "devicelink/librarylink.h"
#include "core/imagefile.h"
#include "core/textids.h"
#include "framework/filedialog.h"
#include "framework/fileio.h"
#include "framework/language.h"
#include "framework/module.h"
#include "framework/msgbox.h"
#include "framework/text.h"

namespace {
// Both dialogs: no read-only check box; saving asks before it replaces a file.
constexpr DWORD kFileDialogFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
}  // namespace

CEditorDialog::CEditorDialog(const EditorTraits& traits, core::DeviceLink& link)
    : CMainDialog(traits.templateId, traits.aboutVersionControlId), m_traits(traits), m_boardLink(link) {
    SetHelpTopic(kMainWindowHelpPage);
}

CEditorDialog::~CEditorDialog() {
    DestroyWindow();
}

BOOL CEditorDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    InitMainWindow(true);
    PrepareControls();
    if (!m_strPathName.empty())
        OpenFileAtStartup();
    return TRUE;
}

void CEditorDialog::OnOK() {
    OnCancel();
}

void CEditorDialog::OnCancel() {
    if (!ConfirmDiscard(m_traits.discardAndExitId, kAskOkCancel))
        return;
    EndDialog(IDCANCEL);
}

// A board left in flash mode would stay locked for other programs: the window closes the
// connection when it goes.
INT_PTR CEditorDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (msg == WM_DESTROY)
        m_hDevice.Close();
    return CMainDialog::OnMessage(msg, wParam, lParam, handled);
}

void CEditorDialog::SetTitleNoFile() {
    SetWindowText(m_traits.appTitle);
}

void CEditorDialog::SetTitleForFile() {
    SetWindowText(std::wstring(m_traits.appTitle) + L" - " + m_strFileName);
}

void CEditorDialog::MarkModified() {
    if (m_bModified)
        return;
    m_bModified = true;
    SetWindowText(GetWindowText() + L"*");
}

void CEditorDialog::MarkReadFromBoard() {
    SetWindowText(std::wstring(m_traits.appTitle) + L"*");
    m_strFileName.clear();
    m_strPathName.clear();
    m_bModified = true;
}

void CEditorDialog::ForgetFile() {
    m_strFileName.clear();
    m_strPathName.clear();
    SetTitleNoFile();
    m_bModified = false;
}

bool CEditorDialog::ConfirmDiscard(UINT questionId, UINT type) {
    if (!m_bModified)
        return true;
    int answer = fw::AppMessageBox(questionId, type);
    return answer == IDOK || answer == IDYES;
}

bool CEditorDialog::ConfirmDiscardFile() {
    return ConfirmDiscard(IDS_DISCARD_FILE, kAskOkCancel);
}

// Only a file of exactly one image is taken (core/imagefile.h).
bool CEditorDialog::ReadFileImage(const std::wstring& path, FileImage& image) {
    std::vector<uint8_t> data;
    switch (fw::ReadFilePrefix(path, core::ImageFileReadLimit(image.size()), data)) {
        case core::FileResult::CannotOpen:
        case core::FileResult::Missing:
            fw::AppMessageBox(IDS_FILE_CANNOT_OPEN);
            return false;
        case core::FileResult::IoError:
            fw::ReportFileError(fw::FileErrorKind::Read, path);
            return false;
        case core::FileResult::Ok:
            break;
    }
    if (!core::IsWholeImageFile(data.size(), image.size())) {
        fw::AppMessageBox(IDS_FILE_BAD_FORMAT);
        return false;
    }
    std::copy(data.begin(), data.end(), image.begin());
    return true;
}

bool CEditorDialog::WriteFileImage(const std::wstring& path) {
    FileImage image;
    if (!BuildFileImage(image))
        return false;
    switch (fw::WriteFileReplacing(path, image.data(), image.size())) {
        case core::FileResult::CannotOpen:
        case core::FileResult::Missing:
            fw::AppMessageBox(IDS_FILE_CANNOT_OPEN);
            return false;
        case core::FileResult::IoError:
            fw::ReportFileError(fw::FileErrorKind::Write, path);
            return false;
        case core::FileResult::Ok:
            break;
    }
    return true;
}

void CEditorDialog::OnFileOpen() {
    if (!ConfirmDiscardFile())
        return;
    fw::CFileDialog dlg(true, m_traits.fileExtension, fw::LoadResString(m_traits.fileFilterId), kFileDialogFlags,
                        m_hWnd);
    if (dlg.DoModal() != IDOK)
        return;
    std::wstring path = dlg.GetPathName();
    FileImage image;
    if (!ReadFileImage(path, image))
        return;
    ShowFileImage(image);
    m_strPathName = path;
    m_strFileName = dlg.GetFileName();
    SetTitleForFile();
    m_bModified = false;
}

// When the file cannot be read the path is dropped, so that the editor starts empty and
// the next save asks for a name.
void CEditorDialog::OpenFileAtStartup() {
    FileImage image;
    if (!ReadFileImage(m_strPathName, image)) {
        ForgetFile();
        return;
    }
    ShowFileImage(image);
    m_strFileName = fw::FileNameOfPath(m_strPathName);
    SetTitleForFile();
    m_bModified = false;
}

void CEditorDialog::OnFileSave() {
    if (m_strPathName.empty()) {
        OnFileSaveAs();
        return;
    }
    if (!WriteFileImage(m_strPathName))
        return;
    SetTitleForFile();
    m_bModified = false;
}

void CEditorDialog::OnFileSaveAs() {
    fw::CFileDialog dlg(false, m_traits.fileExtension, fw::LoadResString(m_traits.fileFilterId), kFileDialogFlags,
                        m_hWnd);
    if (dlg.DoModal() != IDOK)
        return;
    if (!WriteFileImage(dlg.GetPathName()))
        return;
    m_strPathName = dlg.GetPathName();
    m_strFileName = dlg.GetFileName();
    SetTitleForFile();
    m_bModified = false;
}

bool CEditorDialog::Connect() {
    if (m_hDevice.IsOpen())
        return true;
    if (!m_hDevice.Open())
        return false;  // the library has told the user why
    AnnounceConnection();
    UpdateControls();
    return RefreshAfterConnect();
}

void CEditorDialog::Disconnect() {
    m_hDevice.Close();
    UpdateControls();
}

bool CEditorDialog::ConnectForWrite() {
    if (m_hDevice.IsOpen())
        return true;
    return fw::AppMessageBox(m_traits.writeFirstFoundId, kAskYesNo) == IDYES && Connect();
}

bool CEditorDialog::ConfirmErase() {
    return m_hDevice.IsOpen() && fw::AppMessageBox(m_traits.eraseQuestionId, kAskYesNo) == IDYES;
}

void CEditorDialog::OnConnectionSettings() {
    BoardLink().OptionDlg1();
}

void CEditorDialog::OnFlashModeHelp() {
    CFlashmodeHelpDlg help(m_traits.flashModeHelpTemplateId);
    help.SetHelpTopic(kFlashModeHelpPage);
    help.DoModal();
}

bool CEditorApp::StartSockets() {
    return ::StartSockets();
}

BOOL CEditorApp::InitInstance() {
    if (m_socketsFailedTextId != 0) {
        m_bSocketsStarted = StartSockets();
        if (!m_bSocketsStarted) {
            fw::AppMessageBox(fw::LoadResString(m_socketsFailedTextId), MB_OK);
            return FALSE;
        }
    }
    // Every command of an editor that touches the board needs both device libraries.
    if (std::optional<core::MissingLibrary> missing = DeviceLibrariesMissing()) {
        fw::AppMessageBox(core::MissingLibraryText(fw::GetUiLang(), *missing), MB_OK | MB_ICONSTOP);
        return FALSE;
    }
    std::unique_ptr<CEditorDialog> dlg = m_makeEditor();
    m_pMainWnd = dlg.get();
    fw::CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (cmdInfo.m_nShellCommand == fw::CCommandLineInfo::FileOpen)
        dlg->m_strPathName = cmdInfo.m_strFileName;
    dlg->DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

int CEditorApp::ExitInstance() {
    if (m_bSocketsStarted)
        WSACleanup();
    m_bSocketsStarted = false;
    return CWinApp::ExitInstance();
}
