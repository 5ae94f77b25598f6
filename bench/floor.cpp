// A floor of the start-up benchmark: the least a program can do to show dialog 102 of its
// resources and wait for the user. Linked with a bare template (the bare floor) or with a
// program's own resources (that program's resource floor).
#include <windows.h>

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
    return static_cast<int>(DialogBoxParamW(instance, MAKEINTRESOURCEW(102), nullptr, FloorProc, 0));
}
