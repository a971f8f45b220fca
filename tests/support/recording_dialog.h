#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialog.h"
#include "res/dialog_template.h"

// A dialog that records what its window tells it.
class RecordingDialog : public CDialogEx {
 public:
  explicit RecordingDialog(const DialogTemplate& tpl = MainDialogTemplate(), CDialogEx* parent = nullptr)
      : CDialogEx(tpl, parent) {}

  BOOL PreTranslateMessage(KeyMessage& msg) override {
    // Test tools press the modifier keys themselves too; only the others are of interest.
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

  // How often one control sent one notification.
  int Count(UINT code, int id) const {
    int count = 0;
    for (const auto& [c, i] : notifications) count += c == code && i == id;
    return count;
  }

  static constexpr WPARAM kVkShift = 0x10;
  std::function<BOOL(KeyMessage&)> preTranslate;
  std::function<void(UINT, int)> onNotify;
  std::vector<KeyMessage> keys;
  std::vector<bool> keyCtrlDown;
  std::vector<std::pair<UINT, int>> notifications;
  std::vector<std::vector<std::u16string>> drops;
  std::vector<UINT_PTR> timers;
  int closeRequests = 0;
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
  static constexpr INT_PTR IDCANCEL_RESULT = 2;
};
