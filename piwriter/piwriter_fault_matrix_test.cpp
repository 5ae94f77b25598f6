// The writer's fault matrix under Wine: every device operation through the real window and
// the real DLLs, once on a healthy board and then once per call of its sequence with that
// call failing (varnet/fault_matrix_test_support.h). The matrix is printed; any rule broken fails the test.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/record.h"
#include "core/records_test_support.h"
#include "piwriter/piwritedlg.h"
#include "piwriter/resource.h"
#include "varnet/fault_matrix_window_test_support.h"

namespace {

using core::ToUtf8;
using faultmatrix::Run;
using faultmatrix::Verdict;
using testmatrix::WindowOperation;
using testrecords::RecordBytes;
using Bytes = std::vector<uint8_t>;

const wchar_t kVarnex[] = L"3aa4096d-2cc0-46dd-878a-88511d75ac78";
const wchar_t kOther[] = L"01234567-89ab-cdef-0123-456789abcdef";
const char kErasedNotWritten[] = "製品情報の領域は消去されています。もう一度書き込んでください。";
const char kBlankPanel[] = " |  |  | ";

std::string Join(std::initializer_list<std::string> parts) {
    std::string text;
    for (const std::string& part : parts)
        text += (&part == parts.begin() ? "" : " | ") + part;
    return text;
}

// What the panel must show for this flash: its newest valid record, or "Empty". The test
// records carry ASCII names, the same in every code page.
std::string PanelOf(const Bytes& flash) {
    for (uint32_t slot = 0x7F80; slot >= 0x7000; slot -= 0x80) {
        if (core::ReadSlotStatus(flash.data() + slot) == core::kSlotValid) {
            core::RecordFields fields = core::DecodeRecord(flash.data() + slot);
            return Join({ToUtf8(core::FormatUuidText(fields.uuid.data())), std::to_string(fields.number),
                         fields.productName, fields.makerName});
        }
    }
    return Join({"Empty", "Empty", "Empty", "Empty"});
}

std::map<std::string, std::string> DescribeWriter(CVarnPIWriteDlg& dlg) {
    HWND h = dlg.GetSafeHwnd();
    auto text = [&](UINT id) { return ToUtf8(fwtest::ItemText(h, id)); };
    return {
        {"connected", dlg.IsConnected() ? "yes" : "no"},
        {"buttons", std::string(IsWindowEnabled(GetDlgItem(h, IDC_CONNECT)) ? "connect" : "") +
                        (IsWindowEnabled(GetDlgItem(h, IDC_DISCONNECT)) ? "disconnect" : "")},
        {"panel", Join({text(IDC_CUR_UUID), text(IDC_CUR_NUMBER), text(IDC_CUR_PRODUCT_NAME), text(IDC_CUR_MAKER)})},
        {"editor", Join({text(IDC_UUID), text(IDC_NUMBER), text(IDC_PRODUCT_NAME), text(IDC_MAKER)})},
        {"title", ToUtf8(fwtest::Text(h))},
        {"modified", dlg.m_bModified ? "yes" : "no"},
    };
}

// Boards: the writer must never touch area 5, so it holds settings throughout.
void TwoRecords(testboard::VirtualBoard& board) {
    board.PutBytes(0x7000, RecordBytes(kOther, 1, "one"));
    board.PutBytes(0x7080, RecordBytes(kOther, 2, "two"));
    board.SetArea5(Bytes(128, 0x5A));
}

void FullArea(testboard::VirtualBoard& board) {
    for (uint32_t a = 0x7000; a <= 0x7F80; a += 0x80)
        board.PutBytes(a, RecordBytes(kOther, a, "full"));
    board.SetArea5(Bytes(128, 0x5A));
}

void Connect(HWND hwnd) {
    fwtest::Click(hwnd, IDC_CONNECT);
}

void CountUp(HWND hwnd) {
    SendDlgItemMessageW(hwnd, IDC_AUTO_INCREMENT, BM_SETCHECK, BST_CHECKED, 0);
}

void Write(HWND hwnd) {
    fwtest::Click(hwnd, IDC_WRITE_DEVICE);
}

void ReadIntoEditor(HWND hwnd) {
    fwtest::Click(hwnd, ID_READ_TO_EDITOR);
}

// Every device command of the writer, from the states that give it different sequences.
const WindowOperation kOperations[] = {
    {"connect", 0x80000000u, TwoRecords, nullptr, Connect},
    {"disconnect", 0x80000000u, TwoRecords, Connect, [](HWND h) { fwtest::Click(h, IDC_DISCONNECT); }},
    {"connection settings", 0x80000000u, TwoRecords, nullptr,
     [](HWND h) { fwtest::Command(h, IDC_CONNECTION_SETTINGS); }},
    {"read into the editor, not connected", 0x80000000u, TwoRecords, nullptr, ReadIntoEditor},
    {"read into the editor, connected", 0x80000000u, TwoRecords, Connect, ReadIntoEditor},
    {"read into the editor, connected, the panel unread", 0x80000000u, TwoRecords, Connect, ReadIntoEditor,
     "read_fail=all"},
    {"write, not connected, free slot", 0x80000000u, TwoRecords, CountUp, Write},
    {"write, connected, full area", 0x80000000u, FullArea,
     [](HWND h) {
         CountUp(h);
         Connect(h);
     },
     Write},
    {"write the Varnex kind to a LAN board", 0x40000000u, TwoRecords,
     [](HWND h) {
         fwtest::Type(h, IDC_UUID, kVarnex);
         Connect(h);
     },
     Write},
    {"erase, connected", 0x80000000u, TwoRecords, Connect, [](HWND h) { fwtest::Command(h, ID_ERASE_DEVICE); }},
};

// The successful changing calls of a log, in order.
std::vector<std::string> ChangesMade(const Run& run) {
    std::vector<std::string> made;
    for (const faultmatrix::LoggedCall& call : faultmatrix::ParseCalls(run.log)) {
        if (faultmatrix::Changes(call.Function()) && !faultmatrix::Failed(call))
            made.push_back(call.Function());
    }
    return made;
}

bool ErasedThenWrote(const std::vector<std::string>& made) {
    auto erase = std::find(made.begin(), made.end(), "Varn_FlshErase");
    return erase != made.end() && std::find(erase, made.end(), "Varn_FlshWrite") != made.end();
}

// The writer's own rules: the panel shows the board or nothing, the editor holds what it
// held or what the clean run left, the buttons follow the connection, the title marks edits,
// and a write that erased the full area and then failed says that the area is empty now.
void WriterRule(const Run& clean, const Run& faulty, Verdict& verdict) {
    const auto& after = faulty.after.window;
    const std::string truth = PanelOf(faulty.after.flash);
    if (after.at("panel") == truth)
        verdict.notes.push_back("panel shows the board");
    else if (after.at("panel") == kBlankPanel)
        verdict.notes.push_back("panel blank");
    else
        verdict.problems.push_back("the panel shows " + after.at("panel") + " but the board holds " + truth);

    if (after.at("editor") != faulty.before.window.at("editor") &&
        after.at("editor") != clean.after.window.at("editor"))
        verdict.problems.push_back("the editor holds " + after.at("editor"));
    if (after.at("buttons") != (after.at("connected") == "yes" ? "disconnect" : "connect"))
        verdict.problems.push_back("the buttons offer " + after.at("buttons"));
    const std::string& title = after.at("title");
    if ((!title.empty() && title.back() == '*') != (after.at("modified") == "yes"))
        verdict.problems.push_back("the title " + title + " does not match the edited flag");

    if (ErasedThenWrote(ChangesMade(clean))) {
        std::vector<std::string> made = ChangesMade(faulty);
        if (!made.empty() && made.back() == "Varn_FlshErase") {
            bool said = false;
            for (const faultmatrix::Shown& m : faulty.messages)
                said = said || m.text.find(kErasedNotWritten) != std::string::npos;
            if (!said)
                verdict.problems.push_back("the area was erased and nothing written, and the user is not told");
        }
    }
}

class WriterFaultMatrix : public ::testing::TestWithParam<WindowOperation> {};

TEST_P(WriterFaultMatrix, EveryCallFailingInTurn) {
    testmatrix::WindowRuns<CVarnPIWriteDlg> runs(GetParam(), L"fault matrix.tpi", RecordBytes(kOther, 5, "file"),
                                                 IDC_FILE_OPEN, DescribeWriter);
    testmatrix::CheckOperation(runs, GetParam(), WriterRule);
}

INSTANTIATE_TEST_SUITE_P(Writer, WriterFaultMatrix, ::testing::ValuesIn(kOperations), testmatrix::TestName);

}  // namespace
