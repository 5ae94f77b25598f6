#include "option/portgrid.h"

#include <iterator>

#include "core/digits.h"
#include "core/placeholders.h"
#include "core/portoptions.h"
#include "framework/module.h"
#include "option/resource.h"

namespace {

// The check box of each cell's pin 0, in the order of core::kPortCells; pin n is that id + n.
const unsigned kFirstBoxIds[] = {
    IDC_OUT_P4, IDC_OUT_PA, IDC_OUT_POUT,  IDC_DIR_P1,    IDC_DIR_P2,    IDC_DIR_P4,
    IDC_DIR_P5, IDC_DIR_PA, IDC_PULLUP_P2, IDC_PULLUP_P4, IDC_PULLUP_P5,
};
static_assert(std::size(kFirstBoxIds) == std::size(core::kPortCells), "one first box per cell");

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
    return cell == nullptr ? 0 : kFirstBoxIds[cell - core::kPortCells] + pin;
}

bool PortBoxBit(unsigned boxId, unsigned& bit) {
    for (size_t i = 0; i < std::size(core::kPortCells); ++i) {
        const unsigned pin = boxId - kFirstBoxIds[i];  // wraps round below the cell's first box
        if (pin < core::kPortCells[i].pinCount) {
            bit = core::PortBit(core::kPortCells[i], pin);
            return true;
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
                                  {core::PortName(cell->port), core::DecimalText<wchar_t>(pin),
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
