#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// Line settings with the meaning of the Windows DCB fields the program changes.
struct CommState {
  std::uint32_t baudRate = 0;
  std::uint8_t byteSize = 8;  // 5..8 accepted
  std::uint8_t parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
  std::uint8_t stopBits = 0;  // 0 one, 1 one and a half, 2 two
  bool binary = true;         // POSIX lines are always binary; kept for the DCB's meaning
};

enum class CommSetting { None, BaudRate, ByteSize, Parity, StopBits };

// One open serial device. Thread use: one reader thread (Read, WaitReadable), one writer
// thread (Write), the UI thread (everything else, Wake, CancelWrites; destruction only after
// the other two stopped using the port).
class CommPort {
 public:
  // "ttyUSB0" opens /dev/ttyUSB0 (on Windows "COM3" opens \\.\COM3); a name beginning with
  // '/' (on Windows with "\\", a device or interface path) is opened as it stands. Exclusive:
  // on POSIX O_NOCTTY|O_NONBLOCK, flock(LOCK_EX|LOCK_NB) (holds even for root) and TIOCEXCL; on
  // Windows share mode 0 (Wine does not enforce it on its ports). Raw mode, reads that return
  // at once. Returns nullptr when it cannot be opened (absent, not a serial device, held by any
  // other opener in this or another process, refused).
  static std::shared_ptr<CommPort> Open(std::u16string_view portName);
  static std::string DevicePath(std::u16string_view portName);  // the path Open uses (UTF-8)
  ~CommPort();
  CommPort(const CommPort&) = delete;
  CommPort& operator=(const CommPort&) = delete;

  bool GetState(CommState& state);
  // Applies, then reads every setting back; returns the first one the device did not take
  // (None when all took). A value no line can have (baud 0, which would hang up; data bits
  // outside 5..8; 1.5 stop bits without 5 data bits; 2 stop bits with 5 data bits, which the
  // UART turns into 1.5) is refused before anything is changed. A baud rate counts as taken
  // within 1% of the request, the error any UART tolerates, so a driver that reports the rate
  // its divisor really gives is not refused.
  CommSetting SetState(const CommState& state);
  void Purge();  // empties both directions of the driver's queues
  void ClearError();
  // Non-blocking read of what has arrived: >0 bytes, 0 nothing, -1 the device is gone.
  int Read(std::uint8_t* buffer, int maxBytes);
  enum class WaitResult { Readable, Woken, Gone, TimedOut };
  // Blocks until readable, Wake() was called (the wake is consumed), the device hung up, or
  // timeoutMs passed (-1: no limit).
  WaitResult WaitReadable(int timeoutMs);
  void Wake();  // wakes one WaitReadable, now or the next one
  // Writes all bytes unless the bound runs out: at most 100 ms per byte + 500 ms in total.
  // Returns the count written; 0 when the device is gone or the write failed.
  std::uint32_t Write(const std::uint8_t* data, std::uint32_t count);
  // Current and later Write calls return at once with what they wrote.
  void CancelWrites();
  // The system's handle of the device: a file descriptor, or a HANDLE on Windows.
  std::intptr_t NativeHandle() const { return m_device; }

 private:
  CommPort(std::intptr_t device, std::intptr_t wake, std::intptr_t cancel)
      : m_device(device), m_wake(wake), m_cancel(cancel) {}

  const std::intptr_t m_device;
  const std::intptr_t m_wake;    // eventfd or event, consumed by WaitReadable
  const std::intptr_t m_cancel;  // eventfd or event, never consumed once signalled
  std::atomic<bool> m_writesCancelled{false};
};

}  // namespace platform
