#include "app/serial_port_dlg.h"
#include "receive/filter_dialog.h"
#include "res/resource.h"

void CSerialPortDlg::RebuildFilterList() {
  // Only the ASCII comma separates; nothing is trimmed and empty conditions stay.
  m_vecFilter.clear();
  std::u16string_view rest = m_strFilter;
  for (auto comma = rest.find(u','); comma != std::u16string_view::npos; comma = rest.find(u',')) {
    m_vecFilter.emplace_back(rest.substr(0, comma));
    rest.remove_prefix(comma + 1);
  }
  m_vecFilter.emplace_back(rest);
}

void CSerialPortDlg::OnBnClickedFilterSet() {
  Filter& dialog = *m_pFilterDlg;
  dialog.m_strFilter = m_strFilter;
  dialog.m_nOnlyReserve = m_bOnlyReserve ? 1 : 0;
  dialog.DoModal();
  m_bOnlyReserve = dialog.m_bOnlyReserve;
  m_bFilter = dialog.m_bAccepted;
  if (dialog.m_bAccepted) {
    m_strFilter = dialog.m_strFilter;
    if (m_strFilter.empty()) {
      m_bFilter = false;
      CheckDlgButton(IDC_RX_FILTER, BST_UNCHECKED);
    } else {
      SaveSettings();
      CheckDlgButton(IDC_RX_FILTER, BST_CHECKED);
    }
  } else {
    CheckDlgButton(IDC_RX_FILTER, BST_UNCHECKED);
  }
  RebuildFilterList();
}

void CSerialPortDlg::OnBnClickedFilter() {
  if (IsDlgButtonChecked(IDC_RX_FILTER) != BST_CHECKED) {
    m_bFilter = false;
    return;
  }
  m_bFilter = true;
  LoadSettings();
  if (m_strFilter.empty()) {
    m_bFilter = false;
  } else {
    RebuildFilterList();
  }
}
