#include <algorithm>

#include "app/serial_port_dlg.h"
#include "res/resource.h"

namespace {
constexpr std::size_t kFileHistorySize = 10;
}  // namespace

// Paths are the keys; names are what the list shows, and may repeat.
void CSerialPortDlg::AddToFileHistory(const std::u16string& name, const std::u16string& path) {
  const auto known = std::find(m_dqFilePaths.begin(), m_dqFilePaths.end(), path);
  if (known != m_dqFilePaths.end()) {
    const auto entry = known - m_dqFilePaths.begin();
    m_dqFilePaths.erase(known);
    m_dqFileNames.erase(m_dqFileNames.begin() + entry);
  }
  m_dqFilePaths.push_front(path);
  m_dqFileNames.push_front(name);
  if (m_dqFilePaths.size() > kFileHistorySize) {
    m_dqFilePaths.pop_back();
    m_dqFileNames.pop_back();
  }
  ComboResetContent(IDC_FILE_HISTORY);
  for (const auto& shown : m_dqFileNames) ComboAddString(IDC_FILE_HISTORY, shown);
  // The entry just sent is the first; a search by name could land on another file of the
  // same name, or on a longer name that begins with it.
  ComboSetCurSel(IDC_FILE_HISTORY, 0);
}
