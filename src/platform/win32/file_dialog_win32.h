#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog_window.h"
#include "platform/win32/win32_api.h"

// One entry of a file-type filter: what the list shows, and the patterns ("*.txt;*.log").
struct FileTypeFilter {
  std::wstring name;
  std::wstring patterns;
};

// "Text Files(*.txt)|*.txt||" as entries; a name without patterns ends the list.
std::vector<FileTypeFilter> ParseFileFilter(std::u16string_view filter);

// The common item dialog for opening or saving, owned by `owner`. COM must be initialised on
// the calling thread. Cancel, and a dialog that cannot be shown, give nullopt.
std::optional<FileDialogResult> RunFileDialog(HWND owner, const FileDialogRequest& request);
