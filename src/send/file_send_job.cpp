#include "send/file_send_job.h"

#include <filesystem>
#include <system_error>


namespace {
constexpr std::size_t kMarkSize = 2;
}  // namespace

FileSendJob::Check FileSendJob::Open(const std::u16string& filePath) {
  path = filePath;
  const std::filesystem::path native(filePath);
  std::error_code error;
  if (!std::filesystem::is_regular_file(native, error)) return Check::CannotOpen;
  size = std::filesystem::file_size(native, error);
  if (error) size = 0;
  file.open(native, std::ios::binary);
  if (!file.is_open()) return Check::CannotOpen;

  head.resize(kMarkSize);
  file.read(head.data(), static_cast<std::streamsize>(kMarkSize));
  if (file.bad()) return Check::ReadFailed;
  head.resize(static_cast<std::size_t>(file.gcount()));
  if (head.empty()) return Check::Empty;
  if (head == "\xEF\xBB" || head == "\xFE\xFF") return Check::UnsupportedEncoding;
  if (head == "\xFF\xFE") encoding = FileEncoding::Utf16Le;
  return Check::Ready;
}
