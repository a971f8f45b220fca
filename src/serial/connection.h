#pragma once

#include <memory>

#include "serial/input_lines_monitor.h"
#include "serial/port_reader.h"
#include "serial/serial_port.h"

class ConnectionView;

// The port the user works with: Open and Close, the line settings it opens with, the port
// list, DTR and RTS and the input lines, and the reader that hands what arrives to
// `received`. UI thread only.
class Connection {
 public:
  Connection(ConnectionView& view, PortReader::Sink received);

  void OpenClicked();  // opens the port in the box, or closes the open one
  void Close();        // closes it if open
  void RefreshClicked();
  bool IsOpen() const { return m_port.IsOpen(); }
  void PauseReading(bool paused);
  // The boxes say what the lines are to be: now when open, at the next open otherwise.
  void DtrClicked();
  void RtsClicked();
  void FlowControlPicked();

 private:
  void Open();
  void ShowPortOpen(bool open);
  void ReportLineNotSet(platform::LineResult result, std::u16string_view line);

  ConnectionView& m_view;
  SerialPort m_port;
  InputLinesMonitor m_inputLines;
  bool m_reportedLineNotSet = false;  // once per open
};
