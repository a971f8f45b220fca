#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/comm.h"
#include "platform/waker.h"
#include "serial/modem_lines_watch.h"

// Brings what the line watch sees to the UI thread: the newest report only, so a line that
// flickers faster than the window turns costs one update per turn.
class InputLinesMonitor {
 public:
  // On the UI thread; nullopt: the port shows no input lines (none exist, or it is gone).
  using Show = std::function<void(const std::optional<platform::InputLines>&)>;

  InputLinesMonitor() = default;
  ~InputLinesMonitor() { Stop(); }
  InputLinesMonitor(const InputLinesMonitor&) = delete;
  InputLinesMonitor& operator=(const InputLinesMonitor&) = delete;

  // UI thread, after the port opened. `waker` is made for Deliver.
  void Start(std::shared_ptr<platform::CommPort> port, std::unique_ptr<platform::Waker> waker, Show show);
  // UI thread; nothing is shown after it.
  void Stop();
  // The waker's handler.
  void Deliver();

 private:
  Show m_show;
  std::unique_ptr<platform::Waker> m_waker;
  std::mutex m_mutex;
  std::optional<ModemLinesWatch::Report> m_latest;
  // Last: it stops first, before the waker it wakes goes away.
  ModemLinesWatch m_watch;
};
