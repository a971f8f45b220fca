#include <fstream>
#include <system_error>

#include "app/serial_port_dlg.h"
#include "platform/app_dir.h"
#include "platform/codepage.h"
#include "platform/local_time.h"
#include "platform/text.h"
#include "receive/save_file_name.h"
#include "res/resource.h"
#include "res/string_table.h"

namespace {
// Writes beside the target and renames over it, so a failed write (a full disk) leaves the
// old file whole.
bool ReplaceFileContent(const std::filesystem::path& target, const std::string& bytes) {
  std::filesystem::path temporary = target;
  temporary += ".tarvolm-save";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, target, error);
  if (error) std::filesystem::remove(temporary, error);
  return !error;
}
}  // namespace

void CSerialPortDlg::OnBnClickedSaveTxt() {
  std::u16string text = GetDlgItemText(IDC_RX_EDIT);
  FileDialogRequest request;
  request.save = true;
  request.initialPath = m_strPath;
  if (request.initialPath.empty() || request.initialPath.back() != platform::PathSeparator()) {
    request.initialPath += platform::PathSeparator();
  }
  request.initialPath += SaveFileName(platform::GetLocalTime());
  request.filter = u"Text Files(*.txt)|*.txt||";
  request.defaultExtension = u"txt";
  const auto chosen = ShowFileDialog(request);
  if (!chosen) return;

  m_strPath = chosen->path.substr(0, chosen->path.size() - chosen->fileName.size());
  SaveSettings();

  if (text.size() < 2 || text.compare(text.size() - 2, 2, u"\r\n") != 0) text += u"\r\n";
  if (!ReplaceFileContent(std::filesystem::path(chosen->path), platform::WideToMultiByte(platform::GetACP(), text))) {
    MessageBox(text::FormatOne(LoadString(IDS_SAVE_FILE_ERROR), chosen->path));
  }
}
