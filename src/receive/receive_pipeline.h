#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/multibyte_decoder.h"
#include "receive/display_line_counter.h"
#include "receive/hex_dump.h"
#include "receive/receive_filter.h"

class ReceiveView;

// What arrives, as the user sees it: each chunk is decoded in the chosen encoding (or put in
// hexadecimal, or in the dump form), appended to the receive text, filtered, and counted in display lines for
// Auto Clear and the caption; the RX counter; Pause; Save as .txt; the filter's conditions.
// UI thread only.
class ReceivePipeline {
 public:
  explicit ReceivePipeline(ReceiveView& view);
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
  // The dump's offsets count from an open, as from a Clear.
  void PortOpened();
  // The decoder follows the Encoding list from the next chunk on.
  void EncodingPicked();
  void HexDumpClicked();
  void FilterSetClicked();
  void FilterClicked();
  void SaveClicked();

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
};
