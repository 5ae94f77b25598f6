// The option editor's fault matrix under Wine: every device operation through the real
// window and the real DLLs, once on a healthy board and then once per call of its sequence
// with that call failing (varnet/fault_matrix_test_support.h). The matrix is printed; any rule broken
// fails the test.
#include <gtest/gtest.h>

#include "option/optiondlg.h"
#include "option/resource.h"
#include "varnet/fault_matrix_window_test_support.h"

namespace {

using faultmatrix::Run;
using faultmatrix::Verdict;
using testmatrix::WindowOperation;
using Bytes = std::vector<uint8_t>;

// A port option image with a pattern in every port byte, bytes 0-1 zero, the rest 0xFF.
Bytes Image(uint8_t seed) {
    Bytes image(128, 0xFF);
    image[0] = image[1] = 0x00;
    for (size_t i = 2; i < 13; ++i)
        image[i] = static_cast<uint8_t>(seed * i);
    image[8] &= 0x0F;  // P5 has pins 0-3 only
    image[12] &= 0x0F;
    return image;
}

std::string Hex(const Bytes& bytes) {
    std::string text;
    char two[4];
    for (uint8_t b : bytes) {
        std::snprintf(two, sizeof two, "%02X", b);
        text += two;
    }
    return text;
}

std::map<std::string, std::string> DescribeOption(CTolkaOptionDlg& dlg) {
    HWND h = dlg.GetSafeHwnd();
    auto enabled = [&](int id) { return IsWindowEnabled(GetDlgItem(h, id)) != 0; };
    Bytes grid(128);
    dlg.GetPortOptions(grid.data());
    return {
        {"connected", dlg.IsConnected() ? "yes" : "no"},
        {"buttons", std::string(enabled(ID_CONNECT) ? "connect" : "") + (enabled(ID_DISCONNECT) ? "disconnect" : "") +
                        (enabled(ID_PRODUCT_INFO) ? "+info" : "")},
        {"grid", Hex(Bytes(grid.begin() + 2, grid.begin() + 13))},
        {"title", core::ToUtf8(fwtest::Text(h))},
    };
}

// The board holds other port options than the user's file, and a product-information record.
void Board(testboard::VirtualBoard& board) {
    board.SetArea5(Image(0x13));
    Bytes record(128, 0x00);
    record[24] = 'p';
    board.PutBytes(0x7000, record);
}

void Connect(HWND hwnd) {
    fwtest::Click(hwnd, ID_CONNECT);
}

void Read(HWND hwnd) {
    fwtest::Click(hwnd, ID_READ_DEVICE);
}

void Write(HWND hwnd) {
    fwtest::Click(hwnd, ID_WRITE_DEVICE);
}

// Every device command of the option editor, from the states that give it different sequences.
const WindowOperation kOperations[] = {
    {"connect", 0x80000000u, Board, nullptr, Connect},
    {"disconnect", 0x80000000u, Board, Connect, [](HWND h) { fwtest::Click(h, ID_DISCONNECT); }},
    {"connection settings", 0x80000000u, Board, nullptr, [](HWND h) { fwtest::Command(h, IDC_CONNECTION_SETTINGS); }},
    {"read from the device, not connected", 0x80000000u, Board, nullptr, Read},
    {"read from the device, connected", 0x80000000u, Board, Connect, Read},
    {"write to the device, not connected", 0x80000000u, Board, nullptr, Write},
    {"write to the device, connected", 0x80000000u, Board, Connect, Write},
    {"erase, connected", 0x80000000u, Board, Connect, [](HWND h) { fwtest::Command(h, ID_ERASE_DEVICE); }},
    {"product information, connected", 0x80000000u, Board, Connect, [](HWND h) { fwtest::Click(h, ID_PRODUCT_INFO); }},
};

// The option editor's own rules: the buttons follow the connection, and no failure changes
// the grid or the file state (the title).
void OptionRule(const Run&, const Run& faulty, Verdict& verdict) {
    const auto& after = faulty.after.window;
    const std::string expected = after.at("connected") == "yes" ? "disconnect+info" : "connect";
    if (after.at("buttons") != expected)
        verdict.problems.push_back("the buttons offer " + after.at("buttons"));
    if (verdict.retried)
        return;
    for (const char* item : {"grid", "title"}) {
        if (after.at(item) != faulty.before.window.at(item))
            verdict.problems.push_back(std::string("the failure changed the ") + item + " to " + after.at(item));
    }
}

class OptionFaultMatrix : public ::testing::TestWithParam<WindowOperation> {};

TEST_P(OptionFaultMatrix, EveryCallFailingInTurn) {
    testmatrix::WindowRuns<CTolkaOptionDlg> runs(GetParam(), L"fault matrix.topt", Image(0x29), IDC_FILE_OPEN,
                                                 DescribeOption);
    testmatrix::CheckOperation(runs, GetParam(), OptionRule);
}

INSTANTIATE_TEST_SUITE_P(Option, OptionFaultMatrix, ::testing::ValuesIn(kOperations), testmatrix::TestName);

}  // namespace
