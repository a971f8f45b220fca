#include "serial/chunk_ring.h"

std::uint8_t* ChunkRing::WaitFreeSlot() {
  const std::uint32_t head = m_head.load(std::memory_order_relaxed);
  if (head - m_tail.load(std::memory_order_acquire) == kSlots) {
    std::unique_lock lock(m_mutex);
    m_readerWaiting.store(true);
    // Sequentially consistent with PopFront's store and flag check, so no wake-up is missed.
    // The reader sleeps until half the ring is free: woken for every slot, the two threads
    // would trade a wake-up per chunk while the window is the slower one.
    m_freed.wait(lock, [&] { return m_released.load() || head - m_tail.load() <= kResumeAt; });
    m_readerWaiting.store(false);
  }
  if (m_released.load()) return nullptr;
  return m_slots[head % kSlots].data();
}

bool ChunkRing::Publish(int count) {
  const std::uint32_t head = m_head.load(std::memory_order_relaxed);
  m_counts[head % kSlots] = count;
  const bool wasEmpty = head == m_tail.load(std::memory_order_acquire);
  m_head.store(head + 1, std::memory_order_release);
  return wasEmpty;
}

std::span<const std::uint8_t> ChunkRing::Front() const {
  const std::uint32_t tail = m_tail.load(std::memory_order_relaxed);
  if (tail == m_head.load(std::memory_order_acquire)) return {};
  return {m_slots[tail % kSlots].data(), static_cast<std::size_t>(m_counts[tail % kSlots])};
}

void ChunkRing::PopFront() {
  const std::uint32_t tail = m_tail.load(std::memory_order_relaxed) + 1;
  m_tail.store(tail);
  if (m_readerWaiting.load() && m_head.load() - tail <= kResumeAt) {
    std::lock_guard lock(m_mutex);
    m_freed.notify_one();
  }
}

bool ChunkRing::Empty() const {
  return m_tail.load(std::memory_order_relaxed) == m_head.load(std::memory_order_acquire);
}

void ChunkRing::Release() {
  std::lock_guard lock(m_mutex);
  m_released.store(true);
  m_freed.notify_all();
}

void ChunkRing::Reset() {
  m_tail.store(m_head.load());
  m_released.store(false);
}
