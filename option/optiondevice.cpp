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
    switch (core::ReadPortOptions(BoardLink(), m_hDevice, image)) {
        case core::OptionReadResult::UnsupportedFirmware:
            fw::AppMessageBox(IDS_FIRMWARE_UNSUPPORTED, kOkWarning);
            Disconnect();
            return;
        case core::OptionReadResult::NoSettings:
            fw::AppMessageBox(IDS_NO_SETTINGS, kOkWarning);
            return;
        case core::OptionReadResult::Ok:
            break;
    }
    SetPortOptions(image.data());
    fw::AppMessageBox(IDS_SETTINGS_READ, kOkInfo);
    MarkReadFromBoard();
}

// Writes the grid; every write ends disconnected, so that the next one goes to whichever
// board is attached then.
void CTolkaOptionDlg::OnWriteToDevice() {
    if (m_hDevice == nullptr) {
        if (fw::AppMessageBox(IDS_WRITE_FIRST_FOUND, kAskYesNo) != IDYES)
            return;
        if (!Connect())
            return;
    }
    core::PortOptionImage image;
    GetPortOptions(image.data());
    switch (core::WritePortOptions(BoardLink(), m_hDevice, image)) {
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
    Disconnect();
}

// Only on an open connection, which stays open.
void CTolkaOptionDlg::OnEraseDevice() {
    if (m_hDevice == nullptr)
        return;
    if (fw::AppMessageBox(IDS_ERASE_QUESTION, kAskYesNo) != IDYES)
        return;
    if (core::ErasePortOptions(BoardLink(), m_hDevice) != core::OptionEraseResult::Ok) {
        fw::AppMessageBox(IDS_ERASE_FAILED, kOkWarning);
        return;
    }
    fw::AppMessageBox(IDS_ERASED, kOkInfo);
}

// A board that fails to show its product information is disconnected before the user
// is told.
void CTolkaOptionDlg::OnProductInfo() {
    if (m_hDevice == nullptr || BoardLink().ShowProductInfo(m_hDevice) == 0)
        return;
    Disconnect();
    fw::AppMessageBox(IDS_COMMUNICATION_ERROR, kOkWarning);
}
