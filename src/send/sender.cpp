#include "send/sender.h"

#include <algorithm>

#include "platform/app_dir.h"
#include "platform/codepage.h"
#include "platform/text.h"
#include "res/string_table.h"
#include "send/checksum_label.h"
#include "send/file_send_job.h"
#include "send/hex_string.h"
#include "send/send_timers.h"
#include "send/sender_view.h"

namespace {
// The platform's timers run no faster than every 10 ms and wait at most 0x7FFFFFFF ms.
constexpr UINT kShortestPeriodMs = 10;
constexpr UINT kLongestPeriodMs = 0x7FFFFFFF;

constexpr char16_t kTextFiles[] = u"Text Files(*.txt)|*.txt||";

std::u16string HexPair(std::uint8_t value) {
  constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  return {kDigits[value >> 4], kDigits[value & 0xF]};
}

// Exactly these two spellings: "report.Txt" is refused.
bool EndsWithTxt(std::u16string_view name) { return name.ends_with(u"txt") || name.ends_with(u"TXT"); }

// A percentage fits the narrow button in every language, which "1048576/1048576" would not.
std::u16string ProgressCaption(const FileSendJob& job) {
  const std::uint64_t consumed = job.consumed.load();
  // The file may have grown since it was opened (or reports no size, as /proc files do).
  const std::uint64_t total = std::max(job.size, consumed);
  const std::uint64_t percent = total == 0 ? 0 : consumed * 100 / total;
  return text::Decimal(percent) + u"%";
}

// The bytes of the send box: text with its line ends reduced to "\n" in `codePage`, or
// hexadecimal pairs. `replaced` learns what the code page could not hold.
std::vector<std::uint8_t> BytesOfSendBox(std::u16string text, bool hex, bool ignoreSpace, unsigned codePage,
                                         platform::WideEncoder::Replaced* replaced = nullptr) {
  std::vector<std::uint8_t> bytes;
  if (hex) {
    if (ignoreSpace) std::erase(text, u' ');
    text = text::ReplaceAll(text, u"\r\n", u"");
    if (text.empty()) return bytes;
    if (text.size() == 1) text.insert(text.begin(), u'0');
    int count = static_cast<int>(text.size() / 2);
    bytes.resize(static_cast<std::size_t>(count));
    HexStrToBytes(text, bytes.data(), count);
    bytes.resize(static_cast<std::size_t>(count));
    return bytes;
  }
  // Twice, so "\r\r\n" also ends as one "\n".
  text = text::ReplaceAll(text::ReplaceAll(text, u"\r\n", u"\n"), u"\r\n", u"\n");
  platform::WideEncoder encoder(codePage);
  std::string converted;
  encoder.Append(text, converted);
  encoder.Flush(converted);
  if (replaced) *replaced = encoder.ReplacedSoFar();
  bytes.assign(converted.begin(), converted.end());
  return bytes;
}

// "é (U+00E9)"; a lone surrogate has no glyph to show.
std::u16string CharacterShown(char32_t character) {
  constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string code;
  for (char32_t rest = character; rest != 0 || code.size() < 4; rest >>= 4) code.insert(code.begin(), kDigits[rest & 0xF]);
  std::u16string glyph;
  if (character >= 0x10000) {
    glyph = {static_cast<char16_t>(0xD800 + ((character - 0x10000) >> 10)),
             static_cast<char16_t>(0xDC00 + ((character - 0x10000) & 0x3FF))};
  } else if (character < 0xD800 || character > 0xDFFF) {
    glyph = {static_cast<char16_t>(character)};
  }
  return glyph.empty() ? u"U+" + code : glyph + u" (U+" + code + u")";
}
}  // namespace

Sender::Sender(SenderView& view, std::function<void(std::function<void()>)> toUiThread)
    : m_view(view), m_thread(std::move(toUiThread), *this) {}

// The thread goes first: it must not report to a half-destroyed sender.
Sender::~Sender() { m_thread.Stop(); }

void Sender::SetPort(std::shared_ptr<platform::CommPort> port) {
  m_port = port;
  if (port) m_refusedWhileWaiting = false;
  if (!port) {
    m_thread.Stop();
    m_thread.SetPort(nullptr);
    return;
  }
  m_thread.SetPort(std::move(port));
  if (!m_thread.IsRunning()) m_thread.Start();
}

void Sender::Send() { SendBox(false); }

void Sender::SendBox(bool byTimer) {
  if (!PortOpen()) {
    RefuseWhileWaiting();
    return;
  }
  const platform::TextEncoding encoding = m_view.EncodingChosen();
  platform::WideEncoder::Replaced replaced;
  QueueFrame(BytesOfSendBox(m_view.SendText(), m_view.SendHexChecked(), m_view.IgnoreSpaceChecked(),
                            encoding.CodePage(), &replaced),
             m_view.FrameEndingChosen());
  // Auto send says it once per run, not at every tick.
  if (replaced.count == 0 || (byTimer && m_replacedReportedInAutoSend)) return;
  m_replacedReportedInAutoSend = byTimer;
  ReportReplaced(encoding, replaced);
}

// A command's hex text is written with spaces between the pairs, whatever the send box's
// Ignore Space says.
bool Sender::SendCommand(const Command& command) {
  if (!PortOpen()) {
    RefuseWhileWaiting();
    return false;
  }
  const platform::TextEncoding encoding = m_view.EncodingChosen();
  platform::WideEncoder::Replaced replaced;
  QueueFrame(BytesOfSendBox(command.text, command.hex, true, encoding.CodePage(), &replaced),
             EndingOf(command, m_view.FrameEndingChosen()));
  if (replaced.count > 0) ReportReplaced(encoding, replaced);
  return true;
}

void Sender::QueueFrame(std::vector<std::uint8_t> bytes, FrameEnding ending) {
  if (bytes.empty()) return;
  AppendEnding(bytes, ending);
  // A fresh buffer per request: requests still queued keep their own bytes.
  m_thread.QueueBytes(std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes)));
}

void Sender::ReportReplaced(const platform::TextEncoding& encoding, const platform::WideEncoder::Replaced& replaced) {
  const std::u16string name = encoding.codePage == 0 ? m_view.Text(IDS_SYSTEM) : std::u16string(encoding.name);
  const std::u16string count = text::Decimal(static_cast<std::uint64_t>(replaced.count));
  m_view.ShowMessage(text::FormatOne(text::FormatOne(text::FormatOne(m_view.Text(IDS_CHARACTERS_REPLACED), name), count),
                                     CharacterShown(replaced.first)));
}

// Once per wait: auto send would repeat the message every tick, and the status says it.
void Sender::RefuseWhileWaiting() {
  const std::u16string port = m_view.PortWaitedFor();
  if (port.empty() || m_refusedWhileWaiting) return;
  m_refusedWhileWaiting = true;
  m_view.ShowMessage(text::FormatOne(m_view.Text(IDS_NOT_SENT_WAITING), port));
}

void Sender::BreakClicked() {
  if (PortOpen()) m_thread.QueueBreak(kBreakLength);
}

void Sender::ClearSendBox() { m_view.SetSendText(u""); }

void Sender::HexClicked() {
  m_view.EnableIgnoreSpace(m_view.SendHexChecked());
  // Also when leaving Hex: the label must not go on showing a hex checksum in text mode.
  UpdateChecksum();
}

void Sender::OnWrittenBytes(std::span<const std::uint8_t> bytes) { m_view.ShowSent(bytes); }

void Sender::OnWritten(std::uint64_t written, bool failed, std::uint64_t connection) {
  // A failure reported after the user closed the port stays silent, and so do the failures
  // of requests queued behind the first one: the port is closed by then.
  if (failed) ReportFailure(connection);
  m_txCount += written;
  ShowTxCount();
}

void Sender::ReportFailure(std::uint64_t connection) {
  // A report from an earlier connection must not close the port opened since.
  if (connection != m_thread.Connection() || !PortOpen()) return;
  if (m_view.ClosePortAfterFailure()) m_view.ShowMessage(m_view.Text(IDS_SEND_FAIL));
}

void Sender::ShowTxCount() { m_view.ShowTxCount(u"TX:" + text::Decimal(m_txCount)); }

void Sender::ClearCount() {
  m_txCount = 0;
  ShowTxCount();
}

UINT Sender::AutoSendInterval() const {
  // Read afresh each time, as a signed number handed over unsigned: unreadable text and 0 send
  // as often as the timer allows.
  const auto typed = static_cast<UINT>(m_view.IntervalValue());
  return std::clamp(typed, kShortestPeriodMs, kLongestPeriodMs);
}

void Sender::OnTimer(UINT_PTR timerId) {
  if (timerId == TIMER_AUTOSEND) {
    // The next send comes one interval after this one ends.
    m_view.StopTimer(TIMER_AUTOSEND);
    SendBox(true);
    if (m_view.AutoSendChecked()) m_view.StartTimer(TIMER_AUTOSEND, AutoSendInterval());
  } else if (timerId == TIMER_CHECKSUM) {
    UpdateChecksum();
  }
}

void Sender::AutoSendClicked() {
  const UINT interval = AutoSendInterval();
  if (m_view.AutoSendChecked()) {
    m_replacedReportedInAutoSend = false;
    m_view.StartTimer(TIMER_AUTOSEND, interval);
  } else {
    m_view.StopTimer(TIMER_AUTOSEND);
  }
  m_view.SaveInterval();
}

void Sender::IntervalLeft() {
  if (!m_view.AutoSendChecked()) return;
  const UINT interval = AutoSendInterval();
  m_view.StopTimer(TIMER_AUTOSEND);
  m_view.StartTimer(TIMER_AUTOSEND, interval);
  m_view.SaveInterval();
}

// A selection change raises no notification of its own, so the label is polled while the
// send box has the focus.
void Sender::SendBoxFocused(bool focused) {
  if (focused) {
    m_view.StartTimer(TIMER_CHECKSUM, kChecksumPeriodMs);
  } else {
    m_view.StopTimer(TIMER_CHECKSUM);
  }
}

void Sender::UpdateChecksum() {
  std::optional<ByteChecksums> sums;
  if (m_view.SendHexChecked()) {
    int start = 0;
    int end = 0;
    m_view.GetSendSelection(start, end);
    sums = ChecksumsOfHexText(m_view.SendText(), start, end, m_view.IgnoreSpaceChecked());
  }
  m_view.ShowChecksum(ChecksumLabel(sums.value_or(ByteChecksums{})));
  // What Append adds to the frame Send would send now: the whole box, not the selection.
  const AppendCheck check = m_view.FrameEndingChosen().check;
  std::u16string appended;
  if (check != AppendCheck::None) {
    const auto frame = BytesOfSendBox(m_view.SendText(), m_view.SendHexChecked(), m_view.IgnoreSpaceChecked(),
                                      m_view.EncodingChosen().CodePage());
    appended = u"+";
    for (const std::uint8_t b : CheckBytes(check, frame)) appended += u" " + HexPair(b);
  }
  m_view.ShowAppendedCheck(appended);
}

void Sender::SendFileClicked() {
  // While files go out the button stops them.
  if (IsSendingFile()) {
    CancelFileSends();
    return;
  }
  if (!PortOpen()) {
    RefuseWhileWaiting();
    return;
  }
  FileDialogRequest request;
  request.initialPath = m_view.RememberedFolder();
  request.filter = kTextFiles;
  request.fileMustExist = true;
  const auto chosen = m_view.AskForFile(request);
  if (!chosen || !EndsWithTxt(chosen->fileName)) return;
  m_view.RememberFolder(chosen->path.substr(0, chosen->path.size() - chosen->fileName.size()));
  SendFile(chosen->fileName, chosen->path);
}

void Sender::SendFile(const std::u16string& name, const std::u16string& path) {
  auto job = std::make_shared<FileSendJob>();
  job->textEncoding = m_view.EncodingChosen();
  job->codePage = job->textEncoding.CodePage();
  switch (job->Open(path)) {
    case FileSendJob::Check::CannotOpen:
      m_view.ShowMessage(text::FormatOne(m_view.Text(IDS_OPEN_FILE_ERROR), path));
      return;
    case FileSendJob::Check::ReadFailed:
      m_view.ShowMessage(text::FormatOne(m_view.Text(IDS_READ_FILE_ERROR), path));
      return;
    case FileSendJob::Check::UnsupportedEncoding:
      m_view.ShowMessage(m_view.Text(IDS_NOT_SUPPORT_ENCODING));
      return;
    case FileSendJob::Check::Empty:
      break;
    case FileSendJob::Check::Ready:
      // A history entry picked while the port is closed only moves to the front.
      if (PortOpen() && m_thread.QueueFile(job)) m_fileJobs.push_back(std::move(job));
      break;
  }
  // The history follows the user's choice at once, not the end of the send: a file still
  // going out (or stopped) is the one the user will want again.
  m_history.Add(name, path);
  // The entry just sent is the first; a search by name could land on another file of the
  // same name, or on a longer name that begins with it.
  m_view.ShowFileHistory(m_history.Names());
  ShowTxCount();
  ShowFileProgress();
}

void Sender::FileHistoryPicked() {
  // A copy: sending moves the entry to the front.
  if (const FileHistory::Entry* entry = m_history.At(m_view.FileHistorySelection())) {
    const FileHistory::Entry picked = *entry;
    SendFile(picked.name, picked.path);
  }
}

void Sender::FilesDropped(const std::vector<std::u16string>& paths) {
  if (!PortOpen()) return;
  for (const std::u16string& path : paths) {
    if (!EndsWithTxt(path)) continue;
    const auto separator = path.find_last_of(platform::PathSeparator());
    SendFile(separator == std::u16string::npos ? path : path.substr(separator + 1), path);
  }
}

void Sender::OnFileProgress() { ShowFileProgress(); }

void Sender::OnFileDone(std::uint64_t jobId, std::uint64_t connection) {
  const auto done =
      std::find_if(m_fileJobs.begin(), m_fileJobs.end(), [jobId](const auto& job) { return job->id == jobId; });
  if (done == m_fileJobs.end()) return;
  const std::shared_ptr<FileSendJob> job = *done;
  m_fileJobs.erase(done);
  ShowFileProgress();
  switch (job->outcome.load()) {
    case FileSendJob::Outcome::ReadFailed:
      m_view.ShowMessage(text::FormatOne(m_view.Text(IDS_READ_FILE_ERROR), job->path));
      break;
    case FileSendJob::Outcome::WriteFailed:
      ReportFailure(connection);
      break;
    default:
      if (job->replaced.count > 0) ReportReplaced(job->textEncoding, job->replaced);
      break;
  }
}

bool Sender::IsSendingFile() const {
  return std::any_of(m_fileJobs.begin(), m_fileJobs.end(), [](const auto& job) { return !job->cancelled.load(); });
}

void Sender::CancelFileSends() {
  for (const auto& job : m_fileJobs) job->cancelled.store(true);
  ShowFileProgress();
}

void Sender::ShowFileProgress() {
  const auto sending =
      std::find_if(m_fileJobs.begin(), m_fileJobs.end(), [](const auto& job) { return !job->cancelled.load(); });
  m_view.ShowSendFileCaption(sending == m_fileJobs.end() ? m_view.Text(IDS_SEND_FILE) : ProgressCaption(**sending));
}
