#include "framework/app.h"

#include <algorithm>
#include <vector>

#include "core/textids.h"
#include "framework/dialog.h"
#include "framework/language.h"
#include "framework/module.h"
#include "framework/msgbox.h"
#include "framework/syslib.h"
#include "framework/text.h"

namespace fw {

namespace {
CWinApp* g_app = nullptr;

HelpViewerHook& HelpViewerHookSlot() {
    static HelpViewerHook hook;
    return hook;
}
}  // namespace

CWinApp* AfxGetApp() {
    return g_app;
}

CWinApp::CWinApp() {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this)
        g_app = nullptr;
}

bool CWinApp::OnCommand(UINT id) {
    if (id == ID_HELP) {
        OnHelp();
        return true;
    }
    return false;
}

HWND CWinApp::GetMainHwnd() const {
    return m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
}

bool CCommandLineInfo::HasSwitch(const std::wstring& name) const {
    auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    for (const std::wstring& given : m_switches) {
        if (given.size() == name.size() && std::equal(given.begin(), given.end(), name.begin(),
                                                      [&](wchar_t a, wchar_t b) { return lower(a) == lower(b); }))
            return true;
    }
    return false;
}

CCommandLineInfo ParseCommandLineArgs(int argc, wchar_t** argv) {
    CCommandLineInfo info;
    bool sawSwitch = false;
    for (int i = 0; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (!arg.empty() && (arg[0] == L'/' || arg[0] == L'-')) {
            sawSwitch = true;
            info.m_nShellCommand = CCommandLineInfo::FileNothing;
            info.m_switches.push_back(arg.substr(1));
        } else if (info.m_strFileName.empty()) {
            info.m_strFileName = arg;
            if (!sawSwitch)
                info.m_nShellCommand = CCommandLineInfo::FileOpen;
        }
    }
    return info;
}

CCommandLineInfo ParseCommandLineText(const std::wstring& commandLine) {
    // Split here rather than by the shell library, which no start should have to load.
    std::vector<std::wstring> args = SplitCommandLineArgs(commandLine);
    std::vector<wchar_t*> argv;
    for (std::wstring& arg : args)
        argv.push_back(&arg[0]);
    CCommandLineInfo info = ParseCommandLineArgs(static_cast<int>(argv.size()), argv.data());
    // A name the system cannot resolve stays as given; opening it then fails with a message
    // that names it.
    if (!info.m_strFileName.empty())
        info.m_strFileName = FullPathName(info.m_strFileName).value_or(info.m_strFileName);
    return info;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) const {
    info = ParseCommandLineText(GetCommandLineW());
}

void CWinApp::OnHelp() {
    ShowHelp(m_pMainWnd ? m_pMainWnd->GetHelpTopic() : std::wstring());
}

std::wstring CWinApp::HelpFilePath() {
    const wchar_t* suffix = GetUiLang() == core::Lang::Ja ? L".CHM" : L"EN.CHM";
    return PathWithoutExtension(GetModulePath()) + suffix;
}

void CWinApp::ShowHelp(const std::wstring& topic) {
    std::wstring helpFile = HelpFilePath();
    if (GetFileAttributesW(helpFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
        AppMessageBox(FormatMessageText(LoadResString(IDS_FW_HELP_NOT_FOUND), helpFile), MB_OK);
        return;
    }
    std::wstring target = topic.empty() ? helpFile : helpFile + L"::/" + topic;
    if (HelpViewerHookSlot()) {
        HelpViewerHookSlot()(target);
        return;
    }
    using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    HMODULE hh = LoadSystemLibrary(L"hhctrl.ocx");
    HtmlHelpFn htmlHelp =
        hh ? reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(hh, "HtmlHelpW"))) : nullptr;
    const UINT kDisplayTopic = 0;
    if (htmlHelp == nullptr || htmlHelp(GetMainHwnd(), target.c_str(), kDisplayTopic, 0) == nullptr)
        AppMessageBox(FormatMessageText(LoadResString(IDS_FW_HELP_CANNOT_OPEN), helpFile), MB_OK);
    // hhctrl.ocx stays loaded: the help window it opened lives on after this call.
}

HelpViewerHookScope::HelpViewerHookScope(HelpViewerHook hook) : ScopedHook(HelpViewerHookSlot(), std::move(hook)) {}

}  // namespace fw
