// The application object: one per program, a global constructed at load time.
//
//   class CMyApp : public fw::CWinApp {
//       BOOL InitInstance() override;   // build the main window, DoModal, return FALSE
//   };
//   CMyApp theApp;                      // wWinMain (winmain.cpp) runs it
#pragma once

#include <windows.h>

#include "framework/commands.h"
#include "framework/scopedhook.h"

#include <functional>
#include <string>
#include <vector>

namespace fw {

class CDialog;

// The result of the standard command-line parse.
struct CCommandLineInfo {
    enum ShellCommand { FileNew, FileOpen, FilePrint, FileNothing };
    ShellCommand m_nShellCommand = FileNew;
    std::wstring m_strFileName;
    // The switches given, without their '/' or '-', in order.
    std::vector<std::wstring> m_switches;

    // Whether the switch was given, in any case of its ASCII letters ("/setup", "/Setup").
    bool HasSwitch(const std::wstring& name) const;
};

// Parses program arguments (without the program itself) as the shell passes them: a file
// name alone asks to open it; a switch such as /p asks for another shell command.
CCommandLineInfo ParseCommandLineArgs(int argc, wchar_t** argv);

// The parse of a whole command line (program first). The file to open comes out as a full
// path: a file dialog may change the current folder later, and the file must stay the one
// the user named.
CCommandLineInfo ParseCommandLineText(const std::wstring& commandLine);

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // One-time start-up; returning FALSE ends the program without a message loop.
    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }
    // Commands the main window does not handle come here (e.g. help, 57670).
    virtual bool OnCommand(UINT id);

    // The standard command-line parse of the running program's arguments.
    void ParseCommandLine(CCommandLineInfo& info) const;

    // The help command: the main window's page of the help file.
    void OnHelp();
    // Opens the help file of the UI language with HTML Help (loaded at run time), at a page
    // of it ("" for its first page): "<program path without extension>.CHM" in Japanese,
    // "<...>EN.CHM" in English.
    void ShowHelp(const std::wstring& topic);
    static std::wstring HelpFilePath();

    HWND GetMainHwnd() const;
    CDialog* m_pMainWnd = nullptr;
};

// The program's one application object, or nullptr (tests may have none).
CWinApp* AfxGetApp();

// Test hook, while a HelpViewerHookScope lives: the help viewer is not started; the hook gets
// what it would have been given ("<file>::/<page>").
using HelpViewerHook = std::function<void(const std::wstring& fileAndTopic)>;
class HelpViewerHookScope : ScopedHook<HelpViewerHook> {
public:
    explicit HelpViewerHookScope(HelpViewerHook hook);
};

}  // namespace fw
