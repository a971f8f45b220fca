#pragma once

#include <memory>

class CDialogEx;
class DialogWindow;
struct DialogTemplate;

// The backend that makes dialog windows: Qt for the program, headless for the hub tests.
// The program or the test installs one before any dialog is created.
class UiToolkit {
 public:
  virtual ~UiToolkit() = default;
  // Builds the window and its controls from the template (combo lists filled, captions and
  // start states as the template gives them) and connects its notifications to `owner`.
  virtual std::unique_ptr<DialogWindow> CreateDialogWindow(CDialogEx& owner, const DialogTemplate& tpl,
                                                           CDialogEx* parent) = 0;

  static UiToolkit& Current();
  static void Install(UiToolkit* toolkit);
};
