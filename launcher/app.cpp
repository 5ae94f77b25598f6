#include "launcher/app.h"

#include <winsock2.h>
#include <commctrl.h>

#include "framework/module.h"
#include "framework/msgbox.h"
#include "launcher/pelntoolsdlg.h"
#include "launcher/resource.h"

namespace {

// The launcher opens no socket itself, yet it refuses to run where Windows Sockets 1.1 is
// not available. It stays started until the process ends: no WSACleanup on success.
bool StartSockets() {
    WSADATA data{};
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0)
        return false;
    if (LOBYTE(data.wVersion) != 1 || HIBYTE(data.wVersion) != 1) {
        WSACleanup();
        WSASetLastError(WSAVERNOTSUPPORTED);
        return false;
    }
    return true;
}

}  // namespace

// Runs the launcher window; the program ends when it closes.
BOOL CPelnToolsApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
    CWinApp::InitInstance();
    if (!StartSockets()) {
        fw::AppMessageBox(fw::LoadResString(IDS_SOCKETS_INIT_FAILED), MB_OK);
        return FALSE;
    }
    CPelnToolsDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
