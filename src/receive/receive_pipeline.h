#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/dialog_window.h"
#include "platform/multibyte_decoder.h"
#include "receive/display_line_counter.h"
#include "receive/hex_dump.h"
#include "receive/line_starts.h"
#include "receive/log_text_encoder.h"
#include "receive/receive_filter.h"
#include "receive/session_log.h"
#include "receive/stamp_clock.h"

class ReceiveView;

// What arrives, as the user sees it: each chunk is decoded in the chosen encoding (or put in
// hexadecimal, or in the dump form), appended to the receive text, filtered, and counted in
// display lines for Auto Clear and the caption; the RX counter; Pause; Save as .txt; the
// filter's conditions; the time stamps, the sent lines and the session log. UI thread only.
class ReceivePipeline {
 public:
  // `toUiThread` runs a task on the UI thread; the log's writer reports through it.
  ReceivePipeline(ReceiveView& view, std::function<void(std::function<void()>)> toUiThread);
  // Once the window's box exists: attaches it to the receive text.
  void Attach();

  // One chunk as the reader read it, then, after each hand-over of chunks, the counters,
  // the caption and the box's scroll position are brought up to date once.
  void Receive(std::span<const std::uint8_t> chunk);
  void HandOverDone();

  void ClearReceive();  // the Clear Receive button
  void ClearCount();
  void PauseClicked();
  void HexClicked();
  // A character cut by a chunk boundary waits for the next chunk; a change of the Hex box
  // or of the port drops it.
  void DropCarry();
  // The decoder follows the Encoding list from the next chunk on.
  void EncodingPicked();
  void HexDumpClicked();
  void FilterSetClicked();
  void FilterClicked();
  void SaveClicked();

  // At each open: the stamps' clock takes the local time afresh, and the dump's offsets
  // count from here, as from a Clear.
  void PortOpened();
  // What the send thread wrote: with Show sent, a line of its own in the view (and the text
  // log), marked, never filtered or counted.
  void Sent(std::span<const std::uint8_t> bytes);
  void LogClicked();  // Log... or Stop log
  // The log as the dialog starts it, `text` or raw (the benchmarks start it so).
  void StartLogAt(const std::u16string& path, bool text);
  void UseClock(std::unique_ptr<StampClock> clock) { m_clock = std::move(clock); }
  const SessionLog& Log() const { return m_log; }
  // The parts of the receive text that were sent, not received.
  const std::vector<TextSpan>& SentSpans() const { return m_sentSpans; }

  // The stored conditions and the Only reserve flag, as the settings file holds them.
  void SetStoredFilter(std::u16string conditions, bool keepOnly);
  const std::u16string& FilterText() const { return m_filterText; }
  bool KeepOnly() const { return m_keepOnly; }

  const std::u16string& Text() const { return m_text; }
  std::int64_t RxCount() const { return m_rxCount; }
  bool Paused() const { return m_paused; }
  bool FilterOn() const { return m_filterOn; }

 private:
  // The receive text changed from `firstChange` on: the box and the line count follow.
  void TextChanged(std::size_t firstChange);
  // Appends the chunk in the form the boxes choose; returns where the text changed.
  std::size_t AppendChunk(std::span<const std::uint8_t> chunk);
  void RebuildConditions();
  void ClearText();
  // The dump's line, when it is chosen; false otherwise.
  bool AppendDump(std::span<const std::uint8_t> chunk);
  // Received text: filtered from the floor on, logged as text.
  void AppendReceived(std::u16string_view piece);
  // A stamp, a line break, a sent line: never filtered; the filter starts after it.
  void AppendMark(std::u16string_view mark);
  void AddStamp();
  void AppendSentLines(std::u16string_view sent);
  void StartLog();
  void StopLog();
  void ShowLogState();
  void LogFailed(const std::u16string& error);
  // Hands what this chunk or sent line added to a text log.
  void FlushLogText();

  ReceiveView& m_view;
  std::u16string m_text;
  unsigned m_codePage;
  platform::MultiByteDecoder m_decoder;
  HexDump m_dump;
  bool m_dumpShown = false;  // the form the last chunk took
  std::uint64_t m_bytesSinceClear = 0;
  ReceiveFilter m_filter;
  std::unique_ptr<DisplayLineCounter> m_lines;  // made once the box exists
  std::int64_t m_rxCount = 0;
  bool m_paused = false;

  std::u16string m_filterText;  // the conditions as typed, separated by commas
  std::vector<std::u16string> m_conditions;
  bool m_filterOn = false;
  bool m_keepOnly = false;  // the Filter dialog's Only reserve flag: stored, never applied

  std::unique_ptr<StampClock> m_clock;
  LineStarts m_lineStarts;
  std::size_t m_floor = 0;        // no filter match starts before it
  std::size_t m_firstChange = 0;  // of the chunk being taken
  std::int64_t m_chunkTime = 0;   // when it arrived
  std::vector<std::size_t> m_starts;  // scratch
  std::u16string m_piece;             // scratch
  std::vector<TextSpan> m_sentSpans;
  SessionLog m_log;
  bool m_textLog = false;
  LogTextEncoder m_logEncoder;
  std::string m_logText;  // what a chunk adds to a text log
};
