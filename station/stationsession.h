// The operator's session at a station, apart from any window: who is at the station, whether
// a board is being written, what the last board came to, the counters of this run and the
// last boards. The window only asks it and shows what it says. Portable: no <windows.h>.
//
//   station::StationSession session(file.operatorRequired);
//   session.ConfirmOperator(L"A-1234");               // the scanner's text and Enter
//   if (session.StartBoard()) ...run the cycle off the window's thread...
//   session.Step(core::LineStep::Writing);
//   session.FinishBoard(result, L"08:15:02");
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "core/linecycle.h"

namespace station {

// What became of one board, for the operator.
struct StationResult {
    bool pass = false;
    uint32_t number = 0;             // the Number written; on a failure the one the board carries, or 0
    std::wstring cause;              // a failure in words, with what to do
    std::optional<uint32_t> next{};  // the Number the ledger would give next, looked at after the board
};

// The station's ledger looked at before a board: the Number it would give next (a file
// ledger; another station may take it first), or why it cannot be used.
struct LedgerLook {
    bool usable = true;
    std::optional<uint32_t> next;
    std::wstring cause;
};

// One board's cycle, whatever does it (the board and the ledger, or a test's script). Run may
// take seconds: the window calls it off its own thread; onStep is called on that thread too.
class BoardCycle {
public:
    virtual ~BoardCycle() = default;
    virtual StationResult Run(const std::wstring& operatorId, const std::function<void(core::LineStep)>& onStep) = 0;
    // The ledger before the first board; may take as long as a ledger's time-out.
    virtual LedgerLook Look() = 0;
};

enum class SessionState { NeedOperator, Ready, Running, Pass, Fail };

// A board of the list: when it finished, its Number, whether it passed.
struct BoardLine {
    std::wstring time;
    uint32_t number = 0;
    bool pass = false;
};

constexpr size_t kMaxOperatorChars = 64;
constexpr size_t kBoardsShown = 20;

// 1 to 64 characters, none of them a control character (a scanner's stray tab or CR).
bool IsOperatorId(const std::wstring& text);

class StationSession {
public:
    explicit StationSession(bool operatorRequired);

    SessionState State() const { return m_state; }
    const std::wstring& OperatorId() const { return m_operator; }
    core::LineStep CurrentStep() const { return m_step; }
    const StationResult& LastResult() const { return m_last; }

    // The operator's ID as typed or scanned; false (and nothing changes) when it is no ID or
    // when no operator is asked for now.
    bool ConfirmOperator(const std::wstring& text);
    // Enter: the next board starts unless one is being written or an operator is still asked
    // for. A key pressed during a write is dropped here, never kept for a second board.
    bool StartBoard();
    // The step the running cycle reached.
    void Step(core::LineStep step);
    // The running board's result, finished at `time` (as the window shows times).
    void FinishBoard(const StationResult& result, const std::wstring& time);

    uint32_t Passed() const { return m_passed; }
    uint32_t Failed() const { return m_failed; }
    // Passed boards as a percentage of finished ones, rounded down; 0 before the first board.
    uint32_t YieldPercent() const;
    // The last boards, newest first, at most kBoardsShown.
    const std::deque<BoardLine>& Boards() const { return m_boards; }

private:
    SessionState m_state;
    std::wstring m_operator;
    core::LineStep m_step = core::LineStep::Connecting;
    StationResult m_last;
    uint32_t m_passed = 0;
    uint32_t m_failed = 0;
    std::deque<BoardLine> m_boards;
};

}  // namespace station
