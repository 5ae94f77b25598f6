// The option window on the board: connect and disconnect, read, write and erase the port
// options (core/optionops.h does the board's part), product information, connection
// settings. The window asks the questions and tells the outcomes.
#include "core/optionops.h"
#include "framework/msgbox.h"
#include "option/optiondlg.h"

namespace {

const wchar_t kUnsupportedFirmware[] =
    L"接続したデバイスは、この機能に未対応のファームウェアバージョンです。\r\n最新のファームウェアに更新してください。";

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
            fw::AppMessageBox(kUnsupportedFirmware, kOkWarning);
            OnDisconnect();
            return;
        case core::OptionReadResult::NoSettings:
            fw::AppMessageBox(L"設定データが見つかりませんでした。", kOkWarning);
            return;
        case core::OptionReadResult::Ok:
            break;
    }
    SetPortOptions(image.data());
    fw::AppMessageBox(L"デバイスから現在の設定を読み出しました。", kOkInfo);
    MarkReadFromBoard();
}

// Writes the grid; every write ends disconnected, so that the next one goes to whichever
// board is attached then.
void CTolkaOptionDlg::OnWriteToDevice() {
    if (m_hDevice == nullptr) {
        if (fw::AppMessageBox(L"最初に見つかったデバイスに対して設定内容を書き込みます。よろしいですか?", kAskYesNo) !=
            IDYES)
            return;
        OnConnect();
        if (m_hDevice == nullptr)
            return;
    }
    core::PortOptionImage image;
    GetPortOptions(image.data());
    switch (core::WritePortOptions(m_link, m_hDevice, image)) {
        case core::OptionWriteResult::UnsupportedFirmware:
            fw::AppMessageBox(kUnsupportedFirmware, kOkWarning);
            break;
        case core::OptionWriteResult::WriteFailed:
            fw::AppMessageBox(L"書き込みに失敗しました。", kOkWarning);
            break;
        case core::OptionWriteResult::Ok:
            fw::AppMessageBox(L"正常に書き込みが終了しました。", kOkInfo);
            break;
    }
    OnDisconnect();
}

// Only on an open connection, which stays open.
void CTolkaOptionDlg::OnEraseDevice() {
    if (m_hDevice == nullptr)
        return;
    if (fw::AppMessageBox(L"デバイスに書き込まれたポートの初期化情報を消去します。続けますか？", kAskYesNo) != IDYES)
        return;
    if (core::ErasePortOptions(m_link, m_hDevice) != core::OptionEraseResult::Ok) {
        fw::AppMessageBox(L"フラッシュメモリの消去に失敗しました。", kOkWarning);
        return;
    }
    fw::AppMessageBox(L"消去しました。", kOkInfo);
}

// A board that fails to show its product information is disconnected before the user
// is told.
void CTolkaOptionDlg::OnProductInfo() {
    if (m_hDevice == nullptr || m_link.ShowProductInfo(m_hDevice) == 0)
        return;
    OnDisconnect();
    fw::AppMessageBox(L"通信エラーが発生しました。", kOkWarning);
}
