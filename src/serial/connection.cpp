#include "serial/connection.h"

#include "platform/port_names.h"
#include "platform/text.h"
#include "res/string_table.h"
#include "serial/connection_view.h"
#include "serial/port_list.h"

Connection::Connection(ConnectionView& view, PortReader::Sink received) : m_view(view), m_port(std::move(received)) {}

void Connection::OpenClicked() {
  if (IsOpen()) {
    Close();
  } else {
    Open();
  }
}

void Connection::Close() {
  if (!IsOpen()) return;
  m_inputLines.Stop();
  m_view.ShowInputLines(std::nullopt);
  m_port.Close();
  m_view.PortClosed();
  ShowPortOpen(false);
}

void Connection::Open() {
  const std::u16string port = m_view.PortText();
  if (!platform::NamesSerialPort(port)) {
    m_view.ShowMessage(m_view.Text(IDS_NOT_COM));
    return;
  }
  const auto makeWaker = [this](std::function<void()> handler) { return m_view.CreateWaker(std::move(handler)); };
  const auto result = m_port.Open(port, m_view.LineTexts(), m_view.OutputLinesChecked(), makeWaker);
  switch (result.opened) {
    case SerialPort::Opened::CannotOpen:
      m_view.ShowMessage(text::FormatOne(m_view.Text(IDS_OPEN_PORT_ERROR), port));
      return;
    case SerialPort::Opened::SettingRefused: {
      const std::u16string setting = m_view.Text(SettingLabel(result.refused)) + u" " + result.refusedText;
      m_view.ShowMessage(text::FormatOne(m_view.Text(IDS_SETTING_REFUSED), setting));
      return;
    }
    case SerialPort::Opened::Yes:
      break;
  }
  if (!result.readerStarted) m_view.ShowMessage(m_view.Text(IDS_APPLICATION_ERROR));
  m_reportedLineNotSet = false;
  m_inputLines.Start(m_port.Port(), makeWaker([this] { m_inputLines.Deliver(); }),
                     [this](const std::optional<platform::InputLines>& lines) { m_view.ShowInputLines(lines); });
  m_view.PortOpened(m_port.Port());
  ShowPortOpen(true);
}

void Connection::DtrClicked() {
  if (IsOpen()) ReportLineNotSet(m_port.Port()->SetDtr(m_view.OutputLinesChecked().dtr), u"DTR");
}

void Connection::RtsClicked() {
  if (IsOpen()) ReportLineNotSet(m_port.Port()->SetRts(m_view.OutputLinesChecked().rts), u"RTS");
}

void Connection::FlowControlPicked() {
  m_view.EnableRtsBox(m_view.LineTexts().flowControl != platform::FlowControl::RtsCts);
}

// A port without modem lines is no fault: its boxes keep their marks and nothing is said.
void Connection::ReportLineNotSet(platform::LineResult result, std::u16string_view line) {
  if (result != platform::LineResult::Failed || m_reportedLineNotSet) return;
  m_reportedLineNotSet = true;
  m_view.ShowMessage(text::FormatOne(m_view.Text(IDS_LINE_NOT_SET), line));
}

void Connection::ShowPortOpen(bool open) { m_view.ShowPortOpen(open, m_view.Text(open ? IDS_CLOSE : IDS_OPEN)); }

void Connection::RefreshClicked() {
  const std::u16string remembered = m_view.PortText();
  std::vector<PortRecord> ports;
  try {
    ports = ListPorts();
  } catch (const platform::PortEnumerationError& error) {
    m_view.SetPortEntries({});
    m_view.ShowMessage(text::FormatOne(m_view.Text(IDS_PORT_LIST_ERROR), error.message));
    return;
  }
  std::vector<std::u16string> entries;
  for (const auto& record : ports) {
    if (platform::NamesSerialPort(record.friendlyName)) entries.push_back(PortEntryOf(record.friendlyName));
  }
  m_view.SetPortEntries(entries);
  if (!entries.empty() && !m_view.SelectPortEntry(remembered)) m_view.SelectFirstPortEntry();
}

void Connection::PauseReading(bool paused) {
  if (paused) {
    m_port.Pause();
  } else {
    m_port.Resume();
  }
}
