#pragma once

#include <memory>

#include "serial/port_reader.h"
#include "serial/serial_port.h"

class ConnectionView;

// The port the user works with: Open and Close, the line settings it opens with, the port
// list, and the reader that hands what arrives to `received`. UI thread only.
class Connection {
 public:
  Connection(ConnectionView& view, PortReader::Sink received);

  void OpenClicked();  // opens the port in the box, or closes the open one
  void Close();        // closes it if open
  void RefreshClicked();
  bool IsOpen() const { return m_port.IsOpen(); }
  void PauseReading(bool paused);

 private:
  void Open();
  void ShowPortOpen(bool open);

  ConnectionView& m_view;
  SerialPort m_port;
};
