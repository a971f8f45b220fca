#include "receive/filter_dialog.h"

#include "platform/codepage.h"
#include "res/dialog_template.h"
#include "res/resource.h"
#include "res/string_table.h"

FilterDialog::FilterDialog(CDialogEx* owner) : CDialogEx(FilterDialogTemplate(), owner) {}

bool FilterDialog::Run(std::u16string& conditions, bool& keepOnly) {
  m_conditions = conditions;
  m_keepChecked = keepOnly ? 1 : 0;
  DoModal();
  keepOnly = m_keepOnly;
  if (m_accepted) conditions = m_conditions;
  return m_accepted;
}

const MessageMap& FilterDialog::GetMessageMap() const {
  static const MessageMap map = {
      OnNotify(BN_CLICKED, IDOK, &FilterDialog::OnBnClickedOk),
      OnNotify(BN_CLICKED, IDCANCEL, &FilterDialog::OnBnClickedCancel),
  };
  return map;
}

void FilterDialog::DoDataExchange(DataExchange& dx) {
  dx.Text(IDC_FILTER_TEXT, m_conditions);
  dx.Check(IDC_FILTER_KEEP, m_keepChecked);
}

BOOL FilterDialog::OnInitDialog() {
  CDialogEx::OnInitDialog();
  ApplyLanguage();
  return TRUE;
}

void FilterDialog::ApplyLanguage() {
  const int languageBase = platform::UiLanguageBase();
  const std::pair<int, int> captions[] = {
      {0, IDS_FILTER_SET}, {IDC_FILTER_KEEP, IDS_ONLY_RESERVE}, {IDOK, IDS_OK},
      {IDCANCEL, IDS_CANCEL}, {IDC_FILTER_HINT, IDS_FILTER_HINT},
  };
  for (const auto& [control, id] : captions) {
    FetchString(id, languageBase, m_caption);
    SetDlgItemText(control, m_caption);
  }
}

BOOL FilterDialog::PreTranslateMessage(KeyMessage& msg) {
  if (msg.message == WM_KEYDOWN && msg.wParam == 'A' && IsKeyDown(VK_CONTROL)) {
    if (GetFocusId() == IDC_FILTER_TEXT) {
      EditSetSel(IDC_FILTER_TEXT, 0, -1);
      EditScrollCaret(IDC_FILTER_TEXT);
    }
    return TRUE;
  }
  return CDialogEx::PreTranslateMessage(msg);
}

void FilterDialog::OnBnClickedOk() {
  UpdateData(TRUE);
  m_accepted = true;
  m_keepOnly = m_keepChecked != 0;
  EndDialog(IDOK);
}

void FilterDialog::OnBnClickedCancel() {
  m_accepted = false;
  UpdateData(TRUE);
  EndDialog(IDCANCEL);
}
