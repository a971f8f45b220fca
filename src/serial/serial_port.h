#pragma once

#include <memory>
#include <string>

#include "platform/comm.h"
#include "serial/line_settings.h"
#include "serial/port_reader.h"

// One serial port: opened exclusively with the line asked for, read by its reader while
// open. UI thread only.
class SerialPort {
 public:
  enum class Opened { Yes, CannotOpen, SettingRefused };
  struct OpenResult {
    Opened opened = Opened::CannotOpen;
    platform::CommSetting refused = platform::CommSetting::None;
    std::u16string refusedText;  // the text the refused setting came from
    bool readerStarted = false;
  };

  explicit SerialPort(PortReader::Sink sink);
  ~SerialPort() { Close(); }
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Opens the port with DTR and RTS as `lines` asks, applies the line and starts reading. A
  // line the device does not take is not an open port: it is closed again and the result
  // says which setting it refused.
  OpenResult Open(const std::u16string& portName, const LineSettingTexts& line, platform::OutputLines lines,
                  const PortReader::MakeWaker& makeWaker);
  // Stops reading (chunks not yet handed over are dropped), cancels writes under way and
  // closes the port.
  void Close();
  bool IsOpen() const { return m_port != nullptr; }
  // Shared with the send thread, which writes to it until the close.
  const std::shared_ptr<platform::CommPort>& Port() const { return m_port; }

  void Pause() { m_reader.Pause(); }
  void Resume() { m_reader.Resume(); }

 private:
  std::shared_ptr<platform::CommPort> m_port;
  PortReader m_reader;
};
