#include "platform/win32/file_dialog_win32.h"

#include <shobjidl.h>

#include "platform/win32/utf16_win32.h"

namespace {
// Releases a COM interface at the end of the scope.
template <class Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (m_pointer) m_pointer->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  Interface* operator->() const { return m_pointer; }
  Interface* Get() const { return m_pointer; }
  Interface** Out() { return &m_pointer; }
  explicit operator bool() const { return m_pointer != nullptr; }

 private:
  Interface* m_pointer = nullptr;
};

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void SetFolder(IFileDialog& dialog, const std::wstring& folder) {
  if (!IsFolder(folder)) return;
  ComPtr<IShellItem> item;
  if (SUCCEEDED(::SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_IShellItem,
                                              reinterpret_cast<void**>(item.Out())))) {
    dialog.SetFolder(item.Get());
  }
}

// The initial path names a folder, or a folder and a proposed name.
void SetInitialPath(IFileDialog& dialog, const std::wstring& path) {
  if (path.empty()) return;
  if (IsSeparator(path.back()) || IsFolder(path)) {
    SetFolder(dialog, path);
    return;
  }
  const std::size_t separator = path.find_last_of(L"\\/");
  if (separator == std::wstring::npos) {
    dialog.SetFileName(path.c_str());
    return;
  }
  // A drive root keeps its separator: "C:" alone would be the drive's current folder.
  SetFolder(dialog, path.substr(0, separator == 2 && path[1] == L':' ? separator + 1 : separator));
  dialog.SetFileName(path.c_str() + separator + 1);
}

void ShowFailure(HWND owner, HRESULT result) {
  wchar_t* text = nullptr;
  ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = L"The file dialog could not be shown.";
  if (text) {
    message += L"\r\n";
    message += text;
    ::LocalFree(text);
  }
  ::MessageBoxW(owner, message.c_str(), ToWide(WindowText(owner)).c_str(), MB_OK | MB_ICONERROR);
}
}  // namespace

std::vector<FileTypeFilter> ParseFileFilter(std::u16string_view filter) {
  std::vector<std::wstring> parts;
  std::size_t begin = 0;
  for (;;) {
    const std::size_t bar = filter.find(u'|', begin);
    parts.push_back(ToWide(filter.substr(begin, bar == std::u16string_view::npos ? bar : bar - begin)));
    if (bar == std::u16string_view::npos) break;
    begin = bar + 1;
  }
  std::vector<FileTypeFilter> filters;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty() || parts[i + 1].empty()) break;
    filters.push_back({parts[i], parts[i + 1]});
  }
  return filters;
}

std::optional<FileDialogResult> RunFileDialog(HWND owner, const FileDialogRequest& request) {
  ComPtr<IFileDialog> dialog;
  HRESULT result = ::CoCreateInstance(request.save ? CLSID_FileSaveDialog : CLSID_FileOpenDialog, nullptr,
                                      CLSCTX_INPROC_SERVER, IID_IFileDialog, reinterpret_cast<void**>(dialog.Out()));
  if (FAILED(result)) {
    ShowFailure(owner, result);
    return std::nullopt;
  }
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  // Paths only, and the process's current folder stays as it is.
  options |= FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR;
  if (request.save) options &= ~static_cast<FILEOPENDIALOGOPTIONS>(FOS_OVERWRITEPROMPT);
  if (request.fileMustExist) options |= FOS_FILEMUSTEXIST;
  dialog->SetOptions(options);

  const std::vector<FileTypeFilter> filters = ParseFileFilter(request.filter);
  std::vector<COMDLG_FILTERSPEC> specs;
  for (const FileTypeFilter& filter : filters) specs.push_back({filter.name.c_str(), filter.patterns.c_str()});
  if (!specs.empty()) {
    dialog->SetFileTypes(static_cast<UINT>(specs.size()), specs.data());
    if (request.fileType > 0 && request.fileType < static_cast<int>(specs.size())) {
      dialog->SetFileTypeIndex(static_cast<UINT>(request.fileType) + 1);  // counted from 1
    }
  }
  if (!request.defaultExtension.empty()) dialog->SetDefaultExtension(ToWide(request.defaultExtension).c_str());
  SetInitialPath(*dialog.Get(), ToWide(request.initialPath));

  result = dialog->Show(owner);
  if (result == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return std::nullopt;
  ComPtr<IShellItem> item;
  wchar_t* path = nullptr;
  if (SUCCEEDED(result)) result = dialog->GetResult(item.Out());
  if (SUCCEEDED(result)) result = item->GetDisplayName(SIGDN_FILESYSPATH, &path);
  if (FAILED(result)) {
    ShowFailure(owner, result);
    return std::nullopt;
  }
  UINT typeIndex = 1;
  if (FAILED(dialog->GetFileTypeIndex(&typeIndex)) || typeIndex == 0) typeIndex = 1;
  FileDialogResult chosen{ToU16(path), {}, static_cast<int>(typeIndex) - 1};
  ::CoTaskMemFree(path);
  const std::size_t separator = chosen.path.find_last_of(u"\\/");
  chosen.fileName = separator == std::u16string::npos ? chosen.path : chosen.path.substr(separator + 1);
  return chosen;
}
