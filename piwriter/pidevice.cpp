// The writer on the board: connect, show the board's current record, read it into the
// editor, write the editor's record into the next free slot, erase the area.
#include "framework/codepage.h"
#include "framework/msgbox.h"
#include "piwriter/piwritedlg.h"
#include "piwriter/resource.h"

namespace {

// The product-information area: 32 slots of 128 bytes.
constexpr uint32_t kFirstSlot = 0x7000;
constexpr uint32_t kLastSlot = 0x7F80;
constexpr uint32_t kSlotStep = 0x80;

constexpr uint32_t kEchoTimeout = 1000;
constexpr uint32_t kTransferTimeout = 5000;

const wchar_t kEmpty[] = L"Empty";

constexpr UINT kOkInfo = 0x40;
constexpr UINT kYesNo = 0x124;
constexpr UINT kYesNoPlain = 0x104;

uint32_t InterfaceTopByte(TOLKA_HANDLE device) {
    return Varn_GetIFType(device) & 0xFF000000u;
}

}  // namespace

bool CVarnPIWriteDlg::OnUpdateConnect() const {
    return m_hDevice == nullptr;
}

bool CVarnPIWriteDlg::OnUpdateConnected() const {
    return m_hDevice != nullptr;
}

void CVarnPIWriteDlg::EnableConnectButtons() {
    EnableConnectionButtons(m_hDevice != nullptr);
}

void CVarnPIWriteDlg::OpenDevice() {
    m_hDevice = Tolka_FlashModeOpen(TOLKA_IF_ALL, 0);
    if (m_hDevice == nullptr)
        return;  // the library has told the user why
    uint32_t type = InterfaceTopByte(m_hDevice);
    if (type == 0x20000000u || type == 0x80000000u)
        fw::AppMessageBox(L"USBデバイスに接続しました。", kOkInfo);
    else if (type == 0x40000000u)
        fw::AppMessageBox(L"LANデバイスに接続しました。", kOkInfo);
}

// Connects and refreshes the panel; false when there is no connection afterwards or the
// panel could not be read, so that an operation which connected by itself stops.
bool CVarnPIWriteDlg::ConnectAndRefresh() {
    if (m_hDevice != nullptr)
        return true;
    OpenDevice();
    if (m_hDevice == nullptr)
        return false;
    EnableConnectButtons();
    return RefreshCurrentData();
}

void CVarnPIWriteDlg::OnConnect() {
    ConnectAndRefresh();
}

void CVarnPIWriteDlg::OnDisconnect() {
    if (m_hDevice == nullptr)
        return;
    Tolka_FlashModeClose(m_hDevice, 0);
    m_hDevice = nullptr;
    EnableConnectButtons();
}

void CVarnPIWriteDlg::OnConnectionSettings() {
    Tolka_OptionDlg1();
}

// The board no longer answers: the connection is dropped, so that the user reconnects
// with one click and nothing stale is taken for the board's data.
void CVarnPIWriteDlg::ShowNoAnswer() {
    fw::AppMessageBox(
        L"デバイスから応答がありません。\n「J17」がオープンになっている場合はショートして、再接続してください。");
    OnDisconnect();
}

void CVarnPIWriteDlg::ShowReadFailed() {
    fw::AppMessageBox(L"デバイスからの読み出しに失敗しました。");
}

void CVarnPIWriteDlg::ShowRecordInPanel(const uint8_t* record) {
    core::RecordFields fields = core::DecodeRecord(record);
    m_strCurUuid = core::FormatUuidText(fields.uuid.data());
    m_strCurNumber = std::to_wstring(fields.number);
    m_strCurProductName = fw::FromThreadAnsi(fields.productName);
    m_strCurMaker = fw::FromThreadAnsi(fields.makerName);
}

// Shows the board's newest valid record in the panel, or "Empty". True when the panel now
// shows the board.
bool CVarnPIWriteDlg::RefreshCurrentData() {
    if (m_hDevice == nullptr)
        return false;
    // Taken in without checks, so that the redisplay below keeps every field as typed.
    TakeInWithoutChecks();
    Varn_SetTimeouts(m_hDevice, kEchoTimeout, kEchoTimeout);
    if (Varn_FlshEchoTest(m_hDevice) != 0 && Varn_FlshEchoTest(m_hDevice) != 0) {
        ShowNoAnswer();
        return false;
    }
    Varn_SetTimeouts(m_hDevice, kTransferTimeout, kTransferTimeout);
    core::RecordImage slot;
    bool found = false;
    for (uint32_t address = kLastSlot + kSlotStep; address > kFirstSlot;) {
        address -= kSlotStep;
        if (Varn_FlshRead(m_hDevice, address, slot.data()) != 0) {
            ShowReadFailed();
            return false;
        }
        if (core::ReadSlotStatus(slot.data()) == core::kSlotValid) {
            found = true;
            break;
        }
    }
    if (found) {
        ShowRecordInPanel(slot.data());
    } else {
        m_strCurUuid = m_strCurNumber = m_strCurProductName = m_strCurMaker = kEmpty;
    }
    UpdateData(false);
    return true;
}

void CVarnPIWriteDlg::OnReadToEditor() {
    if (m_bModified && fw::AppMessageBox(L"編集中のファイル内容を破棄しますか？", kYesNo) != IDYES)
        return;
    if (m_hDevice == nullptr && !ConnectAndRefresh())
        return;
    if (m_strCurUuid == kEmpty) {
        fw::AppMessageBox(L"有効なデータがありません。", kOkInfo);
        return;
    }
    m_strUuid = m_strCurUuid;
    m_strNumber = m_strCurNumber;
    m_strProductName = m_strCurProductName;
    m_strMaker = m_strCurMaker;
    UpdateData(false);
    MarkReadFromBoard();
}

// Asks before a record of one product kind goes into a board of the other kind.
bool CVarnPIWriteDlg::ConfirmProductKind(const core::RecordImage& record) {
    core::ProductKind kind = core::ProductKindOf(record.data() + core::kUuidOffset);
    if (kind == core::ProductKind::Varnex && (Varn_GetIFType(m_hDevice) & 0x40000000u) != 0 &&
        fw::AppMessageBox(L"LAN製品にVarnexの製品情報を書き込もうとしています。続けますか？", kYesNoPlain) != IDYES)
        return false;
    if (kind == core::ProductKind::Pelnex && (Varn_GetIFType(m_hDevice) & 0x80000000u) != 0 &&
        fw::AppMessageBox(L"USB製品にPelnexの製品情報を書き込もうとしています。続けますか？", kYesNoPlain) != IDYES)
        return false;
    return true;
}

// The first free slot from 0x7000 up; when the area is full it is erased and 0x7000 is
// used. False after a message.
bool CVarnPIWriteDlg::FindTargetSlot(uint32_t& target) {
    core::RecordImage slot;
    for (uint32_t address = kFirstSlot; address <= kLastSlot; address += kSlotStep) {
        // A failed read must not make the area look full: that would erase valid records.
        if (Varn_FlshRead(m_hDevice, address, slot.data()) != 0) {
            ShowReadFailed();
            return false;
        }
        if (core::ReadSlotStatus(slot.data()) == core::kSlotFree) {
            target = address;
            return true;
        }
    }
    if (Varn_FlshErase(m_hDevice, TOLKA_ERASE_PRODUCT_INFO) != 0) {
        fw::AppMessageBox(L"フラッシュメモリの消去に失敗しました。");
        return false;
    }
    target = kFirstSlot;
    return true;
}

void CVarnPIWriteDlg::OnWriteToDevice() {
    core::RecordImage record;
    if (!BuildRecord(record))
        return;
    if (m_hDevice == nullptr) {
        if (fw::AppMessageBox(L"最初に見つかったデバイスに対して書込みを行います。続けますか？", kYesNo) != IDYES)
            return;
        if (!ConnectAndRefresh())
            return;
    }
    if (!ConfirmProductKind(record))
        return;
    uint32_t target = 0;
    if (!FindTargetSlot(target))
        return;
    if (Varn_FlshWrite(m_hDevice, target, record.data(), static_cast<uint32_t>(record.size())) != 0) {
        fw::AppMessageBox(L"書き込みに失敗しました。");
        return;
    }
    core::RecordImage readBack;
    if (Varn_FlshRead(m_hDevice, target, readBack.data()) != 0 || readBack != record) {
        fw::AppMessageBox(L"ベリファイエラーです。書き込みに失敗しました。");
        return;
    }
    fw::AppMessageBox(L"正常に書き込みが終了しました。", kOkInfo);
    RefreshCurrentData();
    CountUpNumber(core::DecodeRecord(record.data()).number);
    OnDisconnect();
}

// After a write with "Numberの自動加算" on: the next number, in the form the field uses.
void CVarnPIWriteDlg::CountUpNumber(uint32_t written) {
    if (m_btnAutoIncrement == nullptr || SendMessageW(m_btnAutoIncrement, BM_GETCHECK, 0, 0) != BST_CHECKED)
        return;
    if (written == 0xFFFFFFFFu)
        return;
    // The refresh has taken the field in again: blanks around it must not hide a "0x".
    m_strNumber = core::FormatNumberText(written + 1, core::TrimBlanks(m_strNumber));
    SetDlgItemText(IDC_NUMBER, m_strNumber);
}

void CVarnPIWriteDlg::OnEraseDevice() {
    if (m_hDevice == nullptr)
        return;
    if (fw::AppMessageBox(L"デバイスに書き込まれた製品情報を消去します。続けますか？", kYesNo) != IDYES)
        return;
    if (Varn_FlshErase(m_hDevice, TOLKA_ERASE_PRODUCT_INFO) != 0) {
        fw::AppMessageBox(L"フラッシュメモリの消去に失敗しました。");
        return;
    }
    fw::AppMessageBox(L"消去しました。", kOkInfo);
    RefreshCurrentData();
}
