#include "receive/receive_pipeline.h"

#include <algorithm>

#include "platform/app_dir.h"
#include "platform/codepage.h"
#include "platform/local_time.h"
#include "platform/text.h"
#include "receive/hex_format.h"
#include "receive/log_file_name.h"
#include "receive/receive_view.h"
#include "receive/save_file_name.h"
#include "receive/save_received_text.h"
#include "receive/steady_stamp_clock.h"
#include "res/string_table.h"

namespace {
constexpr int kAutoClearLines = 200;
constexpr std::u16string_view kSentMark = u"TX> ";

// The first "%s" is the file, the second the reason: a "%s" in the file name stays as it is.
std::u16string FormatFileAndReason(std::u16string_view format, std::u16string_view file, std::u16string_view reason) {
  const std::size_t first = format.find(u"%s");
  if (first == std::u16string_view::npos) return std::u16string(format);
  return std::u16string(format.substr(0, first)) + std::u16string(file) + text::FormatOne(format.substr(first + 2), reason);
}
}  // namespace

ReceivePipeline::ReceivePipeline(ReceiveView& view, std::function<void(std::function<void()>)> toUiThread)
    : m_view(view),
      m_codePage(platform::GetACP()),
      m_decoder(m_codePage),
      m_clock(std::make_unique<SteadyStampClock>()),
      m_log(std::move(toUiThread),
            SessionLog::Reports{[this](const std::u16string& error) { LogFailed(error); },
                                [this] {
                                  m_view.ShowMessage(
                                      text::FormatOne(m_view.Text(IDS_LOG_BEHIND), m_log.Path().u16string()));
                                }}) {}

void ReceivePipeline::Attach() {
  m_lines = std::make_unique<DisplayLineCounter>(m_view.ReceiveBoxTextWidth(), m_view.ReceiveBoxCharWidth());
  m_view.AttachReceiveText(&m_text);
  m_view.AttachSentSpans(&m_sentSpans);
  m_view.ReceiveTextChanged(0);
}

void ReceivePipeline::Receive(std::span<const std::uint8_t> chunk) {
  // Auto Clear empties the box only: the dump's offsets go on counting.
  if (m_view.AutoClearChecked() && m_lines->LineCount() >= kAutoClearLines) ClearText();
  // Byte for byte as the reader read it, before anything turns it into text.
  if (m_log.Running() && !m_textLog) m_log.Add(chunk.data(), chunk.size());

  m_firstChange = m_text.size();
  const bool stamps = m_view.TimestampChecked();
  m_piece.clear();
  if (AppendDump(chunk)) {
    // No stamps inside the dump's columns.
  } else if (m_view.ReceiveHexChecked()) {
    m_chunkTime = m_clock->NowMs();
    const std::u16string_view lineBreak = m_lineStarts.LineBreakNeeded();
    if (m_lineStarts.BeginsAfterGap(m_chunkTime, std::max(0, m_view.IdleGapValue())) && stamps) {
      AppendMark(lineBreak);
      AddStamp();
    }
    AppendHex(chunk.data(), static_cast<int>(chunk.size()), m_view.AddSpaceChecked(), m_piece);
    AppendReceived(m_piece);
  } else {
    m_decoder.Append(chunk.data(), chunk.size(), m_piece);
    // Also without stamps, so that a line begun before they were turned on gets none.
    m_lineStarts.Find(m_piece, m_starts);
    if (stamps) {
      m_chunkTime = m_clock->NowMs();
    } else {
      m_starts.clear();
    }
    const std::u16string_view piece = m_piece;
    std::size_t from = 0;
    for (const std::size_t start : m_starts) {
      AppendReceived(piece.substr(from, start - from));
      AddStamp();
      from = start;
    }
    AppendReceived(piece.substr(from));
  }
  TextChanged(m_firstChange);
  m_rxCount += static_cast<std::int64_t>(chunk.size());
  m_bytesSinceClear += chunk.size();
  FlushLogText();
}

// The dump rewrites its unfinished line in place, so it is never filtered and nothing is
// appended behind it; a text log gets the bytes as hex pairs.
bool ReceivePipeline::AppendDump(std::span<const std::uint8_t> chunk) {
  const bool dump = m_view.HexDumpChecked();
  if (dump != m_dumpShown) {
    // The dump's columns need lines of their own, and so does what follows an unfinished one.
    if (!m_text.empty() && m_text.back() != u'\n') AppendMark(u"\r\n");
    m_lineStarts.Reset();
    if (dump) m_dump.Start(m_bytesSinceClear);
    m_dumpShown = dump;
  }
  if (!dump) return false;
  m_firstChange = std::min(m_firstChange, m_dump.Append(chunk.data(), chunk.size(), m_text));
  m_floor = m_text.size();
  m_filter.Reset();
  if (m_textLog) {
    std::u16string pairs;
    AppendHex(chunk.data(), static_cast<int>(chunk.size()), true, pairs);
    m_logEncoder.Append(pairs, m_logText);
  }
  return true;
}

void ReceivePipeline::AppendReceived(std::u16string_view piece) {
  if (piece.empty()) return;
  const std::size_t oldLength = m_text.size();
  m_text += piece;
  if (m_textLog) m_logEncoder.Append(piece, m_logText);
  if (m_filterOn && !m_conditions.empty()) {
    m_firstChange = std::min(m_firstChange, m_filter.Apply(m_text, oldLength, m_conditions, m_floor));
  } else {
    m_filter.Reset();
  }
}

void ReceivePipeline::AppendMark(std::u16string_view mark) {
  if (mark.empty()) return;
  m_text += mark;
  if (m_textLog) m_logEncoder.Append(mark, m_logText);
  m_floor = m_text.size();
  m_filter.Reset();
}

void ReceivePipeline::AddStamp() {
  std::u16string stamp;
  AppendStamp(m_chunkTime, stamp);
  AppendMark(stamp);
}

void ReceivePipeline::FlushLogText() {
  if (m_logText.empty()) return;
  m_log.Add(reinterpret_cast<const std::uint8_t*>(m_logText.data()), m_logText.size());
  m_logText.clear();
}

void ReceivePipeline::PortOpened() {
  DropCarry();
  m_clock->Anchor();
  m_bytesSinceClear = 0;
  m_dump.Start(0);
}

void ReceivePipeline::Sent(std::span<const std::uint8_t> bytes) {
  // Paused, the view stands still: a sent line now would stand before what arrived earlier.
  // The dump holds its unfinished line at the end of the text: nothing goes behind it.
  if (!m_view.ShowSentChecked() || m_paused || bytes.empty() || m_dumpShown) return;
  if (m_view.AutoClearChecked() && m_lines->LineCount() >= kAutoClearLines) ClearReceive();
  m_firstChange = m_text.size();
  std::u16string sent;
  if (m_view.ReceiveHexChecked()) {
    AppendHex(bytes.data(), static_cast<int>(bytes.size()), m_view.AddSpaceChecked(), sent);
  } else {
    platform::MultiByteDecoder decoder(m_codePage);
    decoder.Append(bytes.data(), bytes.size(), sent);
    decoder.Flush(sent);
  }
  AppendMark(m_lineStarts.LineBreakNeeded());
  m_chunkTime = m_clock->NowMs();
  AppendSentLines(sent);
  m_lineStarts.LineEnded();
  TextChanged(m_firstChange);
  FlushLogText();
  HandOverDone();
}

// Each line of what was sent gets its own mark; its line break is the view's.
void ReceivePipeline::AppendSentLines(std::u16string_view sent) {
  const bool stamps = m_view.TimestampChecked();
  while (true) {
    const std::size_t lineEnd = sent.find_first_of(u"\r\n");
    const std::size_t begin = m_text.size();
    if (stamps) AddStamp();
    AppendMark(kSentMark);
    AppendMark(sent.substr(0, lineEnd));
    m_sentSpans.push_back({begin, m_text.size()});
    AppendMark(u"\r\n");
    if (lineEnd == std::u16string_view::npos) return;
    const std::size_t next = sent.substr(lineEnd, 2) == u"\r\n" ? lineEnd + 2 : lineEnd + 1;
    if (next == sent.size()) return;
    sent.remove_prefix(next);
  }
}

void ReceivePipeline::HandOverDone() {
  m_view.ScrollReceiveBoxToEnd();
  m_view.ShowRxCount(u"RX:" + text::Decimal(m_rxCount));
  m_view.ShowLineCount(m_view.Text(IDS_RECEIVE) + u" " + text::Decimal(m_lines->LineCount()));
}

void ReceivePipeline::TextChanged(std::size_t firstChange) {
  if (m_text.empty()) {
    m_lines->Reset();
  } else {
    m_lines->Update(m_text, firstChange);
  }
  m_view.ReceiveTextChanged(firstChange);
}

void ReceivePipeline::DropCarry() { m_decoder.Reset(); }

void ReceivePipeline::EncodingPicked() {
  // The settings are read again now and then: the same choice keeps the carry.
  const unsigned codePage = m_view.EncodingChosen().CodePage();
  if (codePage == m_codePage) return;
  m_codePage = codePage;
  m_decoder = platform::MultiByteDecoder(codePage);
  if (!platform::IsCodePageAvailable(codePage)) {
    m_view.ShowMessage(text::FormatOne(m_view.Text(IDS_ENCODING_MISSING), m_view.EncodingChosen().name));
  }
}

void ReceivePipeline::HexDumpClicked() {
  m_view.EnableFilterBox(!m_view.HexDumpChecked());
  DropCarry();
}

void ReceivePipeline::ClearReceive() {
  m_bytesSinceClear = 0;
  ClearText();
}

void ReceivePipeline::ClearText() {
  // The view starts afresh on a new line; so does the text log, which keeps what went before.
  if (m_textLog) {
    m_logEncoder.Append(m_lineStarts.LineBreakNeeded(), m_logText);
    FlushLogText();
  }
  m_text.clear();
  m_filter.Reset();
  m_floor = 0;
  m_sentSpans.clear();
  m_lineStarts.Reset();
  m_dump.Start(m_bytesSinceClear);
  TextChanged(0);
}

void ReceivePipeline::ClearCount() {
  m_rxCount = 0;
  m_view.ShowRxCount(u"RX:0");
}

void ReceivePipeline::PauseClicked() {
  m_paused = !m_paused;
  m_view.PauseReading(m_paused);
  m_view.ShowPauseCaption(m_view.Text(m_paused ? IDS_CONTINUE : IDS_PAUSE));
}

void ReceivePipeline::HexClicked() {
  m_view.EnableAddSpace(m_view.ReceiveHexChecked());
  DropCarry();
}

void ReceivePipeline::SetStoredFilter(std::u16string conditions, bool keepOnly) {
  m_filterText = std::move(conditions);
  m_keepOnly = keepOnly;
}

void ReceivePipeline::RebuildConditions() {
  // Only the ASCII comma separates; nothing is trimmed and empty conditions stay.
  m_conditions.clear();
  std::u16string_view rest = m_filterText;
  for (auto comma = rest.find(u','); comma != std::u16string_view::npos; comma = rest.find(u',')) {
    m_conditions.emplace_back(rest.substr(0, comma));
    rest.remove_prefix(comma + 1);
  }
  m_conditions.emplace_back(rest);
}

void ReceivePipeline::FilterSetClicked() {
  std::u16string conditions = m_filterText;
  const bool accepted = m_view.RunFilterDialog(conditions, m_keepOnly);
  m_filterOn = accepted;
  if (accepted) {
    m_filterText = std::move(conditions);
    if (m_filterText.empty()) {
      m_filterOn = false;
      m_view.CheckFilter(false);
    } else {
      m_view.SaveSettings();
      m_view.CheckFilter(true);
    }
  } else {
    m_view.CheckFilter(false);
  }
  RebuildConditions();
}

void ReceivePipeline::FilterClicked() {
  if (!m_view.FilterChecked()) {
    m_filterOn = false;
    return;
  }
  m_filterOn = true;
  m_view.ReloadSettings();
  if (m_filterText.empty()) {
    m_filterOn = false;
  } else {
    RebuildConditions();
  }
}

void ReceivePipeline::SaveClicked() {
  const std::u16string text = m_view.ReceiveBoxText();
  FileDialogRequest request;
  request.save = true;
  request.initialPath = m_view.RememberedFolder();
  if (request.initialPath.empty() || request.initialPath.back() != platform::PathSeparator()) {
    request.initialPath += platform::PathSeparator();
  }
  request.initialPath += SaveFileName(platform::GetLocalTime());
  request.filter = u"Text Files(*.txt)|*.txt||";
  request.defaultExtension = u"txt";
  const auto chosen = m_view.AskForFile(request);
  if (!chosen) return;

  m_view.RememberFolder(chosen->path.substr(0, chosen->path.size() - chosen->fileName.size()));
  if (!SaveReceivedText(std::filesystem::path(chosen->path), text, m_view.EncodingChosen().CodePage())) {
    m_view.ShowMessage(text::FormatOne(m_view.Text(IDS_SAVE_FILE_ERROR), chosen->path));
  }
}

void ReceivePipeline::LogClicked() {
  if (m_log.Running()) {
    StopLog();
  } else {
    StartLog();
  }
}

void ReceivePipeline::StartLog() {
  FileDialogRequest request;
  request.save = true;
  request.initialPath = m_view.RememberedFolder();
  if (request.initialPath.empty() || request.initialPath.back() != platform::PathSeparator()) {
    request.initialPath += platform::PathSeparator();
  }
  request.initialPath += LogFileName(m_view.PortText(), platform::GetLocalTime());
  request.filter = m_view.Text(IDS_RAW_LOG) + u"(*.log)|*.log|" + m_view.Text(IDS_TEXT_LOG) + u"(*.log)|*.log||";
  request.defaultExtension = u"log";
  request.fileType = m_view.LogFormat();
  const auto chosen = m_view.AskForFile(request);
  if (!chosen) return;

  m_view.RememberFolder(chosen->path.substr(0, chosen->path.size() - chosen->fileName.size()));
  m_view.RememberLogFormat(chosen->fileType);
  StartLogAt(chosen->path, chosen->fileType == 1);
}

void ReceivePipeline::StartLogAt(const std::u16string& path, bool text) {
  std::u16string error;
  if (!m_log.Start(std::filesystem::path(path), error)) {
    m_view.ShowMessage(FormatFileAndReason(m_view.Text(IDS_LOG_OPEN_ERROR), path, error));
    return;
  }
  m_textLog = text;
  m_logEncoder.Reset();
  ShowLogState();
}

void ReceivePipeline::StopLog() {
  m_log.Stop();
  m_textLog = false;
  m_logText.clear();
  ShowLogState();
}

void ReceivePipeline::LogFailed(const std::u16string& error) {
  const std::u16string path = m_log.Path().u16string();
  StopLog();
  m_view.ShowMessage(FormatFileAndReason(m_view.Text(IDS_LOG_WRITE_ERROR), path, error));
}

void ReceivePipeline::ShowLogState() {
  const bool running = m_log.Running();
  m_view.ShowLogState(m_view.Text(running ? IDS_STOP_LOG : IDS_LOG),
                      running ? text::FormatOne(m_view.Text(IDS_LOG_FILE), m_log.Path().filename().u16string())
                              : std::u16string());
}
