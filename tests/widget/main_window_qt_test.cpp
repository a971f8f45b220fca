#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QUrl>
#include <fstream>
#include <memory>

#include "app/main_window.h"
#include "platform/profile.h"
#include "platform/qt/dialog_qt.h"
#include "platform/qt/multi_line_edit_qt.h"
#include "platform/text.h"
#include "res/resource.h"
#include "support/program_environment.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"
#include "widget/qt_dialog_fixture.h"
#include "platform/qt/utf16_qt.h"

namespace {

// The program's own window on the Qt backend, driven with real key presses and clicks.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dlg = std::make_unique<MainWindow>();
    ASSERT_TRUE(dlg->Create());
    window = static_cast<QtDialogWindow*>(dlg->Window());
    window->Widget()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window->Widget()));
  }
  void TearDown() override {
    dlg->GetConnection().Close();
    dlg.reset();
  }
  template <class Widget>
  Widget* Control(int id) {
    return qobject_cast<Widget*>(window->ControlWidget(id));
  }
  void OpenPtyThroughTheWindow() {
    auto* port = Control<QComboBox>(IDC_PORT);
    port->lineEdit()->selectAll();
    QTest::keyClicks(port->lineEdit(), QString::fromStdString(pty.SlavePath()));
    QTest::mouseClick(Control<QAbstractButton>(IDC_OPEN), Qt::LeftButton);
    ASSERT_EQ(Control<QAbstractButton>(IDC_OPEN)->text(), "Close");
  }
  // As a screen reader toggles a check box.
  void toggle(int id) {
    QAccessible::queryAccessibleInterface(window->ControlWidget(id))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::toggleAction());
  }
  // What the receive box shows once it has caught up.
  QString ShownReceiveText() {
    auto* box = Control<MultiLineEditWidget>(IDC_RX_EDIT);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !box->RefreshPending(); }, 10000));
    return box->toPlainText();
  }

  testsupport::TempDir folder;
  testsupport::ProgramEnvironment program{folder.Path()};
  testsupport::PtyPair pty;
  QtToolkit toolkit;
  std::unique_ptr<MainWindow> dlg;
  QtDialogWindow* window = nullptr;
};

}  // namespace

TEST_F(MainWindowTest, APtyTypedIntoThePortBoxOpensAndCloses) {
  OpenPtyThroughTheWindow();
  EXPECT_FALSE(Control<QComboBox>(IDC_PORT)->isEnabled());
  EXPECT_TRUE(Control<QAbstractButton>(IDC_RX_PAUSE)->isEnabled());
  QTest::mouseClick(Control<QAbstractButton>(IDC_OPEN), Qt::LeftButton);
  EXPECT_EQ(Control<QAbstractButton>(IDC_OPEN)->text(), "Open");
  EXPECT_TRUE(Control<QComboBox>(IDC_PORT)->isEnabled());
  EXPECT_TRUE(platform::CommPort::Open(pty.PortName()));  // really closed
}

TEST_F(MainWindowTest, BytesFromThePtyAppearInTheReceiveBoxAsTextAndHex) {
  OpenPtyThroughTheWindow();
  ASSERT_TRUE(pty.WriteAll("AB\r\n", 4));
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->GetReceiver().RxCount() == 4; }, 5000));
  auto* hex = Control<QAbstractButton>(IDC_RX_HEX);
  QTest::mouseClick(hex, Qt::LeftButton, {}, QPoint(6, hex->height() / 2));  // on the box itself
  ASSERT_TRUE(hex->isChecked());
  ASSERT_TRUE(pty.WriteAll("\x00\xFF", 2));
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->GetReceiver().RxCount() == 6; }, 5000));
  // The CR of a CR LF shows as nothing; the box reads back exactly what arrived.
  EXPECT_EQ(ShownReceiveText(), QString("AB") + QChar(0x200B) + QString("\n00 FF "));
  EXPECT_EQ(window->GetText(IDC_RX_EDIT), u"AB\r\n00 FF ");
  EXPECT_EQ(Control<QLabel>(IDC_RX_COUNT)->text(), "RX:6");
}

TEST_F(MainWindowTest, EnterInTheSendBoxSendsOverThePortAndEmptiesTheBox) {
  OpenPtyThroughTheWindow();
  auto* send = Control<QPlainTextEdit>(IDC_TX_EDIT);
  send->setFocus();
  QTest::keyClicks(send, "hello");
  QTest::keyClick(send, Qt::Key_Return);
  EXPECT_EQ(pty.ReadExactly(5), (std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o'}));
  EXPECT_TRUE(send->toPlainText().isEmpty());
  QTest::keyClicks(send, "again");
  QTest::keyClick(send, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(pty.ReadExactly(5).size(), 5u);
  EXPECT_EQ(send->toPlainText(), "again");
  ASSERT_TRUE(QTest::qWaitFor([&] { return Control<QLabel>(IDC_TX_COUNT)->text() == "TX:10"; }, 5000));
}

TEST_F(MainWindowTest, CtrlHSwitchesBothHexBoxesAndTheChecksumFollowsTheSelection) {
  auto* send = Control<QPlainTextEdit>(IDC_TX_EDIT);
  send->setFocus();
  QTest::keyClick(send, Qt::Key_H, Qt::ControlModifier);
  EXPECT_TRUE(Control<QAbstractButton>(IDC_RX_HEX)->isChecked());
  EXPECT_TRUE(Control<QAbstractButton>(IDC_TX_HEX)->isChecked());
  EXPECT_TRUE(Control<QAbstractButton>(IDC_TX_IGNORESPACE)->isEnabled());
  QTest::keyClicks(send, "01 02 03");
  EXPECT_EQ(Control<QLabel>(IDC_CHECKSUM)->text(), "CRC xor:00  add:06");
  QTextCursor cursor = send->textCursor();
  cursor.setPosition(3);
  cursor.setPosition(8, QTextCursor::KeepAnchor);  // "02 03"
  send->setTextCursor(cursor);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Control<QLabel>(IDC_CHECKSUM)->text() == "CRC xor:01  add:05"; }, 2000));
  QTest::keyClick(send, Qt::Key_H, Qt::ControlModifier);
  EXPECT_FALSE(Control<QAbstractButton>(IDC_RX_HEX)->isChecked());
  EXPECT_FALSE(Control<QAbstractButton>(IDC_TX_HEX)->isChecked());
}

TEST_F(MainWindowTest, CheckBoxesToggledByAScreenReaderRunWhatAClickRuns) {
  OpenPtyThroughTheWindow();
  window->SetText(IDC_TX_INTERVAL, u"30");
  window->SetText(IDC_TX_EDIT, u"01 02");
  toggle(IDC_TX_AUTOSEND);
  EXPECT_TRUE(QTest::qWaitFor([&] { return dlg->GetSender().TxCount() >= 10; }, 5000));  // sent, and sent again
  toggle(IDC_TX_AUTOSEND);
  EXPECT_EQ(platform::GetPrivateProfileString(u"Setting", u"Interval", u"", folder.Path() / "Sorvane.ini"), u"30");

  toggle(IDC_RX_HEX);
  EXPECT_TRUE(Control<QWidget>(IDC_RX_ADDSPACE)->isEnabled());
  toggle(IDC_TX_HEX);
  EXPECT_TRUE(Control<QWidget>(IDC_TX_IGNORESPACE)->isEnabled());
  EXPECT_EQ(Control<QLabel>(IDC_CHECKSUM)->text(), "CRC xor:03  add:03");
  toggle(IDC_TX_HEX);
  EXPECT_FALSE(Control<QWidget>(IDC_TX_IGNORESPACE)->isEnabled());

  toggle(IDC_DTR);
  EXPECT_EQ(platform::GetPrivateProfileString(u"Setting", u"DTR", u"", folder.Path() / "Sorvane.ini"), u"0");
  // An indicator shows the line, whatever a click or a screen reader does to it.
  window->Enable(IDC_CTS, true);
  window->SetCheck(IDC_CTS, BST_CHECKED);
  toggle(IDC_CTS);
  EXPECT_TRUE(Control<QAbstractButton>(IDC_CTS)->isChecked());
  QTest::mouseClick(Control<QAbstractButton>(IDC_CTS), Qt::LeftButton);
  EXPECT_TRUE(Control<QAbstractButton>(IDC_CTS)->isChecked());
}

TEST_F(MainWindowTest, AFileDroppedOnTheReceiveBoxIsSent) {
  const auto file = folder.Path() / "dropped.txt";
  std::ofstream(file, std::ios::binary) << "one\r\ntwo\r\n";
  OpenPtyThroughTheWindow();
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(QString::fromStdString(file.string()))});
  EXPECT_TRUE(DropFiles(Control<QPlainTextEdit>(IDC_RX_EDIT)->viewport(), files));

  const std::string expected = "one\ntwo\n";
  EXPECT_EQ(pty.ReadExactly(expected.size()), std::vector<std::uint8_t>(expected.begin(), expected.end()));
  EXPECT_TRUE(QTest::qWaitFor([&] { return dlg->GetDlgItemText(IDC_TX_COUNT) == u"TX:8"; }));
  EXPECT_TRUE(QTest::qWaitFor([&] { return dlg->GetDlgItemText(IDC_SEND_FILE) == u"Send File"; }));
  EXPECT_EQ(dlg->ComboGetItem(IDC_FILE_HISTORY, 0), u"dropped.txt");
}

// The View group's controls are named as their captions say and work from the keyboard and
// through a screen reader's toggle.
TEST_F(MainWindowTest, TheEncodingListAndTheHexDumpBoxWorkByKeyboardAndAccessibleAction) {
  auto* encoding = Control<QComboBox>(IDC_ENCODING);
  ASSERT_NE(encoding, nullptr);
  EXPECT_EQ(encoding->accessibleName(), "Encoding");
  EXPECT_EQ(encoding->count(), 9);
  EXPECT_EQ(encoding->currentText(), "System");
  encoding->setFocus();
  QTest::keyClick(encoding, Qt::Key_Down);
  QTest::keyClick(encoding, Qt::Key_Down);
  EXPECT_EQ(encoding->currentText(), "GB18030");
  EXPECT_EQ(platform::GetPrivateProfileString(u"Setting", u"Encoding", u"", folder.Path() / "Sorvane.ini"), u"GB18030");

  auto* dump = window->ControlWidget(IDC_RX_HEXDUMP);
  auto* dumpAccess = QAccessible::queryAccessibleInterface(dump);
  EXPECT_EQ(dumpAccess->text(QAccessible::Name), "Hex dump");
  dumpAccess->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  EXPECT_FALSE(Control<QWidget>(IDC_RX_FILTER)->isEnabled());
  OpenPtyThroughTheWindow();
  ASSERT_TRUE(pty.WriteAll("\xD6\xD0", 2));
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->GetReceiver().RxCount() == 2; }, 5000));
  EXPECT_TRUE(ShownReceiveText().startsWith("00000000  D6 D0 ")) << ShownReceiveText().toStdString();
  dumpAccess->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  EXPECT_TRUE(Control<QWidget>(IDC_RX_FILTER)->isEnabled());
}

TEST_F(MainWindowTest, SentLinesShowInAColourOfTheirOwnAndTheViewOptionsWorkFromTheKeyboard) {
  OpenPtyThroughTheWindow();
  toggle(IDC_SHOW_SENT);
  toggle(IDC_RX_TIMESTAMP);
  const auto ini = folder.Path() / "Sorvane.ini";
  EXPECT_EQ(platform::GetPrivateProfileString(u"Setting", u"ShowSent", u"", ini), u"1");
  EXPECT_EQ(platform::GetPrivateProfileString(u"Setting", u"Timestamp", u"", ini), u"1");
  auto* gap = Control<QLineEdit>(IDC_IDLE_GAP);
  ASSERT_NE(gap, nullptr);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(gap)->text(QAccessible::Name), "Idle gap (ms)");
  gap->setFocus();
  QTest::keyClick(gap, Qt::Key_Up);
  EXPECT_EQ(gap->text(), "21");
  Control<QWidget>(IDC_TX_EDIT)->setFocus();
  EXPECT_EQ(platform::GetPrivateProfileString(u"Setting", u"IdleGap", u"", ini), u"21");

  ASSERT_TRUE(pty.WriteAll("ab", 2));
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg->GetReceiver().RxCount() == 2; }, 5000));
  window->SetText(IDC_TX_EDIT, u"hi");
  QTest::mouseClick(Control<QAbstractButton>(IDC_SEND), Qt::LeftButton);
  EXPECT_EQ(pty.ReadExactly(2).size(), 2u);
  ASSERT_TRUE(QTest::qWaitFor([&] { return ShownReceiveText().contains("TX> hi"); }, 5000));

  const QTextDocument* document = Control<QPlainTextEdit>(IDC_RX_EDIT)->document();
  const QString shown = document->toPlainText();
  const auto colourAt = [&](qsizetype position) {
    QTextCursor cursor(const_cast<QTextDocument*>(document));
    cursor.setPosition(static_cast<int>(position) + 1);
    return cursor.charFormat().foreground().color().rgb() & 0xFFFFFF;
  };
  EXPECT_EQ(colourAt(shown.indexOf("TX> hi") + 4), ReceiveDisplay::kMarkColor);
  EXPECT_NE(colourAt(shown.indexOf("ab")), ReceiveDisplay::kMarkColor);
  ASSERT_TRUE(pty.WriteAll("cd", 2));
  ASSERT_TRUE(QTest::qWaitFor([&] { return ShownReceiveText().endsWith("cd"); }, 5000));
  EXPECT_NE(colourAt(document->toPlainText().size() - 2), ReceiveDisplay::kMarkColor) << "what arrives after is plain";
}
