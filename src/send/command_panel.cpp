#include "send/command_panel.h"

#include <algorithm>
#include <iterator>

#include "platform/app_dir.h"
#include "platform/text.h"
#include "res/string_table.h"
#include "send/commands_view.h"
#include "send/sender.h"

namespace {
constexpr char16_t kCommandFiles[] = u"Commands (*.ini)|*.ini|All Files (*.*)|*.*||";
constexpr int kLongestDelayMs = 0x7FFFFFFF;

// The editor's lists: "As send box", then the values in the send options' order.
template <class Value, std::size_t N>
std::optional<Value> Picked(int index, const Value (&values)[N]) {
  if (index <= 0 || index > static_cast<int>(N)) return std::nullopt;
  return values[index - 1];
}
template <class Value, std::size_t N>
int PickOf(const std::optional<Value>& value, const Value (&values)[N]) {
  if (!value) return 0;
  return 1 + static_cast<int>(std::find(std::begin(values), std::end(values), *value) - std::begin(values));
}

// The first twelve carry their key, so the list says what F1..F12 send.
std::u16string ItemText(const Command& command, std::size_t index) {
  const std::u16string& label = command.name.empty() ? command.text : command.name;
  if (index >= static_cast<std::size_t>(CommandPanel::kFunctionKeys)) return label;
  return u"F" + text::Decimal(static_cast<int>(index) + 1) + u"  " + label;
}

std::u16string Joined(const std::vector<int>& numbers) {
  std::u16string out;
  for (const int n : numbers) out += (out.empty() ? u"" : u", ") + text::Decimal(n);
  return out;
}
}  // namespace

CommandPanel::CommandPanel(CommandsView& view, Sender& sender) : m_view(view), m_sender(sender), m_sequence(*this) {}

void CommandPanel::Load(std::filesystem::path file) {
  m_file = std::move(file);
  CommandsFileRead read = ReadCommandsFile(m_file);
  const std::u16string path = m_file.u16string();
  if (read.state == CommandsFileState::Unreadable) {
    m_fileLocked = true;
    m_view.ShowMessage(text::FormatOne(m_view.Text(IDS_CMD_FILE_UNREADABLE), path));
  }
  m_commands = std::move(read.text.commands);
  m_settings = read.text.sequence;
  m_keptLines = std::move(read.text.skippedText);
  ReportSkipped(path, read.text.skippedLines);
  m_view.ShowSequenceSettings(m_settings.delayMs, m_settings.repeat);
  ShowList(-1);
  ShowEditor(Command{});
}

void CommandPanel::ReportSkipped(const std::u16string& file, const std::vector<int>& lines) {
  if (lines.empty()) return;
  m_view.ShowMessage(text::FormatOne(text::FormatOne(m_view.Text(IDS_CMD_LINES_SKIPPED), file), Joined(lines)));
}

void CommandPanel::ShowList(int selected) {
  std::vector<std::u16string> items;
  for (std::size_t i = 0; i < m_commands.size(); ++i) items.push_back(ItemText(m_commands[i], i));
  m_view.ShowCommandItems(items);
  m_view.SelectCommandItem(selected);
  EnableActions(selected);
}

void CommandPanel::EnableActions(int selected) {
  const int count = static_cast<int>(m_commands.size());
  const bool valid = selected >= 0 && selected < count;
  m_view.EnableCommandActions(valid, valid && selected > 0, valid && selected + 1 < count);
}

void CommandPanel::ShowEditor(const Command& command) {
  m_view.SetCommandName(command.name);
  m_view.SetCommandText(command.text);
  m_view.CheckCommandHex(command.hex);
  m_view.PickCommandLineEnd(PickOf(command.lineEnd, kLineEnds));
  m_view.PickCommandAppend(PickOf(command.check, kAppendChecks));
}

std::optional<Command> CommandPanel::EditedCommand() {
  Command command;
  command.name = m_view.CommandNameTyped();
  command.text = m_view.CommandTextTyped();
  command.hex = m_view.CommandHexChecked();
  command.lineEnd = Picked(m_view.CommandLineEndPicked(), kLineEnds);
  command.check = Picked(m_view.CommandAppendPicked(), kAppendChecks);
  if (command.text.empty()) {
    m_view.ShowMessage(m_view.Text(IDS_CMD_NEEDS_TEXT));
    return std::nullopt;
  }
  return command;
}

void CommandPanel::SelectionChanged() {
  const int selected = m_view.SelectedCommandItem();
  EnableActions(selected);
  if (selected >= 0 && selected < static_cast<int>(m_commands.size())) {
    ShowEditor(m_commands[static_cast<std::size_t>(selected)]);
  }
}

void CommandPanel::SendSelected() {
  const int selected = m_view.SelectedCommandItem();
  if (selected >= 0 && selected < static_cast<int>(m_commands.size())) {
    m_sender.SendCommand(m_commands[static_cast<std::size_t>(selected)]);
  }
}

bool CommandPanel::FunctionKey(int number) {
  if (number < 1 || number > kFunctionKeys || number > static_cast<int>(m_commands.size())) return false;
  m_sender.SendCommand(m_commands[static_cast<std::size_t>(number - 1)]);
  return true;
}

void CommandPanel::AddClicked() {
  if (const auto command = EditedCommand()) {
    m_commands.push_back(*command);
    Changed(static_cast<int>(m_commands.size()) - 1);
  }
}

void CommandPanel::ApplyClicked() {
  const int selected = m_view.SelectedCommandItem();
  if (selected < 0 || selected >= static_cast<int>(m_commands.size())) return;
  if (const auto command = EditedCommand()) {
    m_commands[static_cast<std::size_t>(selected)] = *command;
    Changed(selected);
  }
}

void CommandPanel::RemoveClicked() {
  const int selected = m_view.SelectedCommandItem();
  if (selected < 0 || selected >= static_cast<int>(m_commands.size())) return;
  m_commands.erase(m_commands.begin() + selected);
  Changed(std::min(selected, static_cast<int>(m_commands.size()) - 1));
}

void CommandPanel::MoveClicked(int step) {
  const int selected = m_view.SelectedCommandItem();
  const int target = selected + step;
  const int count = static_cast<int>(m_commands.size());
  if (selected < 0 || selected >= count || target < 0 || target >= count) return;
  std::swap(m_commands[static_cast<std::size_t>(selected)], m_commands[static_cast<std::size_t>(target)]);
  Changed(target);
}

void CommandPanel::Changed(int selected) {
  ShowList(selected);
  if (selected >= 0) ShowEditor(m_commands[static_cast<std::size_t>(selected)]);
  Save();
}

SequenceSettings CommandPanel::TypedSequence() const {
  return {std::clamp(m_view.SequenceDelayTyped(), 0, kLongestDelayMs), std::max(m_view.SequenceRepeatTyped(), 0)};
}

void CommandPanel::RunClicked() {
  if (m_commands.empty()) {
    m_view.ShowMessage(m_view.Text(IDS_CMD_NONE_TO_RUN));
    return;
  }
  if (!m_sender.PortOpen()) {
    m_view.ShowMessage(m_view.Text(IDS_CMD_PORT_CLOSED));
    return;
  }
  const SequenceSettings typed = TypedSequence();
  m_view.ShowSequenceSettings(typed.delayMs, typed.repeat);
  if (typed.delayMs != m_settings.delayMs || typed.repeat != m_settings.repeat) {
    m_settings = typed;
    Save();
  }
  m_view.ShowSequenceRunning(true);
  m_sequence.Start(m_commands, static_cast<UINT>(typed.delayMs), typed.repeat);
}

void CommandPanel::Save() {
  if (m_fileLocked || m_file.empty()) return;
  if (WriteCommandsFile(m_file, FormatCommands(m_commands, m_settings, m_keptLines))) {
    m_reportedNotSaved = false;
    return;
  }
  // Once until a save succeeds again: every edit would say it anew.
  if (m_reportedNotSaved) return;
  m_reportedNotSaved = true;
  m_view.ShowMessage(text::FormatOne(m_view.Text(IDS_CMD_NOT_SAVED), m_file.u16string()));
}

FileDialogRequest CommandPanel::FileRequest(bool save) const {
  FileDialogRequest request;
  request.save = save;
  request.initialPath = m_view.RememberedFolder();
  if (save) {
    if (!request.initialPath.empty() && request.initialPath.back() != platform::PathSeparator()) {
      request.initialPath += platform::PathSeparator();
    }
    request.initialPath += u"Commands.ini";
  }
  request.filter = kCommandFiles;
  request.defaultExtension = u"ini";
  request.fileMustExist = !save;
  return request;
}

void CommandPanel::ImportClicked() {
  const auto chosen = m_view.AskForFile(FileRequest(false));
  if (!chosen) return;
  CommandsFileRead read = ReadCommandsFile(std::filesystem::path(chosen->path));
  if (read.state != CommandsFileState::Read) {
    m_view.ShowMessage(text::FormatOne(m_view.Text(IDS_CMD_CANNOT_READ), chosen->path));
    return;
  }
  ReportSkipped(chosen->path, read.text.skippedLines);
  if (read.text.commands.empty()) return;
  const int first = static_cast<int>(m_commands.size());
  m_commands.insert(m_commands.end(), read.text.commands.begin(), read.text.commands.end());
  Changed(first);
}

void CommandPanel::ExportClicked() {
  const auto chosen = m_view.AskForFile(FileRequest(true));
  if (!chosen) return;
  if (!WriteCommandsFile(std::filesystem::path(chosen->path), FormatCommands(m_commands, TypedSequence()))) {
    m_view.ShowMessage(text::FormatOne(m_view.Text(IDS_CMD_CANNOT_WRITE), chosen->path));
  }
}

void CommandPanel::StartTimer(UINT_PTR timerId, UINT periodMs) { m_view.StartTimer(timerId, periodMs); }
void CommandPanel::StopTimer(UINT_PTR timerId) { m_view.StopTimer(timerId); }
bool CommandPanel::SendStep(const Command& command) { return m_sender.SendCommand(command); }
bool CommandPanel::WritesPending() const { return m_sender.WritesPending(); }

void CommandPanel::ShowSequenceStep(std::size_t step, std::size_t steps, int round, int rounds) {
  const std::u16string stepText = text::Decimal(static_cast<int>(step)) + u"/" + text::Decimal(static_cast<int>(steps));
  const std::u16string roundText = text::Decimal(round) + (rounds == 0 ? u"" : u"/" + text::Decimal(rounds));
  m_view.ShowSequenceStatus(text::FormatOne(text::FormatOne(m_view.Text(IDS_CMD_STEP), stepText), roundText));
}

void CommandPanel::SequenceEnded(bool finished) {
  m_view.ShowSequenceRunning(false);
  m_view.ShowSequenceStatus(m_view.Text(finished ? IDS_CMD_FINISHED : IDS_CMD_STOPPED));
}
