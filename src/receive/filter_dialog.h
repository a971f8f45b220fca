#pragma once

#include <string>

#include "platform/dialog.h"

// The small modal dialog in which the user writes the receive filter's conditions.
class Filter : public CDialogEx {
 public:
  explicit Filter(CDialogEx* owner);

  BOOL OnInitDialog() override;
  void DoDataExchange(DataExchange& dx) override;
  BOOL PreTranslateMessage(KeyMessage& msg) override;
  const MessageMap& GetMessageMap() const override;
  void ApplyLanguage();
  void OnBnClickedOk();
  void OnBnClickedCancel();

  int m_nLangBase = 0;
  std::u16string m_strText;
  std::u16string m_strFilter;
  int m_nOnlyReserve = 0;
  bool m_bOnlyReserve = true;
  bool m_bAccepted = false;
};
