#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "platform/dialog.h"
#include "platform/qt/dialog_qt.h"
#include "res/dialog_template.h"
#include "support/recording_dialog.h"

// Drags `files` onto `target` and drops them there, as a file manager does; whether the
// target accepted the drag.
inline bool DropFiles(QWidget* target, QMimeData& files) {
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  return enter.isAccepted();
}

// Calls inspect with the modal dialog that the code under test opens next; inspect must
// close it.
void WhenModalShows(std::function<void(QWidget*)> inspect);

// The main template's window, shown and active.
class QtDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dialog.Create());
    QDialog* widget = Window().Widget();
    widget->show();
    widget->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(widget));
  }

  QtDialogWindow& Window() { return *static_cast<QtDialogWindow*>(dialog.Window()); }
  template <class W = QWidget>
  W* Control(int id) {
    return qobject_cast<W*>(Window().ControlWidget(id));
  }

  QtToolkit toolkit;
  RecordingDialog dialog;
};
