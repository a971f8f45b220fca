#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/dialog_window.h"
#include "send/command.h"
#include "send/command_sequence.h"
#include "send/commands_file.h"

class CommandsView;
class Sender;

// The saved commands: the list and its editor, sending one (its button, a double click or
// Enter on the list, F1..F12 for the first twelve), the sequence, and the commands file,
// which follows every change. UI thread only.
class CommandPanel : private SequenceHost {
 public:
  CommandPanel(CommandsView& view, Sender& sender);

  // At start: the list from `file`, which every change then rewrites.
  void Load(std::filesystem::path file);
  const std::vector<Command>& Commands() const { return m_commands; }
  bool SequenceRunning() const { return m_sequence.Running(); }

  void SelectionChanged();
  void SendSelected();  // the Send button, a double click, Enter on the list
  // F1 is 1. False when no such command exists, so the key goes on as usual.
  bool FunctionKey(int number);
  void AddClicked();
  void ApplyClicked();
  void RemoveClicked();
  void MoveClicked(int step);  // Up -1, Down +1
  void RunClicked();
  void StopClicked() { m_sequence.Stop(); }
  void ImportClicked();
  void ExportClicked();
  void OnTimer(UINT_PTR timerId) { m_sequence.OnTimer(timerId); }
  // A port that closes (by the user, a failed write, a device gone) ends the sequence.
  void PortClosed() { m_sequence.Stop(); }

  static constexpr int kFunctionKeys = 12;

 private:
  // SequenceHost
  void StartTimer(UINT_PTR timerId, UINT periodMs) override;
  void StopTimer(UINT_PTR timerId) override;
  bool SendStep(const Command& command) override;
  bool WritesPending() const override;
  void ShowSequenceStep(std::size_t step, std::size_t steps, int round, int rounds) override;
  void SequenceEnded(bool finished) override;

  // The editor's command; nullopt (after saying why) when it has no text.
  std::optional<Command> EditedCommand();
  void ShowEditor(const Command& command);
  // Shows the list with `selected` selected, and saves it.
  void Changed(int selected);
  void ShowList(int selected);
  void EnableActions(int selected);
  SequenceSettings TypedSequence() const;
  void Save();
  void ReportSkipped(const std::u16string& file, const std::vector<int>& lines);
  FileDialogRequest FileRequest(bool save) const;

  CommandsView& m_view;
  Sender& m_sender;
  CommandSequence m_sequence;
  std::vector<Command> m_commands;
  SequenceSettings m_settings;
  std::filesystem::path m_file;
  std::vector<std::u16string> m_keptLines;  // lines the file had that were no commands
  bool m_fileLocked = false;  // the file was there but unreadable: it is left alone
  bool m_reportedNotSaved = false;
};
