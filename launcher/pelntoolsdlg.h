// The launcher window: one icon button per tool of the suite; a click starts that tool's
// program from the launcher's own folder.
#pragma once

#include <string>
#include <vector>

#include "common/mainframe.h"

class CPelnToolsDlg : public fw::CTableDialog<CPelnToolsDlg, CMainDialog> {
public:
    CPelnToolsDlg();

    static const fw::DialogTables<CPelnToolsDlg> kTables;

    // The launcher's own full path, upper-cased (a to z only) at window initialisation.
    std::wstring m_strModulePath;

    // Starts "<launcher's folder>\<fileName>" without arguments and without waiting for it;
    // a program that cannot be started is reported with its bare file name.
    void LaunchTool(const wchar_t* fileName);

protected:
    BOOL OnInitDialog() override;

private:
    void OnToolButton(UINT id);
    void NameToolButton(HWND tips, UINT buttonId, const wchar_t* name);

    static const fw::CommandRangeEntry<CPelnToolsDlg> kCommands[];
};
