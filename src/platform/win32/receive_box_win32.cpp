#include "platform/win32/receive_box_win32.h"

#include <algorithm>
#include <chrono>
#include <climits>

#include "platform/win32/utf16_win32.h"

namespace {
constexpr char16_t kSymbolForNull = 0x2400;

// Edit messages of Windows 10 1809 and later, missing from older headers; older edits
// ignore them and show lone "\n" and "\r" without a break.
constexpr UINT kEmSetExtendedStyle = 0x1500 + 10;  // EM_SETEXTENDEDSTYLE
constexpr UINT kEmSetEndOfLine = 0x1500 + 12;      // EM_SETENDOFLINE
constexpr LPARAM kAllowEolAll = 0x0003;            // ES_EX_ALLOWEOL_CR | ES_EX_ALLOWEOL_LF
constexpr WPARAM kEndOfLineCrLf = 1;               // EC_ENDOFLINE_CRLF

std::wstring Shown(std::u16string_view text) {
  std::wstring shown = ToWide(text);
  std::replace(shown.begin(), shown.end(), L'\0', static_cast<wchar_t>(kSymbolForNull));
  return shown;
}
}  // namespace

ReceiveBox::ReceiveBox(HWND edit, HWND timerWindow, UINT_PTR timerId, const std::u16string& text)
    : m_edit(edit), m_timerWindow(timerWindow), m_timerId(timerId), m_text(text) {
  ::SendMessageW(m_edit, kEmSetExtendedStyle, kAllowEolAll, kAllowEolAll);
  // Enter typed into the box still makes "\r\n", whatever the received text uses.
  ::SendMessageW(m_edit, kEmSetEndOfLine, kEndOfLineCrLf, 0);
  // The box holds what was received, which can be a lot: no undo history for it.
  ::SendMessageW(m_edit, EM_EMPTYUNDOBUFFER, 0, 0);
  TextChanged(0);
}

ReceiveBox::~ReceiveBox() { ::KillTimer(m_timerWindow, m_timerId); }

void ReceiveBox::TextChanged(std::size_t firstChange) {
  if (!RefreshPending()) ::SetTimer(m_timerWindow, m_timerId, m_intervalMs, nullptr);
  m_firstChange = std::min(m_firstChange, firstChange);
}

void ReceiveBox::CatchUp() {
  ::KillTimer(m_timerWindow, m_timerId);
  // Nothing new in the string: the box stays as it is, also with the user's edits.
  if (!RefreshPending()) return;
  const std::size_t from = m_modified ? 0 : std::min({m_firstChange, m_shown, m_text.size()});
  const auto started = std::chrono::steady_clock::now();
  Replace(from, std::u16string_view(m_text).substr(from));
  const auto cost = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
  m_intervalMs = std::max(kRefreshMs, static_cast<UINT>(std::min<long long>(cost.count(), 60'000)) * kIdleShare);
  m_shown = m_text.size();
  m_modified = false;
  m_firstChange = kNoChange;
  if (m_pendingSelection) {
    ::SendMessageW(m_edit, EM_SETSEL, static_cast<WPARAM>(m_pendingSelection->first),
                   static_cast<LPARAM>(m_pendingSelection->second));
    m_pendingSelection.reset();
  }
  if (m_pendingScroll) {
    ::SendMessageW(m_edit, EM_SCROLLCARET, 0, 0);
    m_pendingScroll = false;
  }
}

void ReceiveBox::Replace(std::size_t from, std::u16string_view text) {
  const std::wstring shown = Shown(text);
  m_updating = true;
  if (from == 0) {
    ::SetWindowTextW(m_edit, shown.c_str());
  } else {
    ::SendMessageW(m_edit, EM_SETSEL, static_cast<WPARAM>(from), -1);
    ::SendMessageW(m_edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(shown.c_str()));
  }
  m_updating = false;
}

std::u16string ReceiveBox::Text() const {
  if (!m_modified) return m_text;
  std::u16string text = WindowText(m_edit);
  std::replace(text.begin(), text.end(), kSymbolForNull, u'\0');
  return text;
}

int ReceiveBox::Length() const {
  return m_modified ? ::GetWindowTextLengthW(m_edit) : static_cast<int>(std::min<std::size_t>(m_text.size(), INT_MAX));
}

void ReceiveBox::SetText(std::u16string_view text) {
  ::KillTimer(m_timerWindow, m_timerId);
  m_firstChange = kNoChange;
  m_pendingSelection.reset();
  m_pendingScroll = false;
  Replace(0, text);
  // Text other than the string reads back from the box until the string changes.
  m_modified = text != m_text;
  m_shown = m_modified ? 0 : m_text.size();
}

void ReceiveBox::GetSel(int& start, int& end) const {
  if (m_pendingSelection) {
    start = std::min(m_pendingSelection->first, m_pendingSelection->second);
    end = std::max(m_pendingSelection->first, m_pendingSelection->second);
    return;
  }
  DWORD from = 0;
  DWORD to = 0;
  ::SendMessageW(m_edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  start = static_cast<int>(from);
  end = static_cast<int>(to);
}

void ReceiveBox::SetSel(int start, int end) {
  if (start < 0) {
    m_pendingSelection.reset();
    ::SendMessageW(m_edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
    return;
  }
  const int length = Length();
  const int anchor = std::clamp(start, 0, length);
  const int position = end < 0 ? length : std::clamp(end, 0, length);
  if (!m_modified && RefreshPending()) {
    m_pendingSelection = {anchor, position};
    return;
  }
  ::SendMessageW(m_edit, EM_SETSEL, static_cast<WPARAM>(anchor), static_cast<LPARAM>(position));
}

void ReceiveBox::ScrollCaret() {
  if (!m_modified && RefreshPending()) {
    m_pendingScroll = true;
    return;
  }
  ::SendMessageW(m_edit, EM_SCROLLCARET, 0, 0);
}

void ReceiveBox::UserChanged() {
  if (!m_updating) m_modified = true;
}
