// The four line-setting boxes take any text: the line asked for must come from the pieces
// "<baud>,<parity letter>,<data bits>,<stop bits>" splits into, whatever the texts hold.
#include <vector>

#include "fuzz/fuzz_input.h"
#include "platform/text.h"
#include "serial/line_settings.h"

namespace {
std::vector<std::u16string> NonEmptyCommaParts(std::u16string_view text) {
  std::vector<std::u16string> parts;
  for (;;) {
    const std::size_t comma = std::min(text.find(u','), text.size());
    if (comma > 0) parts.emplace_back(text.substr(0, comma));
    if (comma == text.size()) return parts;
    text.remove_prefix(comma + 1);
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  LineSettingTexts texts;
  texts.flowControl = kFlowControls[input.Byte() % std::size(kFlowControls)];
  texts.baudRate = text::ParseInt(fuzz::Utf16(input.Until(0xFF)));
  texts.parity = fuzz::Utf16(input.Until(0xFF));
  texts.dataBits = fuzz::Utf16(input.Until(0xFF));
  texts.stopBits = fuzz::Utf16(input.Rest());
  const LineRequest request = RequestedLine(texts);

  std::u16string joined = text::Decimal(texts.baudRate);
  if (!texts.parity.empty()) joined += u',' + texts.parity.substr(0, 1) + u',' + texts.dataBits + u',' + texts.stopBits;
  const std::vector<std::u16string> pieces = NonEmptyCommaParts(joined);
  FUZZ_CHECK(request.complete == (pieces.size() >= 3));
  if (!request.complete) {
    FUZZ_CHECK(request.missing == (pieces.size() < 2 ? platform::CommSetting::Parity : platform::CommSetting::ByteSize));
    return 0;
  }
  for (std::size_t i = 0; i < 4; ++i) {
    FUZZ_CHECK(request.pieces[i] == (i < pieces.size() ? pieces[i] : u""));
  }
  // The flow control is chosen from a list: its piece is its name, never the typed text's.
  FUZZ_CHECK(request.PieceOf(platform::CommSetting::FlowControl) == FlowControlName(texts.flowControl));
  FUZZ_CHECK(request.state.flowControl == texts.flowControl);
  FUZZ_CHECK(request.state.baudRate == static_cast<std::uint32_t>(text::ParseInt(pieces[0])));
  FUZZ_CHECK(request.state.parity <= 4 && request.state.stopBits <= 2);
  FUZZ_CHECK(request.state.byteSize == static_cast<std::uint8_t>(text::ParseInt(pieces[2])));
  return 0;
}
