#pragma once

#include <string>

#include "platform/dialog.h"

// The small modal dialog in which the user writes the receive filter's conditions. One
// object serves every run; the Only reserve flag it hands back is the one its last OK set
// (true before any OK), whatever ended the run.
class FilterDialog : public CDialogEx {
 public:
  explicit FilterDialog(CDialogEx* owner);

  // Runs the dialog on `conditions` and `keepOnly`; true when it ended with OK, and then
  // `conditions` holds what was typed.
  bool Run(std::u16string& conditions, bool& keepOnly);

  BOOL OnInitDialog() override;
  void DoDataExchange(DataExchange& dx) override;
  BOOL PreTranslateMessage(KeyMessage& msg) override;
  const MessageMap& GetMessageMap() const override;

 private:
  void ApplyLanguage();
  void OnBnClickedOk();
  void OnBnClickedCancel();

  std::u16string m_caption;  // scratch for the captions as they are fetched
  std::u16string m_conditions;
  int m_keepChecked = 0;  // the Only reserve box, as data exchange moves it
  bool m_keepOnly = true;
  bool m_accepted = false;
};
