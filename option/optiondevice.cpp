// The option window on the board: connect and disconnect, read, write and erase the port
// options (core/optionops.h does the board's part), product information, connection
// settings. The window asks the questions and tells the outcomes.
#include "common/strings.h"
#include "core/optionops.h"
#include "framework/msgbox.h"
#include "option/optiondlg.h"
#include "option/resource.h"

namespace {

constexpr UINT kOkWarning = MB_OK;  // the message-box routine adds the exclamation icon

}  // namespace

bool CTolkaOptionDlg::OnUpdateConnect() const {
    return m_hDevice == nullptr;
}

bool CTolkaOptionDlg::OnUpdateConnected() const {
    return m_hDevice != nullptr;
}

// Nothing is said either way: a board that cannot be opened has been reported by the
// library itself. A second connection is never opened over the first.
void CTolkaOptionDlg::OnConnect() {
    if (m_hDevice != nullptr)
        return;
    m_hDevice = m_link.FlashModeOpen(TOLKA_IF_ALL, 0);
    if (m_hDevice != nullptr)
        EnableConnectionButtons(true);
}

void CTolkaOptionDlg::OnDisconnect() {
    if (m_hDevice != nullptr)
        m_link.FlashModeClose(m_hDevice, 0);
    m_hDevice = nullptr;
    EnableConnectionButtons(false);
}

void CTolkaOptionDlg::OnConnectionSettings() {
    m_link.OptionDlg1();
}

// Replaces the grid with the board's record; unsaved edits are asked about first, before
// any connection is made. A connection it opens stays open.
void CTolkaOptionDlg::OnReadFromDevice() {
    if (!ConfirmDiscardFile())
        return;
    if (m_hDevice == nullptr) {
        OnConnect();
        if (m_hDevice == nullptr)
            return;
    }
    core::PortOptionImage image;
    switch (core::ReadPortOptions(m_link, m_hDevice, image)) {
        case core::OptionReadResult::UnsupportedFirmware:
            fw::AppMessageBox(IDS_FIRMWARE_UNSUPPORTED, kOkWarning);
            OnDisconnect();
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
        OnConnect();
        if (m_hDevice == nullptr)
            return;
    }
    core::PortOptionImage image;
    GetPortOptions(image.data());
    switch (core::WritePortOptions(m_link, m_hDevice, image)) {
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
    OnDisconnect();
}

// Only on an open connection, which stays open.
void CTolkaOptionDlg::OnEraseDevice() {
    if (m_hDevice == nullptr)
        return;
    if (fw::AppMessageBox(IDS_ERASE_QUESTION, kAskYesNo) != IDYES)
        return;
    if (core::ErasePortOptions(m_link, m_hDevice) != core::OptionEraseResult::Ok) {
        fw::AppMessageBox(IDS_ERASE_FAILED, kOkWarning);
        return;
    }
    fw::AppMessageBox(IDS_ERASED, kOkInfo);
}

// A board that fails to show its product information is disconnected before the user
// is told.
void CTolkaOptionDlg::OnProductInfo() {
    if (m_hDevice == nullptr || m_link.ShowProductInfo(m_hDevice) == 0)
        return;
    OnDisconnect();
    fw::AppMessageBox(IDS_COMMUNICATION_ERROR, kOkWarning);
}
