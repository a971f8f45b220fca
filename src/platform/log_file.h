#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace platform {

// A file that a capture is written to as it arrives: created (or emptied) when opened,
// appended to by one thread, put on the disk by Sync. A failure comes back with the
// system's own words for it.
class LogFile {
 public:
  LogFile() = default;
  ~LogFile();
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  bool Open(const std::filesystem::path& path, std::u16string& error);
  // All of `size` bytes, or false.
  bool Write(const std::uint8_t* data, std::size_t size, std::u16string& error);
  bool Sync(std::u16string& error);
  void Close();
  bool IsOpen() const { return m_handle != kClosed; }

 private:
  static constexpr std::intptr_t kClosed = -1;
  std::intptr_t m_handle = kClosed;  // a descriptor or a HANDLE
};

}  // namespace platform
