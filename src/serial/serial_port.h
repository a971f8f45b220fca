#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/comm.h"
#include "platform/window_messages.h"
#include "serial/chunk_ring.h"

class CDialogEx;
class DialogWindow;

// One open serial port and its read thread. The read thread waits until bytes arrive and
// cuts them into chunks of at most 500 bytes; the UI thread hands each chunk to the dialog
// as WM_PORT_RXDATA, whole, one at a time and in order. The reader works ahead of the
// handler by up to a ring of chunks, and the UI thread is woken once per batch rather than
// once per chunk: under a flood that is what keeps both threads busy with data instead of
// with waking each other.
class CSerialPort {
 public:
  // The record of one port found by EnumeratePorts.
  struct CSerialInfo {
    std::u16string m_strDevicePath;
    std::u16string m_strPortName;
    std::u16string m_strFriendlyName;
    BOOL m_bUsbDevice = FALSE;
    std::u16string m_strDescription;
  };
  // A setting the device did not take at the last Open, for the caller's message.
  struct RefusedSetting {
    platform::CommSetting which = platform::CommSetting::None;
    std::u16string value;  // the text the setting came from
  };

  explicit CSerialPort(CDialogEx& mainWindow);
  virtual ~CSerialPort();
  CSerialPort(const CSerialPort&) = delete;
  CSerialPort& operator=(const CSerialPort&) = delete;

  // Opens the port exclusively, applies the settings and starts the read thread. Shows
  // "Open %s error" when the device cannot be opened. When the device refuses a setting the
  // port is closed again and RefusedSettingOfLastOpen() tells which; both return FALSE.
  BOOL Open(const std::u16string& port, int baudRate, const std::u16string& parity,
            const std::u16string& dataBits, const std::u16string& stopBits);
  BOOL SetPortSettings(int baudRate, const std::u16string& parity, const std::u16string& dataBits,
                       const std::u16string& stopBits);
  // "%d,%c,%s,%s": baud, first letter of the parity, data bits, stop bits.
  BOOL ConfigurePort(const std::u16string& settings);
  // Stops the read thread (a chunk it is handing over is dropped) and closes the port.
  void Close();
  bool IsOpen() const { return m_hComm != nullptr; }
  const RefusedSetting& RefusedSettingOfLastOpen() const { return m_refused; }

  // Pause: the read thread stops reading; bytes stay queued in the driver until Resume.
  void Pause();
  void Resume();

  // The ports the system says are present. Opens none.
  static void EnumeratePorts(std::vector<CSerialInfo>& ports);

  std::shared_ptr<platform::CommPort> m_hComm;

 private:
  struct SerialReadParam {
    DialogWindow* hWnd = nullptr;
    std::shared_ptr<platform::CommPort> hComm;
  };
  void ReadThreadProc();
  bool WaitWhilePaused();
  // Reader: makes sure the UI thread will handle what the ring holds.
  void ScheduleDrain();
  // UI thread: hands the waiting chunks to the dialog, a bounded batch at a time.
  void Drain(std::uint32_t generation);

  CDialogEx& m_mainWindow;
  std::thread m_hReadThread;
  SerialReadParam m_readParam;
  ChunkRing m_ring;
  RefusedSetting m_refused;
  std::mutex m_pauseMutex;
  std::condition_variable m_pauseChanged;
  std::atomic<bool> m_paused{false};
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_drainScheduled{false};
  std::atomic<std::uint32_t> m_generation{0};  // changes at every close
  bool m_draining = false;
};
