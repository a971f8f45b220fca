#include "send/command_sequence.h"

#include <algorithm>

#include "send/send_timers.h"

void CommandSequence::Start(std::vector<Command> commands, UINT delayMs, int rounds) {
  Stop();
  if (commands.empty()) return;
  m_commands = std::move(commands);
  m_delayMs = std::max(delayMs, kShortestWaitMs);
  m_rounds = std::max(rounds, 0);
  m_next = 0;
  m_round = 1;
  m_running = true;
  SendNext();
}

void CommandSequence::Stop() {
  if (m_running) End(false);
}

void CommandSequence::OnTimer(UINT_PTR timerId) {
  if (timerId != TIMER_SEQUENCE || !m_running) return;
  m_host.StopTimer(TIMER_SEQUENCE);
  if (m_host.WritesPending()) {
    m_host.StartTimer(TIMER_SEQUENCE, kShortestWaitMs);
    return;
  }
  SendNext();
}

void CommandSequence::SendNext() {
  if (!m_host.SendStep(m_commands[m_next])) {
    End(false);
    return;
  }
  m_host.ShowSequenceStep(m_next + 1, m_commands.size(), m_round, m_rounds);
  if (++m_next == m_commands.size()) {
    m_next = 0;
    if (m_rounds != 0 && m_round == m_rounds) {
      End(true);
      return;
    }
    ++m_round;
  }
  m_host.StartTimer(TIMER_SEQUENCE, m_delayMs);
}

void CommandSequence::End(bool finished) {
  m_running = false;
  m_host.StopTimer(TIMER_SEQUENCE);
  m_host.SequenceEnded(finished);
}
