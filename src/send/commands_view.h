#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog_window.h"

// What the commands panel needs from the window: the list, the editor of one command, the
// sequence's boxes and buttons, and the services it shares with the sender.
class CommandsView {
 public:
  virtual ~CommandsView() = default;

  virtual void ShowCommandItems(const std::vector<std::u16string>& items) = 0;
  virtual void SelectCommandItem(int index) = 0;  // -1: none
  virtual int SelectedCommandItem() const = 0;     // -1: none
  virtual void EnableCommandActions(bool selected, bool canMoveUp, bool canMoveDown) = 0;

  // The editor. The lists' index 0 is "As send box", then the lists of the send options.
  virtual std::u16string CommandNameTyped() const = 0;
  virtual void SetCommandName(std::u16string_view name) = 0;
  virtual std::u16string CommandTextTyped() const = 0;
  virtual void SetCommandText(std::u16string_view text) = 0;
  virtual bool CommandHexChecked() const = 0;
  virtual void CheckCommandHex(bool hex) = 0;
  virtual int CommandLineEndPicked() const = 0;
  virtual void PickCommandLineEnd(int index) = 0;
  virtual int CommandAppendPicked() const = 0;
  virtual void PickCommandAppend(int index) = 0;

  // The boxes read as the platform reads a number (unreadable text: 0).
  virtual int SequenceDelayTyped() const = 0;
  virtual int SequenceRepeatTyped() const = 0;
  virtual void ShowSequenceSettings(int delayMs, int repeat) = 0;
  virtual void ShowSequenceRunning(bool running) = 0;
  virtual void ShowSequenceStatus(std::u16string_view text) = 0;

  virtual void StartTimer(UINT_PTR timerId, UINT periodMs) = 0;
  virtual void StopTimer(UINT_PTR timerId) = 0;
  virtual std::optional<FileDialogResult> AskForFile(const FileDialogRequest& request) = 0;
  virtual void ShowMessage(std::u16string_view text) = 0;
  virtual std::u16string Text(int stringId) = 0;  // in the window's language
  virtual std::u16string RememberedFolder() const = 0;
};
