#pragma once

#include <string>

class CDialogEx;

// The window's language and the fetch rule: the text of an English string id in the
// language, into a scratch string that a missing text leaves as it was.
class Language {
 public:
  // Works out the language from the system and sets the main window's captions in it.
  void Apply(CDialogEx& mainWindow);
  const std::u16string& Text(int englishId);
  int Base() const { return m_base; }

 private:
  int m_base = 0;
  std::u16string m_scratch;
};
