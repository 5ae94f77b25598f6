// The operator's session: who may start a board, what a key during a write does, the counters
// and the list of the last boards.
#include <gtest/gtest.h>

#include <string>

#include "station/stationsession.h"

namespace station {
namespace {

enum class Act { Operator, Enter, Pass, Fail };

TEST(StationSession, AnOperatorRunsBoardsThatPassAndFail) {
    using S = SessionState;
    struct Row {
        Act act;
        std::wstring text;  // the operator's ID typed; a board's Number for Pass and Fail
        bool accepted;
        S state;
        uint32_t passed, failed, yield;
    } const rows[] = {
        {Act::Enter, L"", false, S::NeedOperator, 0, 0, 0},  // no board before an operator
        {Act::Operator, L"", false, S::NeedOperator, 0, 0, 0},
        {Act::Operator, L"A\t1", false, S::NeedOperator, 0, 0, 0},  // a scanner's stray tab
        {Act::Operator, std::wstring(65, L'x'), false, S::NeedOperator, 0, 0, 0},
        {Act::Operator, L"作業者 " + std::wstring(60, L'x'), true, S::Ready, 0, 0, 0},
        {Act::Operator, L"B-2", false, S::Ready, 0, 0, 0},  // confirmed once
        {Act::Enter, L"", true, S::Running, 0, 0, 0},
        {Act::Enter, L"", false, S::Running, 0, 0, 0},  // Enter during the write: dropped
        {Act::Pass, L"1001", true, S::Pass, 1, 0, 100},
        {Act::Pass, L"1002", false, S::Pass, 1, 0, 100},  // no board was running
        {Act::Enter, L"", true, S::Running, 1, 0, 100},
        {Act::Fail, L"0", true, S::Fail, 1, 1, 50},
        {Act::Enter, L"", true, S::Running, 1, 1, 50},
        {Act::Pass, L"1003", true, S::Pass, 2, 1, 66},  // rounded down
    };
    StationSession session(true);
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(row.act) << " " << row.text.size());
        const size_t boards = session.Boards().size();
        bool accepted = false;
        if (row.act == Act::Operator) {
            accepted = session.ConfirmOperator(row.text);
        } else if (row.act == Act::Enter) {
            accepted = session.StartBoard();
        } else {
            StationResult result{row.act == Act::Pass, static_cast<uint32_t>(std::stoul(row.text)), L""};
            session.FinishBoard(result, L"t" + row.text);
            accepted = session.Boards().size() > boards;
            if (accepted) {
                EXPECT_EQ(session.Boards().front().number, result.number);
                EXPECT_EQ(session.Boards().front().pass, result.pass);
                EXPECT_EQ(session.Boards().front().time, L"t" + row.text);
            }
        }
        EXPECT_EQ(accepted, row.accepted);
        EXPECT_EQ(session.State(), row.state);
        EXPECT_EQ(session.Passed(), row.passed);
        EXPECT_EQ(session.Failed(), row.failed);
        EXPECT_EQ(session.YieldPercent(), row.yield);
    }
    EXPECT_EQ(session.OperatorId().size(), 64u);
}

// Without an operator the station is ready at once; the 21st board pushes the first out.
TEST(StationSession, KeepsTheLastTwentyBoardsNewestFirst) {
    StationSession session(false);
    EXPECT_EQ(session.State(), SessionState::Ready);
    for (uint32_t n = 1; n <= 21; ++n) {
        ASSERT_TRUE(session.StartBoard());
        session.FinishBoard({n % 7 != 0, n, L""}, L"");
    }
    ASSERT_EQ(session.Boards().size(), kBoardsShown);
    EXPECT_EQ(session.Boards().front().number, 21u);
    EXPECT_EQ(session.Boards().back().number, 2u);
    EXPECT_EQ(session.Failed(), 3u);
    EXPECT_EQ(session.YieldPercent(), 85u);  // 18 of 21
}

}  // namespace
}  // namespace station
