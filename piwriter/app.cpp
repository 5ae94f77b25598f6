#include "piwriter/app.h"

#include "piwriter/piwritedlg.h"

// Runs the writer window; the program ends when it closes.
BOOL CVarnPIWriteApp::InitInstance() {
    CVarnPIWriteDlg dlg;
    m_pMainWnd = &dlg;
    fw::CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (cmdInfo.m_nShellCommand == fw::CCommandLineInfo::FileOpen)
        dlg.m_strPathName = cmdInfo.m_strFileName;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

CVarnPIWriteApp theApp;
