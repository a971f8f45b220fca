#include "serial/modem_lines_watch.h"

#include <optional>

void ModemLinesWatch::Start(std::shared_ptr<platform::CommPort> port, Callback onReport) {
  Stop();
  m_stop = false;
  m_thread = std::thread([this, port = std::move(port), onReport = std::move(onReport)] { Run(port, onReport); });
}

void ModemLinesWatch::Stop() {
  if (!m_thread.joinable()) return;
  {
    std::lock_guard lock(m_mutex);
    m_stop = true;
  }
  m_stopped.notify_all();
  m_thread.join();
}

void ModemLinesWatch::Run(const std::shared_ptr<platform::CommPort>& port, const Callback& onReport) {
  std::optional<platform::InputLines> reported;
  std::unique_lock lock(m_mutex);
  while (!m_stop) {
    lock.unlock();
    Report report;
    report.result = port->ReadInputLines(report.lines);
    const bool ends = report.result != platform::LineResult::Done;
    if (ends || report.lines != reported) {
      onReport(report);
      reported = report.lines;
    }
    lock.lock();
    if (ends) return;
    m_stopped.wait_for(lock, kPeriod, [this] { return m_stop; });
  }
}
