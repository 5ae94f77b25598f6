// TolkaStation's set-up window (TolkaStation.exe /setup [FILE]): the engineer chooses the record,
// the options, the ledger and the station's rules, checks them against a board without writing
// it, and saves the station file that the operators' shortcut starts the station with.
#pragma once

#include <string>

#include "common/mainframe.h"
#include "framework/dialog.h"
#include "station/stationfile.h"

class CSetupDlg : public fw::CTableDialog<CSetupDlg, CMainDialog> {
public:
    // An empty path starts a new station file; a path where no file is yet is saved there.
    explicit CSetupDlg(const std::wstring& path);
    ~CSetupDlg() override;

    static const fw::DialogTables<CSetupDlg> kTables;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void OnBrowseRecord();
    void OnBrowseOptions();
    void OnBrowseLedger();
    void OnCheckBoard();
    void OnSave();
    void OnSaveAs();
    void OnChanged();

    void Browse(int field, const wchar_t* extension, int filterId, DWORD flags);
    void ShowFile(const station::StationFile& file);
    // The fields as a station file whose paths are relative to `folder`; a field the file
    // would refuse is told by its name, with the focus put in it.
    bool TakeFields(const std::wstring& folder, station::StationFile& file);
    bool SaveTo(const std::wstring& path);
    void ShowTitle();

    std::wstring m_path;
    bool m_modified = false;

    static const fw::CommandEntry<CSetupDlg> kCommands[];
    static const fw::NotifyEntry<CSetupDlg> kNotifications[];
};
