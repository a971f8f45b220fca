#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <thread>

#include "platform/qt/file_dialog_qt.h"
#include "platform/qt/utf16_qt.h"
#include "widget/qt_dialog_fixture.h"

void WhenModalShows(std::function<void(QWidget*)> inspect) {
  auto* poll = new QTimer;
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, [poll, inspect] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    poll->stop();
    poll->deleteLater();
    inspect(modal);
  });
  poll->start();
}

namespace {

TEST_F(QtDialogTest, PostedTasksRunOnTheUiThreadInPostingOrder) {
  const auto uiThread = std::this_thread::get_id();
  std::vector<int> ran;
  bool allOnUiThread = true;
  std::thread worker([&] {
    for (int i = 0; i < 1000; ++i) {
      Window().PostTask([&, i] {
        ran.push_back(i);
        allOnUiThread = allOnUiThread && std::this_thread::get_id() == uiThread;
      });
    }
  });
  worker.join();
  ASSERT_TRUE(QTest::qWaitFor([&] { return ran.size() == 1000; }, 5000));
  EXPECT_TRUE(allOnUiThread);
  EXPECT_TRUE(std::is_sorted(ran.begin(), ran.end()));
}

TEST_F(QtDialogTest, TasksPostedWhileATaskRunsANestedLoopRunInIt) {
  bool inner = false;
  bool innerRanFirst = false;
  Window().PostTask([&] {
    QEventLoop loop;
    std::thread worker([&] {
      Window().PostTask([&] {
        inner = true;
        loop.quit();
      });
    });
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    loop.exec();
    worker.join();
    innerRanFirst = inner;
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return inner; }, 5000));
  EXPECT_TRUE(innerRanFirst);
}

TEST(QtPostTask, NothingRunsAfterTheWindowIsGone) {
  QtToolkit toolkit;
  auto dialog = std::make_unique<RecordingDialog>();
  ASSERT_TRUE(dialog->Create());
  std::atomic<int> ran{0};
  DialogWindow* window = dialog->Window();
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i) window->PostTask([&] { ++ran; });
  });
  worker.join();
  dialog.reset();
  QTest::qWait(30);
  EXPECT_EQ(ran.load(), 0);
}

TEST_F(QtDialogTest, MessageBoxShowsTheTextAsItIsUnderTheCaption) {
  QString title;
  QString text;
  Qt::TextFormat format = Qt::AutoText;
  WhenModalShows([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box) {
      title = box->windowTitle();
      text = box->text();
      format = box->textFormat();
    }
    modal->close();
  });
  EXPECT_EQ(dialog.MessageBox(u"Open file<b>/tmp/x</b>Error\uFF01", u"Tarvolm", MB_OK | MB_ICONERROR), 1);
  EXPECT_EQ(title, QStringLiteral("Tarvolm"));
  EXPECT_EQ(text, QString::fromUtf16(u"Open file<b>/tmp/x</b>Error\uFF01"));
  EXPECT_EQ(format, Qt::PlainText);
}

TEST(QtFileDialog, TurnsThePlatformFilterIntoQtNameFilters) {
  EXPECT_EQ(NameFiltersFromPattern(u"Text Files(*.txt)|*.txt||"), QStringList{"Text Files(*.txt) (*.txt)"});
  EXPECT_EQ(NameFiltersFromPattern(u"Logs|*.log;*.txt|All|*.*||"), (QStringList{"Logs (*.log *.txt)", "All (*.*)"}));
  EXPECT_TRUE(NameFiltersFromPattern(u"").isEmpty());
}

TEST_F(QtDialogTest, SaveDialogProposesTheNameInTheFolderAndAddsTheExtension) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
  bool asksBeforeOverwrite = true;
  QString directory;
  QString proposed;
  WhenModalShows([&](QWidget* modal) {
    auto* files = qobject_cast<QFileDialog*>(modal);
    if (!files) {
      modal->close();
      return;
    }
    mode = files->acceptMode();
    asksBeforeOverwrite = !files->testOption(QFileDialog::DontConfirmOverwrite);
    directory = files->directory().absolutePath();
    proposed = files->selectedFiles().value(0);
    files->selectFile(QStringLiteral("log"));
    static_cast<QDialog*>(files)->accept();  // as the Save or Open button does
  });
  FileDialogRequest request{true, ToU16(folder.path() + "/Receive.txt"), u"Text Files(*.txt)|*.txt||", u"txt", false};
  const auto answer = dialog.ShowFileDialog(request);
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(mode, QFileDialog::AcceptSave);
  EXPECT_FALSE(asksBeforeOverwrite);
  EXPECT_EQ(directory, QDir(folder.path()).absolutePath());
  EXPECT_EQ(proposed, folder.path() + "/Receive.txt");
  EXPECT_EQ(answer->path, ToU16(folder.path() + "/log.txt"));
  EXPECT_EQ(answer->fileName, u"log.txt");
}

TEST_F(QtDialogTest, OpenDialogTakesOnlyAnExistingFileAndCancelGivesNothing) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  QFile file(folder.path() + "/data.txt");
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
  WhenModalShows([&](QWidget* modal) {
    auto* files = qobject_cast<QFileDialog*>(modal);
    if (!files) {
      modal->close();
      return;
    }
    fileMode = files->fileMode();
    files->selectFile(folder.path() + "/data.txt");
    static_cast<QDialog*>(files)->accept();  // as the Save or Open button does
  });
  FileDialogRequest request{false, ToU16(folder.path() + "/"), u"Text Files(*.txt)|*.txt||", u"", true};
  const auto answer = dialog.ShowFileDialog(request);
  EXPECT_EQ(fileMode, QFileDialog::ExistingFile);
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(answer->path, ToU16(folder.path() + "/data.txt"));
  EXPECT_EQ(answer->fileName, u"data.txt");

  WhenModalShows([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
  EXPECT_FALSE(dialog.ShowFileDialog(request).has_value());
}

}  // namespace
