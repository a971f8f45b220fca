#include "receive/save_received_text.h"

#include <fstream>
#include <system_error>

#include "platform/codepage.h"

namespace {
// Writes beside the target and renames over it, so a failed write (a full disk) leaves the
// old file whole.
bool ReplaceFileContent(const std::filesystem::path& target, const std::string& bytes) {
  std::filesystem::path temporary = target;
  temporary += ".tarvolm-save";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, target, error);
  if (error) std::filesystem::remove(temporary, error);
  return !error;
}
}  // namespace

bool SaveReceivedText(const std::filesystem::path& target, std::u16string text) {
  if (text.size() < 2 || text.compare(text.size() - 2, 2, u"\r\n") != 0) text += u"\r\n";
  return ReplaceFileContent(target, platform::WideToMultiByte(platform::GetACP(), text));
}
