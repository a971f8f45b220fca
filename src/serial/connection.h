#pragma once

#include <memory>
#include <string>

#include "platform/port_watcher.h"
#include "platform/waker.h"
#include "serial/input_lines_monitor.h"
#include "serial/port_reader.h"
#include "serial/serial_port.h"

class ConnectionView;

// The port the user works with: Open and Close, the line settings it opens with, the port
// list that follows the hardware, DTR and RTS and the input lines, waiting for a device that
// went away to come back (Reconnect), and the reader that hands what arrives to `received`.
// UI thread only.
class Connection {
 public:
  Connection(ConnectionView& view, PortReader::Sink received);

  void OpenClicked();  // opens the port in the box, or closes the open or awaited one
  void Close();        // closes it if open, and stops waiting
  void RefreshClicked();
  bool IsOpen() const { return m_port.IsOpen(); }
  // The device went away with Reconnect on: the port counts as open to the user, writes
  // have nowhere to go, and the same device is opened again once it is back.
  bool IsWaiting() const { return m_waiting; }
  const std::u16string& PortOpened() const { return m_openedText; }  // as typed when opened
  void PauseReading(bool paused);
  // The boxes say what the lines are to be: now when open, at the next open otherwise.
  void DtrClicked();
  void RtsClicked();
  void FlowControlPicked();

  // Once the window exists: from then on the list follows the ports the system has.
  void StartWatchingPorts();
  // The system's ports changed: the list is made again, the port box keeps its text, and a
  // device waited for is opened again if it is back.
  void PortsChanged();
  // A write failed on the open port. True: it was closed, and the failure is the user's to
  // hear; false: the connection waits for the device to come back and says so itself.
  bool WriteFailed();

 private:
  void Open();
  SerialPort::OpenResult OpenPort(const std::u16string& device);
  // The port is open: the lines are watched, the parts told, the window shows it.
  void Connected();
  void DeviceGone();
  void StartWaiting();
  void StopWaiting();
  void Reopen();
  void ShowOpenFailure(const std::u16string& port);
  void ShowPortOpen(bool open);
  void ReportLineNotSet(platform::LineResult result, std::u16string_view line);
  std::unique_ptr<platform::Waker> MakeWaker(std::function<void()> handler);

  ConnectionView& m_view;
  SerialPort m_port;
  InputLinesMonitor m_inputLines;
  bool m_reportedLineNotSet = false;  // once per open
  bool m_toldGroupToJoin = false;     // once a run
  std::u16string m_openedText;
  std::u16string m_identity;  // what names the device when it comes back
  bool m_waiting = false;
  std::unique_ptr<platform::Waker> m_portsWaker;
  // Last: it goes first, before the waker it wakes.
  std::unique_ptr<platform::PortWatcher> m_watcher;
};
