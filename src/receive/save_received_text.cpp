#include "receive/save_received_text.h"

#include "platform/codepage.h"
#include "platform/file_replace.h"

bool SaveReceivedText(const std::filesystem::path& target, std::u16string text, unsigned codePage) {
  if (text.size() < 2 || text.compare(text.size() - 2, 2, u"\r\n") != 0) text += u"\r\n";
  return platform::ReplaceFileContent(target, platform::WideToMultiByte(codePage, text));
}
