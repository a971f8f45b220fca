#include "platform/comm.h"

#include <algorithm>
#include <chrono>

#include "platform/comm_line_rules.h"
#include "platform/text.h"
#include "platform/win32/win32_api.h"

// The port is opened for overlapped I/O: on a synchronous handle the system runs one call at a
// time, so a write waiting for a full line would hold up the reader, and neither a wait for
// arriving bytes nor a write could be interrupted.
namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// When the driver cannot wait for comm events (Wine's ports on a Unix terminal), the reader
// looks for bytes this often instead.
constexpr DWORD kPollMs = 4;
// Bytes that were queued arrive at once; a read still pending after this is given up.
constexpr DWORD kReadLimitMs = 1000;

HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
std::intptr_t Raw(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }

// A "\\.\" or "\\?\" device path stands as it is; a plain name is a device of that name.
std::u16string WidePath(std::u16string_view portName) {
  if (portName.substr(0, 2) == u"\\\\") return std::u16string(portName);
  return u"\\\\.\\" + std::u16string(portName);
}

DWORD MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left <= 0 ? 0 : left >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(left);
}

// One overlapped operation with its own event; it must be finished before it leaves scope.
struct Overlapped {
  OVERLAPPED ov{};
  Overlapped() { ov.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr); }
  ~Overlapped() {
    if (ov.hEvent) ::CloseHandle(ov.hEvent);
  }
  Overlapped(const Overlapped&) = delete;
  Overlapped& operator=(const Overlapped&) = delete;
  explicit operator bool() const { return ov.hEvent != nullptr; }
};

// Cancels a pending operation and waits until the driver let go of it; the bytes it moved
// before the cancel count.
DWORD CancelAndFinish(HANDLE device, Overlapped& op) {
  ::CancelIoEx(device, &op.ov);
  DWORD done = 0;
  ::GetOverlappedResult(device, &op.ov, &done, TRUE);
  return done;
}

// Reads return at once with what has arrived. A write of n bytes may take 100 n + 500 ms, and
// under flow control as long as the device holds the line.
bool SetTimeouts(HANDLE device, FlowControl flow) {
  COMMTIMEOUTS timeouts{MAXDWORD, 0, 0, 100, 500};
  if (flow != FlowControl::None) timeouts.WriteTotalTimeoutMultiplier = timeouts.WriteTotalTimeoutConstant = 0;
  return ::SetCommTimeouts(device, &timeouts) != 0;
}

// CTS holding the output is what RTS/CTS means to the writer; Wine reports the RTS side of it
// as RTS_CONTROL_ENABLE.
FlowControl FlowOf(const DCB& dcb) {
  if (dcb.fOutxCtsFlow) return FlowControl::RtsCts;
  return dcb.fOutX && dcb.fInX ? FlowControl::XonXoff : FlowControl::None;
}

DWORD RtsControl(FlowControl flow, bool asserted) {
  return flow == FlowControl::RtsCts ? RTS_CONTROL_HANDSHAKE : asserted ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
}

// A driver without modem lines answers that the request does not apply to it.
LineResult LineFailure() {
  switch (::GetLastError()) {
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_PARAMETER:
    case ERROR_CALL_NOT_IMPLEMENTED:
      return LineResult::NoModemLines;
    default:
      return LineResult::Failed;
  }
}

LineResult Escape(HANDLE device, DWORD function) {
  return ::EscapeCommFunction(device, function) ? LineResult::Done : LineFailure();
}

// Bytes waiting in the driver to be read (or, with `outgoing`, to be sent); -1 when the device
// no longer answers.
long long QueuedBytes(HANDLE device, bool outgoing = false) {
  COMSTAT status{};
  DWORD errors = 0;
  if (!::ClearCommError(device, &errors, &status)) return -1;
  return outgoing ? status.cbOutQue : status.cbInQue;
}

}  // namespace

std::string CommPort::DevicePath(std::u16string_view portName) { return text::ToUtf8(WidePath(portName)); }

std::shared_ptr<CommPort> CommPort::Open(std::u16string_view portName, OutputLines lines) {
  if (portName.empty() || portName.find(u'\0') != std::u16string_view::npos) return nullptr;
  const std::u16string path = WidePath(portName);
  const HANDLE device = ::CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ | GENERIC_WRITE, 0,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (device == INVALID_HANDLE_VALUE) return nullptr;
  // From here on the destructor undoes whatever was done.
  std::shared_ptr<CommPort> port(new CommPort(Raw(device), Raw(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
                                              Raw(::CreateEventW(nullptr, TRUE, FALSE, nullptr))));
  if (!port->m_wake || !port->m_cancel) return nullptr;
  // A file or another kind of device has no line state: it is not a serial port.
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!::GetCommState(device, &dcb)) return nullptr;
  port->m_dtr.store(lines.dtr);
  port->m_rts.store(lines.rts);
  port->m_flowControl.store(FlowOf(dcb));
  // The lines follow the DCB, which the system applies now and keeps.
  dcb.fDtrControl = lines.dtr ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
  dcb.fRtsControl = RtsControl(FlowOf(dcb), lines.rts);
  (void)::SetCommState(device, &dcb);
  if (!SetTimeouts(device, port->m_flowControl.load())) return nullptr;
  // Some virtual-port drivers keep their own queue sizes and refuse; the port works anyway.
  (void)::SetupComm(device, 65535, 65535);
  // Without event support WaitReadable falls back to looking now and then.
  (void)::SetCommMask(device, EV_RXCHAR);
  return port;
}

CommPort::~CommPort() {
  ::CloseHandle(Handle(m_device));
  if (m_wake) ::CloseHandle(Handle(m_wake));
  if (m_cancel) ::CloseHandle(Handle(m_cancel));
}

bool CommPort::GetState(CommState& state) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!::GetCommState(Handle(m_device), &dcb)) return false;
  state.baudRate = dcb.BaudRate;
  state.byteSize = dcb.ByteSize;
  state.parity = dcb.Parity;
  state.stopBits = dcb.StopBits;
  state.binary = dcb.fBinary != 0;
  state.flowControl = FlowOf(dcb);
  return true;
}

CommSetting CommPort::SetState(const CommState& wanted) {
  CommSetting refused = CommSetting::None;
  if (!line_rules::IsPossibleLine(wanted, refused)) return refused;

  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!::GetCommState(Handle(m_device), &dcb)) return CommSetting::BaudRate;
  dcb.BaudRate = wanted.baudRate;
  dcb.ByteSize = wanted.byteSize;
  dcb.Parity = wanted.parity;
  dcb.StopBits = wanted.stopBits;
  dcb.fBinary = wanted.binary ? 1 : 0;
  dcb.fOutxCtsFlow = wanted.flowControl == FlowControl::RtsCts;
  dcb.fOutX = dcb.fInX = wanted.flowControl == FlowControl::XonXoff;
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  dcb.fOutxDsrFlow = dcb.fDsrSensitivity = 0;
  // Written whole every time: a line changed by EscapeCommFunction alone would spring back.
  dcb.fDtrControl = m_dtr.load() ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
  dcb.fRtsControl = RtsControl(wanted.flowControl, m_rts.load());
  // A driver refuses the whole block when one value does not suit it, so only the read-back
  // tells which one.
  (void)::SetCommState(Handle(m_device), &dcb);

  CommState actual;
  if (!GetState(actual)) return CommSetting::BaudRate;
  m_flowControl.store(actual.flowControl);
  if (!SetTimeouts(Handle(m_device), actual.flowControl)) return CommSetting::FlowControl;
  return line_rules::FirstNotTaken(wanted, actual);
}

LineResult CommPort::SetDtr(bool asserted) {
  m_dtr.store(asserted);
  return Escape(Handle(m_device), asserted ? SETDTR : CLRDTR);
}

LineResult CommPort::SetRts(bool asserted) {
  if (m_flowControl.load() == FlowControl::RtsCts) return LineResult::DriverOwned;
  m_rts.store(asserted);
  return Escape(Handle(m_device), asserted ? SETRTS : CLRRTS);
}

LineResult CommPort::ReadInputLines(InputLines& lines) {
  DWORD status = 0;
  if (!::GetCommModemStatus(Handle(m_device), &status)) return LineFailure();
  lines = {(status & MS_CTS_ON) != 0, (status & MS_DSR_ON) != 0, (status & MS_RLSD_ON) != 0,
           (status & MS_RING_ON) != 0};
  return LineResult::Done;
}

LineResult CommPort::SendBreak(std::chrono::milliseconds duration) {
  const HANDLE device = Handle(m_device);
  constexpr DWORD kDrainLookMs = 2;
  for (long long queued; (queued = QueuedBytes(device, true)) != 0;) {
    if (queued < 0) return LineResult::Failed;
    if (::WaitForSingleObject(Handle(m_cancel), kDrainLookMs) == WAIT_OBJECT_0) return LineResult::Cancelled;
  }
  if (m_writesCancelled.load(std::memory_order_acquire)) return LineResult::Cancelled;
  if (!::SetCommBreak(device)) return LineFailure();
  (void)::WaitForSingleObject(Handle(m_cancel), static_cast<DWORD>(duration.count()));
  return ::ClearCommBreak(device) ? LineResult::Done : LineFailure();
}

void CommPort::Purge() { ::PurgeComm(Handle(m_device), PURGE_TXCLEAR | PURGE_RXCLEAR); }

// After a line error the driver may refuse every read until the error is cleared.
void CommPort::ClearError() { ::ClearCommError(Handle(m_device), nullptr, nullptr); }

int CommPort::Read(std::uint8_t* buffer, int maxBytes) {
  if (maxBytes <= 0) return 0;
  // Asking for no more than is queued makes the read complete at once even where a driver
  // ignores the immediate-return timeouts (Wine's ports wait for the full count). The look
  // also clears a line error, after which some drivers refuse every read.
  const long long queued = QueuedBytes(Handle(m_device));
  if (queued <= 0) return queued < 0 ? -1 : 0;
  Overlapped op;
  if (!op) return 0;
  const DWORD wanted = static_cast<DWORD>(std::min<long long>(queued, maxBytes));
  if (!::ReadFile(Handle(m_device), buffer, wanted, nullptr, &op.ov) && ::GetLastError() != ERROR_IO_PENDING) {
    return QueuedBytes(Handle(m_device)) < 0 ? -1 : 0;
  }
  DWORD count = 0;
  if (::WaitForSingleObject(op.ov.hEvent, kReadLimitMs) != WAIT_OBJECT_0) return static_cast<int>(CancelAndFinish(Handle(m_device), op));
  if (!::GetOverlappedResult(Handle(m_device), &op.ov, &count, FALSE)) return QueuedBytes(Handle(m_device)) < 0 ? -1 : 0;
  return static_cast<int>(count);
}

CommPort::WaitResult CommPort::WaitReadable(int timeoutMs) {
  const HANDLE device = Handle(m_device);
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
  const auto left = [&] { return timeoutMs < 0 ? INFINITE : MillisecondsUntil(deadline); };
  Overlapped op;
  // Given up for this wait when the driver refuses event waits or ends them without an event.
  bool useEvents = static_cast<bool>(op);
  for (;;) {
    DWORD events = 0;
    ::ResetEvent(op.ov.hEvent);
    const bool waiting = useEvents && (::WaitCommEvent(device, &events, &op.ov) || ::GetLastError() == ERROR_IO_PENDING);
    // Looked at only once the event wait runs, so a byte arriving in between is not missed.
    const long long queued = QueuedBytes(device);
    WaitResult result = queued < 0 ? WaitResult::Gone : queued > 0 ? WaitResult::Readable : WaitResult::TimedOut;
    if (result == WaitResult::TimedOut) {
      const HANDLE handles[2] = {Handle(m_wake), op.ov.hEvent};
      const DWORD signalled = ::WaitForMultipleObjects(waiting ? 2 : 1, handles, FALSE,
                                                       waiting ? left() : std::min<DWORD>(left(), kPollMs));
      if (signalled == WAIT_OBJECT_0) {
        result = WaitResult::Woken;
      } else if (signalled == WAIT_OBJECT_0 + 1) {
        DWORD ignored = 0;
        useEvents = ::GetOverlappedResult(device, &op.ov, &ignored, FALSE) && events != 0;
        continue;  // the queue, looked at again, decides
      } else if (signalled == WAIT_FAILED) {
        result = WaitResult::Gone;
      }
    }
    if (waiting) {
      // Setting the mask is the documented way to end a pending event wait; some drivers
      // (Wine's on a real UART) never end it on a cancel alone.
      (void)::SetCommMask(device, EV_RXCHAR);
      CancelAndFinish(device, op);
    }
    if (result != WaitResult::TimedOut) return result;
    if (timeoutMs >= 0 && Clock::now() >= deadline) return result;
  }
}

void CommPort::Wake() { ::SetEvent(Handle(m_wake)); }

WriteResult CommPort::Write(const std::uint8_t* data, std::uint32_t count, const std::atomic<bool>* abandon) {
  constexpr DWORD kAbandonLookMs = 20;
  const bool bounded = m_flowControl.load() == FlowControl::None;
  const auto deadline = Clock::now() + std::chrono::milliseconds(100 * std::int64_t{count} + 500);
  const auto stopped = [&] { return m_writesCancelled.load(std::memory_order_acquire) || (abandon && abandon->load()); };
  const auto outOfTime = [&] { return bounded && MillisecondsUntil(deadline) == 0; };
  WriteResult result;
  while (result.written < count && !stopped()) {
    Overlapped op;
    if (!op || (!::WriteFile(Handle(m_device), data + result.written, count - result.written, nullptr, &op.ov) &&
                ::GetLastError() != ERROR_IO_PENDING)) {
      result.failed = true;
      break;
    }
    const HANDLE handles[2] = {op.ov.hEvent, Handle(m_cancel)};
    DWORD signalled;
    do {
      const DWORD left = bounded ? MillisecondsUntil(deadline) : INFINITE;
      signalled = ::WaitForMultipleObjects(2, handles, FALSE, abandon ? std::min(left, kAbandonLookMs) : left);
    } while (signalled == WAIT_TIMEOUT && !stopped() && !outOfTime());
    if (signalled != WAIT_OBJECT_0) {
      // What went out before the cancel, the abandon or the end of the bound counts.
      result.written += CancelAndFinish(Handle(m_device), op);
      result.failed = signalled == WAIT_FAILED || (signalled == WAIT_TIMEOUT && !stopped() && result.written == 0);
      break;
    }
    DWORD done = 0;
    const bool completed = ::GetOverlappedResult(Handle(m_device), &op.ov, &done, FALSE);
    result.written += done;
    if (!completed) {
      result.failed = true;
      break;
    }
    // The driver's own write timeout ends a write early on a line that does not move.
    if (done == 0 || outOfTime()) {
      result.failed = result.written == 0;
      break;
    }
  }
  return result;
}

void CommPort::CancelWrites() {
  m_writesCancelled.store(true, std::memory_order_release);
  ::SetEvent(Handle(m_cancel));
}

}  // namespace platform
