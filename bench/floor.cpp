// A floor of the start-up benchmark: the least a program can do to show dialog 102 of its
// resources and wait for the user. Linked with a bare template (the bare floor) or with a
// program's own resources (that program's resource floor); with FLOOR_IMPORTS_DEVICE_LIBRARIES
// it also imports the two device libraries, as the editors do, and with FLOOR_STARTS_SOCKETS it
// starts Windows Sockets 1.1 first, as the launcher and the option editor must: to show what
// each costs. FLOOR_COMMON_CONTROLS registers the common controls, without which a template
// with one (the station's list view) cannot be shown.
#ifdef FLOOR_STARTS_SOCKETS
#include <winsock2.h>
#endif
#include <windows.h>
#ifdef FLOOR_COMMON_CONTROLS
#include <commctrl.h>
#endif

#ifdef FLOOR_IMPORTS_DEVICE_LIBRARIES
#include "core/deviceapi.h"
// One import from each library is enough for the loader to load both at start.
void* volatile g_deviceImports[] = {reinterpret_cast<void*>(&Varn_GetIFType),
                                    reinterpret_cast<void*>(&Tolka_FlashModeClose)};
#endif

namespace {

INT_PTR CALLBACK FloorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
                EndDialog(hwnd, LOWORD(wParam));
            return TRUE;
        case WM_CLOSE:
            EndDialog(hwnd, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
#ifdef FLOOR_STARTS_SOCKETS
    WSADATA data;
    WSAStartup(MAKEWORD(1, 1), &data);
#endif
#ifdef FLOOR_COMMON_CONTROLS
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
#endif
    return static_cast<int>(DialogBoxParamW(instance, MAKEINTRESOURCEW(102), nullptr, FloorProc, 0));
}
