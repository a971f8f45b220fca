#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/comm.h"

// Watches the input lines (CTS, DSR, DCD, RI) of an open port on a thread of its own and
// reports them when it starts and after each change: once per change, within one period of
// it. A port without modem lines, or one that is gone, is reported once, and the watch ends.
//
// It looks every period instead of waiting for the driver's events: Linux's TIOCMIWAIT cannot
// be woken for a close short of a signal and is missing on pseudo-terminals and many USB
// drivers; on Windows the handle's one comm-event wait belongs to the reader, and Wine ends
// such waits at once. A look is one ioctl, which drivers answer from their copy of the lines.
// A pulse shorter than the period can go unseen.
class ModemLinesWatch {
 public:
  struct Report {
    platform::LineResult result = platform::LineResult::Done;  // Done, NoModemLines or Failed
    platform::InputLines lines;                                 // as read, when Done
  };
  // Runs on the watch thread; it must not call Start or Stop.
  using Callback = std::function<void(const Report&)>;
  static constexpr std::chrono::milliseconds kPeriod{10};

  ModemLinesWatch() = default;
  ~ModemLinesWatch() { Stop(); }
  ModemLinesWatch(const ModemLinesWatch&) = delete;
  ModemLinesWatch& operator=(const ModemLinesWatch&) = delete;

  // UI thread, after the port opened; a watch still running is stopped first.
  void Start(std::shared_ptr<platform::CommPort> port, Callback onReport);
  // UI thread, before the port closes (the watch holds it open). Returns once the thread has
  // ended, within a look at the lines: no report comes after it.
  void Stop();

 private:
  void Run(const std::shared_ptr<platform::CommPort>& port, const Callback& onReport);

  std::thread m_thread;
  std::mutex m_mutex;
  std::condition_variable m_stopped;
  bool m_stop = false;
};
