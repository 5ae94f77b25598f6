#include "station/app.h"

#include <commctrl.h>

#include "common/sockets.h"
#include "devicelink/librarylink.h"
#include "framework/language.h"
#include "framework/module.h"
#include "framework/msgbox.h"
#include "line/winledger.h"
#include "station/boardcycle.h"
#include "station/resource.h"
#include "station/setupdlg.h"
#include "station/stationdlg.h"

// TolkaStation FILE.tstation: the station's window over the file's record and ledger; a file
// that is refused ends the program before any board is touched. TolkaStation /setup [FILE]: the
// engineer's window that writes the station file; the operators' shortcut leaves it off.
BOOL CStationApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
    CWinApp::InitInstance();
    fw::CCommandLineInfo info;
    ParseCommandLine(info);
    const bool setupMode = info.HasSwitch(L"setup");
    if (!setupMode && info.m_nShellCommand != fw::CCommandLineInfo::FileOpen) {
        fw::AppMessageBox(IDS_STATION_USAGE);
        return FALSE;
    }
    std::optional<StationSetup> setup;
    if (!setupMode) {
        setup = LoadStation(info.m_strFileName);
        if (!setup)
            return FALSE;
    }
    // The LAN boards' library talks through Windows Sockets, started once for the process.
    if (!StartSockets()) {
        fw::AppMessageBox(fw::LoadResString(IDS_FW_UNEXPECTED_ERROR));
        return FALSE;
    }
    // The set-up edits files without the device libraries; its board check asks for them.
    if (setupMode) {
        CSetupDlg dlg(info.m_strFileName);
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
        return FALSE;
    }
    if (std::optional<core::MissingLibrary> missing = DeviceLibrariesMissing()) {
        fw::AppMessageBox(core::MissingLibraryText(fw::GetUiLang(), *missing), MB_OK | MB_ICONSTOP);
        return FALSE;
    }
    core::WinLedgerSystem ledgers;
    CStationDlg dlg(*setup, station::MakeBoardCycle(LibraryLink(), ledgers, setup->recipe,
                                                    [](int id) { return fw::LoadResString(static_cast<UINT>(id)); }));
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
