#include "send/frame_ending.h"

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

std::u16string_view LineEndName(LineEnd lineEnd) {
  switch (lineEnd) {
    case LineEnd::Cr:
      return u"CR";
    case LineEnd::Lf:
      return u"LF";
    case LineEnd::CrLf:
      return u"CR LF";
    default:
      return u"None";
  }
}

std::u16string_view AppendCheckName(AppendCheck check) {
  switch (check) {
    case AppendCheck::Xor8:
      return u"XOR8";
    case AppendCheck::Sum8:
      return u"SUM8";
    case AppendCheck::Crc16Modbus:
      return u"CRC-16/MODBUS";
    case AppendCheck::Crc16CcittFalse:
      return u"CRC-16/CCITT-FALSE";
    case AppendCheck::Crc32:
      return u"CRC-32";
    default:
      return u"None";
  }
}

std::optional<LineEnd> LineEndNamed(std::u16string_view name) { return Named(name, kLineEnds, &LineEndName); }
std::optional<AppendCheck> AppendCheckNamed(std::u16string_view name) {
  return Named(name, kAppendChecks, &AppendCheckName);
}
