#include "launcher/app.h"

#include <commctrl.h>

#include "common/sockets.h"
#include "framework/module.h"
#include "framework/msgbox.h"
#include "launcher/pelntoolsdlg.h"
#include "launcher/resource.h"

// Runs the launcher window; the program ends when it closes. Windows Sockets stay started
// until the process ends: no WSACleanup on success.
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
