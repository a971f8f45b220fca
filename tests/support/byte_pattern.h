#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace testsupport {

// Bytes that do not repeat with any short period, zero and 0xFF among them, so a lost,
// doubled or reordered stretch shows.
inline std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

}  // namespace testsupport
