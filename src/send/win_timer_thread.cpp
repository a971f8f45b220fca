#include "send/win_timer_thread.h"

#include <algorithm>
#include <chrono>
#include <system_error>

CWinTimerThread::~CWinTimerThread() {
  // The object must outlive its thread.
  Stop();
  for (UINT_PTR id : m_vecTimers) m_queue.KillTimer(id);
}

bool CWinTimerThread::Start() {
  if (m_bRunning.load()) return false;
  if (m_hThread.joinable()) m_hThread.join();
  m_queue.Open();
  // Set here, not by the thread, so a Stop that follows at once always sees a running thread.
  m_bRunning.store(true);
  try {
    m_hThread = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    m_bRunning.store(false);
    m_queue.Quit();
    return false;
  }
  return true;
}

void CWinTimerThread::Stop() {
  m_queue.Quit();
  if (m_hThread.joinable() && m_hThread.get_id() != std::this_thread::get_id()) m_hThread.join();
}

void CWinTimerThread::Run() {
  OnStart();
  for (;;) {
    const ThreadMessage message = m_queue.Get();
    if (message.message == WM_QUIT || OnMessage(message) == -1) break;
  }
  OnStop();
  m_bRunning.store(false);
}

UINT_PTR CWinTimerThread::AddTimer() {
  const UINT_PTR id = m_queue.AddTimer(std::chrono::milliseconds(1000));
  m_vecTimers.push_back(id);
  return id;
}

void CWinTimerThread::RemoveTimer(UINT_PTR timerId) {
  m_queue.KillTimer(timerId);
  const auto it = std::find(m_vecTimers.begin(), m_vecTimers.end(), timerId);
  if (it != m_vecTimers.end()) m_vecTimers.erase(it);
}
