#include "serial/port_reader.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <system_error>
#include <vector>

namespace {
// What one read takes from the driver at most; it is cut into chunks afterwards.
constexpr int kReadBytes = 16 * ChunkRing::kChunkBytes;
// How long one hand-over may keep the UI thread before input and painting get their turn:
// a frame's worth. Shorter turns repaint the growing box more often than anyone sees, and
// that repainting is what a flood costs.
constexpr auto kHandOverBudget = std::chrono::milliseconds(16);
}  // namespace

PortReader::PortReader(Sink sink) : m_sink(std::move(sink)) {}

PortReader::~PortReader() { Stop(); }

bool PortReader::Start(std::shared_ptr<platform::CommPort> port, const MakeWaker& makeWaker) {
  Stop();
  m_retiredWaker.reset();
  m_port = std::move(port);
  m_stop.store(false);
  m_paused.store(false);
  m_scheduled.store(false);
  m_gone.store(false);
  m_goneReported = false;
  m_ring.Reset();
  m_waker = makeWaker([this] { HandOver(); });
  try {
    m_thread = std::thread([this] { ReadThreadProc(); });
  } catch (const std::system_error&) {
    m_waker.reset();
    m_port.reset();
    return false;
  }
  return true;
}

void PortReader::Stop() {
  if (m_thread.joinable()) {
    m_stop.store(true);
    m_ring.Release();
    {
      std::lock_guard lock(m_pauseMutex);
    }
    m_pauseChanged.notify_all();
    m_port->Wake();
    m_thread.join();
  }
  m_port.reset();
  // A waker is not destroyed inside its own handler: the hand-over ends first.
  if (m_handingOver) {
    m_stoppedMeanwhile = true;
    m_retiredWaker = std::move(m_waker);
  } else {
    m_waker.reset();
  }
}

void PortReader::Pause() { m_paused.store(true); }

void PortReader::Resume() {
  {
    std::lock_guard lock(m_pauseMutex);
    m_paused.store(false);
  }
  m_pauseChanged.notify_all();
  if (!m_thread.joinable()) return;
  m_port->Wake();
  if (!m_ring.Empty()) ScheduleHandOver();
}

void PortReader::ScheduleHandOver() {
  if (!m_scheduled.exchange(true)) m_waker->Wake();
}

void PortReader::HandOver() {
  // A sink that runs a nested event loop must not see the next chunk before it returns.
  if (m_handingOver || !m_waker) return;
  m_handingOver = true;
  m_stoppedMeanwhile = false;
  const auto deadline = std::chrono::steady_clock::now() + kHandOverBudget;
  bool handed = false;
  bool outOfTime = false;
  while (!m_paused.load()) {
    const std::span<const std::uint8_t> chunk = m_ring.Front();
    if (chunk.empty()) break;
    m_sink.chunk(chunk);
    handed = true;
    if (m_stoppedMeanwhile) break;  // the sink closed the port
    m_ring.PopFront();
    if (std::chrono::steady_clock::now() > deadline) {
      outOfTime = true;
      break;
    }
  }
  if (handed) m_sink.handedOver();
  if (!outOfTime && !m_stoppedMeanwhile && m_gone.load() && m_ring.Empty() && !m_goneReported) {
    m_goneReported = true;
    if (m_sink.gone) m_sink.gone();
  }
  m_handingOver = false;
  if (m_stoppedMeanwhile || !m_waker) return;
  if (outOfTime && !m_paused.load() && !m_ring.Empty()) {
    // Back of the queue: input and painting come first.
    m_waker->Resume();
    return;
  }
  m_scheduled.store(false);
  // The reader may have published, or found the device gone, after the last look but
  // before the flag was cleared.
  if ((!m_paused.load() && !m_ring.Empty()) || (m_gone.load() && !m_goneReported && m_ring.Empty())) {
    ScheduleHandOver();
  }
}

bool PortReader::WaitWhilePaused() {
  if (m_paused.load()) {
    std::unique_lock lock(m_pauseMutex);
    m_pauseChanged.wait(lock, [this] { return !m_paused.load() || m_stop.load(); });
  }
  return !m_stop.load();
}

void PortReader::ReadThreadProc() {
  const auto port = m_port;
  port->ClearError();
  std::vector<std::uint8_t> block(kReadBytes);
  while (WaitWhilePaused()) {
    const int count = port->Read(block.data(), kReadBytes);
    if (count > 0) {
      for (int offset = 0; offset < count; offset += ChunkRing::kChunkBytes) {
        std::uint8_t* slot = m_ring.WaitFreeSlot();
        if (!slot) return;
        const int size = std::min(ChunkRing::kChunkBytes, count - offset);
        std::memcpy(slot, block.data() + offset, static_cast<std::size_t>(size));
        m_ring.Publish(size);
        ScheduleHandOver();
      }
    } else if (count == 0) {
      port->WaitReadable(-1);
    } else {
      // The device is gone: nothing to wait on but a stop or pause request.
      if (!m_gone.exchange(true)) ScheduleHandOver();
      std::unique_lock lock(m_pauseMutex);
      m_pauseChanged.wait_for(lock, std::chrono::milliseconds(200), [this] { return m_stop.load(); });
    }
  }
}
