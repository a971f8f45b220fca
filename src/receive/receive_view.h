#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog_window.h"
#include "platform/text_encoding.h"

// What the receive pipeline needs from the window: the receive box it fills, the options it
// reads, the captions it keeps up to date, the Filter dialog, and the services it shares
// (dialogs, the language, the settings, pausing the reader).
class ReceiveView {
 public:
  virtual ~ReceiveView() = default;

  virtual bool AutoClearChecked() const = 0;
  virtual bool ReceiveHexChecked() const = 0;
  virtual bool AddSpaceChecked() const = 0;
  virtual void EnableAddSpace(bool enable) = 0;
  virtual bool FilterChecked() const = 0;
  virtual void CheckFilter(bool checked) = 0;
  virtual void EnableFilterBox(bool enable) = 0;
  virtual bool HexDumpChecked() const = 0;
  virtual platform::TextEncoding EncodingChosen() const = 0;
  virtual bool TimestampChecked() const = 0;
  virtual int IdleGapValue() const = 0;  // ms, as the platform reads a number
  virtual bool ShowSentChecked() const = 0;
  virtual std::u16string PortText() const = 0;

  // The box shows `text`, which outlives it, and catches up with its changes by itself.
  virtual void AttachReceiveText(const std::u16string* text) = 0;
  virtual void ReceiveTextChanged(std::size_t firstChange) = 0;
  // The parts of the text that were sent, shown apart; they change with the text.
  virtual void AttachSentSpans(const std::vector<TextSpan>* spans) = 0;
  virtual void ScrollReceiveBoxToEnd() = 0;
  virtual std::u16string ReceiveBoxText() const = 0;  // what the box holds, the user's edits included
  // The width for text in the box, and the advance of a character, for counting its lines.
  virtual int ReceiveBoxTextWidth() const = 0;
  virtual std::function<int(char16_t)> ReceiveBoxCharWidth() const = 0;

  virtual void ShowRxCount(std::u16string_view text) = 0;
  virtual void ShowLineCount(std::u16string_view text) = 0;
  virtual void ShowPauseCaption(std::u16string_view text) = 0;
  // The Log button's caption, and the log file's name under the send options (or nothing).
  virtual void ShowLogState(std::u16string_view buttonCaption, std::u16string_view fileText) = 0;

  // Runs the Filter dialog on the conditions and the Only reserve flag; true when accepted
  // (then `conditions` holds what was typed). `keepOnly` comes back as the dialog leaves it.
  virtual bool RunFilterDialog(std::u16string& conditions, bool& keepOnly) = 0;
  virtual std::optional<FileDialogResult> AskForFile(const FileDialogRequest& request) = 0;
  virtual void ShowMessage(std::u16string_view text) = 0;
  virtual std::u16string Text(int stringId) = 0;  // in the window's language

  // The folder Save and Send File start in; remembering one saves the settings.
  virtual std::u16string RememberedFolder() const = 0;
  virtual void RememberFolder(std::u16string folder) = 0;
  virtual void SaveSettings() = 0;
  // The log format chosen last (the file dialog's entry: 0 raw, 1 text); remembering saves it.
  virtual int LogFormat() const = 0;
  virtual void RememberLogFormat(int format) = 0;
  // Reads the whole settings file again, into every box and owner (the filter's stored
  // conditions among them).
  virtual void ReloadSettings() = 0;
  // Stops or restarts reading the port; bytes wait in the driver meanwhile.
  virtual void PauseReading(bool paused) = 0;
};
