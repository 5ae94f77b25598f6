#include "launcher/pelntoolsdlg.h"

#include <vector>

#include "framework/module.h"
#include "framework/msgbox.h"
#include "launcher/launchpath.h"
#include "launcher/resource.h"

namespace {

struct ButtonImage {
    int buttonId;
    UINT iconId;
};

// Rows 5 and 6 take icons 151 and 150: the icon ids do not follow the row order.
const ButtonImage kButtonImages[] = {
    {IDC_TOLKAPIWRITER, IDI_TOLKAPIWRITER}, {IDC_PELNCONFIG, IDI_PELNCONFIG},
    {IDC_FLASHWRITER, IDI_FLASHWRITER},     {IDC_FIRMWARE_UPDATER, IDI_FIRMWARE_UPDATER},
    {IDC_TOLKAOPTION, IDI_TOLKAOPTION},     {IDC_TOLKAINIWRITER, IDI_TOLKAINIWRITER},
};

}  // namespace

const fw::CommandEntry<CPelnToolsDlg> CPelnToolsDlg::kCommands[] = {
    {IDC_PELNCONFIG, &CPelnToolsDlg::OnPelnConfig},   {IDC_TOLKAPIWRITER, &CPelnToolsDlg::OnTolkaPIWriter},
    {IDC_FLASHWRITER, &CPelnToolsDlg::OnFlashWriter}, {IDC_FIRMWARE_UPDATER, &CPelnToolsDlg::OnFirmwareUpdater},
    {IDC_TOLKAOPTION, &CPelnToolsDlg::OnTolkaOption}, {IDC_TOLKAINIWRITER, &CPelnToolsDlg::OnTolkaIniWriter},
};

CPelnToolsDlg::CPelnToolsDlg() : CMainDialog(IDD_PELNTOOLS_DIALOG, IDC_VERSION) {}

BOOL CPelnToolsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    InitMainWindow(false);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const auto& image : kButtonImages) {
        HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(image.iconId));
        SendDlgItemMessageW(m_hWnd, image.buttonId, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }
    m_strModulePath = fw::GetModulePath();
    launcher::MakeUpperAscii(m_strModulePath);
    return TRUE;
}

bool CPelnToolsDlg::OnCommand(UINT id, UINT code) {
    return fw::Dispatch(this, kCommands, id, code);
}

// The tool buttons, each starting its program.
void CPelnToolsDlg::OnPelnConfig() {
    LaunchTool(L"PELNCONFIG.EXE");
}

void CPelnToolsDlg::OnTolkaPIWriter() {
    LaunchTool(L"TOLKAPIWRITER.EXE");
}

void CPelnToolsDlg::OnFlashWriter() {
    LaunchTool(L"REZIRA.EXE");
}

void CPelnToolsDlg::OnFirmwareUpdater() {
    LaunchTool(L"DADURODERID.EXE");
}

void CPelnToolsDlg::OnTolkaOption() {
    LaunchTool(L"TOLKAOPTION.EXE");
}

void CPelnToolsDlg::OnTolkaIniWriter() {
    LaunchTool(L"TOLKAINIWRITER.EXE");
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
