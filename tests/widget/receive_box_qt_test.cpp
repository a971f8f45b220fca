#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTextBlock>
#include <string>

#include "platform/qt/multi_line_edit_qt.h"
#include "platform/qt/receive_display_qt.h"
#include "platform/qt/utf16_qt.h"
#include "res/resource.h"
#include "widget/qt_dialog_fixture.h"

namespace {

using namespace std::string_literals;

// What one code unit of the receive text shows as.
QChar Shown(std::u16string_view text, std::size_t i) {
  switch (text[i]) {
    case u'\n':
      return QChar(0x2028);
    case u'\r':
      return QChar(i + 1 < text.size() && text[i + 1] == u'\n' ? 0x200B : 0x2028);
    case u'\0':
      return QChar(0x2400);
    default:
      return QChar(text[i]);
  }
}

int LongestBlock(const QTextDocument& document) {
  int longest = 0;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    longest = std::max(longest, block.length() - 1);
  }
  return longest;
}

// Every unit of the text sits at its mapped position, and blocks stay short.
void ExpectShows(const ReceiveDisplay& display, const QTextDocument& document, std::u16string_view text) {
  const QString shown = document.toRawText();
  ASSERT_EQ(display.ShownLength(), text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int position = display.ToDocument(i);
    ASSERT_LT(position, shown.size());
    if (text[i] == u'\n' && shown[position] == QChar::ParagraphSeparator) continue;
    ASSERT_EQ(shown[position], Shown(text, i)) << "at " << i;
    ASSERT_EQ(display.ToText(position), i);
  }
  EXPECT_LE(LongestBlock(document), ReceiveDisplay::kBlockLimit);
}

TEST(ReceiveDisplay, GrowingShrinkingAndSplitTextShowsAsAWholeRenderWould) {
  QTextDocument document;
  ReceiveDisplay display;
  std::u16string text;
  QRandomGenerator random(20240521);
  const std::u16string alphabet = u"ab \r\n\0\u4E2D0D"s;
  for (int round = 0; round < 300; ++round) {
    std::size_t firstChange = text.size();
    if (random.bounded(10) == 0 && !text.empty()) {
      firstChange = random.bounded(static_cast<quint32>(text.size()));
      text.resize(firstChange);
    }
    // Long runs without a line break, or with only spaces, need the extra block breaks.
    const int mode = random.bounded(3);
    const int length = static_cast<int>(random.bounded(1, 700));
    for (int i = 0; i < length; ++i) {
      if (mode == 0) text += alphabet[random.bounded(static_cast<quint32>(alphabet.size()))];
      else if (mode == 1) text += u"0123456789ABCDEF"[random.bounded(16)];
      else text += (i % 3 == 2) ? u' ' : u'A';
    }
    display.Update(document, text, firstChange);
    ASSERT_NO_FATAL_FAILURE(ExpectShows(display, document, text)) << "round " << round;
  }
  QTextDocument fresh;
  ReceiveDisplay whole;
  whole.Update(fresh, text, 0);
  EXPECT_EQ(fresh.toRawText(), document.toRawText());
}

class ReceiveBoxTest : public QtDialogTest {
 protected:
  void SetUp() override {
    QtDialogTest::SetUp();
    box = Control<MultiLineEditWidget>(IDC_RX_EDIT);
    Window().EditAttachText(IDC_RX_EDIT, &text);
  }
  void Changed(std::size_t firstChange) { Window().EditTextChanged(IDC_RX_EDIT, firstChange); }
  // Until the box shows everything (a flood is shown in portions).
  void WaitForRefresh() {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !box->RefreshPending(); }, 10000));
  }

  std::u16string text;
  MultiLineEditWidget* box = nullptr;
};

TEST_F(ReceiveBoxTest, AFloodIsShownInFewEditsAndReadsBackExactly) {
  int edits = 0;
  QObject::connect(box->document(), &QTextDocument::contentsChange, [&] { ++edits; });
  const std::u16string lines = u"line\r\nwith \0 null\rand a lone CR, \u6570\u636E\r\n"s;
  std::u16string chunk;
  while (chunk.size() < 500) chunk += lines;
  chunk.resize(500);
  std::u16string hex;
  for (int i = 0; i < 500; ++i) hex += u"0123456789ABCDEF"[i % 16];
  for (int i = 0; text.size() < 2'000'000; ++i) {
    const std::size_t before = text.size();
    text += i < 2000 ? chunk : hex;
    Changed(before);
  }
  EXPECT_EQ(edits, 0);
  EXPECT_EQ(Window().GetText(IDC_RX_EDIT), text);  // the program's text, also before the refresh
  WaitForRefresh();
  // Portions of a few milliseconds each, not an edit per chunk.
  EXPECT_GE(edits, 1);
  EXPECT_LE(std::size_t(edits), text.size() / MultiLineEditWidget::kCharactersPerPortion + 1);
  QTextDocument& document = *box->document();
  EXPECT_LE(LongestBlock(document), ReceiveDisplay::kBlockLimit);
  EXPECT_GT(document.blockCount(), 2'000'000 / ReceiveDisplay::kBlockLimit);
  EXPECT_EQ(Window().GetText(IDC_RX_EDIT), text);
  EXPECT_EQ(Window().GetTextLength(IDC_RX_EDIT), static_cast<int>(text.size()));

  // A selection reaching into the hex part (which has extra block breaks) copies exactly.
  const int from = 1'000'000 - 3;
  const int to = 1'900'000;
  Window().EditSetSel(IDC_RX_EDIT, from, to);
  int start = 0;
  int end = 0;
  Window().EditGetSel(IDC_RX_EDIT, start, end);
  EXPECT_EQ(std::make_pair(start, end), std::make_pair(from, to));
  box->copy();
  EXPECT_EQ(ToU16(QGuiApplication::clipboard()->text()), text.substr(from, to - from));
}

TEST_F(ReceiveBoxTest, CaretRequestsWaitForTheRefreshAndTheLatestWins) {
  text = std::u16string(20000, u'x');
  Changed(0);
  WaitForRefresh();
  text += u"\r\nend";
  Changed(20000);
  Window().EditSetSel(IDC_RX_EDIT, 0, 1);
  Window().EditSetSel(IDC_RX_EDIT, Window().GetTextLength(IDC_RX_EDIT), -1);
  Window().EditScrollCaret(IDC_RX_EDIT);
  int start = 0;
  int end = 0;
  Window().EditGetSel(IDC_RX_EDIT, start, end);
  EXPECT_EQ(start, 20005);
  WaitForRefresh();
  EXPECT_EQ(box->textCursor().position(), box->document()->characterCount() - 1);
  EXPECT_EQ(box->verticalScrollBar()->value(), box->verticalScrollBar()->maximum());
}

TEST_F(ReceiveBoxTest, ACrLfSplitAcrossTwoChunksShowsAsOneLineBreak) {
  text = u"abc\r";
  Changed(0);
  WaitForRefresh();
  EXPECT_EQ(box->document()->toRawText(), QStringLiteral("abc") + QChar(0x2028));
  text += u"\ndef";
  Changed(4);
  WaitForRefresh();
  EXPECT_EQ(box->document()->toRawText(), QStringLiteral("abc") + QChar(0x200B) + QChar(0x2028) + "def");
  EXPECT_EQ(Window().EditGetLineCount(IDC_RX_EDIT), 2);
  text.clear();
  Changed(0);
  WaitForRefresh();
  EXPECT_TRUE(box->document()->isEmpty());
  EXPECT_FALSE(box->document()->isUndoRedoEnabled());
}

TEST_F(ReceiveBoxTest, WhatTheUserTypesReadsBackUntilTheTextChangesAgain) {
  text = u"AB\r\n\0C"s;
  Changed(0);
  WaitForRefresh();
  box->setFocus();
  box->moveCursor(QTextCursor::End);
  QTest::keyClicks(box, "x");
  EXPECT_EQ(Window().GetText(IDC_RX_EDIT), u"AB\r\n\0Cx"s);
  EXPECT_EQ(dialog.Notified(EN_CHANGE), std::vector<int>{IDC_RX_EDIT});
  text += u"D";
  Changed(6);
  WaitForRefresh();
  EXPECT_EQ(Window().GetText(IDC_RX_EDIT), text);
  EXPECT_EQ(box->document()->toRawText().size(), static_cast<qsizetype>(text.size()));
}

TEST_F(ReceiveBoxTest, MeasuresTheTextAreaAndCharactersAsTheBoxLaysThemOut) {
  const int width = Window().EditTextAreaWidth(IDC_RX_EDIT);
  EXPECT_EQ(width, box->viewport()->width() - 2 * static_cast<int>(box->document()->documentMargin()));
  const auto advance = Window().EditCharWidth(IDC_RX_EDIT);
  const QFontMetrics metrics(box->document()->defaultFont());
  EXPECT_EQ(advance(u'W'), metrics.horizontalAdvance(QChar('W')));
  EXPECT_EQ(advance(u'\0'), metrics.horizontalAdvance(QChar(0x2400)));
  EXPECT_EQ(advance(u'\r'), 0);

  // Hidden boxes have no viewport size yet; the width is known all the same.
  RecordingDialog hidden;
  ASSERT_TRUE(hidden.Create());
  EXPECT_EQ(hidden.Window()->EditTextAreaWidth(IDC_RX_EDIT), width);
}

}  // namespace
