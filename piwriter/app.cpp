#include "piwriter/app.h"

#include "piwriter/piwritedlg.h"

// Runs the writer window; the program ends when it closes.
BOOL CVarnPIWriteApp::InitInstance() {
    CVarnPIWriteDlg dlg;
    RunEditor(*this, dlg);
    return FALSE;
}

CVarnPIWriteApp theApp;
