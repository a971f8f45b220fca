#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "platform/win32/win32_api.h"

// The initial items of one combo, in the order they are added.
struct DialogInitList {
  int controlId;
  std::vector<std::u16string> items;
};

// The dialog's initial combo lists from its init data resource (layout in
// res/resource_script.h). Win32 dialogs do not apply that data themselves, so the dialog
// backend adds the items once the controls exist. Empty when the dialog has no such data
// or the data are malformed: a combo is then left empty, never half filled.
std::vector<DialogInitList> LoadDialogInit(HINSTANCE instance, int dialogId);

// The same on the resource's bytes. Records for a message other than adding a combo item
// are skipped; a record that runs past the data makes the whole data malformed.
std::vector<DialogInitList> ParseDialogInit(std::span<const std::byte> data);
