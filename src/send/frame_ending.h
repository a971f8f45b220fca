#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// What is appended to every frame the send box, auto send and the commands send (not to
// files): a checksum of the frame's bytes, then a line end.
enum class LineEnd : std::uint8_t { None, Cr, Lf, CrLf };
enum class AppendCheck : std::uint8_t { None, Xor8, Sum8, Crc16Modbus, Crc16CcittFalse, Crc32 };

inline constexpr LineEnd kLineEnds[] = {LineEnd::None, LineEnd::Cr, LineEnd::Lf, LineEnd::CrLf};
inline constexpr AppendCheck kAppendChecks[] = {AppendCheck::None,        AppendCheck::Xor8,
                                                AppendCheck::Sum8,        AppendCheck::Crc16Modbus,
                                                AppendCheck::Crc16CcittFalse, AppendCheck::Crc32};

struct FrameEnding {
  LineEnd lineEnd = LineEnd::None;
  AppendCheck check = AppendCheck::None;
};

// The checksum's bytes in the order its protocol sends them: Modbus low byte first,
// CCITT-FALSE and CRC-32 high byte first (as they are written in their standards' frames).
std::vector<std::uint8_t> CheckBytes(AppendCheck check, std::span<const std::uint8_t> frame);
void AppendEnding(std::vector<std::uint8_t>& frame, FrameEnding ending);

// The names the settings file stores and the lists show ("None" is shown translated).
std::u16string_view LineEndName(LineEnd lineEnd);           // "None", "CR", "LF", "CR LF"
std::u16string_view AppendCheckName(AppendCheck check);     // "None", "XOR8", ... "CRC-32"
std::optional<LineEnd> LineEndNamed(std::u16string_view name);
std::optional<AppendCheck> AppendCheckNamed(std::u16string_view name);
