#include "station/stationdlg.h"

#include <commctrl.h>

#include <vector>

#include "core/digits.h"
#include "core/imagefile.h"
#include "core/placeholders.h"
#include "framework/codepage.h"
#include "framework/fileio.h"
#include "framework/module.h"
#include "framework/msgbox.h"
#include "framework/sha256.h"
#include "framework/text.h"
#include "core/recipe.h"
#include "core/utf8.h"
#include "station/resource.h"
#include "suite/suite_version.h"

namespace {

// The worker's messages to the window: a step reached (wParam), the board's end.
constexpr UINT kStepMessage = WM_APP + 1;
constexpr UINT kDoneMessage = WM_APP + 2;

const int kFaultTexts[] = {
    0,
    IDS_STATION_FAULT_TOO_LARGE,
    IDS_STATION_FAULT_NOT_UTF8,
    IDS_STATION_FAULT_BAD_CHARACTER,
    IDS_STATION_FAULT_NO_EQUALS,
    IDS_STATION_FAULT_UNKNOWN_KEY,
    IDS_STATION_FAULT_REPEATED_KEY,
    IDS_STATION_FAULT_BAD_VALUE,
    IDS_STATION_FAULT_NO_RECORD,
};

// In the order of core::LineStep.
const int kStepTexts[] = {
    IDS_STATION_STEP_CONNECTING, IDS_STATION_STEP_READING,         IDS_STATION_STEP_CHECKING_OPTIONS,
    IDS_STATION_STEP_RESERVING,  IDS_STATION_STEP_ERASING,         IDS_STATION_STEP_WRITING,
    IDS_STATION_STEP_VERIFYING,  IDS_STATION_STEP_WRITING_OPTIONS, IDS_STATION_STEP_VERIFYING_OPTIONS,
};

std::wstring Text(int id, std::initializer_list<std::wstring> args = {}) {
    return core::FillPlaceholders(fw::LoadResString(static_cast<UINT>(id)).c_str(), args);
}

// Exactly one image of `size` bytes, read while other stations may read the same file.
bool ReadImage(const std::wstring& path, uint8_t* image, size_t size) {
    std::vector<uint8_t> data;
    if (fw::ReadFilePrefix(path, core::ImageFileReadLimit(size), data, fw::ReadSharing::Readers) !=
            core::FileResult::Ok ||
        !core::IsWholeImageFile(data.size(), size))
        return false;
    std::copy(data.begin(), data.end(), image);
    return true;
}

// The options file's name and how many pins it makes outputs, sets high and pulls up.
std::wstring OptionsSummary(const std::wstring& path, const core::PortOptionImage& image) {
    const auto count = [&image](core::PortGroup group) {
        return core::DecimalText<wchar_t>(core::CountPinsSet(image.data(), group));
    };
    return Text(IDS_STATION_OPTIONS_SUMMARY, {fw::FileNameOfPath(path), count(core::PortGroup::Direction),
                                              count(core::PortGroup::OutputData), count(core::PortGroup::PullUp)});
}

std::wstring TimeOfDay() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return core::DecimalText<wchar_t>(now.wHour, 2) + L":" + core::DecimalText<wchar_t>(now.wMinute, 2) + L":" +
           core::DecimalText<wchar_t>(now.wSecond, 2);
}

}  // namespace

std::wstring StationFaultText(station::StationFault fault) {
    return Text(kFaultTexts[static_cast<size_t>(fault)]);
}

std::optional<station::StationFile> ReadStationFile(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    if (fw::ReadFilePrefix(path, station::kMaxStationFileSize + 1, bytes, fw::ReadSharing::Readers) !=
        core::FileResult::Ok) {
        fw::AppMessageBox(Text(IDS_STATION_FILE_CANNOT_OPEN, {path}));
        return std::nullopt;
    }
    station::StationFile file;
    const station::StationParse parse =
        station::ParseStationFile(std::string(bytes.begin(), bytes.end()), fw::FolderOfPath(path), file);
    if (parse.fault != station::StationFault::None) {
        fw::AppMessageBox(
            Text(IDS_STATION_FILE_REFUSED, {fw::FileNameOfPath(path), core::DecimalText<wchar_t>(parse.line),
                                            parse.key.empty() ? L"-" : parse.key, StationFaultText(parse.fault)}));
        return std::nullopt;
    }
    return file;
}

std::optional<station::CycleRecipe> ReadRecipe(const station::StationFile& file) {
    station::CycleRecipe recipe;
    // A record file that does not make a valid record is refused, as the editor would.
    core::RecordImage record{};
    const bool read = ReadImage(file.record, record.data(), record.size());
    recipe.fields = core::DecodeRecord(record.data());
    core::FileDigest recordDigest;
    std::optional<core::FileDigest> optionsDigest;
    if (!read || !core::EncodeRecord(recipe.fields) || !fw::Sha256(record.data(), record.size(), recordDigest)) {
        fw::AppMessageBox(Text(IDS_STATION_RECORD_BAD, {file.record}));
        return std::nullopt;
    }
    if (!file.options.empty()) {
        core::PortOptionImage options;
        optionsDigest.emplace();
        if (!ReadImage(file.options, options.data(), options.size()) ||
            !fw::Sha256(options.data(), options.size(), *optionsDigest)) {
            fw::AppMessageBox(Text(IDS_STATION_OPTIONS_BAD, {file.options}));
            return std::nullopt;
        }
        recipe.options = options;
    }
    if (file.station) {
        recipe.share = *file.station;
        recipe.line.station = core::FormatStation(recipe.share);
    }
    recipe.line.product = core::ToUtf8(fw::FromThreadAnsi(recipe.fields.productName));
    recipe.line.maker = core::ToUtf8(fw::FromThreadAnsi(recipe.fields.makerName));
    recipe.line.version = TOLKA_SUITE_VERSION_TEXT;
    recipe.line.recipe = core::RecipeText(recordDigest, optionsDigest);
    recipe.rework = file.rework;
    return recipe;
}

std::optional<StationSetup> LoadStation(const std::wstring& path) {
    std::optional<station::StationFile> file = ReadStationFile(path);
    if (!file)
        return std::nullopt;
    std::optional<station::CycleRecipe> recipe = ReadRecipe(*file);
    if (!recipe)
        return std::nullopt;
    // A station writes no board without a ledger to take its Numbers from.
    recipe->ledger = file->ledger.empty() ? fw::GetEnvironmentString(L"TOLKA_LEDGER") : file->ledger;
    if (recipe->ledger.empty()) {
        fw::AppMessageBox(Text(IDS_STATION_NO_LEDGER, {fw::FileNameOfPath(path)}));
        return std::nullopt;
    }
    return StationSetup{path, *file, *recipe};
}

// Enter and Esc come through the dialog's own OnOK and OnCancel.
const fw::DialogTables<CStationDlg> CStationDlg::kTables{};

CStationDlg::CStationDlg(const StationSetup& setup, std::unique_ptr<station::BoardCycle> cycle)
    : CTableDialog(IDD_STATION_DIALOG, IDC_VERSION),
      m_setup(setup),
      m_cycle(std::move(cycle)),
      m_session(setup.file.operatorRequired) {
    SetHelpTopic(kMainWindowHelpPage);
}

CStationDlg::~CStationDlg() {
    if (m_worker != nullptr) {
        WaitForSingleObject(m_worker, INFINITE);
        CloseHandle(m_worker);
    }
    // The controls let go of the fonts before they are deleted.
    DestroyWindow();
    for (HGDIOBJ object :
         {static_cast<HGDIOBJ>(m_resultFont), static_cast<HGDIOBJ>(m_numberFont), static_cast<HGDIOBJ>(m_causeFont),
          static_cast<HGDIOBJ>(m_passBrush), static_cast<HGDIOBJ>(m_failBrush)}) {
        if (object != nullptr)
            DeleteObject(object);
    }
}

// The dialog's font, bold and `percent` of its height.
HFONT CStationDlg::ScaledFont(int percent) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0)), sizeof font, &font);
    font.lfHeight = font.lfHeight * percent / 100;
    font.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&font);
}

BOOL CStationDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    InitMainWindow(false);
    // The station file's name in the title, as the editors show theirs: which set-up this is.
    if (!m_setup.path.empty())
        SetWindowText(GetWindowText() + L" - " + fw::FileNameOfPath(m_setup.path));
    m_resultFont = ScaledFont(400);
    m_numberFont = ScaledFont(200);
    m_causeFont = ScaledFont(150);
    m_passBrush = CreateSolidBrush(RGB(0, 128, 0));
    m_failBrush = CreateSolidBrush(RGB(192, 0, 0));
    const std::pair<int, HFONT> fonts[] = {
        {IDC_RESULT, m_resultFont}, {IDC_NUMBER, m_numberFont}, {IDC_CAUSE, m_causeFont}};
    for (const auto& [id, font] : fonts)
        SendDlgItemMessageW(m_hWnd, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    HWND list = GetDlgItem(IDC_BOARDS);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    RECT room;
    GetClientRect(list, &room);
    const int columns[] = {IDS_STATION_COLUMN_TIME, IDS_STATION_COLUMN_NUMBER, IDS_STATION_COLUMN_RESULT};
    for (int i = 0; i < 3; ++i) {
        std::wstring heading = Text(columns[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = (room.right - GetSystemMetrics(SM_CXVSCROLL)) / 3;
        column.pszText = heading.data();
        ListView_InsertColumn(list, i, &column);
    }
    ShowFileFacts();
    ShowSession();
    // A ledger that cannot be used is told before the first board; each Enter looks again.
    const station::LedgerLook look = m_cycle->Look();
    ShowNext(look.next);
    if (!look.usable)
        SetDlgItemText(IDC_CAUSE, look.cause);
    // The scanner types into the operator's field; without one, Enter presses the write button.
    HWND first = GetDlgItem(m_session.State() == station::SessionState::NeedOperator ? IDC_OPERATOR : IDOK);
    SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    return FALSE;
}

void CStationDlg::ShowFileFacts() {
    const core::RecordFields& fields = m_setup.recipe.fields;
    const station::StationFile& file = m_setup.file;
    const std::wstring none = Text(IDS_STATION_NONE);
    SetDlgItemText(IDC_PRODUCT, fw::FromThreadAnsi(fields.productName));
    SetDlgItemText(IDC_MAKER, fw::FromThreadAnsi(fields.makerName));
    SetDlgItemText(IDC_OPTIONS_FILE,
                   m_setup.recipe.options ? OptionsSummary(file.options, *m_setup.recipe.options) : none);
    SetDlgItemText(IDC_SHARE, file.station ? core::FromUtf8(core::FormatStation(*file.station)) : none);
    SetDlgItemText(IDC_LEDGER, station::ShownLedgerName(m_setup.recipe.ledger));
    SetDlgItemText(IDC_RECIPE, core::FromUtf8(m_setup.recipe.line.recipe));
    SendDlgItemMessageW(m_hWnd, IDC_OPERATOR, EM_LIMITTEXT, station::kMaxOperatorChars, 0);
}

// The Number the ledger would give the next board, as it was last looked at.
void CStationDlg::ShowNext(const std::optional<uint32_t>& next) {
    SetDlgItemText(IDC_NEXT, next ? core::DecimalText<wchar_t>(*next) : Text(IDS_STATION_NEXT_UNKNOWN));
}

// The result area and the counters as the session says; the colours follow in WM_CTLCOLORSTATIC.
void CStationDlg::ShowSession() {
    using station::SessionState;
    const SessionState state = m_session.State();
    const station::StationResult& last = m_session.LastResult();
    std::wstring result, number, cause;
    switch (state) {
        case SessionState::NeedOperator:
            cause = Text(IDS_STATION_SCAN_OPERATOR);
            break;
        case SessionState::Ready:
            result = Text(IDS_STATION_READY);
            break;
        case SessionState::Running:
            result = Text(kStepTexts[static_cast<size_t>(m_session.CurrentStep())]);
            break;
        case SessionState::Pass:
        case SessionState::Fail:
            result = Text(state == SessionState::Pass ? IDS_STATION_PASS : IDS_STATION_FAIL);
            if (last.number != 0)
                number = Text(IDS_STATION_NUMBER, {core::DecimalText<wchar_t>(last.number)});
            cause = last.cause;
            break;
    }
    SetDlgItemText(IDC_RESULT, result);
    SetDlgItemText(IDC_NUMBER, number);
    SetDlgItemText(IDC_CAUSE, cause);
    for (int id : {IDC_RESULT, IDC_NUMBER, IDC_CAUSE})
        InvalidateRect(GetDlgItem(id), nullptr, TRUE);
    SetDlgItemText(IDC_COUNT_OK, core::DecimalText<wchar_t>(m_session.Passed()));
    SetDlgItemText(IDC_COUNT_FAILED, core::DecimalText<wchar_t>(m_session.Failed()));
    SetDlgItemText(IDC_YIELD, core::DecimalText<wchar_t>(m_session.YieldPercent()) + L"%");
    SendDlgItemMessageW(m_hWnd, IDC_OPERATOR, EM_SETREADONLY, state != SessionState::NeedOperator, 0);
}

void CStationDlg::ShowBoards() {
    HWND list = GetDlgItem(IDC_BOARDS);
    ListView_DeleteAllItems(list);
    int row = 0;
    for (const station::BoardLine& board : m_session.Boards()) {
        std::wstring texts[] = {board.time, board.number != 0 ? core::DecimalText<wchar_t>(board.number) : L"-",
                                Text(board.pass ? IDS_STATION_PASSED : IDS_STATION_FAILED)};
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = texts[0].data();
        ListView_InsertItem(list, &item);
        ListView_SetItemText(list, row, 1, texts[1].data());
        ListView_SetItemText(list, row, 2, texts[2].data());
        ++row;
    }
}

// Enter: confirms the operator's ID, then writes the next board; ignored while one is written.
void CStationDlg::OnOK() {
    if (m_session.State() == station::SessionState::NeedOperator) {
        if (!m_session.ConfirmOperator(GetDlgItemText(IDC_OPERATOR))) {
            fw::AppMessageBox(Text(IDS_STATION_OPERATOR_BAD));
            HWND field = GetDlgItem(IDC_OPERATOR);
            SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
            return;
        }
        ShowSession();
        SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(IDOK)), TRUE);
        return;
    }
    if (!m_session.StartBoard())
        return;
    m_workerOperator = m_session.OperatorId();
    m_worker = CreateThread(nullptr, 0, &CStationDlg::RunBoard, this, 0, nullptr);
    if (m_worker == nullptr) {
        m_session.FinishBoard({false, 0, Text(IDS_FW_OUT_OF_MEMORY)}, TimeOfDay());
        ShowBoards();
    }
    ShowSession();
}

// Esc, the exit button and the close box; while a board is written, the window closes once
// its cycle has finished.
void CStationDlg::OnCancel() {
    if (m_session.State() == station::SessionState::Running) {
        m_closeAfterBoard = true;
        return;
    }
    EndDialog(IDCANCEL);
}

// On the worker thread: one board's cycle; the window hears of each step and of the end.
DWORD WINAPI CStationDlg::RunBoard(void* param) {
    auto* self = static_cast<CStationDlg*>(param);
    HWND window = self->m_hWnd;
    try {
        self->m_workerResult = self->m_cycle->Run(self->m_workerOperator, [window](core::LineStep step) {
            PostMessageW(window, kStepMessage, static_cast<WPARAM>(step), 0);
        });
    } catch (...) {
        self->m_workerResult = {false, 0, Text(IDS_FW_UNEXPECTED_ERROR)};
    }
    PostMessageW(window, kDoneMessage, 0, 0);
    return 0;
}

void CStationDlg::OnBoardDone() {
    if (m_worker == nullptr)
        return;
    // The worker posts its end last: once it has ended, its result is complete.
    WaitForSingleObject(m_worker, INFINITE);
    CloseHandle(m_worker);
    m_worker = nullptr;
    m_session.FinishBoard(m_workerResult, TimeOfDay());
    ShowNext(m_workerResult.next);
    ShowSession();
    ShowBoards();
    if (m_closeAfterBoard)
        EndDialog(IDCANCEL);
}

HBRUSH CStationDlg::ResultBrush(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    const station::SessionState state = m_session.State();
    if ((id != IDC_RESULT && id != IDC_NUMBER && id != IDC_CAUSE) ||
        (state != station::SessionState::Pass && state != station::SessionState::Fail))
        return nullptr;
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    return state == station::SessionState::Pass ? m_passBrush : m_failBrush;
}

INT_PTR CStationDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    switch (msg) {
        case kStepMessage:
            m_session.Step(static_cast<core::LineStep>(wParam));
            ShowSession();
            handled = true;
            return 0;
        case kDoneMessage:
            OnBoardDone();
            handled = true;
            return 0;
        case WM_CTLCOLORSTATIC:
            if (HBRUSH brush = ResultBrush(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
                handled = true;
                return reinterpret_cast<INT_PTR>(brush);
            }
            break;
    }
    return CTableDialog::OnMessage(msg, wParam, lParam, handled);
}
