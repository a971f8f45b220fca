#include <gtest/gtest.h>

#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "app/serial_port_app.h"
#include "app/serial_port_dlg.h"
#include "platform/codepage.h"
#include "platform/dialog_qt.h"
#include "platform/text.h"
#include "res/resource.h"
#include "serial/port_discovery.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"

namespace {

// The main window on Qt, offscreen, started in a fresh folder.
class SendFileQtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_strAppDir = folder.Path().u16string();
    SetPortDiscovery([] { return std::vector<platform::SerialDeviceInfo>{}; });
    platform::SetACPForTesting(1252);
    ASSERT_TRUE(dlg.Create());
    Window().Widget()->show();
  }
  void TearDown() override {
    SetPortDiscovery({});
    platform::SetACPForTesting(0);
  }
  QtDialogWindow& Window() { return *static_cast<QtDialogWindow*>(dlg.Window()); }

  testsupport::TempDir folder;
  testsupport::PtyPair pty;
  QtToolkit toolkit;
  CSerialPortDlg dlg;
};

TEST_F(SendFileQtTest, AFileDroppedOnTheReceiveBoxIsSent) {
  const auto file = folder.Path() / "dropped.txt";
  std::ofstream(file, std::ios::binary) << "one\r\ntwo\r\n";
  dlg.SetDlgItemText(IDC_PORT, pty.PortName());
  QTest::mouseClick(qobject_cast<QPushButton*>(Window().ControlWidget(IDC_OPEN)), Qt::LeftButton);
  ASSERT_TRUE(dlg.IsPortOpen());

  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(QString::fromStdString(file.string()))});
  QWidget* target = qobject_cast<QPlainTextEdit*>(Window().ControlWidget(IDC_RX_EDIT))->viewport();
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);

  const std::string expected = "one\ntwo\n";
  EXPECT_EQ(pty.ReadExactly(expected.size()), std::vector<std::uint8_t>(expected.begin(), expected.end()));
  EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.GetDlgItemText(IDC_TX_COUNT) == u"TX:8"; }));
  EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.GetDlgItemText(IDC_SEND_FILE) == u"Send File"; }));
  EXPECT_EQ(dlg.ComboGetItem(IDC_FILE_HISTORY, 0), u"dropped.txt");
}

}  // namespace
