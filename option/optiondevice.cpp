// The option window on the board: read, write and erase the port options (core/optionops.h
// does the board's part) and product information; connecting is the editors' own
// (common/editordlg.h) and says nothing here, since a board that cannot be opened has been
// reported by the library itself. The window asks the questions and tells the outcomes.
#include "core/optionops.h"
#include "core/textids.h"
#include "framework/msgbox.h"
#include "option/optiondlg.h"
#include "option/resource.h"

namespace {

constexpr UINT kOkWarning = MB_OK;  // the message-box routine adds the exclamation icon

}  // namespace

// Replaces the grid with the board's record; unsaved edits are asked about first, before
// any connection is made. A connection it opens stays open.
void CTolkaOptionDlg::OnReadFromDevice() {
    if (!ConfirmDiscardFile())
        return;
    if (!Connect())
        return;
    core::PortOptionImage image;
    const core::OptionReadResult result = core::ReadPortOptions(BoardLink(), Device(), image);
    switch (result) {
        case core::OptionReadResult::UnsupportedFirmware:
            fw::AppMessageBox(IDS_FIRMWARE_UNSUPPORTED, kOkWarning);
            break;
        case core::OptionReadResult::NoSettings:
            fw::AppMessageBox(IDS_NO_SETTINGS, kOkWarning);
            break;
        case core::OptionReadResult::Ok:
            break;
    }
    if (core::EndsConnection(result))
        Disconnect();
    if (result != core::OptionReadResult::Ok)
        return;
    SetPortOptions(image.data());
    fw::AppMessageBox(IDS_SETTINGS_READ, kOkInfo);
    MarkReadFromBoard();
}

// Writes the grid; the write ends disconnected (core::EndsConnection).
void CTolkaOptionDlg::OnWriteToDevice() {
    if (!ConnectForWrite())
        return;
    core::PortOptionImage image;
    GetPortOptions(image.data());
    const core::OptionWriteResult result = core::WritePortOptions(BoardLink(), Device(), image);
    switch (result) {
        case core::OptionWriteResult::UnsupportedFirmware:
            fw::AppMessageBox(IDS_FIRMWARE_UNSUPPORTED, kOkWarning);
            break;
        case core::OptionWriteResult::WriteFailed:
            fw::AppMessageBox(IDS_WRITE_FAILED, kOkWarning);
            break;
        case core::OptionWriteResult::Ok:
            fw::AppMessageBox(IDS_WRITTEN, kOkInfo);
            break;
    }
    if (core::EndsConnection(result))
        Disconnect();
}

// Only on an open connection, which stays open.
void CTolkaOptionDlg::OnEraseDevice() {
    if (!ConfirmErase())
        return;
    if (core::ErasePortOptions(BoardLink(), Device()) != core::OptionEraseResult::Ok) {
        fw::AppMessageBox(IDS_ERASE_FAILED, kOkWarning);
        return;
    }
    fw::AppMessageBox(IDS_ERASED, kOkInfo);
}

// A board that fails to show its product information is disconnected before the user
// is told.
void CTolkaOptionDlg::OnProductInfo() {
    if (!IsConnected() || BoardLink().ShowProductInfo(Device()) == 0)
        return;
    Disconnect();
    fw::AppMessageBox(IDS_COMMUNICATION_ERROR, kOkWarning);
}
