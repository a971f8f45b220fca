#pragma once

#include <filesystem>

#include "res/resource.h"
#include "support/hub_fixture.h"

class SaveTest : public HubTest {
 protected:
  // Saves to `file` as the user choosing that file in the dialog.
  void SaveAs(const std::filesystem::path& file) {
    toolkit.QueueFileDialogAnswer(FileDialogResult{file.u16string(), file.filename().u16string()});
    W().Click(IDC_RX_SAVE);
  }
};
