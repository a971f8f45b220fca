#include <fstream>
#include <string>
#include <system_error>

#include "platform/profile.h"

namespace platform {

namespace {
constexpr std::uintmax_t kLargestProfile = std::uintmax_t(1) << 20;
}  // namespace

ProfileProblem CheckProfileFile(const std::filesystem::path& file) {
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (!std::filesystem::exists(status)) return ProfileProblem::None;
  if (!std::filesystem::is_regular_file(status)) return ProfileProblem::NotAFile;
  const auto size = std::filesystem::file_size(file, error);
  if (error) return ProfileProblem::Unreadable;
  if (size > kLargestProfile) return ProfileProblem::TooLarge;
  std::ifstream in(file, std::ios::binary);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return ProfileProblem::Unreadable;
  return IsProfileText(bytes) ? ProfileProblem::None : ProfileProblem::NotText;
}

}  // namespace platform
