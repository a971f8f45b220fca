#include "receive/filter_dialog.h"

#include "platform/codepage.h"
#include "res/dialog_template.h"
#include "res/resource.h"
#include "res/string_table.h"

Filter::Filter(CDialogEx* owner) : CDialogEx(FilterDialogTemplate(), owner) {}

const MessageMap& Filter::GetMessageMap() const {
  static const MessageMap map = {
      OnNotify(BN_CLICKED, IDOK, &Filter::OnBnClickedOk),
      OnNotify(BN_CLICKED, IDCANCEL, &Filter::OnBnClickedCancel),
  };
  return map;
}

void Filter::DoDataExchange(DataExchange& dx) {
  dx.Text(IDC_FILTER_TEXT, m_strFilter);
  dx.Check(IDC_FILTER_KEEP, m_nOnlyReserve);
}

BOOL Filter::OnInitDialog() {
  CDialogEx::OnInitDialog();
  ApplyLanguage();
  return TRUE;
}

void Filter::ApplyLanguage() {
  m_nLangBase = platform::UiLanguageBase();
  const std::pair<int, int> captions[] = {
      {0, IDS_FILTER_SET}, {IDC_FILTER_KEEP, IDS_ONLY_RESERVE}, {IDOK, IDS_OK},
      {IDCANCEL, IDS_CANCEL}, {IDC_FILTER_HINT, IDS_FILTER_HINT},
  };
  for (const auto& [control, id] : captions) {
    FetchString(id, m_nLangBase, m_strText);
    SetDlgItemText(control, m_strText);
  }
}

BOOL Filter::PreTranslateMessage(KeyMessage& msg) {
  if (msg.message == WM_KEYDOWN && msg.wParam == 'A' && IsKeyDown(VK_CONTROL)) {
    if (GetFocusId() == IDC_FILTER_TEXT) {
      EditSetSel(IDC_FILTER_TEXT, 0, -1);
      EditScrollCaret(IDC_FILTER_TEXT);
    }
    return TRUE;
  }
  return CDialogEx::PreTranslateMessage(msg);
}

void Filter::OnBnClickedOk() {
  UpdateData(TRUE);
  m_bAccepted = true;
  m_bOnlyReserve = m_nOnlyReserve != 0;
  EndDialog(IDOK);
}

void Filter::OnBnClickedCancel() {
  m_bAccepted = false;
  UpdateData(TRUE);
  EndDialog(IDCANCEL);
}
