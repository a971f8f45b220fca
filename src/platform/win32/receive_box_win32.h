#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/win32/win32_api.h"

// A multi-line edit that shows a program-owned string (the receive box) and catches up with
// its changes at most once per frame, on a timer of the dialog that the dialog hands back to
// CatchUp: an appended tail is appended, anything else is replaced from the first change on.
// An edit slows down as its text grows (a long paragraph most), so the next catch-up waits
// a few times as long as the last one took: the window keeps answering, the box lags.
// Positions in the box are the string's positions one to one: U+0000, which would end the
// text of an edit, shows as the symbol for null (U+2400); lone "\n" and "\r" stay as they
// are and show as line breaks where the edit can (Windows 10 1809 and later). Reading the
// box gives the string exactly. The user may still edit the box: it then reads as it is,
// until the string changes again.
class ReceiveBox {
 public:
  ReceiveBox(HWND edit, HWND timerWindow, UINT_PTR timerId, const std::u16string& text);
  ~ReceiveBox();
  ReceiveBox(const ReceiveBox&) = delete;
  ReceiveBox& operator=(const ReceiveBox&) = delete;

  void TextChanged(std::size_t firstChange);
  void CatchUp();

  std::u16string Text() const;
  int Length() const;
  void SetText(std::u16string_view text);
  void GetSel(int& start, int& end) const;
  void SetSel(int start, int end);
  void ScrollCaret();

  // The edit's change notification comes from the program's own update, not from the user.
  bool Updating() const { return m_updating; }
  void UserChanged();

  static constexpr UINT kRefreshMs = 16;
  static constexpr UINT kIdleShare = 3;  // waits this many times a catch-up's cost

 private:
  static constexpr std::size_t kNoChange = std::numeric_limits<std::size_t>::max();

  bool RefreshPending() const { return m_firstChange != kNoChange; }
  void Replace(std::size_t from, std::u16string_view text);

  const HWND m_edit;
  const HWND m_timerWindow;
  const UINT_PTR m_timerId;
  const std::u16string& m_text;
  std::size_t m_shown = 0;  // the box holds this much of the string, unless modified
  std::size_t m_firstChange = kNoChange;
  UINT m_intervalMs = kRefreshMs;
  bool m_modified = false;  // the box holds something else than the string
  bool m_updating = false;
  std::optional<std::pair<int, int>> m_pendingSelection;
  bool m_pendingScroll = false;
};
