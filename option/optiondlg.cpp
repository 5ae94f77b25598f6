// The option window: its tables, the grid, the title and modified flag, New and exit.
#include "option/optiondlg.h"

#include "core/portoptions.h"
#include "framework/msgbox.h"
#include "option/portgrid.h"
#include "option/resource.h"

namespace {

const CEditorDialog::EditorTraits kOptionEditor = {
    IDD_TOLKAOPTION_DIALOG,  // window
    IDC_VERSION,             // About box's version text
    IDD_FLASHMODE_HELP,      // flash-mode help
    L"TolkaOption",          // title
    IDS_FILE_FILTER,         // file dialogs
    L"topt",                 // default extension
    IDS_DISCARD_AND_EXIT,    // the close path's question
    IDS_WRITE_FIRST_FOUND,   // a write without a connection
    IDS_ERASE_QUESTION,      // before an erase
};

}  // namespace

const fw::CommandEntry<CTolkaOptionDlg> CTolkaOptionDlg::kCommands[] = {
    {IDC_CONNECTION_SETTINGS, &CTolkaOptionDlg::OnConnectionSettings},
    {IDC_FILE_SAVE, &CTolkaOptionDlg::OnFileSave},
    {IDC_FILE_OPEN, &CTolkaOptionDlg::OnFileOpen},
    {ID_FILE_SAVE_AS, &CTolkaOptionDlg::OnFileSaveAs},
    {ID_FILE_NEW, &CTolkaOptionDlg::OnFileNew},
    {ID_WRITE_DEVICE, &CTolkaOptionDlg::OnWriteToDevice},
    {ID_READ_DEVICE, &CTolkaOptionDlg::OnReadFromDevice},
    {ID_CONNECT, &CTolkaOptionDlg::OnConnect},
    {ID_DISCONNECT, &CTolkaOptionDlg::OnDisconnect},
    {ID_ERASE_DEVICE, &CTolkaOptionDlg::OnEraseDevice},
    {ID_PRODUCT_INFO, &CTolkaOptionDlg::OnProductInfo},
    {ID_APP_ABOUT, &CTolkaOptionDlg::OnAppAbout},
    {IDC_FLASHMODE_HELP, &CTolkaOptionDlg::OnFlashModeHelp},
};

// The 80 grid boxes, in two runs around 1072, which no control has; the commands among them
// are dispatched before the ranges.
const fw::CommandRangeEntry<CTolkaOptionDlg> CTolkaOptionDlg::kPortBoxes[] = {
    {IDC_PORT_FIRST, IDC_PORT_UNUSED - 1, &CTolkaOptionDlg::OnPortCheckClicked},
    {IDC_PORT_UNUSED + 1, IDC_PORT_LAST, &CTolkaOptionDlg::OnPortCheckClicked},
};

const fw::UpdateEntry<CTolkaOptionDlg> CTolkaOptionDlg::kUpdateHandlers[] = {
    {ID_CONNECT, &CTolkaOptionDlg::OnUpdateConnect},
    {ID_DISCONNECT, &CTolkaOptionDlg::OnUpdateConnected},
    {ID_ERASE_DEVICE, &CTolkaOptionDlg::OnUpdateConnected},
    {ID_PRODUCT_INFO, &CTolkaOptionDlg::OnUpdateConnected},
};

const fw::DialogTables<CTolkaOptionDlg> CTolkaOptionDlg::kTables = {kCommands, kPortBoxes, kUpdateHandlers};

CTolkaOptionDlg::CTolkaOptionDlg(core::DeviceLink& link) : CTableDialog(kOptionEditor, link) {}

void CTolkaOptionDlg::PrepareControls() {
    m_grid.Prepare(m_hWnd);
}

// The grid marks the focused box's row label and pin heading in the selection colours.
INT_PTR CTolkaOptionDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (msg == WM_CTLCOLORSTATIC) {
        if (HBRUSH brush = m_grid.MarkColours(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam))) {
            handled = true;
            return reinterpret_cast<INT_PTR>(brush);
        }
    }
    return CEditorDialog::OnMessage(msg, wParam, lParam, handled);
}

void CTolkaOptionDlg::GetPortOptions(uint8_t* image) {
    core::GetPortOptions(image, [this](unsigned bit) {
        return SendDlgItemMessageW(m_hWnd, static_cast<int>(PortBoxId(bit)), BM_GETCHECK, 0, 0) != BST_UNCHECKED;
    });
}

void CTolkaOptionDlg::SetPortOptions(const uint8_t* image) {
    core::SetPortOptions(image, [this](unsigned bit, bool checked) {
        SendDlgItemMessageW(m_hWnd, static_cast<int>(PortBoxId(bit)), BM_SETCHECK,
                            checked ? BST_CHECKED : BST_UNCHECKED, 0);
    });
}

bool CTolkaOptionDlg::BuildFileImage(FileImage& image) {
    GetPortOptions(image.data());
    return true;
}

void CTolkaOptionDlg::ShowFileImage(const FileImage& image) {
    SetPortOptions(image.data());
}

// A click on a grid box; boxes set by the program send none.
void CTolkaOptionDlg::OnPortCheckClicked(UINT id) {
    unsigned bit = 0;
    if (PortBoxBit(id, bit))
        MarkModified();
}

void CTolkaOptionDlg::OnFileNew() {
    if (!ConfirmDiscardFile())
        return;
    const FileImage cleared{};
    SetPortOptions(cleared.data());
    ForgetFile();
}
