#include "common/about.h"

#include <vector>

#include "framework/versiontext.h"
#include "framework/module.h"
#include "framework/syslib.h"

// The version library is loaded when an About box first opens; without it there is no
// version to show, as for a program without a version resource.
std::wstring GetVersionString(const std::wstring& path, bool useProductVersion) {
    using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
    auto GetFileVersionInfoSizeW = fw::SystemFunction<SizeFn>(L"version.dll", "GetFileVersionInfoSizeW");
    auto GetFileVersionInfoW = fw::SystemFunction<InfoFn>(L"version.dll", "GetFileVersionInfoW");
    auto VerQueryValueW = fw::SystemFunction<QueryFn>(L"version.dll", "VerQueryValueW");
    if (GetFileVersionInfoSizeW == nullptr || GetFileVersionInfoW == nullptr || VerQueryValueW == nullptr)
        return std::wstring();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0)
        return std::wstring();
    std::vector<BYTE> block(size);
    // A block that was not filled must not be queried.
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data()))
        return std::wstring();
    void* translation = nullptr;
    UINT len = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &translation, &len) || translation == nullptr ||
        len < 4)
        return std::wstring();
    const WORD* words = static_cast<const WORD*>(translation);
    std::wstring query = VersionQueryPath(words[0], words[1], VersionKey(useProductVersion));
    void* value = nullptr;
    if (!VerQueryValueW(block.data(), query.c_str(), &value, &len) || value == nullptr)
        return std::wstring();
    return std::wstring(static_cast<const wchar_t*>(value));
}

CAboutDlg::CAboutDlg(int versionControlId) : CDialog(IDD), m_versionControlId(versionControlId) {}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (GetDlgItem(m_versionControlId) == nullptr)
        return TRUE;
    SetDlgItemText(m_versionControlId, GetVersionString(fw::GetModulePath(), false));
    return TRUE;
}
