#pragma once

#include <cstddef>
#include <vector>

#include "platform/window_messages.h"
#include "send/command.h"

// What a running sequence needs around it: a timer, a way to send, and someone to tell.
class SequenceHost {
 public:
  virtual ~SequenceHost() = default;
  virtual void StartTimer(UINT_PTR timerId, UINT periodMs) = 0;
  virtual void StopTimer(UINT_PTR timerId) = 0;
  // False when the step cannot go out (no port open).
  virtual bool SendStep(const Command& command) = 0;
  virtual bool WritesPending() const = 0;
  // After each step sent: its number and round, from 1, of `steps` and `rounds` (0: until
  // stopped).
  virtual void ShowSequenceStep(std::size_t step, std::size_t steps, int round, int rounds) = 0;
  // Once per run: after its last step (finished), or when stopped or cut off.
  virtual void SequenceEnded(bool finished) = 0;
};

// The commands sent in order, round after round, on the UI thread's timer: the window stays
// live between the steps and Stop ends the run at once. A step goes out `delay` after the
// one before, and never before that one has been written, so a slow line never piles up
// steps that would go on after Stop.
class CommandSequence {
 public:
  explicit CommandSequence(SequenceHost& host) : m_host(host) {}

  // A copy of the commands: editing the list while it runs changes nothing in this run.
  // `rounds` 0 repeats until stopped. The first step goes out at once.
  void Start(std::vector<Command> commands, UINT delayMs, int rounds);
  void Stop();
  bool Running() const { return m_running; }
  void OnTimer(UINT_PTR timerId);

  // The platform's timers wait at least this long; it is also how often a step waiting for
  // the port looks again.
  static constexpr UINT kShortestWaitMs = 10;

 private:
  void SendNext();
  void End(bool finished);

  SequenceHost& m_host;
  std::vector<Command> m_commands;
  UINT m_delayMs = 0;
  int m_rounds = 1;
  std::size_t m_next = 0;  // the step to send next
  int m_round = 1;
  bool m_running = false;
};
