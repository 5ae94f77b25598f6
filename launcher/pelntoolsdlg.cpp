#include "launcher/pelntoolsdlg.h"

#include <vector>

#include "framework/module.h"
#include "framework/msgbox.h"
#include "launcher/launchpath.h"
#include "launcher/resource.h"

namespace {

// The tools, in the order their button images are set. Rows 5 and 6 take icons 151 and
// 150: the icon ids do not follow the row order.
struct Tool {
    UINT buttonId;
    UINT iconId;
    const wchar_t* fileName;
};

const Tool kTools[] = {
    {IDC_TOLKAPIWRITER, IDI_TOLKAPIWRITER, L"TOLKAPIWRITER.EXE"},
    {IDC_PELNCONFIG, IDI_PELNCONFIG, L"PELNCONFIG.EXE"},
    {IDC_FLASHWRITER, IDI_FLASHWRITER, L"REZIRA.EXE"},
    {IDC_FIRMWARE_UPDATER, IDI_FIRMWARE_UPDATER, L"DADURODERID.EXE"},
    {IDC_TOLKAOPTION, IDI_TOLKAOPTION, L"TOLKAOPTION.EXE"},
    {IDC_TOLKAINIWRITER, IDI_TOLKAINIWRITER, L"TOLKAINIWRITER.EXE"},
};

}  // namespace

const fw::CommandRangeEntry<CPelnToolsDlg> CPelnToolsDlg::kCommands[] = {
    {IDC_PELNCONFIG, IDC_TOLKAINIWRITER, &CPelnToolsDlg::OnToolButton},
};

CPelnToolsDlg::CPelnToolsDlg() : CMainDialog(IDD_PELNTOOLS_DIALOG, IDC_VERSION) {}

BOOL CPelnToolsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    InitMainWindow(false);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const Tool& tool : kTools) {
        HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(tool.iconId));
        SendDlgItemMessageW(m_hWnd, tool.buttonId, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }
    m_strModulePath = fw::GetModulePath();
    launcher::MakeUpperAscii(m_strModulePath);
    return TRUE;
}

bool CPelnToolsDlg::OnCommand(UINT id, UINT code) {
    return fw::Dispatch(this, kCommands, id, code);
}

// A tool button: starts that tool's program.
void CPelnToolsDlg::OnToolButton(UINT id) {
    for (const Tool& tool : kTools) {
        if (tool.buttonId == id)
            LaunchTool(tool.fileName);
    }
}

void CPelnToolsDlg::LaunchTool(const wchar_t* fileName) {
    std::wstring path = launcher::ToolPathFor(m_strModulePath, fileName);
    // The program is named outright, so the system never searches the command line's
    // space-separated prefixes for it; the quoted path keeps argv[0] whole. CreateProcessW
    // may write into the command line, hence a buffer of our own.
    std::wstring quoted = launcher::QuotedCommandLine(path);
    std::vector<wchar_t> commandLine(quoted.begin(), quoted.end());
    commandLine.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // No arguments, the launcher's current directory; the tool runs on its own.
    if (CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                       CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return;
    }
    fw::AppMessageBox(std::wstring(L"「") + fileName + L"」が起動できませんでした。", MB_OK);
}
