#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>

// The chunks the read thread has read and the UI thread has not yet handled, oldest first.
// One producer (the read thread) and one consumer (the UI thread); every chunk sits in a slot
// of its own, so a full ring holds the reader back until the window catches up.
class ChunkRing {
 public:
  static constexpr int kSlots = 64;
  static constexpr int kChunkBytes = 500;

  // Reader: a free slot to read into, or nullptr once Release() was called. Blocks
  // while every slot holds a chunk the UI thread has not handled yet.
  std::uint8_t* WaitFreeSlot();
  // Reader: the slot from WaitFreeSlot now holds `count` bytes (at most kChunkBytes).
  // Returns true when the ring was empty before, so the consumer may be idle.
  bool Publish(int count);

  // UI thread: the oldest chunk; empty when there is none.
  std::span<const std::uint8_t> Front() const;
  void PopFront();
  bool Empty() const;

  // UI thread: lets a waiting reader go (it gets nullptr) and refuses slots until Reset().
  void Release();
  // UI thread, with no reader running: drops every chunk and accepts slots again.
  void Reset();

 private:
  static constexpr std::uint32_t kResumeAt = kSlots / 2;  // chunks left when a full ring lets the reader go on

  std::array<std::array<std::uint8_t, kChunkBytes>, kSlots> m_slots{};
  std::array<int, kSlots> m_counts{};
  std::atomic<std::uint32_t> m_head{0};  // next slot to publish
  std::atomic<std::uint32_t> m_tail{0};  // next slot to consume
  std::mutex m_mutex;
  std::condition_variable m_freed;
  std::atomic<bool> m_released{false};
  std::atomic<bool> m_readerWaiting{false};
};
