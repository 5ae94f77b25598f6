// The writer's file commands: *.tpi files hold one 128-byte record each.
#include <vector>

#include "framework/filedialog.h"
#include "framework/fileio.h"
#include "framework/msgbox.h"
#include "framework/text.h"
#include "piwriter/piwritedlg.h"

namespace {
const wchar_t kFilter[] = L"PIファイル (*.tpi)|*.tpi||";
const wchar_t kDefaultExt[] = L"tpi";
const wchar_t kCannotOpen[] = L"ファイルが開けませんでした。";
const wchar_t kBadFormat[] = L"ファイルの形式が正しくありません。";
}  // namespace

// Reads the first 128 bytes. A shorter file is refused: no record is ever made of bytes
// the file did not supply.
bool CVarnPIWriteDlg::ReadRecordFile(const std::wstring& path, core::RecordImage& record) {
    std::vector<uint8_t> data;
    switch (fw::ReadFilePrefix(path, record.size(), data)) {
        case fw::FileResult::CannotOpen:
            fw::AppMessageBox(kCannotOpen);
            return false;
        case fw::FileResult::IoError:
            fw::ReportFileError(fw::FileErrorKind::Read, path);
            return false;
        case fw::FileResult::Ok:
            break;
    }
    if (data.size() < record.size()) {
        fw::AppMessageBox(kBadFormat);
        return false;
    }
    std::copy(data.begin(), data.end(), record.begin());
    return true;
}

bool CVarnPIWriteDlg::WriteRecordFile(const std::wstring& path) {
    core::RecordImage record;
    if (!BuildRecord(record))
        return false;
    switch (fw::WriteFileReplacing(path, record.data(), record.size())) {
        case fw::FileResult::CannotOpen:
            fw::AppMessageBox(kCannotOpen);
            return false;
        case fw::FileResult::IoError:
            fw::ReportFileError(fw::FileErrorKind::Write, path);
            return false;
        case fw::FileResult::Ok:
            break;
    }
    return true;
}

void CVarnPIWriteDlg::OnFileOpen() {
    if (m_bModified && fw::AppMessageBox(L"編集中のファイルを破棄しますか。", 0x121) != IDOK)
        return;
    fw::CFileDialog dlg(true, kDefaultExt, kFilter, OFN_HIDEREADONLY, m_hWnd);
    if (dlg.DoModal() != IDOK)
        return;
    std::wstring path = dlg.GetPathName();
    core::RecordImage record;
    if (!ReadRecordFile(path, record))
        return;
    LoadRecordIntoEditor(record.data());
    m_strPathName = path;
    m_strFileName = dlg.GetFileName();
    SetTitleForFile();
    m_bModified = false;
}

// A file named on the command line. When it cannot be read the path is dropped, so that
// the editor starts empty and the next save asks for a name.
void CVarnPIWriteDlg::OpenFileAtStartup() {
    core::RecordImage record;
    if (!ReadRecordFile(m_strPathName, record)) {
        m_strPathName.clear();
        m_strFileName.clear();
        SetTitleNoFile();
        m_bModified = false;
        return;
    }
    LoadRecordIntoEditor(record.data());
    m_strFileName = fw::FileNameOfPath(m_strPathName);
    SetTitleForFile();
    m_bModified = false;
}

void CVarnPIWriteDlg::OnFileSave() {
    if (m_strPathName.empty()) {
        OnFileSaveAs();
        return;
    }
    if (!WriteRecordFile(m_strPathName))
        return;
    SetTitleForFile();
    m_bModified = false;
}

void CVarnPIWriteDlg::OnFileSaveAs() {
    fw::CFileDialog dlg(false, kDefaultExt, kFilter, OFN_HIDEREADONLY, m_hWnd);
    if (dlg.DoModal() != IDOK)
        return;
    if (!WriteRecordFile(dlg.GetPathName()))
        return;
    m_strPathName = dlg.GetPathName();
    m_strFileName = dlg.GetFileName();
    SetTitleForFile();
    m_bModified = false;
}
