#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog_window.h"
#include "platform/text_encoding.h"
#include "send/frame_ending.h"

// What the sender needs from the window: the send box and its options, the labels and
// buttons it keeps up to date, timers, dialogs, the language and the settings it shares.
class SenderView {
 public:
  virtual ~SenderView() = default;

  virtual std::u16string SendText() const = 0;
  virtual void SetSendText(std::u16string_view text) = 0;
  virtual void GetSendSelection(int& start, int& end) const = 0;
  virtual bool SendHexChecked() const = 0;
  virtual bool IgnoreSpaceChecked() const = 0;
  virtual void EnableIgnoreSpace(bool enable) = 0;
  virtual bool AutoSendChecked() const = 0;
  virtual int IntervalValue() const = 0;  // the interval box read as the platform reads a number

  virtual void ShowTxCount(std::u16string_view text) = 0;
  // What went out, as the send thread wrote it (Show sent puts it into the receive view).
  virtual void ShowSent(std::span<const std::uint8_t> bytes) = 0;
  virtual void ShowChecksum(std::u16string_view text) = 0;
  virtual FrameEnding FrameEndingChosen() const = 0;  // the Line end and Append lists
  virtual platform::TextEncoding EncodingChosen() const = 0;
  virtual void ShowAppendedCheck(std::u16string_view text) = 0;
  virtual void ShowSendFileCaption(std::u16string_view text) = 0;
  // Replaces the history list and selects its first entry.
  virtual void ShowFileHistory(const std::vector<std::u16string>& names) = 0;
  virtual int FileHistorySelection() const = 0;

  virtual void StartTimer(UINT_PTR timerId, UINT periodMs) = 0;
  virtual void StopTimer(UINT_PTR timerId) = 0;
  virtual std::optional<FileDialogResult> AskForFile(const FileDialogRequest& request) = 0;
  virtual void ShowMessage(std::u16string_view text) = 0;
  virtual std::u16string Text(int stringId) = 0;  // in the window's language

  // The folder Save and Send File start in; remembering one saves the settings.
  virtual std::u16string RememberedFolder() const = 0;
  virtual void RememberFolder(std::u16string folder) = 0;
  virtual void SaveInterval() = 0;
  // A write failed on the port open now. True: it is closed and the ports are listed again;
  // false: the connection waits for the device to come back, and says so itself.
  virtual bool ClosePortAfterFailure() = 0;
  // The port the connection waits for (Reconnect), empty when it waits for none.
  virtual std::u16string PortWaitedFor() const = 0;
};
