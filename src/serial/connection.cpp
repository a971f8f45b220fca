#include "serial/connection.h"

#include "platform/port_access.h"
#include "platform/port_identity.h"
#include "platform/port_names.h"
#include "platform/text.h"
#include "res/string_table.h"
#include "serial/connection_view.h"
#include "serial/port_list.h"

namespace {
// What the port box lists: the serial ports the system has now. Throws PortEnumerationError.
std::vector<std::u16string> PortEntries() {
  std::vector<std::u16string> entries;
  for (const auto& record : ListPorts()) {
    if (platform::NamesSerialPort(record.friendlyName)) entries.push_back(PortEntryOf(record.friendlyName));
  }
  return entries;
}

PortReader::Sink WithGone(PortReader::Sink sink, std::function<void()> gone) {
  sink.gone = std::move(gone);
  return sink;
}
}  // namespace

Connection::Connection(ConnectionView& view, PortReader::Sink received)
    : m_view(view), m_port(WithGone(std::move(received), [this] { DeviceGone(); })) {}

void Connection::OpenClicked() {
  if (IsOpen() || m_waiting) {
    Close();
  } else {
    Open();
  }
}

void Connection::Close() {
  if (m_waiting) {
    StopWaiting();
    ShowPortOpen(false);
    return;
  }
  if (!IsOpen()) return;
  m_inputLines.Stop();
  m_view.ShowInputLines(std::nullopt);
  m_port.Close();
  m_view.PortClosed();
  m_view.ShowPortStatus(u"");
  ShowPortOpen(false);
}

std::unique_ptr<platform::Waker> Connection::MakeWaker(std::function<void()> handler) {
  return m_view.CreateWaker(std::move(handler));
}

// With the settings and lines the window shows now.
SerialPort::OpenResult Connection::OpenPort(const std::u16string& device) {
  return m_port.Open(device, m_view.LineTexts(), m_view.OutputLinesChecked(),
                     [this](std::function<void()> handler) { return MakeWaker(std::move(handler)); });
}

void Connection::Open() {
  const std::u16string port = m_view.PortText();
  if (!platform::NamesSerialPort(port)) {
    m_view.ShowMessage(m_view.Text(IDS_NOT_COM));
    return;
  }
  const auto result = OpenPort(port);
  switch (result.opened) {
    case SerialPort::Opened::CannotOpen:
      ShowOpenFailure(port);
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
  m_openedText = port;
  // While the device is there: a by-id link found for it names it when it comes back.
  m_identity = platform::IdentityOfPort(port);
  Connected();
}

void Connection::Connected() {
  m_reportedLineNotSet = false;
  m_inputLines.Start(m_port.Port(), MakeWaker([this] { m_inputLines.Deliver(); }),
                     [this](const std::optional<platform::InputLines>& lines) { m_view.ShowInputLines(lines); });
  m_view.PortOpened(m_port.Port());
  m_view.ShowPortStatus(u"");
  ShowPortOpen(true);
}

// Without Reconnect the port stays as it is, as it always did; the status tells why nothing
// arrives any more.
void Connection::DeviceGone() {
  if (!IsOpen()) return;
  if (!m_view.ReconnectChecked()) {
    m_view.ShowPortStatus(text::FormatOne(m_view.Text(IDS_PORT_GONE), m_openedText));
    return;
  }
  StartWaiting();
}

bool Connection::WriteFailed() {
  if (IsOpen() && m_view.ReconnectChecked()) {
    StartWaiting();
    return false;
  }
  Close();
  RefreshClicked();
  return true;
}

// The Open button keeps reading Close and the settings stay locked: to the user the port is
// still theirs.
void Connection::StartWaiting() {
  m_inputLines.Stop();
  m_view.ShowInputLines(std::nullopt);
  m_port.Close();
  m_view.PortClosed();
  m_waiting = true;
  m_view.ShowPortStatus(text::FormatOne(m_view.Text(IDS_WAITING_FOR_PORT), m_openedText));
  if (m_watcher) m_watcher->FollowPath(m_identity);
  Reopen();  // it may be back already
}

void Connection::StopWaiting() {
  m_waiting = false;
  if (m_watcher) m_watcher->FollowPath(u"");
  m_view.ShowPortStatus(u"");
}

// Silent while the device is still away or not ready: the next change of the ports tries again.
void Connection::Reopen() {
  const auto device = platform::ResolvePortIdentity(m_identity);
  if (!device) return;
  const auto result = OpenPort(*device);
  if (result.opened != SerialPort::Opened::Yes) return;
  StopWaiting();
  Connected();
  if (m_view.ReceivePaused()) m_port.Pause();
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

void Connection::ShowOpenFailure(const std::u16string& port) {
  std::u16string message = text::FormatOne(m_view.Text(IDS_OPEN_PORT_ERROR), port);
  // Once a run: the fix takes a new login, so until then saying it again tells nothing new.
  if (!m_toldGroupToJoin) {
    if (const std::u16string group = platform::GroupToJoinFor(port); !group.empty()) {
      m_toldGroupToJoin = true;
      message += u"\n\n" + text::ReplaceAll(m_view.Text(IDS_JOIN_PORT_GROUP), u"%s", group);
    }
  }
  m_view.ShowMessage(message);
}

void Connection::ShowPortOpen(bool open) { m_view.ShowPortOpen(open, m_view.Text(open ? IDS_CLOSE : IDS_OPEN)); }

void Connection::RefreshClicked() {
  const std::u16string remembered = m_view.PortText();
  std::vector<std::u16string> entries;
  try {
    entries = PortEntries();
  } catch (const platform::PortEnumerationError& error) {
    m_view.SetPortEntries({});
    m_view.ShowMessage(text::FormatOne(m_view.Text(IDS_PORT_LIST_ERROR), error.message));
    return;
  }
  m_view.SetPortEntries(entries);
  if (!entries.empty() && !m_view.SelectPortEntry(remembered)) m_view.SelectFirstPortEntry();
}

void Connection::StartWatchingPorts() {
  m_portsWaker = MakeWaker([this] { PortsChanged(); });
  m_watcher = platform::PortWatcher::Start([waker = m_portsWaker.get()] { waker->Wake(); });
}

// Unlike Refresh, this comes unasked: the port box keeps what the user typed or picked, and
// a list that cannot be made now stays as it was without a message.
void Connection::PortsChanged() {
  const std::u16string text = m_view.PortText();
  try {
    m_view.SetPortEntries(PortEntries());
    m_view.SetPortText(text);
  } catch (const platform::PortEnumerationError&) {
  }
  if (m_waiting) Reopen();
}

void Connection::PauseReading(bool paused) {
  if (paused) {
    m_port.Pause();
  } else {
    m_port.Resume();
  }
}
