#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>

#include "platform/comm.h"
#include "platform/waker.h"
#include "serial/chunk_ring.h"

// Reads an open port on a thread of its own and hands what arrives to the UI thread in
// chunks of at most 500 bytes, whole, one at a time and in order. The reader works ahead of
// the window by up to a ring of chunks and wakes the UI thread once per batch, not per
// chunk: under a flood that keeps both threads busy with data instead of with waking each
// other. One flag says a hand-over is on its way, one time budget bounds each turn of the
// event loop, so input and painting always get theirs.
class PortReader {
 public:
  // On the UI thread: each chunk, then once after every hand-over of one or more chunks;
  // `gone` once per start when the device has gone away, after the last chunk read from it.
  struct Sink {
    std::function<void(std::span<const std::uint8_t>)> chunk;
    std::function<void()> handedOver;
    std::function<void()> gone;
  };
  using MakeWaker = std::function<std::unique_ptr<platform::Waker>(std::function<void()> handler)>;

  explicit PortReader(Sink sink);
  ~PortReader();
  PortReader(const PortReader&) = delete;
  PortReader& operator=(const PortReader&) = delete;

  // UI thread. False when the thread cannot be made (nothing is read then).
  bool Start(std::shared_ptr<platform::CommPort> port, const MakeWaker& makeWaker);
  // UI thread; also from inside a sink call. Chunks not yet handed over are dropped.
  void Stop();
  // Pause: the thread stops reading; bytes stay queued in the driver until Resume. Chunks
  // read just before the pause are handed over after Resume.
  void Pause();
  void Resume();

 private:
  void ReadThreadProc();
  bool WaitWhilePaused();
  // Reader: makes sure the UI thread will hand over what the ring holds.
  void ScheduleHandOver();
  // UI thread: hands the waiting chunks to the sink, within the time budget.
  void HandOver();

  const Sink m_sink;
  std::shared_ptr<platform::CommPort> m_port;
  std::unique_ptr<platform::Waker> m_waker;
  std::unique_ptr<platform::Waker> m_retiredWaker;  // stopped from inside its own hand-over
  std::thread m_thread;
  ChunkRing m_ring;
  std::mutex m_pauseMutex;
  std::condition_variable m_pauseChanged;
  std::atomic<bool> m_paused{false};
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_scheduled{false};  // a hand-over is on its way
  std::atomic<bool> m_gone{false};       // the reader found the device gone
  bool m_goneReported = false;
  bool m_handingOver = false;
  bool m_stoppedMeanwhile = false;
};
