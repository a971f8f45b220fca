#include "platform/qt/receive_display_qt.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace {
constexpr char16_t kParagraphSeparator = 0x2029;
constexpr char16_t kReplacement = 0xFFFD;
// The document reads these two as frame boundaries.
constexpr char16_t kBeginningOfFrame = 0xFDD0;
constexpr char16_t kEndOfFrame = 0xFDD1;
constexpr int kHardBreakState = 0;

bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
}  // namespace

void ReceiveDisplay::Reset() {
  m_softBreaks.clear();
  m_shown = 0;
}

int ReceiveDisplay::ToDocument(std::size_t textPosition) const {
  textPosition = std::min(textPosition, m_shown);
  // A position at an extra break lies after it, at the start of the next block.
  const auto before = std::upper_bound(m_softBreaks.begin(), m_softBreaks.end(), textPosition) - m_softBreaks.begin();
  return static_cast<int>(textPosition + static_cast<std::size_t>(before));
}

std::size_t ReceiveDisplay::ToText(int documentPosition) const {
  if (documentPosition <= 0) return 0;
  const auto position = static_cast<std::size_t>(documentPosition);
  // The j-th extra break sits at document position softBreaks[j] + j.
  std::size_t low = 0;
  std::size_t high = m_softBreaks.size();
  while (low < high) {
    const std::size_t mid = (low + high) / 2;
    if (m_softBreaks[mid] + mid < position) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return std::min(position - low, m_shown);
}

void ReceiveDisplay::Update(QTextDocument& document, std::u16string_view text, std::size_t firstChange,
                            std::size_t limit) {
  std::size_t start = std::min({firstChange, m_shown, text.size()});
  // How "\r" shows depends on the character after it.
  if (start > 0 && text[start - 1] == u'\r') --start;
  if (limit < text.size() - start) {
    std::size_t end = start + std::max<std::size_t>(limit, 2);
    if (end < text.size() && IsLowSurrogate(text[end])) --end;  // never half a character
    text = text.substr(0, end);
  }

  const auto firstDropped = std::lower_bound(m_softBreaks.begin(), m_softBreaks.end(), start);
  const int documentStart = static_cast<int>(start + static_cast<std::size_t>(firstDropped - m_softBreaks.begin()));
  m_softBreaks.erase(firstDropped, m_softBreaks.end());

  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  cursor.setPosition(std::min(documentStart, document.characterCount() - 1));
  cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
  // Inserted text would take the format of the character before it, a mark's colour.
  if (m_marks) cursor.setCharFormat(QTextCharFormat());

  int blockLength = cursor.positionInBlock();
  QString run;
  run.reserve(static_cast<qsizetype>(std::min<std::size_t>(text.size() - start, kBlockLimit)));
  const auto breakBlock = [&](int state) {
    cursor.insertText(run);
    run.clear();
    cursor.insertBlock();
    cursor.block().setUserState(state);
    blockLength = 0;
  };

  for (std::size_t i = start; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\n' || c == kParagraphSeparator) {
      if (c == kParagraphSeparator || blockLength >= kBlockSoftLimit) {
        breakBlock(kHardBreakState);
        continue;
      }
    } else if (i > 0 && !IsLowSurrogate(c) &&
               (blockLength >= kBlockLimit || (blockLength >= kBlockSoftLimit && text[i - 1] == u' '))) {
      breakBlock(kSoftBreakState);
      m_softBreaks.push_back(i);
    }
    switch (c) {
      case u'\n':
        run.append(QChar(kLineSeparator));
        break;
      case u'\r':
        run.append(QChar(i + 1 < text.size() && text[i + 1] == u'\n' ? kZeroWidthSpace : kLineSeparator));
        break;
      case u'\0':
        run.append(QChar(kSymbolForNull));
        break;
      case kBeginningOfFrame:
      case kEndOfFrame:
        run.append(QChar(kReplacement));
        break;
      default:
        run.append(QChar(c));
    }
    ++blockLength;
  }
  cursor.insertText(run);
  m_shown = text.size();
  ColourMarks(cursor, start);
  cursor.endEditBlock();
}

void ReceiveDisplay::ColourMarks(QTextCursor& cursor, std::size_t start) const {
  if (!m_marks) return;
  QTextCharFormat marked;
  marked.setForeground(QColor::fromRgb(kMarkColor));
  auto mark = std::lower_bound(m_marks->begin(), m_marks->end(), start,
                               [](const TextSpan& span, std::size_t position) { return span.end <= position; });
  for (; mark != m_marks->end() && mark->begin < m_shown; ++mark) {
    cursor.setPosition(ToDocument(std::max(mark->begin, start)));
    cursor.setPosition(ToDocument(std::min(mark->end, m_shown)), QTextCursor::KeepAnchor);
    cursor.mergeCharFormat(marked);
  }
}
