// The About box of every program (dialog 100) and the version text it shows.
#pragma once

#include <string>

#include "framework/dialog.h"

// The string of the module file's version resource under the first translation, key
// "FileVersion" (or "ProductVersion"); empty when there is no version, no translation or
// no such string.
std::wstring GetVersionString(const std::wstring& path, bool useProductVersion);

class CAboutDlg : public fw::CDialog {
public:
    enum { IDD = 100 };
    // The version control's id differs between the programs.
    explicit CAboutDlg(int versionControlId);

protected:
    BOOL OnInitDialog() override;

private:
    int m_versionControlId;
};
