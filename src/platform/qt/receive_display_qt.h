#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/dialog_window.h"

class QTextCursor;
class QTextDocument;

// Shows a program-owned UTF-16 string in a QTextDocument so that the document can follow a
// growing string cheaply. The document holds one position per code unit of the string:
// "\n" is a line separator (U+2028) inside a block, or a block break once the block is long;
// "\r" before "\n" is a zero-width space, a lone "\r" a line separator, U+0000 the visible
// symbol for null (U+2400). Text without line breaks (hex) gets extra block breaks so no
// block grows much beyond kBlockLimit characters: one long paragraph makes every layout of
// the document slow. Those extra breaks are the only positions of the document that are
// not in the string; the blocks that follow them carry kSoftBreakState.
class ReceiveDisplay {
 public:
  static constexpr int kBlockLimit = 4096;
  // Past this length a block ends at the next line break, or after the next space.
  static constexpr int kBlockSoftLimit = kBlockLimit - 128;
  static constexpr int kSoftBreakState = 1;
  // What the document shows in place of "\n", of "\r" before "\n", and of U+0000.
  static constexpr char16_t kLineSeparator = 0x2028;
  static constexpr char16_t kZeroWidthSpace = 0x200B;
  static constexpr char16_t kSymbolForNull = 0x2400;

  // The document is empty or shows what the last Update put there.
  void Reset();
  // Makes `document` show `text`, of which nothing before firstChange has changed since the
  // last Update: removes the shown tail from there and inserts the new one in one edit, at
  // most `limit` characters of it (the rest waits for the next Update).
  void Update(QTextDocument& document, std::u16string_view text, std::size_t firstChange,
              std::size_t limit = std::u16string_view::npos);

  // Parts of the string shown in kMarkColor (sorted; null: none).
  void SetMarks(const std::vector<TextSpan>* marks) { m_marks = marks; }
  static constexpr unsigned kMarkColor = 0x0066CC;

  std::size_t ShownLength() const { return m_shown; }
  int ToDocument(std::size_t textPosition) const;
  std::size_t ToText(int documentPosition) const;

 private:
  std::vector<std::size_t> m_softBreaks;  // indices of the string preceded by an extra break
  std::size_t m_shown = 0;
  const std::vector<TextSpan>* m_marks = nullptr;
  // Colours the marks that lie in what the last Update inserted from `start`.
  void ColourMarks(QTextCursor& cursor, std::size_t start) const;
};
