#include <algorithm>

#include "app/serial_port_dlg.h"
#include "platform/app_dir.h"
#include "platform/text.h"
#include "res/resource.h"
#include "res/string_table.h"
#include "send/file_send_job.h"

namespace {
// Exactly these two spellings: "report.Txt" is refused.
bool EndsWithTxt(std::u16string_view name) { return name.ends_with(u"txt") || name.ends_with(u"TXT"); }

// A percentage fits the narrow button in every language, which "1048576/1048576" would not.
std::u16string ProgressCaption(const FileSendJob& job) {
  const std::uint64_t consumed = job.consumed.load();
  // The file may have grown since it was opened (or reports no size, as /proc files do).
  const std::uint64_t total = std::max(job.size, consumed);
  const std::uint64_t percent = total == 0 ? 0 : consumed * 100 / total;
  return text::Decimal(percent) + u"%";
}
}  // namespace

void CSerialPortDlg::OnBnClickedSendFile() {
  // While files go out the button stops them.
  if (IsSendingFile()) {
    CancelFileSends();
    return;
  }
  if (!IsPortOpen()) return;
  FileDialogRequest request;
  request.initialPath = m_strPath;
  request.filter = u"Text Files(*.txt)|*.txt||";
  request.fileMustExist = true;
  const auto chosen = ShowFileDialog(request);
  if (!chosen || !EndsWithTxt(chosen->fileName)) return;
  m_strPath = chosen->path.substr(0, chosen->path.size() - chosen->fileName.size());
  SaveSettings();
  SendFile(chosen->fileName, chosen->path);
}

void CSerialPortDlg::SendFile(std::u16string name, std::u16string path) {
  auto job = std::make_shared<FileSendJob>();
  switch (job->Open(path)) {
    case FileSendJob::Check::CannotOpen:
      MessageBox(text::FormatOne(LoadString(IDS_OPEN_FILE_ERROR), path));
      return;
    case FileSendJob::Check::ReadFailed:
      MessageBox(text::FormatOne(LoadString(IDS_READ_FILE_ERROR), path));
      return;
    case FileSendJob::Check::UnsupportedEncoding:
      MessageBox(LoadString(IDS_NOT_SUPPORT_ENCODING));
      return;
    case FileSendJob::Check::Empty:
      break;
    case FileSendJob::Check::Ready:
      // A history entry picked while the port is closed only moves to the front.
      if (IsPortOpen() && m_sendThread.PostSendFile(job)) m_fileJobs.push_back(std::move(job));
      break;
  }
  // The history follows the user's choice at once, not the end of the send: a file still
  // going out (or stopped) is the one the user will want again.
  AddToFileHistory(name, path);
  SetDlgItemText(IDC_TX_COUNT, u"TX:" + text::Decimal(m_nTxCount));
  ShowFileProgress();
}

void CSerialPortDlg::OnCbnSelchangeFileHistory() {
  const int i = ComboGetCurSel(IDC_FILE_HISTORY);
  if (i < 0 || i >= static_cast<int>(m_dqFilePaths.size())) return;
  const auto entry = static_cast<std::size_t>(i);
  SendFile(m_dqFileNames[entry], m_dqFilePaths[entry]);
}

void CSerialPortDlg::OnDropFiles(const DroppedFiles& files) {
  if (!IsPortOpen()) return;
  for (const std::u16string& path : files.paths) {
    if (!EndsWithTxt(path)) continue;
    const auto separator = path.find_last_of(platform::PathSeparator());
    SendFile(separator == std::u16string::npos ? path : path.substr(separator + 1), path);
  }
}

LRESULT CSerialPortDlg::OnPortFileProgress(WPARAM, LPARAM) {
  ShowFileProgress();
  return 0;
}

LRESULT CSerialPortDlg::OnPortFileDone(WPARAM wParam, LPARAM lParam) {
  const auto done = std::find_if(m_fileJobs.begin(), m_fileJobs.end(),
                                 [wParam](const auto& job) { return job->id == static_cast<std::uint64_t>(wParam); });
  if (done == m_fileJobs.end()) return 0;
  const std::shared_ptr<FileSendJob> job = *done;
  m_fileJobs.erase(done);
  ShowFileProgress();
  switch (job->outcome.load()) {
    case FileSendJob::Outcome::ReadFailed:
      MessageBox(text::FormatOne(LoadString(IDS_READ_FILE_ERROR), job->path));
      break;
    case FileSendJob::Outcome::WriteFailed:
      // Once, and only for the connection the write was made on.
      if (lParam == m_sendThread.ConnectionTag() && IsPortOpen()) ReportSendFail();
      break;
    default:
      break;
  }
  return 0;
}

bool CSerialPortDlg::IsSendingFile() const {
  return std::any_of(m_fileJobs.begin(), m_fileJobs.end(), [](const auto& job) { return !job->cancelled.load(); });
}

void CSerialPortDlg::CancelFileSends() {
  for (const auto& job : m_fileJobs) job->cancelled.store(true);
  ShowFileProgress();
}

void CSerialPortDlg::ShowFileProgress() {
  const auto sending =
      std::find_if(m_fileJobs.begin(), m_fileJobs.end(), [](const auto& job) { return !job->cancelled.load(); });
  SetDlgItemText(IDC_SEND_FILE, sending == m_fileJobs.end() ? LoadString(IDS_SEND_FILE) : ProgressCaption(**sending));
}
