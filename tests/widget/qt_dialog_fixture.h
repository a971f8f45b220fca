#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "platform/dialog.h"
#include "platform/dialog_qt.h"
#include "res/dialog_template.h"
#include "support/recording_dialog.h"

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
