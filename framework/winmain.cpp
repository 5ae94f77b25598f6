// Program entry: runs the application object that the program defines as a global.
#include "framework/app.h"
#include "framework/language.h"
#include "framework/syslib.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    fw::RestrictDllSearch();
    fw::ApplyUiLanguageToThread();
    fw::CWinApp* app = fw::AfxGetApp();
    if (app == nullptr)
        return 1;
    if (!app->InitInstance())
        return app->ExitInstance();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    app->ExitInstance();
    return static_cast<int>(msg.wParam);
}
