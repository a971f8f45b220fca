#pragma once

#include <cstdint>
#include <span>

// The checksums a frame can carry, as their protocols define them (parameters from the
// common CRC catalogue: width, polynomial, initial value, reflection, final XOR).
namespace checksums {

std::uint8_t Xor8(std::span<const std::uint8_t> bytes);
std::uint8_t Sum8(std::span<const std::uint8_t> bytes);  // modulo 256
// Poly 0x8005 reflected (0xA001), init 0xFFFF, no final XOR: "123456789" gives 0x4B37.
std::uint16_t Crc16Modbus(std::span<const std::uint8_t> bytes);
// Poly 0x1021, init 0xFFFF, not reflected, no final XOR: "123456789" gives 0x29B1.
std::uint16_t Crc16CcittFalse(std::span<const std::uint8_t> bytes);
// Poly 0x04C11DB7 reflected (0xEDB88320), init and final XOR 0xFFFFFFFF: 0xCBF43926.
std::uint32_t Crc32(std::span<const std::uint8_t> bytes);

}  // namespace checksums
