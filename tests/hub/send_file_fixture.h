#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hub/send_fixture.h"
#include "support/sent_text.h"

// Sending files: files are made in the test's folder and chosen, dropped or picked as a user
// would.
class SendFileTest : public SendTest {
 protected:
  // Writes `bytes` to `relative` under the test's folder (folders made as needed); returns
  // the full path.
  std::u16string MakeFile(const std::string& relative, const std::string& bytes) {
    const auto file = folder.Path() / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
    return file.u16string();
  }
  // Send File, choosing `path` in the dialog.
  void Choose(const std::u16string& path) {
    toolkit.QueueFileDialogAnswer(FileDialogResult{path, std::filesystem::path(path).filename().u16string()});
    W().Click(IDC_SEND_FILE);
  }
  // Pumps until every file queued is reported done.
  bool PumpUntilFilesDone() {
    return toolkit.PumpUntil([&] { return !dlg->GetSender().IsSendingFile() && Text(IDC_SEND_FILE) == u"Send File"; });
  }
  std::u16string Folder() const { return folder.Path().u16string() + u"/"; }
};

// What a text must arrive as, as the far end reads it.
inline std::vector<std::uint8_t> Reduced(unsigned codePage, std::u16string_view text) {
  const std::string bytes = testsupport::SentText(codePage, text);
  return {bytes.begin(), bytes.end()};
}
