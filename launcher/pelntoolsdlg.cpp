#include "launcher/pelntoolsdlg.h"

#include <commctrl.h>

#include <vector>

#include "framework/module.h"
#include "framework/msgbox.h"
#include "framework/text.h"
#include "launcher/launchpath.h"
#include "launcher/resource.h"

namespace {

// The tools, in the order their button images are set. Rows 5 and 6 take icons 151 and
// 150: the icon ids do not follow the row order. A tool's name is the same in every language.
struct Tool {
    UINT buttonId;
    UINT iconId;
    const wchar_t* fileName;
    const wchar_t* name;
};

const Tool kTools[] = {
    {IDC_TOLKAPIWRITER, IDI_TOLKAPIWRITER, L"TOLKAPIWRITER.EXE", L"TolkaPIWriter"},
    {IDC_PELNCONFIG, IDI_PELNCONFIG, L"PELNCONFIG.EXE", L"PelnConfig"},
    {IDC_FLASHWRITER, IDI_FLASHWRITER, L"REZIRA.EXE", L"TolkaFlashWriter"},
    {IDC_FIRMWARE_UPDATER, IDI_FIRMWARE_UPDATER, L"DADURODERID.EXE", L"Firmware Updater"},
    {IDC_TOLKAOPTION, IDI_TOLKAOPTION, L"TOLKAOPTION.EXE", L"TolkaOption"},
    {IDC_TOLKAINIWRITER, IDI_TOLKAINIWRITER, L"TOLKAINIWRITER.EXE", L"TolkaIniWriter"},
};

}  // namespace

// The six tool buttons (1002 is no button's).
const fw::CommandRangeEntry<CPelnToolsDlg> CPelnToolsDlg::kCommands[] = {
    {IDC_PELNCONFIG, IDC_PELNCONFIG, &CPelnToolsDlg::OnToolButton},
    {IDC_TOLKAPIWRITER, IDC_TOLKAINIWRITER, &CPelnToolsDlg::OnToolButton},
};

const fw::DialogTables<CPelnToolsDlg> CPelnToolsDlg::kTables = {kCommands};

CPelnToolsDlg::CPelnToolsDlg() : CTableDialog(IDD_PELNTOOLS_DIALOG, IDC_VERSION) {}

BOOL CPelnToolsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    InitMainWindow(false);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND tips = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, instance, nullptr);
    for (const Tool& tool : kTools) {
        HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(tool.iconId));
        SendDlgItemMessageW(m_hWnd, static_cast<int>(tool.buttonId), BM_SETIMAGE, IMAGE_ICON,
                            reinterpret_cast<LPARAM>(icon));
        NameToolButton(tips, tool.buttonId, tool.name);
    }
    m_strModulePath = fw::GetModulePath();
    launcher::MakeUpperAscii(m_strModulePath);
    return TRUE;
}

// An icon button shows no text: its window text is the name a screen reader reads, and a
// tooltip shows it to the eye.
void CPelnToolsDlg::NameToolButton(HWND tips, UINT buttonId, const wchar_t* name) {
    HWND button = GetDlgItem(static_cast<int>(buttonId));
    ::SetWindowTextW(button, name);
    if (tips == nullptr)
        return;
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = m_hWnd;
    info.uId = reinterpret_cast<UINT_PTR>(button);
    info.lpszText = const_cast<wchar_t*>(name);
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
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
    fw::AppMessageBox(fw::FormatMessageText(fw::LoadResString(IDS_CANNOT_START), fileName), MB_OK);
}
