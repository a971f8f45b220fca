#include "serial/serial_port.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cwctype>
#include <system_error>

#include "platform/dialog.h"
#include "platform/text.h"
#include "serial/port_messages.h"

namespace {
// What one read takes from the driver at most; it is cut into chunks afterwards.
constexpr int kReadBytes = 16 * ChunkRing::kChunkBytes;
// How long one batch may keep the UI thread before input and painting get their turn.
constexpr auto kDrainBudget = std::chrono::milliseconds(8);

// Splits at commas; runs of commas count as one separator, so the n-th non-empty piece is
// the n-th field.
std::vector<std::u16string> SplitFields(const std::u16string& text) {
  std::vector<std::u16string> fields;
  std::size_t begin = 0;
  while (begin <= text.size()) {
    const auto comma = text.find(u',', begin);
    const auto end = comma == std::u16string::npos ? text.size() : comma;
    if (end > begin) fields.push_back(text.substr(begin, end - begin));
    if (comma == std::u16string::npos) break;
    begin = comma + 1;
  }
  return fields;
}

std::u16string Lower(std::u16string text) {
  for (auto& c : text) c = static_cast<char16_t>(std::towlower(static_cast<wint_t>(c)));
  return text;
}
}  // namespace

CSerialPort::CSerialPort(CDialogEx& mainWindow) : m_mainWindow(mainWindow) {}

CSerialPort::~CSerialPort() { Close(); }

BOOL CSerialPort::Open(const std::u16string& port, int baudRate, const std::u16string& parity,
                       const std::u16string& dataBits, const std::u16string& stopBits) {
  m_refused = {};
  m_hComm = platform::CommPort::Open(port);
  if (!m_hComm) {
    m_mainWindow.MessageBox(text::FormatOne(u"Open %s error", port));
    return FALSE;
  }
  if (!SetPortSettings(baudRate, parity, dataBits, stopBits)) {
    // A setting the device does not take is not an open port: the user must know.
    m_hComm.reset();
    return FALSE;
  }
  m_readParam.hWnd = m_mainWindow.Window();
  m_readParam.hComm = m_hComm;
  m_stop.store(false);
  m_paused.store(false);
  m_drainScheduled.store(false);
  m_ring.Reset();
  try {
    m_hReadThread = std::thread([this] { ReadThreadProc(); });
  } catch (const std::system_error&) {
    m_mainWindow.MessageBox(u"Application error\uFF01");
  }
  return TRUE;
}

BOOL CSerialPort::SetPortSettings(int baudRate, const std::u16string& parity, const std::u16string& dataBits,
                                  const std::u16string& stopBits) {
  std::u16string settings = text::Decimal(baudRate) + u",";
  // A parity text's first character; an empty text gives the terminating zero, which ends
  // the settings text here.
  if (parity.empty()) return ConfigurePort(settings);
  settings += parity.front();
  settings += u"," + dataBits + u"," + stopBits;
  return ConfigurePort(settings);
}

BOOL CSerialPort::ConfigurePort(const std::u16string& settings) {
  const std::vector<std::u16string> original = SplitFields(settings);
  const std::vector<std::u16string> fields = SplitFields(Lower(settings));
  if (fields.size() < 3) {
    m_refused = {fields.size() < 2 ? platform::CommSetting::Parity : platform::CommSetting::ByteSize, u""};
    return FALSE;
  }
  const std::u16string& parity = fields[1];
  const std::u16string stopBits = fields.size() > 3 ? fields[3] : std::u16string();

  platform::CommState state;
  m_hComm->GetState(state);
  state.baudRate = static_cast<std::uint32_t>(text::ParseInt(fields[0]));
  state.byteSize = static_cast<std::uint8_t>(text::ParseInt(fields[2]));
  state.parity = parity == u"n" ? 0 : parity == u"o" ? 1 : parity == u"m" ? 3 : parity == u"s" ? 4 : 2;
  state.stopBits = stopBits == u"1" ? 0 : stopBits == u"2" ? 2 : 1;
  state.binary = true;
  const platform::CommSetting refused = m_hComm->SetState(state);
  if (refused != platform::CommSetting::None) {
    const std::size_t index = refused == platform::CommSetting::BaudRate   ? 0
                              : refused == platform::CommSetting::Parity   ? 1
                              : refused == platform::CommSetting::ByteSize ? 2
                                                                           : 3;
    m_refused = {refused, index < original.size() ? original[index] : std::u16string()};
    return FALSE;
  }
  m_hComm->Purge();
  return TRUE;
}

void CSerialPort::Close() {
  if (m_hReadThread.joinable()) {
    m_stop.store(true);
    m_generation.fetch_add(1);  // chunks not yet handled are dropped, also those in hand-over
    m_ring.Release();
    {
      std::lock_guard lock(m_pauseMutex);
    }
    m_pauseChanged.notify_all();
    if (m_readParam.hComm) m_readParam.hComm->Wake();
    m_hReadThread.join();
  }
  m_readParam = {};
  if (m_hComm) {
    m_hComm->CancelWrites();
    m_hComm.reset();
  }
}

void CSerialPort::Pause() { m_paused.store(true); }

void CSerialPort::Resume() {
  {
    std::lock_guard lock(m_pauseMutex);
    m_paused.store(false);
  }
  m_pauseChanged.notify_all();
  if (m_readParam.hComm) m_readParam.hComm->Wake();
  if (m_hReadThread.joinable() && !m_ring.Empty()) ScheduleDrain();
}

void CSerialPort::ScheduleDrain() {
  if (m_drainScheduled.exchange(true)) return;
  const std::uint32_t generation = m_generation.load();
  m_readParam.hWnd->PostTask([this, generation] { Drain(generation); });
}

void CSerialPort::Drain(std::uint32_t generation) {
  // A handler that runs a nested event loop must not see the next chunk before it returns.
  if (generation != m_generation.load() || m_draining) return;
  m_draining = true;
  const auto deadline = std::chrono::steady_clock::now() + kDrainBudget;
  bool outOfTime = false;
  const std::uint8_t* data = nullptr;
  int count = 0;
  while (!m_paused.load() && m_ring.Front(data, count)) {
    m_mainWindow.SendMessage(WM_PORT_RXDATA, reinterpret_cast<WPARAM>(data), count);
    if (generation != m_generation.load()) break;  // the handler closed the port
    m_ring.PopFront();
    if (std::chrono::steady_clock::now() > deadline) {
      outOfTime = true;
      break;
    }
  }
  m_draining = false;
  if (generation != m_generation.load()) return;
  if (outOfTime && !m_paused.load() && !m_ring.Empty()) {
    // Back of the queue: input and painting come first.
    m_readParam.hWnd->PostTask([this, generation] { Drain(generation); });
    return;
  }
  m_drainScheduled.store(false);
  // The reader may have published after the last look but before the flag was cleared.
  if (!m_paused.load() && !m_ring.Empty()) ScheduleDrain();
}

bool CSerialPort::WaitWhilePaused() {
  if (m_paused.load()) {
    std::unique_lock lock(m_pauseMutex);
    m_pauseChanged.wait(lock, [this] { return !m_paused.load() || m_stop.load(); });
  }
  return !m_stop.load();
}

void CSerialPort::ReadThreadProc() {
  const auto port = m_readParam.hComm;
  port->ClearError();
  std::vector<std::uint8_t> block(kReadBytes);
  while (WaitWhilePaused()) {
    const int count = port->Read(block.data(), kReadBytes);
    if (count > 0) {
      // Chunks read just before a pause are kept and handed over after Resume.
      for (int offset = 0; offset < count; offset += ChunkRing::kChunkBytes) {
        std::uint8_t* slot = m_ring.WaitFreeSlot();
        if (!slot) return;
        const int size = std::min(ChunkRing::kChunkBytes, count - offset);
        std::memcpy(slot, block.data() + offset, static_cast<std::size_t>(size));
        if (m_ring.Publish(size) || !m_drainScheduled.load()) ScheduleDrain();
      }
    } else if (count == 0) {
      port->WaitReadable(-1);
    } else {
      // The device is gone: nothing to wait on but a stop or pause request.
      std::unique_lock lock(m_pauseMutex);
      m_pauseChanged.wait_for(lock, std::chrono::milliseconds(200), [this] { return m_stop.load(); });
    }
  }
}
