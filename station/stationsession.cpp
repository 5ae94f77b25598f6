#include "station/stationsession.h"

namespace station {

bool IsOperatorId(const std::wstring& text) {
    if (text.empty() || text.size() > kMaxOperatorChars)
        return false;
    for (wchar_t c : text) {
        if (c < 0x20 || (c >= 0x7F && c < 0xA0))
            return false;
    }
    return true;
}

StationSession::StationSession(bool operatorRequired)
    : m_state(operatorRequired ? SessionState::NeedOperator : SessionState::Ready) {}

bool StationSession::ConfirmOperator(const std::wstring& text) {
    if (m_state != SessionState::NeedOperator || !IsOperatorId(text))
        return false;
    m_operator = text;
    m_state = SessionState::Ready;
    return true;
}

bool StationSession::StartBoard() {
    if (m_state == SessionState::NeedOperator || m_state == SessionState::Running)
        return false;
    m_state = SessionState::Running;
    m_step = core::LineStep::Connecting;
    return true;
}

void StationSession::Step(core::LineStep step) {
    if (m_state == SessionState::Running)
        m_step = step;
}

void StationSession::FinishBoard(const StationResult& result, const std::wstring& time) {
    if (m_state != SessionState::Running)
        return;
    m_last = result;
    m_state = result.pass ? SessionState::Pass : SessionState::Fail;
    ++(result.pass ? m_passed : m_failed);
    m_boards.push_front({time, result.number, result.pass});
    if (m_boards.size() > kBoardsShown)
        m_boards.pop_back();
}

uint32_t StationSession::YieldPercent() const {
    const uint64_t finished = uint64_t{m_passed} + m_failed;
    return finished == 0 ? 0 : static_cast<uint32_t>(uint64_t{m_passed} * 100 / finished);
}

}  // namespace station
