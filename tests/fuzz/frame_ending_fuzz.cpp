// Any frame with any Line end and Append: the frame comes out unchanged, then its check, then
// the line end; a frame with its own CRC-16 appended checks to zero (each protocol's byte
// order), and with its XOR8 to zero. Any text read as a stored name is refused or names
// back to itself.
#include <span>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "send/checksums.h"
#include "send/frame_ending.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const std::uint8_t choice = input.Byte();
  const FrameEnding ending{kLineEnds[choice % std::size(kLineEnds)], kAppendChecks[(choice >> 2) % std::size(kAppendChecks)]};
  const std::string_view rest = input.Rest();
  const std::vector<std::uint8_t> frame(rest.begin(), rest.end());

  std::vector<std::uint8_t> sent = frame;
  AppendEnding(sent, ending);
  const std::vector<std::uint8_t> check = CheckBytes(ending.check, frame);
  FUZZ_CHECK(std::equal(frame.begin(), frame.end(), sent.begin()));
  FUZZ_CHECK(std::equal(check.begin(), check.end(), sent.begin() + static_cast<std::ptrdiff_t>(frame.size())));
  const std::size_t lineEnd = ending.lineEnd == LineEnd::CrLf ? 2 : ending.lineEnd == LineEnd::None ? 0 : 1;
  FUZZ_CHECK(sent.size() == frame.size() + check.size() + lineEnd);

  const std::span<const std::uint8_t> checked(sent.data(), frame.size() + check.size());
  switch (ending.check) {
    case AppendCheck::Crc16Modbus:
      FUZZ_CHECK(checksums::Crc16Modbus(checked) == 0);
      break;
    case AppendCheck::Crc16CcittFalse:
      FUZZ_CHECK(checksums::Crc16CcittFalse(checked) == 0);
      break;
    case AppendCheck::Xor8:
      FUZZ_CHECK(checksums::Xor8(checked) == 0);
      break;
    default:
      break;
  }

  const std::u16string name = fuzz::Utf16(rest);
  if (const auto lineEndNamed = LineEndNamed(name)) FUZZ_CHECK(LineEndName(*lineEndNamed) == name);
  if (const auto checkNamed = AppendCheckNamed(name)) FUZZ_CHECK(AppendCheckName(*checkNamed) == name);
  FUZZ_CHECK(AppendCheckNamed(AppendCheckName(ending.check)) == ending.check);
  return 0;
}
