// End to end: the real PelnTools.exe starts, shows its window with the tool buttons, and
// ends with exit code 0 when the window is closed.
#include <gtest/gtest.h>

#include "framework/smoke_test_support.h"
#include "launcher/resource.h"

namespace {

TEST(LauncherSmoke, StartsShowsTheToolsAndCloses) {
    fwsmoke::RunningProgram launcher;
    ASSERT_TRUE(fwsmoke::Start(launcher, fwsmoke::OwnFolder() + L"PelnTools.exe", L""));
    HWND hwnd = fwsmoke::WaitForWindow(launcher, L"PelnTools", 30000);
    ASSERT_NE(hwnd, nullptr) << "no PelnTools window within 30 s; the launcher " << fwsmoke::Status(launcher);
    for (int id : {IDC_PELNCONFIG, IDC_TOLKAPIWRITER, IDC_TOLKAOPTION, IDC_FLASHWRITER, IDC_TOLKAINIWRITER,
                   IDC_FIRMWARE_UPDATER})
        EXPECT_NE(GetDlgItem(hwnd, id), nullptr) << id;
    EXPECT_EQ(fwsmoke::ControlText(hwnd, IDCANCEL), L"終了");
    EXPECT_EQ(fwsmoke::CloseAndWait(launcher, hwnd, 20000), 0) << "-1: still running 20 s after its window was closed";
}

}  // namespace
