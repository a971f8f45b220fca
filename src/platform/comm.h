#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// RtsCts: CRTSCTS, or the DCB's fOutxCtsFlow with RTS_CONTROL_HANDSHAKE. XonXoff: IXON|IXOFF,
// or fOutX|fInX, with XON 0x11 and XOFF 0x13 either way.
enum class FlowControl : std::uint8_t { None, RtsCts, XonXoff };

// Line settings with the meaning of the Windows DCB fields the program changes.
struct CommState {
  std::uint32_t baudRate = 0;
  std::uint8_t byteSize = 8;  // 5..8 accepted
  std::uint8_t parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
  std::uint8_t stopBits = 0;  // 0 one, 1 one and a half, 2 two
  bool binary = true;         // POSIX lines are always binary; kept for the DCB's meaning
  FlowControl flowControl = FlowControl::None;
};

enum class CommSetting { None, BaudRate, ByteSize, Parity, StopBits, FlowControl };

// The lines this end drives: asserted or not.
struct OutputLines {
  bool dtr = true;
  bool rts = true;
};

// The lines the far end drives; dcd is the carrier (RLSD on Windows), ri the ring.
struct InputLines {
  bool cts = false;
  bool dsr = false;
  bool dcd = false;
  bool ri = false;
  friend bool operator==(const InputLines&, const InputLines&) = default;
};

// How a call on the modem lines or the break went.
enum class LineResult {
  Done,
  // The device has no modem lines (a pseudo-terminal, some USB bridges): nothing changed, and
  // nothing is wrong with the port. It stays so for as long as the port is open.
  NoModemLines,
  DriverOwned,  // RTS under RTS/CTS flow control: the driver drives it, nothing changed
  Cancelled,    // CancelWrites ended a break before it began
  Failed,       // the device is gone or refused
};

// What a write moved: the bytes the device took, also when it ended early.
struct WriteResult {
  std::uint32_t written = 0;
  // The device is gone or refused the bytes, or, without flow control, the bound ran out
  // before any byte went out. An early end for CancelWrites or `abandon` is not a failure.
  bool failed = false;
};

// One open serial device. Thread use: one reader thread (Read, WaitReadable), one writer
// thread (Write, SendBreak), one line watch thread (ReadInputLines), the UI thread
// (everything else, Wake, CancelWrites; destruction only after the others stopped using the
// port).
class CommPort {
 public:
  // "ttyUSB0" opens /dev/ttyUSB0 (on Windows "COM3" opens \\.\COM3); a name beginning with
  // '/' (on Windows with "\\", a device or interface path) is opened as it stands. Exclusive:
  // on POSIX O_NOCTTY|O_NONBLOCK, flock(LOCK_EX|LOCK_NB) (holds even for root) and TIOCEXCL; on
  // Windows share mode 0 (Wine does not enforce it on its ports). Raw mode, reads that return
  // at once. Returns nullptr when it cannot be opened (absent, not a serial device, held by any
  // other opener in this or another process, refused).
  // DTR and RTS are driven as `lines` asks from the start. Linux raises both in open() itself,
  // so an unasserted line is lowered microseconds later: a board that resets on DTR may still
  // see that pulse unless the last close left DTR up. A port without modem lines opens too.
  static std::shared_ptr<CommPort> Open(std::u16string_view portName, OutputLines lines = {});
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
  // its divisor really gives is not refused. A flow control the driver drops (CRTSCTS on a
  // bridge without the wires) is refused as FlowControl. DTR and RTS keep the state last asked
  // for; with RtsCts the driver takes RTS over, and gets it back as last asked when the flow
  // control changes again. No flow control also means no DSR dependence (CLOCAL; on
  // Windows fOutxDsrFlow and fDsrSensitivity off).
  CommSetting SetState(const CommState& state);

  // Drive DTR or RTS at once; the next SetState keeps what was set. SetRts is DriverOwned under
  // RtsCts. On Linux a port closed with DTR unasserted is closed without HUPCL (cleared on the
  // device, where it stays), so the close leaves every line as set; with DTR asserted the
  // close does what HUPCL says, by default a hang-up (DTR and RTS dropped) as before. Windows
  // drivers drop both at close whatever was set.
  LineResult SetDtr(bool asserted);
  LineResult SetRts(bool asserted);
  // The input lines now (TIOCMGET; GetCommModemStatus). `lines` is left as it was unless Done.
  LineResult ReadInputLines(InputLines& lines);
  // Writer thread, ordered after the writes before it: waits until what was written has left
  // (as long as flow control holds it), then holds the line in break for `duration` and
  // releases it. CancelWrites ends the wait, or the break early (it is released all the same).
  LineResult SendBreak(std::chrono::milliseconds duration);
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
  // Under flow control there is no bound: a line the device holds (XOFF, CTS low) is not a
  // failure, and the write waits for as long as it is held, until CancelWrites or `abandon`.
  // With `abandon`, the write looks at it at least every 20 ms and ends once it is true.
  WriteResult Write(const std::uint8_t* data, std::uint32_t count, const std::atomic<bool>* abandon = nullptr);
  // Current and later Write and SendBreak calls return at once with what they did.
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
  // As the device took them at the last SetState; Write decides its bound by it.
  std::atomic<FlowControl> m_flowControl{FlowControl::None};
  // As last asked for, so that SetState (and on Linux the close) keeps them.
  std::atomic<bool> m_dtr{true};
  std::atomic<bool> m_rts{true};
};

}  // namespace platform
