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

template <class Visit>
void ForEachBox(HWND dialog, Visit visit) {
    for (const core::PortCell& cell : core::kPortCells) {
        for (unsigned pin = 0; pin < cell.pinCount; ++pin) {
            const unsigned id = PortBoxId(core::PortBit(cell, pin));
            visit(GetDlgItem(dialog, static_cast<int>(id)), id);
        }
    }
}

// The one box of the grid that Tab stops at: the last one with the focus.
void MakeTabStop(HWND dialog, unsigned boxId) {
    ForEachBox(dialog, [boxId](HWND box, unsigned id) {
        LONG_PTR style = GetWindowLongPtrW(box, GWL_STYLE);
        LONG_PTR wanted = id == boxId ? style | WS_TABSTOP : style & ~WS_TABSTOP;
        if (wanted != style)
            SetWindowLongPtrW(box, GWL_STYLE, wanted);
    });
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

// Messages after which a box may have drawn itself again, outside WM_PAINT, over its mark.
bool MayRedrawBox(UINT msg) {
    switch (msg) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE:
        case WM_ENABLE:
        case BM_SETCHECK:
        case BM_SETSTATE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_MOUSEMOVE:
        case WM_MOUSELEAVE:
        case WM_CAPTURECHANGED:
            return true;
        default:
            return false;
    }
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

unsigned PortRowLabelId(unsigned bit) {
    unsigned pin = 0;
    const core::PortCell* cell = core::FindPortBox(bit, pin);
    return cell == nullptr ? 0 : IDC_PORT_LABEL_FIRST + static_cast<unsigned>(cell->port);
}

unsigned PinHeadingId(unsigned bit) {
    unsigned pin = 0;
    const core::PortCell* cell = core::FindPortBox(bit, pin);
    return cell == nullptr ? 0 : IDC_PIN_HEADING_FIRST + static_cast<unsigned>(cell->group) * 8 + 7 - pin;
}

CPortGrid::~CPortGrid() {
    if (m_dialog == nullptr || !IsWindow(m_dialog))
        return;
    ForEachBox(m_dialog, [this](HWND box, unsigned) {
        SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_boxProc));
        SetWindowLongPtrW(box, GWLP_USERDATA, 0);
    });
}

void CPortGrid::Prepare(HWND dialog) {
    m_dialog = dialog;
    ForEachBox(dialog, [this](HWND box, unsigned id) {
        SetWindowTextW(box, PortBoxName(id).c_str());
        SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_boxProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CPortGrid::BoxProc)));
    });
    MakeTabStop(dialog, PortBoxId(core::kFirstGridBox));
}

HBRUSH CPortGrid::MarkColours(HWND label, HDC dc) const {
    if (label == nullptr || (label != m_rowLabel && label != m_pinHeading))
        return nullptr;
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
    return GetSysColorBrush(COLOR_HIGHLIGHT);
}

LRESULT CALLBACK CPortGrid::BoxProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* grid = reinterpret_cast<CPortGrid*>(GetWindowLongPtrW(box, GWLP_USERDATA));
    return grid->OnBoxMessage(box, msg, wParam, lParam);
}

// The window's UI state, which its controls share: focus marks are hidden until the keyboard
// is used (unless the user has the system show them always).
bool CPortGrid::FocusMarked(HWND box) const {
    return GetFocus() == box && (SendMessageW(m_dialog, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
}

LRESULT CPortGrid::OnBoxMessage(HWND box, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto id = static_cast<unsigned>(GetDlgCtrlID(box));
    unsigned bit = 0;
    core::GridMove move;
    switch (msg) {
        // The arrow keys are ours, not the dialog's walk through the group.
        case WM_GETDLGCODE:
            return CallWindowProcW(m_boxProc, box, msg, wParam, lParam) | DLGC_WANTARROWS;
        case WM_KEYDOWN:
            if (MoveOf(wParam, move) && PortBoxBit(id, bit)) {
                // Moving by the keyboard shows the focus, as the dialog's own arrow keys do.
                SendMessageW(m_dialog, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
                HWND next = GetDlgItem(m_dialog, static_cast<int>(PortBoxId(core::NeighbourBox(bit, move))));
                SendMessageW(m_dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
                return 0;
            }
            break;
        case WM_PAINT:
            PaintBox(box, msg, wParam, lParam);
            return 0;
        default:
            break;
    }
    const LRESULT result = CallWindowProcW(m_boxProc, box, msg, wParam, lParam);
    if (msg == WM_SETFOCUS)
        MakeTabStop(m_dialog, id);
    if (msg == WM_SETFOCUS || msg == WM_KILLFOCUS || msg == WM_UPDATEUISTATE)
        ShowPlace();
    if (MayRedrawBox(msg))
        InvalidateRect(box, nullptr, FALSE);
    return result;
}

void CPortGrid::PaintBox(HWND box, UINT msg, WPARAM wParam, LPARAM lParam) {
    HRGN painted = CreateRectRgn(0, 0, 0, 0);
    const bool whole = GetUpdateRgn(box, painted, FALSE) == ERROR;
    CallWindowProcW(m_boxProc, box, msg, wParam, lParam);
    if (wParam == 0 && FocusMarked(box)) {
        HDC dc = GetDC(box);
        if (!whole)
            SelectClipRgn(dc, painted);
        RECT mark;
        GetClientRect(box, &mark);
        DrawFocusRect(dc, &mark);
        ReleaseDC(box, dc);
    }
    DeleteObject(painted);
}

void CPortGrid::ShowPlace() {
    HWND focus = GetFocus();
    unsigned bit = 0;
    const bool marked = focus != nullptr && GetParent(focus) == m_dialog &&
                        PortBoxBit(static_cast<unsigned>(GetDlgCtrlID(focus)), bit) && FocusMarked(focus);
    HWND row = marked ? GetDlgItem(m_dialog, static_cast<int>(PortRowLabelId(bit))) : nullptr;
    HWND heading = marked ? GetDlgItem(m_dialog, static_cast<int>(PinHeadingId(bit))) : nullptr;
    if (row == m_rowLabel && heading == m_pinHeading)
        return;
    // The labels that lose the mark and those that get it draw themselves again.
    for (HWND label : {m_rowLabel, m_pinHeading, row, heading}) {
        if (label != nullptr)
            InvalidateRect(label, nullptr, TRUE);
    }
    m_rowLabel = row;
    m_pinHeading = heading;
}
