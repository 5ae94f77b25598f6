// The writer's fault matrix under Wine: every device operation through the real window and
// the real DLLs, once on a healthy board and then once per call of its sequence with that
// call failing (varnet/fault_matrix.h). The matrix is printed; any rule broken fails the test.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "core/record.h"
#include "framework/test_support.h"
#include "piwriter/piwritedlg.h"
#include "piwriter/resource.h"
#include "varnet/call_log.h"
#include "varnet/fault_matrix.h"
#include "varnet/test_board.h"

namespace {

using faultmatrix::Run;
using faultmatrix::State;
using faultmatrix::Verdict;
using Bytes = std::vector<uint8_t>;

const wchar_t kVarnex[] = L"3aa4096d-2cc0-46dd-878a-88511d75ac78";
const wchar_t kOther[] = L"01234567-89ab-cdef-0123-456789abcdef";
const char kErasedNotWritten[] = "製品情報の領域は消去されています。もう一度書き込んでください。";
const char kBlankPanel[] = " |  |  | ";

std::string Utf8(const std::wstring& text) {
    if (text.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], n, nullptr, nullptr);
    return utf8;
}

Bytes Record(const wchar_t* uuid, uint32_t number, const std::string& name) {
    core::RecordFields fields;
    core::ParseUuidText(uuid, fields.uuid);
    fields.number = number;
    fields.productName = name;
    fields.makerName = "maker";
    core::RecordImage image = *core::EncodeRecord(fields);
    return Bytes(image.begin(), image.end());
}

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
            return Join({Utf8(core::FormatUuidText(fields.uuid.data())), std::to_string(fields.number),
                         fields.productName, fields.makerName});
        }
    }
    return Join({"Empty", "Empty", "Empty", "Empty"});
}

// One device operation: the board and the window before it, and the command.
struct Operation {
    const char* name;
    uint32_t interfaceType;
    std::function<void(testboard::VirtualBoard&)> board;
    std::function<void(HWND)> prepare;  // runs on the healthy board
    std::function<void(HWND)> act;
};

void PrintTo(const Operation& op, std::ostream* os) {
    *os << op.name;
}

void FillArea(testboard::VirtualBoard& board) {
    for (uint32_t a = 0x7000; a <= 0x7F80; a += 0x80)
        board.PutBytes(a, Record(kOther, a, "full"));
}

void TwoRecords(testboard::VirtualBoard& board) {
    board.PutBytes(0x7000, Record(kOther, 1, "one"));
    board.PutBytes(0x7080, Record(kOther, 2, "two"));
}

void Connect(HWND hwnd) {
    fwtest::Click(hwnd, IDC_CONNECT);
}

void CountUp(HWND hwnd) {
    SendDlgItemMessageW(hwnd, IDC_AUTO_INCREMENT, BM_SETCHECK, BST_CHECKED, 0);
}

const Operation kOperations[] = {
    {"connect", 0x80000000u, TwoRecords, nullptr, Connect},
    {"disconnect", 0x80000000u, TwoRecords, Connect, [](HWND h) { fwtest::Click(h, IDC_DISCONNECT); }},
    {"connection settings", 0x80000000u, nullptr, nullptr,
     [](HWND h) { fwtest::Command(h, IDC_CONNECTION_SETTINGS); }},
    {"read into the editor, not connected", 0x80000000u, TwoRecords, nullptr,
     [](HWND h) { fwtest::Click(h, ID_READ_TO_EDITOR); }},
    {"read into the editor, connected", 0x80000000u, TwoRecords, Connect,
     [](HWND h) { fwtest::Click(h, ID_READ_TO_EDITOR); }},
    {"write, not connected, free slot", 0x80000000u, TwoRecords, CountUp,
     [](HWND h) { fwtest::Click(h, IDC_WRITE_DEVICE); }},
    {"write, connected, full area", 0x80000000u, FillArea,
     [](HWND h) {
         CountUp(h);
         Connect(h);
     },
     [](HWND h) { fwtest::Click(h, IDC_WRITE_DEVICE); }},
    {"write the Varnex kind to a LAN board", 0x40000000u, TwoRecords,
     [](HWND h) {
         fwtest::Type(h, IDC_UUID, kVarnex);
         Connect(h);
     },
     [](HWND h) { fwtest::Click(h, IDC_WRITE_DEVICE); }},
    {"erase, connected", 0x80000000u, TwoRecords, Connect, [](HWND h) { fwtest::Command(h, ID_ERASE_DEVICE); }},
};

// The writer and its board for the runs of one operation.
class WriterMatrix {
public:
    explicit WriterMatrix(const Operation& op) : op_(op), file_(fwtest::TempPath(L"fault matrix.tpi")) {}

    Run Make(uint32_t failCall) {
        board_.Reset(op_.interfaceType);
        if (op_.board)
            op_.board(board_);
        board_.SetArea5(Bytes(128, 0x5A));  // the writer must never touch it
        WriteUserFile(Record(kOther, 5, "file"));

        fwtest::ScriptedUser user;
        CVarnPIWriteDlg dlg;
        if (!dlg.Create())
            ADD_FAILURE() << "the writer window was not created";
        HWND hwnd = dlg.GetSafeHwnd();
        user.ChooseFile(file_);
        fwtest::Click(hwnd, IDC_FILE_OPEN);
        if (op_.prepare)
            op_.prepare(hwnd);

        Run run;
        board_.ClearCalls();
        if (failCall != 0)
            board_.Configure(op_.interfaceType, "fail_call=" + std::to_string(failCall));
        run.before = Snapshot(dlg);
        // The user answers every question with Yes or OK, so that the operation goes on to
        // the board.
        fw::SetMessageBoxHook([&](const std::wstring& text, UINT type, const std::wstring&) {
            run.messages.push_back({Utf8(text), type, CallsSoFar()});
            return (type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
        });
        op_.act(hwnd);
        fw::SetMessageBoxHook(nullptr);
        run.after = Snapshot(dlg);
        run.log = board_.Calls();
        return run;
    }

private:
    size_t CallsSoFar() const {
        size_t calls = 0;
        for (const std::string& line : board_.Calls())
            calls += vboard::IsCallLine(line) ? 1 : 0;
        return calls;
    }

    State Snapshot(CVarnPIWriteDlg& dlg) const {
        HWND h = dlg.GetSafeHwnd();
        auto text = [&](UINT id) { return Utf8(fwtest::ItemText(h, id)); };
        State state;
        state.flash = board_.Flash();
        state.area5 = board_.Area5();
        state.window["connected"] = dlg.m_hDevice ? "yes" : "no";
        state.window["buttons"] = std::string(IsWindowEnabled(GetDlgItem(h, IDC_CONNECT)) ? "connect" : "") +
                                  (IsWindowEnabled(GetDlgItem(h, IDC_DISCONNECT)) ? "disconnect" : "");
        state.window["panel"] =
            Join({text(IDC_CUR_UUID), text(IDC_CUR_NUMBER), text(IDC_CUR_PRODUCT_NAME), text(IDC_CUR_MAKER)});
        state.window["editor"] = Join({text(IDC_UUID), text(IDC_NUMBER), text(IDC_PRODUCT_NAME), text(IDC_MAKER)});
        state.window["title"] = Utf8(fwtest::Text(h));
        state.window["modified"] = dlg.m_bModified ? "yes" : "no";
        state.files["fault matrix.tpi"] = ReadUserFile();
        return state;
    }

    void WriteUserFile(const Bytes& bytes) const {
        HANDLE file = CreateFileW(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }

    Bytes ReadUserFile() const {
        Bytes bytes(4096);
        HANDLE file = CreateFileW(file_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD got = 0;
        if (file == INVALID_HANDLE_VALUE || !ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
            got = 0;
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        bytes.resize(got);
        return bytes;
    }

    const Operation& op_;
    const std::wstring file_;
    testboard::VirtualBoard board_;
};

// The successful changing calls of a log, in order ("Varn_FlshErase(h1, 128)", ...).
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

    if (after.at("editor") != faulty.before.window.at("editor") && after.at("editor") != clean.after.window.at("editor"))
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

class WriterFaultMatrix : public ::testing::TestWithParam<Operation> {};

TEST_P(WriterFaultMatrix, EveryCallFailingInTurn) {
    WriterMatrix matrix(GetParam());
    std::vector<faultmatrix::Row> rows = {faultmatrix::RunOperation(
        GetParam().name, [&](uint32_t failCall) { return matrix.Make(failCall); }, WriterRule)};
    const std::string table = faultmatrix::FormatMatrix(rows);
    std::fwrite(table.data(), 1, table.size(), stdout);
    std::fflush(stdout);
    EXPECT_EQ(faultmatrix::CountProblems(rows), 0u) << "see the lines marked !! in the matrix above";
}

std::string OperationName(const ::testing::TestParamInfo<Operation>& info) {
    std::string name;
    for (const char* c = info.param.name; *c; ++c)
        name += isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Writer, WriterFaultMatrix, ::testing::ValuesIn(kOperations), OperationName);

}  // namespace
