#include "option/portgrid.h"

#include "core/placeholders.h"
#include "core/portoptions.h"
#include "framework/module.h"
#include "option/resource.h"

namespace {

// The check box of each cell's pin 0, by the cell's byte of the image; pin n is that id + n.
const struct {
    size_t offset;
    unsigned firstBoxId;
} kCellBoxes[] = {
    {2, IDC_OUT_P4}, {3, IDC_OUT_PA}, {4, IDC_OUT_POUT},   {5, IDC_DIR_P1},     {6, IDC_DIR_P2},     {7, IDC_DIR_P4},
    {8, IDC_DIR_P5}, {9, IDC_DIR_PA}, {10, IDC_PULLUP_P2}, {11, IDC_PULLUP_P4}, {12, IDC_PULLUP_P5},
};

// The one box of the grid that Tab stops at: the last one with the focus.
void MakeTabStop(HWND dialog, unsigned boxId) {
    for (const core::PortCell& cell : core::kPortCells) {
        for (unsigned pin = 0; pin < cell.pinCount; ++pin) {
            const unsigned id = PortBoxId(core::PortBit(cell, pin));
            HWND box = GetDlgItem(dialog, static_cast<int>(id));
            LONG_PTR style = GetWindowLongPtrW(box, GWL_STYLE);
            LONG_PTR wanted = id == boxId ? style | WS_TABSTOP : style & ~WS_TABSTOP;
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
    unsigned bit = 0;
    core::GridMove move;
    switch (msg) {
        // The arrow keys are ours, not the dialog's walk through the group.
        case WM_GETDLGCODE:
            return CallWindowProcW(original, box, msg, wParam, lParam) | DLGC_WANTARROWS;
        case WM_KEYDOWN:
            if (MoveOf(wParam, move) && PortBoxBit(id, bit)) {
                HWND next = GetDlgItem(dialog, static_cast<int>(PortBoxId(core::NeighbourBox(bit, move))));
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

unsigned PortBoxId(unsigned bit) {
    unsigned pin = 0;
    const core::PortCell* cell = core::FindPortBox(bit, pin);
    if (cell == nullptr)
        return 0;
    for (const auto& boxes : kCellBoxes) {
        if (boxes.offset == cell->offset)
            return boxes.firstBoxId + pin;
    }
    return 0;
}

bool PortBoxBit(unsigned boxId, unsigned& bit) {
    for (const core::PortCell& cell : core::kPortCells) {
        for (unsigned pin = 0; pin < cell.pinCount; ++pin) {
            if (PortBoxId(core::PortBit(cell, pin)) == boxId) {
                bit = core::PortBit(cell, pin);
                return true;
            }
        }
    }
    return false;
}

std::wstring PortBoxName(unsigned boxId) {
    unsigned bit = 0;
    unsigned pin = 0;
    const core::PortCell* cell = PortBoxBit(boxId, bit) ? core::FindPortBox(bit, pin) : nullptr;
    if (cell == nullptr)
        return std::wstring();
    return core::FillPlaceholders(fw::LoadResString(IDS_PORT_BOX_NAME).c_str(),
                                  {core::PortName(cell->port), std::to_wstring(pin),
                                   fw::LoadResString(static_cast<UINT>(core::PortGroupTextId(cell->group)))});
}

void PrepareGridKeyboard(HWND dialog) {
    for (const core::PortCell& cell : core::kPortCells) {
        for (unsigned pin = 0; pin < cell.pinCount; ++pin) {
            const unsigned id = PortBoxId(core::PortBit(cell, pin));
            HWND box = GetDlgItem(dialog, static_cast<int>(id));
            SetWindowTextW(box, PortBoxName(id).c_str());
            LONG_PTR original = SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GridBoxProc));
            SetWindowLongPtrW(box, GWLP_USERDATA, original);
        }
    }
    MakeTabStop(dialog, PortBoxId(core::kFirstGridBox));
}
