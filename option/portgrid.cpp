#include "option/portgrid.h"

#include "core/portoptions.h"
#include "framework/module.h"

namespace {

// The one box of the grid that Tab stops at: the last one with the focus.
void MakeTabStop(HWND dialog, unsigned boxId) {
    for (const core::PortCell& cell : core::kPortCells) {
        for (unsigned pin = 0; pin < cell.pinCount; ++pin) {
            HWND box = GetDlgItem(dialog, static_cast<int>(cell.firstBoxId + pin));
            LONG_PTR style = GetWindowLongPtrW(box, GWL_STYLE);
            LONG_PTR wanted = cell.firstBoxId + pin == boxId ? style | WS_TABSTOP : style & ~WS_TABSTOP;
            if (wanted != style)
                SetWindowLongPtrW(box, GWL_STYLE, wanted);
        }
    }
}

bool MoveOf(WPARAM key, core::GridMove& move) {
    switch (key) {
        case VK_LEFT:
            move = core::GridMove::Left;
            return true;
        case VK_RIGHT:
            move = core::GridMove::Right;
            return true;
        case VK_UP:
            move = core::GridMove::Up;
            return true;
        case VK_DOWN:
            move = core::GridMove::Down;
            return true;
        default:
            return false;
    }
}

// The boxes' window procedure before ours, kept in each box's user data.
LRESULT CALLBACK GridBoxProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(box, GWLP_USERDATA));
    HWND dialog = GetParent(box);
    const auto id = static_cast<unsigned>(GetDlgCtrlID(box));
    core::GridMove move;
    switch (msg) {
        // The arrow keys are ours, not the dialog's walk through the group.
        case WM_GETDLGCODE:
            return CallWindowProcW(original, box, msg, wParam, lParam) | DLGC_WANTARROWS;
        case WM_KEYDOWN:
            if (MoveOf(wParam, move)) {
                HWND next = GetDlgItem(dialog, static_cast<int>(core::NeighbourBox(id, move)));
                SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
                return 0;
            }
            break;
        case WM_SETFOCUS:
            MakeTabStop(dialog, id);
            break;
        default:
            break;
    }
    return CallWindowProcW(original, box, msg, wParam, lParam);
}

}  // namespace

std::wstring PortBoxName(unsigned boxId) {
    unsigned pin = 0;
    const core::PortCell* cell = core::FindPortBox(boxId, pin);
    if (cell == nullptr)
        return std::wstring();
    return std::wstring(core::PortName(cell->port)) + L" bit " + std::to_wstring(pin) + L" " +
           fw::LoadResString(core::PortGroupTextId(cell->group));
}

void PrepareGridKeyboard(HWND dialog) {
    for (const core::PortCell& cell : core::kPortCells) {
        for (unsigned pin = 0; pin < cell.pinCount; ++pin) {
            HWND box = GetDlgItem(dialog, static_cast<int>(cell.firstBoxId + pin));
            SetWindowTextW(box, PortBoxName(cell.firstBoxId + pin).c_str());
            LONG_PTR original = SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GridBoxProc));
            SetWindowLongPtrW(box, GWLP_USERDATA, original);
        }
    }
    MakeTabStop(dialog, core::kFirstGridBox);
}
