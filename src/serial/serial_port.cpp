#include "serial/serial_port.h"

SerialPort::SerialPort(PortReader::Sink sink) : m_reader(std::move(sink)) {}

SerialPort::OpenResult SerialPort::Open(const std::u16string& portName, const LineSettingTexts& line,
                                        platform::OutputLines lines, const PortReader::MakeWaker& makeWaker) {
  OpenResult result;
  auto port = platform::CommPort::Open(portName, lines);
  if (!port) return result;
  const LineRequest request = RequestedLine(line);
  result.opened = Opened::SettingRefused;
  if (!request.complete) {
    result.refused = request.missing;
    return result;
  }
  platform::CommState state;
  port->GetState(state);
  state.baudRate = request.state.baudRate;
  state.byteSize = request.state.byteSize;
  state.parity = request.state.parity;
  state.stopBits = request.state.stopBits;
  state.flowControl = request.state.flowControl;
  state.binary = true;
  if (const auto refused = port->SetState(state); refused != platform::CommSetting::None) {
    result.refused = refused;
    result.refusedText = request.PieceOf(refused);
    return result;
  }
  port->Purge();
  m_port = std::move(port);
  result.opened = Opened::Yes;
  result.readerStarted = m_reader.Start(m_port, makeWaker);
  return result;
}

void SerialPort::Close() {
  m_reader.Stop();
  if (m_port) {
    m_port->CancelWrites();
    m_port.reset();
  }
}
