#include "serial/input_lines_monitor.h"

void InputLinesMonitor::Start(std::shared_ptr<platform::CommPort> port, std::unique_ptr<platform::Waker> waker,
                              Show show) {
  Stop();
  m_show = std::move(show);
  m_waker = std::move(waker);
  m_watch.Start(std::move(port), [this](const ModemLinesWatch::Report& report) {
    {
      std::lock_guard lock(m_mutex);
      m_latest = report;
    }
    m_waker->Wake();
  });
}

void InputLinesMonitor::Stop() {
  m_watch.Stop();
  m_waker.reset();
  std::lock_guard lock(m_mutex);
  m_latest.reset();
}

void InputLinesMonitor::Deliver() {
  std::optional<ModemLinesWatch::Report> report;
  {
    std::lock_guard lock(m_mutex);
    report.swap(m_latest);
  }
  if (!report || !m_show) return;
  if (report->result == platform::LineResult::Done) {
    m_show(report->lines);
  } else {
    m_show(std::nullopt);
  }
}
