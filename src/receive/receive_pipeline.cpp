#include "receive/receive_pipeline.h"

#include <algorithm>

#include "platform/app_dir.h"
#include "platform/codepage.h"
#include "platform/local_time.h"
#include "platform/text.h"
#include "receive/hex_format.h"
#include "receive/receive_view.h"
#include "receive/save_file_name.h"
#include "receive/save_received_text.h"
#include "res/string_table.h"

namespace {
constexpr int kAutoClearLines = 200;
}  // namespace

ReceivePipeline::ReceivePipeline(ReceiveView& view)
    : m_view(view), m_codePage(platform::GetACP()), m_decoder(m_codePage) {}

void ReceivePipeline::Attach() {
  m_lines = std::make_unique<DisplayLineCounter>(m_view.ReceiveBoxTextWidth(), m_view.ReceiveBoxCharWidth());
  m_view.AttachReceiveText(&m_text);
  m_view.ReceiveTextChanged(0);
}

void ReceivePipeline::Receive(std::span<const std::uint8_t> chunk) {
  // Auto Clear empties the box only: the dump's offsets go on counting.
  if (m_view.AutoClearChecked() && m_lines->LineCount() >= kAutoClearLines) ClearText();

  const std::size_t oldLength = m_text.size();
  std::size_t firstChange = AppendChunk(chunk);
  if (m_filterOn && !m_conditions.empty() && !m_dumpShown) {
    firstChange = m_filter.Apply(m_text, oldLength, m_conditions);
  } else {
    m_filter.Reset();
  }
  TextChanged(firstChange);
  m_rxCount += static_cast<std::int64_t>(chunk.size());
  m_bytesSinceClear += chunk.size();
}

std::size_t ReceivePipeline::AppendChunk(std::span<const std::uint8_t> chunk) {
  const std::size_t oldLength = m_text.size();
  const bool dump = m_view.HexDumpChecked();
  if (dump != m_dumpShown) {
    // The dump's columns need lines of their own, and so does what follows an unfinished one.
    if (!m_text.empty() && m_text.back() != u'\n') m_text += u"\r\n";
    if (dump) m_dump.Start(m_bytesSinceClear);
    m_dumpShown = dump;
  }
  if (dump) return std::min(oldLength, m_dump.Append(chunk.data(), chunk.size(), m_text));
  if (m_view.ReceiveHexChecked()) {
    AppendHex(chunk.data(), static_cast<int>(chunk.size()), m_view.AddSpaceChecked(), m_text);
  } else {
    m_decoder.Append(chunk.data(), chunk.size(), m_text);
  }
  return oldLength;
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

void ReceivePipeline::PortOpened() {
  DropCarry();
  m_bytesSinceClear = 0;
  m_dump.Start(0);
}

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
  m_text.clear();
  m_filter.Reset();
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
