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

// A dialog that records what its window tells it.
class RecordingDialog : public CDialogEx {
 public:
  explicit RecordingDialog(const DialogTemplate& tpl = MainDialogTemplate(), CDialogEx* parent = nullptr)
      : CDialogEx(tpl, parent) {}

  BOOL PreTranslateMessage(KeyMessage& msg) override {
    // QTest presses the modifier keys themselves too; only the others are of interest.
    if (msg.wParam != VK_CONTROL && msg.wParam != VK_MENU && msg.wParam != kVkShift) {
      keys.push_back(msg);
      keyCtrlDown.push_back(IsKeyDown(VK_CONTROL));
    }
    return preTranslate ? preTranslate(msg) : FALSE;
  }
  const MessageMap& GetMessageMap() const override {
    static const MessageMap map = {
        OnMessage(WM_CLOSE, &RecordingDialog::OnClose),
        OnDropFilesMessage(&RecordingDialog::OnDropFiles),
        OnTimerMessage(&RecordingDialog::OnTimer),
        OnMessage(kCountMessage, &RecordingDialog::OnCount),
    };
    return map;
  }
  // Notifications of one kind, in order.
  std::vector<int> Notified(UINT code) const {
    std::vector<int> ids;
    for (const auto& [c, id] : notifications) {
      if (c == code) ids.push_back(id);
    }
    return ids;
  }

  static constexpr UINT kCountMessage = WM_USER + 1;
  static constexpr WPARAM kVkShift = 0x10;
  std::function<BOOL(KeyMessage&)> preTranslate;
  std::function<void(UINT, int)> onNotify;
  std::vector<KeyMessage> keys;
  std::vector<bool> keyCtrlDown;
  std::vector<std::pair<UINT, int>> notifications;
  std::vector<std::vector<std::u16string>> drops;
  std::vector<UINT_PTR> timers;
  int closeRequests = 0;
  long long counted = 0;
  bool endOnClose = false;

 protected:
  void OnUnmappedNotify(UINT code, int id) override {
    notifications.emplace_back(code, id);
    if (onNotify) onNotify(code, id);
  }

 private:
  void OnClose() {
    ++closeRequests;
    if (endOnClose) EndDialog(IDCANCEL_RESULT);
  }
  void OnDropFiles(const DroppedFiles& files) { drops.push_back(files.paths); }
  void OnTimer(UINT_PTR id) { timers.push_back(id); }
  void OnCount() { ++counted; }
  static constexpr INT_PTR IDCANCEL_RESULT = 2;
};

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
