#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// What the fuzz targets share: cutting one input into the pieces a target needs, and a
// check that ends the run the way a crash does, so the fuzzer keeps the input.
namespace fuzz {

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

  std::uint8_t Byte() { return m_at < m_size ? m_data[m_at++] : 0; }
  // The bytes up to the next `separator` (which is skipped), or to the end.
  std::string_view Until(std::uint8_t separator) {
    std::size_t end = m_at;
    while (end < m_size && m_data[end] != separator) ++end;
    const std::string_view piece(reinterpret_cast<const char*>(m_data) + m_at, end - m_at);
    m_at = end < m_size ? end + 1 : end;
    return piece;
  }
  std::string_view Rest() {
    const std::string_view rest(reinterpret_cast<const char*>(m_data) + m_at, m_size - m_at);
    m_at = m_size;
    return rest;
  }
  bool Empty() const { return m_at >= m_size; }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_at = 0;
};

// Piece sizes the fuzzer steers through a seed: mostly short, sometimes long, sometimes 0.
class Chunking {
 public:
  explicit Chunking(std::uint32_t seed) : m_state(seed * 2654435761u + 1) {}
  std::size_t Next() {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state % 8 == 0 ? m_state % 700 : m_state % 6;
  }

 private:
  std::uint32_t m_state;
};

// UTF-16 units from byte pairs, little-endian; an odd last byte is dropped.
inline std::u16string Utf16(std::string_view bytes) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text += static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) | static_cast<std::uint8_t>(bytes[i + 1]) << 8);
  }
  return text;
}

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
  std::abort();
}

}  // namespace fuzz

#define FUZZ_CHECK(condition) ((condition) ? void() : fuzz::Fail(#condition, __FILE__, __LINE__))
