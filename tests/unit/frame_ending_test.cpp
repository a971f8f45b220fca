#include <gtest/gtest.h>

#include <random>
#include <string_view>
#include <vector>

#include "send/checksums.h"
#include "send/frame_ending.h"

namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

// Bit by bit, straight from the definition: the tables must agree with it on any input.
std::uint32_t ReferenceCrc(std::span<const std::uint8_t> bytes, int width, std::uint32_t poly, std::uint32_t init,
                           bool reflected, std::uint32_t xorOut) {
  const std::uint64_t top = std::uint64_t{1} << (width - 1);
  const std::uint64_t mask = (top << 1) - 1;
  std::uint64_t crc = init;
  for (std::uint8_t byte : bytes) {
    if (reflected) {
      std::uint8_t r = 0;
      for (int i = 0; i < 8; ++i) r |= ((byte >> i) & 1) << (7 - i);
      byte = r;
    }
    for (int i = 7; i >= 0; --i) {
      const bool bit = ((byte >> i) & 1) != 0;
      const bool high = (crc & top) != 0;
      crc = (crc << 1) & mask;
      if (bit != high) crc ^= poly;
    }
  }
  if (reflected) {
    std::uint64_t r = 0;
    for (int i = 0; i < width; ++i) r |= ((crc >> i) & 1) << (width - 1 - i);
    crc = r;
  }
  return static_cast<std::uint32_t>((crc ^ xorOut) & mask);
}

TEST(Checksums, TheCheckStringGivesEachProtocolsReferenceValue) {
  const auto check = Bytes("123456789");
  EXPECT_EQ(checksums::Crc16Modbus(check), 0x4B37);
  EXPECT_EQ(checksums::Crc16CcittFalse(check), 0x29B1);
  EXPECT_EQ(checksums::Crc32(check), 0xCBF43926u);
  EXPECT_EQ(checksums::Xor8(Bytes("\x01\x02\x04")), 0x07);
  EXPECT_EQ(checksums::Sum8(Bytes("\xFF\x02")), 0x01) << "modulo 256";
  EXPECT_EQ(checksums::Crc32({}), 0u);
}

TEST(Checksums, TheTablesAgreeWithTheBitByBitDefinitionOnRandomFrames) {
  std::mt19937 random(20261210);
  for (int round = 0; round < 2000; ++round) {
    std::vector<std::uint8_t> frame(random() % 300);
    for (auto& b : frame) b = static_cast<std::uint8_t>(random());
    ASSERT_EQ(checksums::Crc16Modbus(frame), ReferenceCrc(frame, 16, 0x8005, 0xFFFF, true, 0)) << round;
    ASSERT_EQ(checksums::Crc16CcittFalse(frame), ReferenceCrc(frame, 16, 0x1021, 0xFFFF, false, 0)) << round;
    ASSERT_EQ(checksums::Crc32(frame), ReferenceCrc(frame, 32, 0x04C11DB7, 0xFFFFFFFF, true, 0xFFFFFFFF)) << round;
  }
}

TEST(FrameEnding, TheChecksumGoesInItsProtocolsByteOrderAndTheLineEndAfterIt) {
  std::vector<std::uint8_t> modbus{0x01, 0x03, 0x00, 0x00, 0x00, 0x01};
  AppendEnding(modbus, {LineEnd::None, AppendCheck::Crc16Modbus});
  EXPECT_EQ(modbus, (std::vector<std::uint8_t>{0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A}));

  auto frame = Bytes("123456789");
  AppendEnding(frame, {LineEnd::CrLf, AppendCheck::Crc16CcittFalse});
  EXPECT_EQ(std::vector<std::uint8_t>(frame.begin() + 9, frame.end()), (std::vector<std::uint8_t>{0x29, 0xB1, '\r', '\n'}));
  EXPECT_EQ(CheckBytes(AppendCheck::Crc32, Bytes("123456789")), (std::vector<std::uint8_t>{0xCB, 0xF4, 0x39, 0x26}));

  auto plain = Bytes("AT");
  AppendEnding(plain, {});
  EXPECT_EQ(plain, Bytes("AT")) << "the defaults send today's bytes";
  for (const auto& [end, bytes] : {std::pair{LineEnd::Cr, "AT\r"}, {LineEnd::Lf, "AT\n"}}) {
    auto line = Bytes("AT");
    AppendEnding(line, {end, AppendCheck::None});
    EXPECT_EQ(line, Bytes(bytes));
  }
  EXPECT_EQ(AppendCheckNamed(u"crc-32"), std::nullopt) << "stored names are exact";
}

}  // namespace
