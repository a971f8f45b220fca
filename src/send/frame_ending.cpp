#include "send/frame_ending.h"

#include <iterator>

#include "send/checksums.h"

namespace {
void AppendBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

template <class Value, std::size_t N>
std::optional<Value> Named(std::u16string_view name, const Value (&values)[N], std::u16string_view (*nameOf)(Value)) {
  for (const Value value : values) {
    if (nameOf(value) == name) return value;
  }
  return std::nullopt;
}
}  // namespace

std::vector<std::uint8_t> CheckBytes(AppendCheck check, std::span<const std::uint8_t> frame) {
  std::vector<std::uint8_t> out;
  switch (check) {
    case AppendCheck::None:
      break;
    case AppendCheck::Xor8:
      out.push_back(checksums::Xor8(frame));
      break;
    case AppendCheck::Sum8:
      out.push_back(checksums::Sum8(frame));
      break;
    case AppendCheck::Crc16Modbus: {
      const std::uint16_t crc = checksums::Crc16Modbus(frame);
      out = {static_cast<std::uint8_t>(crc & 0xFF), static_cast<std::uint8_t>(crc >> 8)};
      break;
    }
    case AppendCheck::Crc16CcittFalse:
      AppendBigEndian(out, checksums::Crc16CcittFalse(frame), 2);
      break;
    case AppendCheck::Crc32:
      AppendBigEndian(out, checksums::Crc32(frame), 4);
      break;
  }
  return out;
}

void AppendEnding(std::vector<std::uint8_t>& frame, FrameEnding ending) {
  const std::vector<std::uint8_t> check = CheckBytes(ending.check, frame);
  frame.insert(frame.end(), check.begin(), check.end());
  if (ending.lineEnd == LineEnd::Cr || ending.lineEnd == LineEnd::CrLf) frame.push_back('\r');
  if (ending.lineEnd == LineEnd::Lf || ending.lineEnd == LineEnd::CrLf) frame.push_back('\n');
}

// In the order of kLineEnds and kAppendChecks, which is the order of the enums.
constexpr std::u16string_view kLineEndNames[] = {u"None", u"CR", u"LF", u"CR LF"};
constexpr std::u16string_view kAppendCheckNames[] = {u"None",          u"XOR8",
                                                     u"SUM8",          u"CRC-16/MODBUS",
                                                     u"CRC-16/CCITT-FALSE", u"CRC-32"};
static_assert(std::size(kLineEndNames) == std::size(kLineEnds));
static_assert(std::size(kAppendCheckNames) == std::size(kAppendChecks));

std::u16string_view LineEndName(LineEnd lineEnd) { return kLineEndNames[static_cast<std::size_t>(lineEnd)]; }
std::u16string_view AppendCheckName(AppendCheck check) { return kAppendCheckNames[static_cast<std::size_t>(check)]; }

std::optional<LineEnd> LineEndNamed(std::u16string_view name) { return Named(name, kLineEnds, &LineEndName); }
std::optional<AppendCheck> AppendCheckNamed(std::u16string_view name) {
  return Named(name, kAppendChecks, &AppendCheckName);
}
