#include "send/checksums.h"

#include <array>

namespace checksums {
namespace {

// One table entry per byte value, made at compile time.
template <class T, T kPoly, bool kReflected>
constexpr std::array<T, 256> MakeTable() {
  constexpr int kWidth = sizeof(T) * 8;
  std::array<T, 256> table{};
  for (unsigned value = 0; value < 256; ++value) {
    T crc = kReflected ? static_cast<T>(value) : static_cast<T>(static_cast<T>(value) << (kWidth - 8));
    for (int bit = 0; bit < 8; ++bit) {
      if constexpr (kReflected) {
        crc = (crc & 1) ? static_cast<T>((crc >> 1) ^ kPoly) : static_cast<T>(crc >> 1);
      } else {
        const T top = static_cast<T>(T{1} << (kWidth - 1));
        crc = (crc & top) ? static_cast<T>((crc << 1) ^ kPoly) : static_cast<T>(crc << 1);
      }
    }
    table[value] = crc;
  }
  return table;
}

constexpr auto kModbus = MakeTable<std::uint16_t, 0xA001, true>();
constexpr auto kCcitt = MakeTable<std::uint16_t, 0x1021, false>();
constexpr auto kCrc32 = MakeTable<std::uint32_t, 0xEDB88320u, true>();

}  // namespace

std::uint8_t Xor8(std::span<const std::uint8_t> bytes) {
  std::uint8_t value = 0;
  for (const std::uint8_t b : bytes) value ^= b;
  return value;
}

std::uint8_t Sum8(std::span<const std::uint8_t> bytes) {
  std::uint8_t value = 0;
  for (const std::uint8_t b : bytes) value = static_cast<std::uint8_t>(value + b);
  return value;
}

std::uint16_t Crc16Modbus(std::span<const std::uint8_t> bytes) {
  std::uint16_t crc = 0xFFFF;
  for (const std::uint8_t b : bytes) crc = static_cast<std::uint16_t>((crc >> 8) ^ kModbus[(crc ^ b) & 0xFF]);
  return crc;
}

std::uint16_t Crc16CcittFalse(std::span<const std::uint8_t> bytes) {
  std::uint16_t crc = 0xFFFF;
  for (const std::uint8_t b : bytes) crc = static_cast<std::uint16_t>((crc << 8) ^ kCcitt[((crc >> 8) ^ b) & 0xFF]);
  return crc;
}

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const std::uint8_t b : bytes) crc = (crc >> 8) ^ kCrc32[(crc ^ b) & 0xFF];
  return crc ^ 0xFFFFFFFFu;
}

}  // namespace checksums
