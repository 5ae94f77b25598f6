// The fault matrix: every device operation of an editor is run once on a healthy virtual
// board, and then once for each call of the sequence that run left in calls.log, with that
// call made to fail (board.ini fail_call=N). Each faulty run is held to rules that need no
// hand-written case per call, so a new operation or a new call is covered as it comes:
//
//   - the run is the clean run up to the failed call;
//   - a failure the program retried away ends exactly as the clean run did;
//   - otherwise the user is told (a warning of the program, or the library's own message
//     for a failed open), no success of the clean run that lay after the failure is shown,
//     and nothing more is written or erased after it;
//   - the board holds exactly what the calls that succeeded did; the user's files are
//     untouched; every handle opened is closed unless the window stays connected;
//   - and whatever the editor adds (the writer: the panel shows the board or nothing).
//
// The runs themselves are made by the caller (through the real window under Wine, or
// natively through core operations on vboard::ModelLink). Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace faultmatrix {

// One library call as calls.log shows it.
struct LoggedCall {
    std::string call;             // "Varn_FlshRead(h1, 0x7F80)"
    std::string result;           // "0", "4", "h1", "null", "0x80000000"; empty for a call without one
    bool libraryMessage = false;  // the library showed a message during the call

    std::string Function() const { return call.substr(0, call.find('(')); }
};

// The calls of a log, in order; the other lines only mark their calls.
std::vector<LoggedCall> ParseCalls(const std::vector<std::string>& logLines);

// Whether fail_call can make this call fail: calls without a result to fail cannot.
bool CanFail(const std::string& function);
// Whether the call's result says it failed.
bool Failed(const LoggedCall& call);
// Whether a successful call of this kind changes what the board holds.
bool Changes(const std::string& function);

// A message box of the program: its text (UTF-8), its type flags, and how many calls the
// log held when it appeared.
struct Shown {
    std::string text;
    unsigned type = 0;
    size_t afterCalls = 0;
};

// What can be seen of the board, the window and the user's files at one moment.
struct State {
    std::vector<uint8_t> flash;
    std::optional<std::vector<uint8_t>> area5;
    std::map<std::string, std::string> window;  // named, editor-defined ("connected" is required: "yes"/"no")
    std::map<std::string, std::vector<uint8_t>> files;
};

struct Run {
    State before;
    State after;
    std::vector<std::string> log;
    std::vector<Shown> messages;
};

// What the rules make of a faulty run: short notes for the table, and the rules broken.
struct Verdict {
    bool retried = false;  // the program repeated the failed call, and it passed
    std::vector<std::string> notes;
    std::vector<std::string> problems;
};

// The editor's own rules and notes for a faulty run.
using EditorRule = std::function<void(const Run& clean, const Run& faulty, Verdict& verdict)>;

struct Cell {
    size_t number = 0;  // 1-based position of the call in the clean run
    std::string call;
    bool canFail = false;
    std::string outcome;
    std::vector<std::string> problems;
};

struct Row {
    std::string operation;
    std::vector<std::string> cleanProblems;
    std::vector<Cell> cells;
};

// Runs an operation: failCall 0 is the clean run; N makes the Nth call fail.
using Runner = std::function<Run(uint32_t failCall)>;

Row RunOperation(const std::string& name, const Runner& run, const EditorRule& editorRule);

// The rules every run obeys, clean or not.
void CheckAnyRun(const Run& run, std::vector<std::string>& problems);
// The rules of the faulty run that failed clean call `index` (0-based), the editor's too.
Verdict CheckFaultyRun(const Run& clean, const Run& faulty, size_t index, const EditorRule& editorRule);

// operation x call -> outcome, one block per operation, problems marked "!!".
std::string FormatMatrix(const std::vector<Row>& rows);
size_t CountProblems(const std::vector<Row>& rows);

// The first line of a message, for the table.
std::string FirstLine(const std::string& text);

}  // namespace faultmatrix
