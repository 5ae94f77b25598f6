#include "option/app.h"

#include <winsock2.h>

#include "common/sockets.h"
#include "framework/module.h"
#include "framework/msgbox.h"
#include "option/optiondlg.h"
#include "option/resource.h"

bool CTolkaOptionApp::StartSockets() {
    return ::StartSockets();
}

// Runs the option window with the file the command line names; the program ends when the
// window closes. Without Windows Sockets the window never opens.
BOOL CTolkaOptionApp::InitInstance() {
    m_bSocketsStarted = StartSockets();
    if (!m_bSocketsStarted) {
        fw::AppMessageBox(fw::LoadResString(IDS_SOCKETS_INIT_FAILED), MB_OK);
        return FALSE;
    }
    CTolkaOptionDlg dlg;
    RunEditor(*this, dlg);
    return FALSE;
}

int CTolkaOptionApp::ExitInstance() {
    if (m_bSocketsStarted)
        WSACleanup();
    m_bSocketsStarted = false;
    return CWinApp::ExitInstance();
}
