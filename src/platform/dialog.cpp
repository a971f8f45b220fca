#include "platform/dialog.h"

#include "platform/text.h"
#include "platform/ui_toolkit.h"
#include "platform/dialog_template.h"

namespace {
// The caption of the application's message boxes.
constexpr std::u16string_view kApplicationTitle = u"Tarvolm";
constexpr int kIdCancel = 2;
constexpr std::uint32_t kDefPushButton = 0x0001;  // BS_DEFPUSHBUTTON
constexpr std::uint32_t kWantReturn = 0x1000;     // ES_WANTRETURN
}  // namespace

void DataExchange::Text(int controlId, std::u16string& value) {
  if (m_bSaveAndValidate) {
    value = m_dialog.GetDlgItemText(controlId);
  } else {
    m_dialog.SetDlgItemText(controlId, value);
  }
}

void DataExchange::Check(int controlId, int& value) {
  if (m_bSaveAndValidate) {
    value = static_cast<int>(m_dialog.IsDlgButtonChecked(controlId));
  } else {
    m_dialog.CheckDlgButton(controlId, static_cast<UINT>(value));
  }
}

CDialogEx::CDialogEx(const DialogTemplate& tpl, CDialogEx* parent) : m_template(tpl), m_parent(parent) {}

CDialogEx::~CDialogEx() = default;

bool CDialogEx::Create() {
  if (m_window) return true;
  m_window = UiToolkit::Current().CreateDialogWindow(*this, m_template, m_parent);
  if (!m_window) return false;
  OnInitDialog();
  return true;
}

INT_PTR CDialogEx::DoModal() {
  if (!Create()) return -1;
  // The window may already have ended inside OnInitDialog.
  const INT_PTR result = m_window ? m_window->RunModal() : 0;
  m_window.reset();
  return result;
}

void CDialogEx::EndDialog(INT_PTR result) {
  if (m_window) m_window->EndDialog(result);
}

BOOL CDialogEx::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

BOOL CDialogEx::UpdateData(BOOL bSaveAndValidate) {
  DataExchange dx(*this, bSaveAndValidate != FALSE);
  DoDataExchange(dx);
  return TRUE;
}

BOOL CDialogEx::PreTranslateMessage(KeyMessage& msg) { return HandleDialogKey(msg); }

BOOL CDialogEx::HandleDialogKey(const KeyMessage& msg) {
  if (msg.message != WM_KEYDOWN || IsKeyDown(VK_CONTROL) || IsKeyDown(VK_MENU)) return FALSE;
  if (msg.wParam == VK_ESCAPE) {
    if (!SendNotify(BN_CLICKED, kIdCancel)) EndDialog(kIdCancel);
    return TRUE;
  }
  if (msg.wParam != VK_RETURN) return FALSE;
  const ControlTemplate* focused = nullptr;
  const ControlTemplate* defaultButton = nullptr;
  for (const auto& control : m_template.controls) {
    if (control.id == msg.focusId) focused = &control;
    if (control.kind == ControlKind::PushButton && (control.style & kDefPushButton)) defaultButton = &control;
  }
  // An edit that wants Enter keeps it; everywhere else Enter presses the default button.
  if (focused && focused->kind == ControlKind::MultiLineEdit && (focused->style & kWantReturn)) return FALSE;
  if (focused && focused->kind == ControlKind::PushButton) {
    SendNotify(BN_CLICKED, focused->id);
    return TRUE;
  }
  if (defaultButton && IsItemEnabled(defaultButton->id)) SendNotify(BN_CLICKED, defaultButton->id);
  return TRUE;
}

const MessageMap& CDialogEx::GetMessageMap() const {
  static const MessageMap empty;
  return empty;
}

const MessageMapEntry* CDialogEx::Find(UINT message, UINT code, int controlId) const {
  for (const auto& entry : GetMessageMap()) {
    if (entry.message != message) continue;
    if (message == WM_COMMAND && (entry.code != code || entry.controlId != controlId)) continue;
    return &entry;
  }
  return nullptr;
}

LRESULT CDialogEx::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (const auto* entry = Find(message, 0, 0)) return entry->handler(*this, wParam, lParam);
  if (message == WM_CLOSE) DefaultClose();
  return 0;
}

void CDialogEx::DefaultClose() {
  // The close box acts as the Cancel button where there is one.
  if (!SendNotify(BN_CLICKED, kIdCancel)) EndDialog(kIdCancel);
}

bool CDialogEx::SendNotify(UINT code, int controlId) {
  if (const auto* entry = Find(WM_COMMAND, code, controlId)) {
    entry->handler(*this, 0, 0);
    return true;
  }
  OnUnmappedNotify(code, controlId);
  return false;
}

std::u16string CDialogEx::GetDlgItemText(int id) const { return m_window ? m_window->GetText(id) : std::u16string(); }
void CDialogEx::SetDlgItemText(int id, std::u16string_view text) {
  if (m_window) m_window->SetText(id, text);
}
int CDialogEx::GetDlgItemInt(int id, BOOL* translated) const {
  bool ok = false;
  const int value = text::ParseInt(GetDlgItemText(id), &ok);
  if (translated) *translated = ok ? TRUE : FALSE;
  return value;
}
std::u16string CDialogEx::GetWindowText() const { return GetDlgItemText(0); }
void CDialogEx::SetWindowText(std::u16string_view text) { SetDlgItemText(0, text); }
UINT CDialogEx::IsDlgButtonChecked(int id) const { return m_window ? m_window->GetCheck(id) : BST_UNCHECKED; }
void CDialogEx::CheckDlgButton(int id, UINT state) {
  if (m_window) m_window->SetCheck(id, state);
}
bool CDialogEx::IsItemEnabled(int id) const { return m_window && m_window->IsEnabled(id); }
void CDialogEx::EnableItem(int id, bool enable) {
  if (m_window) m_window->Enable(id, enable);
}
bool CDialogEx::IsItemVisible(int id) const { return m_window && m_window->IsVisible(id); }
void CDialogEx::ShowItem(int id, bool show) {
  if (m_window) m_window->Show(id, show);
}
int CDialogEx::GetFocusId() const { return m_window ? m_window->GetFocusId() : 0; }
void CDialogEx::SetFocusId(int id) {
  if (m_window) m_window->SetFocusId(id);
}
bool CDialogEx::IsKeyDown(int virtualKey) const { return m_window && m_window->IsKeyDown(virtualKey); }

void CDialogEx::ComboResetContent(int id) {
  if (m_window) m_window->ComboResetContent(id);
}
int CDialogEx::ComboAddString(int id, std::u16string_view text) {
  return m_window ? m_window->ComboAddString(id, text) : CB_ERR;
}
int CDialogEx::ComboGetCount(int id) const { return m_window ? m_window->ComboGetCount(id) : 0; }
std::u16string CDialogEx::ComboGetItem(int id, int index) const {
  return m_window ? m_window->ComboGetItem(id, index) : std::u16string();
}
int CDialogEx::ComboGetCurSel(int id) const { return m_window ? m_window->ComboGetCurSel(id) : CB_ERR; }
void CDialogEx::ComboSetCurSel(int id, int index) {
  if (m_window) m_window->ComboSetCurSel(id, index);
}
int CDialogEx::ComboSelectString(int id, int startAfter, std::u16string_view prefix) {
  const int count = ComboGetCount(id);
  for (int step = 1; step <= count; ++step) {
    const int index = ((startAfter < 0 ? -1 : startAfter) + step) % count;
    if (text::StartsWithNoCase(ComboGetItem(id, index), prefix)) {
      ComboSetCurSel(id, index);
      return index;
    }
  }
  return CB_ERR;
}
void CDialogEx::SpinSetRange(int id, int lower, int upper) {
  if (m_window) m_window->SpinSetRange(id, lower, upper);
}

void CDialogEx::ListResetContent(int id) {
  if (m_window) m_window->ListResetContent(id);
}
int CDialogEx::ListAddString(int id, std::u16string_view text) {
  return m_window ? m_window->ListAddString(id, text) : LB_ERR;
}
int CDialogEx::ListGetCount(int id) const { return m_window ? m_window->ListGetCount(id) : 0; }
std::u16string CDialogEx::ListGetItem(int id, int index) const {
  return m_window ? m_window->ListGetItem(id, index) : std::u16string();
}
int CDialogEx::ListGetCurSel(int id) const { return m_window ? m_window->ListGetCurSel(id) : LB_ERR; }
void CDialogEx::ListSetCurSel(int id, int index) {
  if (m_window) m_window->ListSetCurSel(id, index);
}

void CDialogEx::EditGetSel(int id, int& start, int& end) const {
  start = end = 0;
  if (m_window) m_window->EditGetSel(id, start, end);
}
void CDialogEx::EditSetSel(int id, int start, int end) {
  if (m_window) m_window->EditSetSel(id, start, end);
}
void CDialogEx::EditScrollCaret(int id) {
  if (m_window) m_window->EditScrollCaret(id);
}
int CDialogEx::EditGetLineCount(int id) const { return m_window ? m_window->EditGetLineCount(id) : 1; }
int CDialogEx::GetWindowTextLength(int id) const { return m_window ? m_window->GetTextLength(id) : 0; }

void CDialogEx::SetTimer(UINT_PTR timerId, UINT elapseMs) {
  if (m_window) m_window->SetTimer(timerId, elapseMs);
}
void CDialogEx::KillTimer(UINT_PTR timerId) {
  if (m_window) m_window->KillTimer(timerId);
}

int CDialogEx::MessageBox(std::u16string_view text, std::u16string_view caption, UINT type) {
  if (!m_window) return 0;
  const std::u16string title = caption.empty() ? std::u16string(kApplicationTitle) : std::u16string(caption);
  return m_window->MessageBox(text, title, type);
}

std::optional<FileDialogResult> CDialogEx::ShowFileDialog(const FileDialogRequest& request) {
  if (!m_window) return std::nullopt;
  return m_window->ShowFileDialog(request);
}
