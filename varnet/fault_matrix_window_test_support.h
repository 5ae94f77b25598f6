// For the editors' fault-matrix tests under Wine: runs one device operation through the real
// window on a virtual board reset for each run, with the user's file open in the editor, and
// collects what varnet/fault_matrix_test_support.h checks (board files, window state, messages, call log).
//
//   testmatrix::WindowRuns<CVarnPIWriteDlg> runs(operation, file, IDC_FILE_OPEN, DescribeWriter);
//   faultmatrix::Row row = faultmatrix::RunOperation(operation.name,
//       [&](uint32_t n) { return runs.Make(n); }, WriterRule);
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/utf8.h"
#include "framework/dialog_test_support.h"
#include "varnet/call_log.h"
#include "varnet/fault_matrix_test_support.h"
#include "varnet/board_test_support.h"

namespace testmatrix {

// One device operation: the board and the window before it, and the command.
struct WindowOperation {
    const char* name;
    uint32_t interfaceType;
    std::function<void(testboard::VirtualBoard&)> board;  // contents of the healthy board
    std::function<void(HWND)> prepare;                    // runs on the healthy board
    std::function<void(HWND)> act;
    const char* faultsWhilePreparing = nullptr;  // [faults] lines for the preparation only
};

inline void PrintTo(const WindowOperation& op, std::ostream* os) {
    *os << op.name;
}

inline std::string TestName(const ::testing::TestParamInfo<WindowOperation>& info) {
    std::string name;
    for (const char* c = info.param.name; *c; ++c)
        name += isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

// The runs of one operation of an editor whose window is Dialog. describe names what the
// window shows; "connected" ("yes"/"no") is required.
template <typename Dialog>
class WindowRuns {
public:
    using Describe = std::function<std::map<std::string, std::string>(Dialog&)>;

    WindowRuns(const WindowOperation& op,
               const std::wstring& fileName,
               std::vector<uint8_t> fileBytes,
               UINT openCommand,
               Describe describe)
        : op_(op),
          fileName_(fileName),
          file_(fwtest::TempPath(fileName)),
          fileBytes_(std::move(fileBytes)),
          openCommand_(openCommand),
          describe_(std::move(describe)) {}

    faultmatrix::Run Make(uint32_t failCall) {
        board_.Reset(op_.interfaceType);
        if (op_.board)
            op_.board(board_);
        WriteUserFile();

        fwtest::ScriptedUser user;
        Dialog dlg;
        if (!dlg.Create())
            ADD_FAILURE() << "the window was not created";
        HWND hwnd = dlg.GetSafeHwnd();
        user.ChooseFile(file_);
        fwtest::Click(hwnd, openCommand_);
        if (op_.faultsWhilePreparing)
            board_.Configure(op_.interfaceType, op_.faultsWhilePreparing);
        if (op_.prepare)
            op_.prepare(hwnd);
        board_.Configure(op_.interfaceType);

        faultmatrix::Run run;
        board_.ClearCalls();
        if (failCall != 0)
            board_.Configure(op_.interfaceType, "fail_call=" + std::to_string(failCall));
        run.before = Snapshot(dlg);
        // The user answers every question with Yes or OK, so that the operation goes on to
        // the board.
        {
            fw::MessageBoxHookScope answers([&](const std::wstring& text, UINT type, const std::wstring&) {
                run.messages.push_back({core::ToUtf8(text), type, CallsSoFar()});
                return (type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
            });
            op_.act(hwnd);
        }
        run.after = Snapshot(dlg);
        run.log = board_.Calls();
        return run;
    }

private:
    size_t CallsSoFar() const {
        size_t calls = 0;
        for (const std::string& line : board_.Calls())
            calls += vboard::IsCallLine(line) ? 1u : 0u;
        return calls;
    }

    faultmatrix::State Snapshot(Dialog& dlg) const {
        faultmatrix::State state;
        state.flash = board_.Flash();
        state.area5 = board_.Area5();
        state.window = describe_(dlg);
        state.files[core::ToUtf8(fileName_)] = ReadUserFile();
        return state;
    }

    void WriteUserFile() const {
        HANDLE file = CreateFileW(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, fileBytes_.data(), static_cast<DWORD>(fileBytes_.size()), &written, nullptr);
        CloseHandle(file);
    }

    std::vector<uint8_t> ReadUserFile() const {
        std::vector<uint8_t> bytes(4096);
        HANDLE file = CreateFileW(file_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD got = 0;
        if (file == INVALID_HANDLE_VALUE ||
            !ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
            got = 0;
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        bytes.resize(got);
        return bytes;
    }

    const WindowOperation& op_;
    const std::wstring fileName_;
    const std::wstring file_;
    const std::vector<uint8_t> fileBytes_;
    const UINT openCommand_;
    const Describe describe_;
    testboard::VirtualBoard board_;
};

// Runs the matrix of one operation, prints it, and fails the test on any rule broken.
template <typename Dialog>
void CheckOperation(WindowRuns<Dialog>& runs, const WindowOperation& op, const faultmatrix::EditorRule& rule) {
    std::vector<faultmatrix::Row> rows = {faultmatrix::RunOperation(
        op.name, [&](uint32_t failCall) { return runs.Make(failCall); }, rule)};
    const std::string table = faultmatrix::FormatMatrix(rows);
    std::fwrite(table.data(), 1, table.size(), stdout);
    std::fflush(stdout);
    EXPECT_EQ(faultmatrix::CountProblems(rows), 0u) << "see the lines marked !! in the matrix above";
}

}  // namespace testmatrix
