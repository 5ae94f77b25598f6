// The option window driven as a user drives it, under Wine: real dialog, real resources,
// real files. The board's side is option_device_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <vector>

#include "core/portoptions.h"
#include "common/editor_test_support.h"
#include "framework/dialog_test_support.h"
#include "option/optiondlg.h"
#include "option/portgrid.h"
#include "option/resource.h"

namespace {

using Bytes = std::vector<uint8_t>;
using editortest::ReadFileBytes;
using editortest::WriteFileBytes;
using fwtest::TempPath;

using editortest::kOkWarning;

// An image: bytes 0-12 as given, then 0xFF.
Bytes Image(Bytes head) {
    head.resize(128, 0xFF);
    return head;
}

// P1 pins 0 and 1 outputs, P4 pin 7 output data on.
const Bytes kExample = Image({0, 0, 0x80, 0, 0, 0x03, 0, 0, 0, 0, 0, 0, 0});
const std::set<unsigned> kExampleBoxes = {1001, 1002, 1047};
const Bytes kAllClear = Image(Bytes(13, 0));

std::set<unsigned> AllBoxes() {
    std::set<unsigned> ids;
    for (const core::PortCell& cell : core::kPortCells) {
        for (unsigned pin = 0; pin < cell.pinCount; ++pin)
            ids.insert(PortBoxId(core::PortBit(cell, pin)));
    }
    return ids;
}

std::set<unsigned> CheckedBoxes(HWND dlg) {
    std::set<unsigned> ids;
    for (unsigned id : AllBoxes()) {
        if (SendDlgItemMessageW(dlg, static_cast<int>(id), BM_GETCHECK, 0, 0) != BST_UNCHECKED)
            ids.insert(id);
    }
    return ids;
}

class OptionWindow : public ::testing::Test {
protected:
    void Open() {
        ASSERT_TRUE(dlg.Create());
        hwnd = dlg.GetSafeHwnd();
    }
    void SetUp() override { Open(); }
    std::wstring Title() const { return fwtest::Text(hwnd); }
    void ClickBoxes(const std::set<unsigned>& ids) {
        for (unsigned id : ids)
            fwtest::Click(hwnd, id);
    }
    // Opens a file as the user does, answering the discard question with OK.
    void OpenFile(const std::wstring& path) {
        if (dlg.m_bModified)
            user.Answer(IDOK);
        user.ChooseFile(path);
        fwtest::Command(hwnd, IDC_FILE_OPEN);
    }

    fwtest::ScriptedUser user;
    CTolkaOptionDlg dlg;
    HWND hwnd = nullptr;
};

// --- The window and its resources -----------------------------------------------------------

// Where the grid's boxes stand: rows by port, pin 7 at the left of each group.
TEST_F(OptionWindow, GridBoxesAtTheirPlaces) {
    const int rowY[] = {91, 107, 123, 139, 155, 171};  // P1, P2, P5, P4, PA, POUT
    const int groupX[] = {34, 106, 178};               // pin 7 of each group
    std::set<HWND> seen;
    std::set<std::wstring> names;
    for (const core::PortCell& cell : core::kPortCells) {
        for (unsigned pin = 0; pin < cell.pinCount; ++pin) {
            unsigned id = PortBoxId(core::PortBit(cell, pin));
            SCOPED_TRACE(id);
            HWND box = GetDlgItem(hwnd, static_cast<int>(id));
            ASSERT_NE(box, nullptr);
            seen.insert(box);
            LONG style = GetWindowLongW(box, GWL_STYLE);
            EXPECT_EQ(style & BS_TYPEMASK, BS_AUTOCHECKBOX);
            // Tab stops at one box of the grid only; the name starts with the port and the bit.
            EXPECT_EQ((style & WS_TABSTOP) != 0, id == PortBoxId(core::kFirstGridBox));
            std::wstring name = fwtest::Text(box);
            EXPECT_EQ(name.rfind(std::wstring(core::PortName(cell.port)) + L" bit " + std::to_wstring(pin) + L" ", 0),
                      0u)
                << name;
            names.insert(name);
            RECT want{groupX[static_cast<int>(cell.group)] + static_cast<int>(7 - pin) * 8,
                      rowY[static_cast<int>(cell.port)], 8, 10};
            MapDialogRect(hwnd, &want);  // position and size each on its own
            RECT r;
            GetWindowRect(box, &r);
            MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
                      (std::vector<LONG>{want.left, want.top, want.right, want.bottom}));
        }
    }
    EXPECT_EQ(seen.size(), core::kPortBoxCount);
    EXPECT_EQ(names.size(), core::kPortBoxCount);
    // Every box within the grid's span, clear of the commands that share it.
    const std::set<unsigned> boxes = AllBoxes();
    EXPECT_GE(*boxes.begin(), unsigned{IDC_PORT_FIRST});
    EXPECT_LE(*boxes.rbegin(), unsigned{IDC_PORT_LAST});
    for (UINT command : fwtest::Ids{IDC_FILE_SAVE, IDC_FILE_OPEN, IDC_FLASHMODE_HELP})
        EXPECT_EQ(boxes.count(command), 0u) << command;
}

// The grid as the window shows it, drawn into a bitmap, and where it is (client coordinates).
std::vector<COLORREF> GridPixels(HWND dlg, RECT* area = nullptr) {
    RECT grid{7, 69, 245, 238};
    MapDialogRect(dlg, &grid);
    if (area != nullptr)
        *area = grid;
    RECT client;
    GetClientRect(dlg, &client);
    HDC screen = GetDC(dlg);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    BitBlt(dc, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (int y = grid.top; y < grid.bottom; ++y) {
        for (int x = grid.left; x < grid.right; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(dlg, screen);
    return pixels;
}

// The points (client coordinates) where the grid differs from an earlier picture of it.
std::vector<POINT> GridChanges(HWND dlg, const std::vector<COLORREF>& before) {
    RECT grid;
    const std::vector<COLORREF> now = GridPixels(dlg, &grid);
    std::vector<POINT> changed;
    for (LONG i = 0; i < static_cast<LONG>(std::min(now.size(), before.size())); ++i) {
        if (now[static_cast<size_t>(i)] != before[static_cast<size_t>(i)])
            changed.push_back({grid.left + i % (grid.right - grid.left), grid.top + i / (grid.right - grid.left)});
    }
    return changed;
}

// Tab enters the grid at its first box, the arrows move by row and column, Space toggles and
// marks the file edited, Tab leaves; the boxes' names are not drawn.
TEST_F(OptionWindow, GridFromTheKeyboard) {
    EXPECT_EQ(fwtest::ItemText(hwnd, 1008), L"P1 bit 7 入出力方向");
    EXPECT_EQ(fwtest::ItemText(hwnd, 1064), L"P4 bit 0 プルアップ");
    SetFocus(GetDlgItem(hwnd, ID_WRITE_DEVICE));
    fwtest::PressNavigationKey(dlg, VK_TAB);
    EXPECT_EQ(fwtest::FocusedControl(hwnd), GetDlgItem(hwnd, 1008));
    const struct {
        WPARAM key;
        unsigned focus;
    } moves[] = {{VK_RIGHT, 1007}, {VK_DOWN, 1018}, {VK_DOWN, 1026}, {VK_UP, 1018}, {VK_LEFT, 1019}};
    for (const auto& m : moves) {
        fwtest::PressNavigationKey(dlg, m.key);
        EXPECT_EQ(fwtest::FocusedControl(hwnd), GetDlgItem(hwnd, static_cast<int>(m.focus))) << m.focus;
    }
    EXPECT_FALSE(dlg.m_bModified);
    fwtest::PressKey(dlg, VK_SPACE);
    EXPECT_EQ(CheckedBoxes(hwnd), std::set<unsigned>{1019});
    EXPECT_TRUE(dlg.m_bModified);
    EXPECT_EQ(Title(), L"TolkaOption*");
    fwtest::PressKey(dlg, VK_TAB);
    unsigned left = static_cast<unsigned>(GetDlgCtrlID(fwtest::FocusedControl(hwnd)));
    EXPECT_EQ(AllBoxes().count(left), 0u) << left;

    std::vector<COLORREF> named = GridPixels(hwnd);
    ASSERT_GT(std::set<COLORREF>(named.begin(), named.end()).size(), 1u);  // something was drawn
    for (unsigned id : AllBoxes())
        SetDlgItemTextW(hwnd, static_cast<int>(id), L"");
    EXPECT_EQ(GridPixels(hwnd), named);
}

// The window's UI state kept as Windows keeps it (Wine's windows always show focus marks), focus
// marks hidden at first, as after a click: WM_CHANGEUISTATE sets or clears flags and tells the
// controls, WM_QUERYUISTATE answers.
struct WindowsUiState {
    static inline WORD flags = UISF_HIDEFOCUS;
    static inline WNDPROC original = nullptr;
    static LRESULT CALLBACK Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_QUERYUISTATE)
            return flags;
        if (msg != WM_CHANGEUISTATE)
            return CallWindowProcW(original, dlg, msg, wParam, lParam);
        const WORD before = flags;
        flags = static_cast<WORD>(LOWORD(wParam) == UIS_SET ? flags | HIWORD(wParam) : flags & ~HIWORD(wParam));
        for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr && flags != before; c = GetWindow(c, GW_HWNDNEXT))
            SendMessageW(c, WM_UPDATEUISTATE, wParam, 0);
        return 0;
    }
    explicit WindowsUiState(HWND dlg) : hwnd(dlg) {
        flags = UISF_HIDEFOCUS;
        original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(dlg, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    ~WindowsUiState() { SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original)); }
    HWND hwnd;
};

RECT ControlRect(HWND dlg, unsigned id) {
    RECT r;
    GetWindowRect(GetDlgItem(dlg, static_cast<int>(id)), &r);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A box focused by the keyboard has a focus rectangle, its port's label and pin's heading marked;
// nothing shows while focus marks are hidden or when the focus leaves the grid. The visit is made
// again when another test program's window took the activation, and the focus, meanwhile.
TEST_F(OptionWindow, GridFocusMarkedWhileTheKeyboardIsInUse) {
    WindowsUiState uiState(hwnd);
    std::vector<POINT> byClick, byKeyboard, drawnAgain, afterLeaving;
    HWND afterArrow = nullptr;
    for (int attempt = 0; attempt < 5; ++attempt) {
        SetForegroundWindow(hwnd);
        SendMessageW(hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
        SetFocus(GetDlgItem(hwnd, ID_WRITE_DEVICE));
        const std::vector<COLORREF> unfocused = GridPixels(hwnd);
        SetFocus(GetDlgItem(hwnd, 1018));  // P2 bit 6
        byClick = GridChanges(hwnd, unfocused);
        fwtest::PressNavigationKey(dlg, VK_RIGHT);
        afterArrow = fwtest::FocusedControl(hwnd);
        byKeyboard = GridChanges(hwnd, unfocused);
        drawnAgain = GridChanges(hwnd, unfocused);
        SetFocus(GetDlgItem(hwnd, ID_WRITE_DEVICE));
        afterLeaving = GridChanges(hwnd, unfocused);
        MSG sent;
        PeekMessageW(&sent, nullptr, 0, 0, PM_NOREMOVE);  // takes in the news of a lost activation
        if (GetActiveWindow() == hwnd)
            break;
    }
    EXPECT_TRUE(byClick.empty());
    // The right arrow moves to P2 bit 5: the marks stand where the box, its row label and its
    // pin heading are, and nowhere else, the same when the window is drawn again.
    ASSERT_EQ(afterArrow, GetDlgItem(hwnd, 1017));
    const unsigned bit = core::PortBit(*core::FindPortCell(core::PortGroup::Direction, core::Port::P2), 5);
    RECT box = ControlRect(hwnd, 1017);
    InflateRect(&box, 1, 1);
    const RECT marks[] = {box, ControlRect(hwnd, PortRowLabelId(bit)), ControlRect(hwnd, PinHeadingId(bit))};
    for (const RECT& m : marks)
        EXPECT_TRUE(std::any_of(byKeyboard.begin(), byKeyboard.end(), [&](POINT p) { return PtInRect(&m, p); }));
    for (POINT p : byKeyboard)
        EXPECT_TRUE(std::any_of(std::begin(marks), std::end(marks), [&](const RECT& m) { return PtInRect(&m, p); }));
    EXPECT_EQ(drawnAgain.size(), byKeyboard.size());
    EXPECT_TRUE(afterLeaving.empty());
}

// --- Grid, title and modified flag ---------------------------------------------------------------

TEST_F(OptionWindow, EveryGridClickMarksTheWindowOnce) {
    for (unsigned id : AllBoxes()) {
        SCOPED_TRACE(id);
        ASSERT_EQ(Title(), L"TolkaOption");
        fwtest::Click(hwnd, id);
        fwtest::Click(hwnd, id);  // undone, still modified
        EXPECT_EQ(Title(), L"TolkaOption*");
        EXPECT_TRUE(dlg.m_bModified);
        user.Answer(IDOK);
        fwtest::Command(hwnd, ID_FILE_NEW);
    }
}

// --- Files ------------------------------------------------------------------------------------

// A save writes the canonical image of the grid: a clear grid, then the boxes clicked.
TEST_F(OptionWindow, SaveWritesTheCanonicalImage) {
    std::wstring path = TempPath(L"board1.topt");
    user.ChooseFile(path);
    fwtest::Command(hwnd, IDC_FILE_SAVE);
    EXPECT_EQ(ReadFileBytes(path), kAllClear);
    ClickBoxes(kExampleBoxes);
    fwtest::Command(hwnd, IDC_FILE_SAVE);
    EXPECT_EQ(ReadFileBytes(path), kExample);
}

// The editors' contract: closing, the start-up file, opening files, the frame's chores, and
// on a board (option_device_test.cpp) the connection's.
struct Option {
    using Window = CTolkaOptionDlg;
    static constexpr const wchar_t* kTitle = L"TolkaOption";
    static constexpr const wchar_t* kExtension = L".topt";
    static constexpr const wchar_t* kDiscardAndExit = L"編集中のファイルを破棄して終了しますか。";
    static constexpr UINT kOpenCommand = IDC_FILE_OPEN, kSaveCommand = IDC_FILE_SAVE;
    static std::vector<UINT> CloseCommands() { return {IDOK, IDCANCEL}; }
    static Bytes Sample() { return kExample; }
    static void Edit(HWND window) { fwtest::Click(window, 1084); }
    static bool ShowsSample(HWND window) { return CheckedBoxes(window) == kExampleBoxes; }
    static bool ShowsNothing(HWND window) { return CheckedBoxes(window).empty(); }
    static constexpr const wchar_t* kFilter = L"オプションファイル (*.topt)|*.topt||";
    static constexpr const wchar_t* kDiscardQuestion = L"編集中のファイルを破棄しますか。";
    static constexpr UINT kDiscardQuestionType = MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2;
    static constexpr const wchar_t* kAboutEntry = L"TolkaOption のﾊﾞｰｼﾞｮﾝ情報(&A)...";
    static constexpr const wchar_t* kAbout = L"TolkaOptionのﾊﾞｰｼﾞｮﾝ情報|Tolka Option|3, 0, 0, 2";
    static constexpr editortest::EditorIds kIds = {IDR_MAINFRAME,      ID_APP_ABOUT,       IDC_VERSION,
                                                   IDC_FLASHMODE_HELP, IDD_FLASHMODE_HELP, IDC_CONNECTION_SETTINGS,
                                                   ID_CONNECT,         ID_WRITE_DEVICE};
};

TEST(OptionEditor, KeepsTheEditorsContractOnABoard) {
    editortest::ExpectBoardContract<Option>();
}

// Bytes the window never writes are passed over; saved again, the file is the canonical
// image of what the grid shows.
TEST_F(OptionWindow, OpenPassesOverBytesTheGridDoesNotShow) {
    Bytes junk = kExample;
    junk[0] = 0x12, junk[1] = 0x34, junk[8] = 0xF5, junk[12] = 0xA0;  // P5: pins 0 and 2 only
    for (size_t i = 13; i < junk.size(); ++i)
        junk[i] = static_cast<uint8_t>(i);
    std::wstring path = TempPath(L"junk.topt");
    WriteFileBytes(path, junk);
    OpenFile(path);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(CheckedBoxes(hwnd), (std::set<unsigned>{1001, 1002, 1047, 1028, 1030}));
    fwtest::Command(hwnd, IDC_FILE_SAVE);
    uint8_t image[128];
    dlg.GetPortOptions(image);
    EXPECT_EQ(ReadFileBytes(path), Bytes(image, image + 128));
}

// --- The application ---------------------------------------------------------------------------

class AppWithoutSockets : public CEditorApp {
public:
    AppWithoutSockets() : CEditorApp(MakeEditor<CTolkaOptionDlg>, IDS_SOCKETS_INIT_FAILED) {}

protected:
    bool StartSockets() override { return false; }
};

TEST(OptionStartUp, WithoutSocketsNoWindowOpens) {
    fwtest::ScriptedUser user;
    AppWithoutSockets app;
    bool shown = false;
    fw::CDialog::ModalHookScope hook([&](fw::CDialog&) { shown = true; });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_FALSE(shown);
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, L"Windows ｿｹｯﾄの初期化に失敗しました。");
    EXPECT_EQ(user.messages[0].type, kOkWarning);
}

}  // namespace

// The editors' contract, each behaviour its own test.
namespace editortest {
INSTANTIATE_TYPED_TEST_SUITE_P(Option, EditorContract, Option);
}  // namespace editortest
