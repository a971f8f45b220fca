#pragma once

#include <atomic>
#include <thread>
#include <vector>

#include "platform/thread_message_queue.h"

// A worker thread with its own message queue: a loop that hands every message to OnMessage,
// and thread timers. Stop drops what is still queued and waits for the thread, so a Stop
// followed by a Start always leaves exactly one running thread.
class CWinTimerThread {
 public:
  CWinTimerThread() = default;
  virtual ~CWinTimerThread();
  CWinTimerThread(const CWinTimerThread&) = delete;
  CWinTimerThread& operator=(const CWinTimerThread&) = delete;

  // False when the thread already runs or cannot be created.
  virtual bool Start();
  virtual void Stop();
  bool Post(ThreadMessage message) { return m_queue.Post(std::move(message)); }
  bool IsRunning() const { return m_bRunning.load(); }

 protected:
  virtual void Run();
  // Returns -1 to end the loop.
  virtual int OnMessage(const ThreadMessage&) { return 0; }
  virtual void OnStart() {}
  virtual void OnStop() {}
  UINT_PTR AddTimer();
  void RemoveTimer(UINT_PTR timerId);
  bool PeekTimer(ThreadMessage& message) { return m_queue.PeekTimer(message); }

 private:
  std::vector<UINT_PTR> m_vecTimers;
  ThreadMessageQueue m_queue;
  std::thread m_hThread;
  std::atomic<bool> m_bRunning{false};
};
