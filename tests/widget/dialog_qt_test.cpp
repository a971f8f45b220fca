#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <string>

#include "platform/qt/dialog_units_qt.h"
#include "platform/qt/multi_line_edit_qt.h"
#include "platform/qt/utf16_qt.h"
#include "res/resource.h"
#include "res/window_styles.h"
#include "widget/qt_dialog_fixture.h"

namespace {

bool IsCombo(ControlKind kind) { return kind == ControlKind::ComboBox || kind == ControlKind::DropDownList; }

TEST_F(QtDialogTest, BuildsEveryControlOfTheTemplateWithItsNameCaptionAndStartState) {
  for (const ControlTemplate& ct : MainDialogTemplate().controls) {
    QWidget* widget = Window().ControlWidget(ct.id);
    ASSERT_NE(widget, nullptr) << ct.name;
    EXPECT_EQ(widget->objectName().toStdString(), ct.name);
    EXPECT_EQ(widget->isHidden(), !(ct.style & ws::Visible)) << ct.name;
    EXPECT_EQ(widget->isEnabled(), !(ct.style & ws::Disabled)) << ct.name;
    if (ct.kind != ControlKind::UpDown && !IsCombo(ct.kind)) {
      EXPECT_EQ(Window().GetText(ct.id), ct.caption) << ct.name;
    }
  }
  EXPECT_FALSE(Window().IsVisible(IDC_TX_CLEAR));
  EXPECT_FALSE(Window().IsEnabled(IDC_TX_IGNORESPACE));
  EXPECT_FALSE(Window().IsEnabled(IDC_RX_ADDSPACE));
  EXPECT_TRUE(Control<QComboBox>(IDC_PORT)->isEditable());
  EXPECT_FALSE(Control<QComboBox>(IDC_FILE_HISTORY)->isEditable());

  for (const ComboInitialList& list : MainDialogTemplate().comboLists) {
    ASSERT_EQ(Window().ComboGetCount(list.id), static_cast<int>(list.items.size()));
    for (std::size_t i = 0; i < list.items.size(); ++i) {
      EXPECT_EQ(Window().ComboGetItem(list.id, static_cast<int>(i)), list.items[i]);
    }
    // Filling the list selects nothing, as on the platform.
    EXPECT_EQ(Window().ComboGetCurSel(list.id), CB_ERR);
    EXPECT_EQ(Window().GetText(list.id), u"");
  }
  EXPECT_EQ(Window().ComboGetItem(IDC_BAUD, 12), u"256000");
  EXPECT_EQ(Window().GetText(0), MainDialogTemplate().caption);
  EXPECT_EQ(QFontInfo(Window().Widget()->font()).family(), QStringLiteral("WenQuanYi Micro Hei"));
  EXPECT_GE(Window().Widget()->windowIcon().availableSizes().size(), 4);
  for (auto* button : Window().Widget()->findChildren<QPushButton*>()) {
    EXPECT_FALSE(button->autoDefault() || button->isDefault()) << button->objectName().toStdString();
  }
}

TEST_F(QtDialogTest, NamesEveryControlForAssistiveTechnologyAndFollowsCaptionChanges) {
  EXPECT_EQ(Control(IDC_SEND)->accessibleName(), QStringLiteral("Send(Ctrl+En)"));
  EXPECT_EQ(Control(IDC_BAUD)->accessibleName(), QStringLiteral("Baud"));
  EXPECT_EQ(Control(IDC_PORT)->accessibleName(), QStringLiteral("COM"));
  EXPECT_EQ(Control(IDC_STOPBITS)->accessibleName(), QStringLiteral("Sbit"));
  EXPECT_EQ(Control(IDC_TX_INTERVAL)->accessibleName(), QStringLiteral("Intervals"));
  EXPECT_EQ(Control(IDC_TX_INTERVAL_SPIN)->accessibleName(), QStringLiteral("Intervals"));
  EXPECT_EQ(Control(IDC_RX_EDIT)->accessibleName(), QStringLiteral("Receive"));
  EXPECT_EQ(Control(IDC_TX_EDIT)->accessibleName(), QStringLiteral("Send"));
  EXPECT_EQ(Control(IDC_FILE_HISTORY)->accessibleName(), QStringLiteral("Send File"));
  EXPECT_EQ(Control<QLabel>(IDC_LBL_BAUD)->buddy(), Control(IDC_BAUD));

  Window().SetText(IDC_GRP_RX, u"\u63A5\u6536 37");
  EXPECT_EQ(Control(IDC_RX_EDIT)->accessibleName(), QString::fromUtf16(u"\u63A5\u6536"));
  Window().SetText(IDC_LBL_BAUD, u"\u6CE2\u7279\u7387\uFF1A");
  EXPECT_EQ(Control(IDC_BAUD)->accessibleName(), QString::fromUtf16(u"\u6CE2\u7279\u7387"));
  Window().SetText(IDC_OPEN, u"Close");
  EXPECT_EQ(Control(IDC_OPEN)->accessibleName(), QStringLiteral("Close"));
}

TEST_F(QtDialogTest, KeepsTheTemplateProportionsWithTheDialogFontsBaseUnits) {
  const DialogUnits units(Window().Widget()->font());
  EXPECT_EQ(Window().Widget()->size(), QSize(units.X(MainDialogTemplate().cx), units.Y(MainDialogTemplate().cy)));
  EXPECT_EQ(Window().Widget()->minimumSize(), Window().Widget()->maximumSize());
  const Qt::WindowFlags flags = Window().Widget()->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & (Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint));

  const QRect receive = Control(IDC_RX_EDIT)->geometry();
  EXPECT_GT(receive.width(), receive.height());
  EXPECT_GE(Control(IDC_TX_EDIT)->geometry().left(), Control(IDC_GRP_TXCTRL)->geometry().right());
  EXPECT_EQ(Control(IDC_BAUD)->height(), Control(IDC_BAUD)->sizeHint().height());
  // The arrows sit at the right edge of the interval box, which gave up the room.
  const QRect interval = Control(IDC_TX_INTERVAL)->geometry();
  const QRect spin = Control(IDC_TX_INTERVAL_SPIN)->geometry();
  EXPECT_EQ(spin.left(), interval.right() + 1);
  EXPECT_EQ(spin.right(), units.X(65) - 1);
  EXPECT_EQ(spin.top(), interval.top());

  std::vector<std::pair<std::string, QRect>> placed;
  for (const ControlTemplate& ct : MainDialogTemplate().controls) {
    QWidget* widget = Window().ControlWidget(ct.id);
    if (ct.kind == ControlKind::GroupBox || widget->isHidden()) continue;
    placed.emplace_back(ct.name, widget->geometry());
  }
  for (std::size_t i = 0; i < placed.size(); ++i) {
    for (std::size_t j = i + 1; j < placed.size(); ++j) {
      EXPECT_FALSE(placed[i].second.intersects(placed[j].second)) << placed[i].first << " overlaps " << placed[j].first;
    }
  }
}

TEST_F(QtDialogTest, TabOrderFollowsTheTemplateAndTheFirstTabStopHasTheFocus) {
  EXPECT_EQ(Window().GetFocusId(), IDC_SEND);
  std::vector<QWidget*> expected;
  for (const ControlTemplate& ct : MainDialogTemplate().controls) {
    QWidget* widget = Window().ControlWidget(ct.id);
    if ((ct.style & ws::TabStop) && widget->isVisibleTo(Window().Widget()) && widget->isEnabled()) {
      expected.push_back(widget);
    }
  }
  std::vector<QWidget*> visited;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    visited.push_back(QApplication::focusWidget());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  EXPECT_EQ(visited, expected);
  EXPECT_EQ(Control(IDC_RX_EDIT)->focusPolicy(), Qt::ClickFocus);
}

TEST_F(QtDialogTest, ButtonsAndEditsNotifyTheOwner) {
  QTest::mouseClick(Control(IDC_OPEN), Qt::LeftButton);
  QTest::mouseClick(Control(IDC_RX_HEX), Qt::LeftButton, {}, QPoint(4, Control(IDC_RX_HEX)->height() / 2));
  EXPECT_EQ(dialog.Notified(BN_CLICKED), (std::vector<int>{IDC_OPEN, IDC_RX_HEX}));
  EXPECT_EQ(Window().GetCheck(IDC_RX_HEX), BST_CHECKED);
  Window().SetCheck(IDC_RX_HEX, BST_UNCHECKED);
  EXPECT_EQ(dialog.Notified(BN_CLICKED).size(), 2u);

  // Setting an edit's text notifies, even with the same text, as the platform does.
  Window().SetText(IDC_TX_INTERVAL, u"1000");
  Window().SetText(IDC_TX_INTERVAL, u"1000");
  Window().SetText(IDC_TX_EDIT, u"AB");
  EXPECT_EQ(dialog.Notified(EN_CHANGE), (std::vector<int>{IDC_TX_INTERVAL, IDC_TX_INTERVAL, IDC_TX_EDIT}));

  Window().SetFocusId(IDC_TX_EDIT);
  QTest::keyClicks(Control(IDC_TX_EDIT), "C");
  Window().SetFocusId(IDC_TX_INTERVAL);
  EXPECT_EQ(Window().GetText(IDC_TX_EDIT), u"CAB");
  EXPECT_EQ(dialog.Notified(EN_CHANGE).back(), IDC_TX_EDIT);
  EXPECT_EQ(dialog.Notified(EN_SETFOCUS), (std::vector<int>{IDC_TX_EDIT, IDC_TX_INTERVAL}));
  EXPECT_EQ(dialog.Notified(EN_KILLFOCUS), (std::vector<int>{IDC_TX_EDIT}));

  // Digits only, and Chinese text arrives whole through the input method.
  QTest::keyClicks(Control(IDC_TX_INTERVAL), "5x6");
  EXPECT_EQ(Window().GetText(IDC_TX_INTERVAL), u"100056");
  Window().SetFocusId(IDC_TX_EDIT);
  QInputMethodEvent typed;
  typed.setCommitString(QString::fromUtf16(u"\u4F60\u597D"));
  QApplication::sendEvent(Control(IDC_TX_EDIT), &typed);
  EXPECT_EQ(Window().GetText(IDC_TX_EDIT), u"C\u4F60\u597DAB");
}

// What a screen reader does through the accessibility interface.
void DoAccessibleAction(QWidget* widget, const QString& action) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
  ASSERT_NE(accessible, nullptr);
  ASSERT_NE(accessible->actionInterface(), nullptr);
  accessible->actionInterface()->doAction(action);
}

TEST_F(QtDialogTest, ButtonsNotifyThroughAccessibleActionsAndSpaceAsThroughTheMouse) {
  DoAccessibleAction(Control(IDC_RX_HEX), QAccessibleActionInterface::toggleAction());
  EXPECT_EQ(dialog.Notified(BN_CLICKED), (std::vector<int>{IDC_RX_HEX}));
  EXPECT_EQ(Window().GetCheck(IDC_RX_HEX), BST_CHECKED);
  // Press clicks a moment later, as the platform's animated click does.
  DoAccessibleAction(Control(IDC_RX_HEX), QAccessibleActionInterface::pressAction());
  DoAccessibleAction(Control(IDC_OPEN), QAccessibleActionInterface::pressAction());
  ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.Notified(BN_CLICKED).size() == 3; }));
  EXPECT_EQ(Window().GetCheck(IDC_RX_HEX), BST_UNCHECKED);

  Control(IDC_TX_HEX)->setFocus();
  QTest::keyClick(Control(IDC_TX_HEX), Qt::Key_Space);
  EXPECT_EQ(Window().GetCheck(IDC_TX_HEX), BST_CHECKED);
  Window().SetCheck(IDC_TX_HEX, BST_UNCHECKED);
  Window().SetCheck(IDC_RX_HEX, BST_CHECKED);
  EXPECT_EQ(dialog.Notified(BN_CLICKED), (std::vector<int>{IDC_RX_HEX, IDC_RX_HEX, IDC_OPEN, IDC_TX_HEX}));

  RecordingDialog filter(FilterDialogTemplate(), &dialog);
  ASSERT_TRUE(filter.Create());
  auto* keep = static_cast<QtDialogWindow*>(filter.Window())->ControlWidget(IDC_FILTER_KEEP);
  DoAccessibleAction(keep, QAccessibleActionInterface::toggleAction());
  EXPECT_EQ(filter.Notified(BN_CLICKED), (std::vector<int>{IDC_FILTER_KEEP}));
}

TEST_F(QtDialogTest, CombosReportOnlyTheUsersSelectionChangesAndTheDropDown) {
  Window().ComboSetCurSel(IDC_BAUD, 6);
  EXPECT_EQ(Window().GetText(IDC_BAUD), u"9600");
  Window().SetText(IDC_BAUD, u"14400");
  EXPECT_EQ(Window().ComboGetCurSel(IDC_BAUD), 6);
  Window().ComboSetCurSel(IDC_BAUD, 6);
  EXPECT_EQ(Window().GetText(IDC_BAUD), u"9600");
  EXPECT_TRUE(dialog.Notified(CBN_SELCHANGE).empty());

  Window().SetFocusId(IDC_BAUD);
  QTest::keyClick(Control(IDC_BAUD), Qt::Key_Down);
  EXPECT_EQ(Window().ComboGetCurSel(IDC_BAUD), 7);
  EXPECT_EQ(dialog.Notified(CBN_SELCHANGE), std::vector<int>{IDC_BAUD});

  Window().ComboAddString(IDC_FILE_HISTORY, u"a.txt");
  Window().ComboAddString(IDC_FILE_HISTORY, u"b.txt");
  EXPECT_EQ(Window().ComboGetCurSel(IDC_FILE_HISTORY), CB_ERR);
  Window().ComboSetCurSel(IDC_FILE_HISTORY, 0);
  QWheelEvent wheel(QPointF(5, 5), Control(IDC_FILE_HISTORY)->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(Control(IDC_FILE_HISTORY), &wheel);
  EXPECT_EQ(Window().ComboGetCurSel(IDC_FILE_HISTORY), 1);
  EXPECT_EQ(dialog.Notified(CBN_SELCHANGE), (std::vector<int>{IDC_BAUD, IDC_FILE_HISTORY}));

  // The drop-down handler refills the list before it shows.
  dialog.onNotify = [this](UINT code, int id) {
    if (code != CBN_DROPDOWN) return;
    Window().ComboResetContent(id);
    Window().ComboAddString(id, u"ttyUSB0");
  };
  auto* port = Control<QComboBox>(IDC_PORT);
  port->showPopup();
  EXPECT_EQ(dialog.Notified(CBN_DROPDOWN), std::vector<int>{IDC_PORT});
  EXPECT_EQ(port->view()->model()->rowCount(), 1);
  port->hidePopup();
}

TEST_F(QtDialogTest, TheListBoxReportsTheUsersSelectionAndDoubleClicksAsThroughItsAccessibleActions) {
  auto* list = Control<QListWidget>(IDC_CMD_LIST);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->accessibleName(), QStringLiteral("Commands")) << "named by its panel";
  for (const char16_t* item : {u"F1  one", u"F2  two", u"F3  three"}) Window().ListAddString(IDC_CMD_LIST, item);
  EXPECT_EQ(Window().ListGetCount(IDC_CMD_LIST), 3);
  EXPECT_EQ(Window().ListGetItem(IDC_CMD_LIST, 1), u"F2  two");
  EXPECT_EQ(Window().ListGetCurSel(IDC_CMD_LIST), LB_ERR);
  Window().ListSetCurSel(IDC_CMD_LIST, 1);
  EXPECT_EQ(Window().ListGetCurSel(IDC_CMD_LIST), 1);
  EXPECT_TRUE(dialog.Notified(LBN_SELCHANGE).empty()) << "the program's selection is no user's";

  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(2)).center());
  EXPECT_EQ(Window().ListGetCurSel(IDC_CMD_LIST), 2);
  QTest::keyClick(list, Qt::Key_Up);
  EXPECT_EQ(Window().ListGetCurSel(IDC_CMD_LIST), 1);
  EXPECT_EQ(dialog.Notified(LBN_SELCHANGE), (std::vector<int>{IDC_CMD_LIST, IDC_CMD_LIST}));
  // A double click is a click, then the second press.
  const QPoint first = list->visualItemRect(list->item(0)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, first);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, first);
  EXPECT_EQ(dialog.Notified(LBN_DBLCLK), std::vector<int>{IDC_CMD_LIST});
  EXPECT_EQ(Window().ListGetCurSel(IDC_CMD_LIST), 0);

  // A screen reader selects an item through the item's own action.
  const std::size_t beforeAction = dialog.Notified(LBN_SELCHANGE).size();
  QAccessibleInterface* item = QAccessible::queryAccessibleInterface(list)->child(2);
  ASSERT_NE(item, nullptr);
  ASSERT_NE(item->actionInterface(), nullptr);
  item->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  EXPECT_EQ(Window().ListGetCurSel(IDC_CMD_LIST), 2);
  const std::size_t afterAction = dialog.Notified(LBN_SELCHANGE).size();
  EXPECT_GT(afterAction, beforeAction);

  Window().ListResetContent(IDC_CMD_LIST);
  EXPECT_EQ(Window().ListGetCount(IDC_CMD_LIST), 0);
  EXPECT_EQ(Window().ListGetCurSel(IDC_CMD_LIST), LB_ERR);
  EXPECT_EQ(dialog.Notified(LBN_SELCHANGE).size(), afterAction);
}

TEST_F(QtDialogTest, EveryKeyPassesTheOwnersPreTranslationFirst) {
  Window().SetFocusId(IDC_TX_EDIT);
  dialog.preTranslate = [](KeyMessage& msg) { return msg.wParam == 'Q' ? TRUE : FALSE; };
  QTest::keyClick(Control(IDC_TX_EDIT), Qt::Key_Q);
  QTest::keyClick(Control(IDC_TX_EDIT), Qt::Key_W, Qt::ControlModifier);
  QTest::keyClick(Control(IDC_TX_EDIT), Qt::Key_Enter, Qt::KeypadModifier);
  ASSERT_EQ(dialog.keys.size(), 3u);
  EXPECT_EQ(dialog.keys[0].focusId, IDC_TX_EDIT);
  EXPECT_EQ(dialog.keys[0].message, WM_KEYDOWN);
  EXPECT_EQ(dialog.keys[1].wParam, WPARAM{'W'});
  EXPECT_EQ(dialog.keyCtrlDown, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(dialog.keys[2].wParam, WPARAM{VK_RETURN});
  EXPECT_EQ(Window().GetText(IDC_TX_EDIT), u"\r\n");  // Q swallowed, keypad Enter a line break

  // Alt+Enter made a plain Enter by the owner is a line break; Ctrl+Enter too.
  dialog.preTranslate = [](KeyMessage& msg) {
    if (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_RETURN) msg.message = WM_KEYDOWN;
    return FALSE;
  };
  QTest::keyClick(Control(IDC_TX_EDIT), Qt::Key_Return, Qt::AltModifier);
  EXPECT_EQ(dialog.keys.back().message, WM_SYSKEYDOWN);
  QTest::keyClick(Control(IDC_TX_EDIT), Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(Window().GetText(IDC_TX_EDIT), u"\r\n\r\n\r\n");
  EXPECT_EQ(dialog.keys.size(), 5u);  // the redelivered Enter is not pre-translated again

  // Tab moves on instead of typing a tab.
  QTest::keyClick(Control(IDC_TX_EDIT), Qt::Key_Tab);
  EXPECT_NE(Window().GetFocusId(), IDC_TX_EDIT);
  EXPECT_EQ(Window().GetText(IDC_TX_EDIT), u"\r\n\r\n\r\n");
}

TEST_F(QtDialogTest, TheDialogNeitherPressesADefaultButtonNorClosesByItself) {
  Window().SetFocusId(IDC_TX_INTERVAL);
  QTest::keyClick(Control(IDC_TX_INTERVAL), Qt::Key_Return);
  Window().SetFocusId(IDC_OPEN);
  QTest::keyClick(Control(IDC_OPEN), Qt::Key_Return);
  QTest::keyClick(Control(IDC_OPEN), Qt::Key_Escape);
  EXPECT_TRUE(dialog.Notified(BN_CLICKED).empty());
  EXPECT_TRUE(Window().Widget()->isVisible());

  // The close box asks the owner, which decides.
  Window().Widget()->close();
  EXPECT_EQ(dialog.closeRequests, 1);
  EXPECT_TRUE(Window().Widget()->isVisible());
  dialog.endOnClose = true;
  Window().Widget()->close();
  EXPECT_FALSE(Window().Widget()->isVisible());
  EXPECT_EQ(Window().RunModal(), 2);
}

TEST_F(QtDialogTest, MultiLineTextReadsWithCrLfAndPositionsCountIt) {
  Window().SetText(IDC_TX_EDIT, u"ab\r\ncd\r\n");
  auto* edit = Control<QPlainTextEdit>(IDC_TX_EDIT);
  EXPECT_EQ(edit->blockCount(), 3);
  EXPECT_EQ(Window().GetText(IDC_TX_EDIT), u"ab\r\ncd\r\n");
  EXPECT_EQ(Window().GetTextLength(IDC_TX_EDIT), 8);
  EXPECT_EQ(Window().EditGetLineCount(IDC_TX_EDIT), 3);

  Window().EditSetSel(IDC_TX_EDIT, 4, -1);
  EXPECT_EQ(edit->textCursor().selectedText(), QStringLiteral("cd") + QChar(QChar::ParagraphSeparator));
  int start = 0;
  int end = 0;
  Window().EditGetSel(IDC_TX_EDIT, start, end);
  EXPECT_EQ(std::make_pair(start, end), std::make_pair(4, 8));

  Window().EditSetSel(IDC_TX_EDIT, 8, 8);
  QTest::keyClicks(edit, "e");
  Window().EditGetSel(IDC_TX_EDIT, start, end);
  EXPECT_EQ(std::make_pair(start, end), std::make_pair(9, 9));
  EXPECT_EQ(Window().GetText(IDC_TX_EDIT), u"ab\r\ncd\r\ne");
}

TEST_F(QtDialogTest, TheIntervalArrowsWriteAndWrapPlainDigits) {
  Window().SpinSetRange(IDC_TX_INTERVAL_SPIN, 0, 32767);
  Window().SetText(IDC_TX_INTERVAL, u"32767");
  Window().SetFocusId(IDC_TX_INTERVAL);
  QTest::keyClick(Control(IDC_TX_INTERVAL), Qt::Key_Up);
  EXPECT_EQ(Window().GetText(IDC_TX_INTERVAL), u"0");
  QTest::keyClick(Control(IDC_TX_INTERVAL), Qt::Key_Down);
  EXPECT_EQ(Window().GetText(IDC_TX_INTERVAL), u"32767");
  Window().SetText(IDC_TX_INTERVAL, u"1234");
  QTest::mouseClick(Control(IDC_TX_INTERVAL_SPIN)->findChildren<QToolButton*>().front(), Qt::LeftButton);
  EXPECT_EQ(Window().GetText(IDC_TX_INTERVAL), u"1235");
  EXPECT_EQ(Window().GetFocusId(), IDC_TX_INTERVAL);
  EXPECT_EQ(dialog.Notified(EN_CHANGE).back(), IDC_TX_INTERVAL);
}

TEST_F(QtDialogTest, FilesDroppedOnAnyControlReachTheOwnerInDropOrder) {
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(QString::fromUtf16(u"/tmp/\u6570\u636E.txt")), QUrl::fromLocalFile("/tmp/b.txt")});
  EXPECT_TRUE(DropFiles(Control<QPlainTextEdit>(IDC_RX_EDIT)->viewport(), files));
  EXPECT_TRUE(DropFiles(Control<QComboBox>(IDC_PORT)->lineEdit(), files));
  EXPECT_TRUE(DropFiles(Window().Widget(), files));  // over a label or button the dialog itself takes the drop
  const std::vector<std::u16string> expected{u"/tmp/\u6570\u636E.txt", u"/tmp/b.txt"};
  EXPECT_EQ(dialog.drops, (std::vector<std::vector<std::u16string>>(3, expected)));
  EXPECT_EQ(Window().GetText(IDC_RX_EDIT), u"");
}

TEST_F(QtDialogTest, TimersReachTheOwnerUntilKilled) {
  Window().SetTimer(7, 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.timers.size() >= 2; }, 2000));
  Window().KillTimer(7);
  const std::size_t fired = dialog.timers.size();
  QTest::qWait(50);
  EXPECT_EQ(dialog.timers.size(), fired);
  EXPECT_TRUE(std::all_of(dialog.timers.begin(), dialog.timers.end(), [](UINT_PTR id) { return id == 7; }));
}

TEST_F(QtDialogTest, RunModalEndsWithTheResultOfEndDialog) {
  QTimer::singleShot(0, [&] { dialog.EndDialog(5); });
  EXPECT_EQ(Window().RunModal(), 5);
  EXPECT_FALSE(Window().Widget()->isVisible());
}

TEST_F(QtDialogTest, AChildDialogBelongsToItsParentsWindow) {
  RecordingDialog filter(FilterDialogTemplate(), &dialog);
  ASSERT_TRUE(filter.Create());
  auto* window = static_cast<QtDialogWindow*>(filter.Window());
  EXPECT_EQ(window->Widget()->parentWidget(), Window().Widget());
  EXPECT_FALSE(window->Widget()->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(window->ControlWidget(IDC_FILTER_KEEP)->isHidden());
  EXPECT_FALSE(window->ControlWidget(IDC_FILTER_TEXT)->accessibleName().isEmpty());
}

}  // namespace
