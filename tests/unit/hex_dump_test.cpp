#include "receive/hex_dump.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

// The dump written the plain way, line by line with printf.
std::u16string ReferenceDump(const std::vector<std::uint8_t>& bytes, std::uint64_t offset = 0) {
  std::string out;
  char field[16];
  for (std::size_t at = 0; at < bytes.size(); at += 16) {
    std::snprintf(field, sizeof field, "%08X  ", static_cast<unsigned>((offset + at) & 0xFFFFFFFF));
    out += field;
    const std::size_t count = std::min<std::size_t>(16, bytes.size() - at);
    for (std::size_t i = 0; i < 16; ++i) {
      if (i == 8) out += ' ';
      if (i < count) {
        std::snprintf(field, sizeof field, "%02X ", bytes[at + i]);
        out += field;
      } else {
        out += "   ";
      }
    }
    out += ' ';
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint8_t b = bytes[at + i];
      out += b >= 0x20 && b <= 0x7E ? static_cast<char>(b) : '.';
    }
    if (count == 16) out += "\r\n";
  }
  return {out.begin(), out.end()};
}

std::vector<std::uint8_t> RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

std::u16string DumpWhole(const std::vector<std::uint8_t>& bytes) {
  HexDump dump;
  std::u16string text;
  EXPECT_EQ(dump.Append(bytes.data(), bytes.size(), text), 0u);
  return text;
}

TEST(HexDumpTest, WholeInputsOfEveryShapeMatchTheReference) {
  for (const std::size_t size : {0u, 1u, 15u, 16u, 17u, 1000000u}) {
    SCOPED_TRACE(size);
    const auto bytes = RandomBytes(size, static_cast<unsigned>(size));
    EXPECT_EQ(DumpWhole(bytes), ReferenceDump(bytes));
  }
  const std::vector<std::uint8_t> text = {'A', 'B', 0x00, 0x1F, 0x20, 0x7E, 0x7F, 0xFF, 'z'};
  EXPECT_EQ(DumpWhole(text), u"00000000  41 42 00 1F 20 7E 7F FF  7A" + std::u16string(23, u' ') + u"AB.. ~..z");
}

// After every chunk the text is the dump of all bytes so far: an unfinished line is written
// again in place, and only from where it begins.
TEST(HexDumpTest, ChunksThatDoNotEndOnALineGiveTheSameDumpAfterEachOne) {
  const auto bytes = RandomBytes(3000, 7);
  std::mt19937 random(11);
  HexDump dump;
  std::u16string text = u"before\r\n";
  dump.Start(0);
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::size_t size = std::min<std::size_t>(random() % 40, bytes.size() - at);
    const std::u16string old = text;
    const std::size_t changed = dump.Append(bytes.data() + at, size, text);
    at += size;
    const std::u16string expected = u"before\r\n" + ReferenceDump({bytes.begin(), bytes.begin() + at});
    ASSERT_EQ(text, expected) << at;
    ASSERT_LE(changed, old.size());
    EXPECT_EQ(text.compare(0, changed, old, 0, changed), 0) << "nothing before the change moved";
    EXPECT_GE(changed + 78, old.size()) << "only the unfinished line is written again";
  }
}

TEST(HexDumpTest, OffsetsGoOnFromStartAndTheHeldLineSurvivesTextItDidNotWrite) {
  const std::vector<std::uint8_t> bytes = RandomBytes(20, 3);
  HexDump dump;
  std::u16string text;
  dump.Start(0x1FFFFFFF8ull);  // past 32 bits: the low eight digits show
  dump.Append(bytes.data(), 20, text);
  EXPECT_EQ(text, ReferenceDump(bytes, 0x1FFFFFFF8ull));
  EXPECT_EQ(text.substr(0, 8), u"FFFFFFF8");

  // Cleared under it: the four held bytes come back with the next ones, not lost.
  text.clear();
  dump.Append(bytes.data(), 2, text);
  EXPECT_EQ(text, ReferenceDump({bytes[16], bytes[17], bytes[18], bytes[19], bytes[0], bytes[1]}, 0x1FFFFFFF8ull + 16));
}

}  // namespace
