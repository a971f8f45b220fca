#include "serial/line_settings.h"

#include <cwctype>
#include <vector>

#include "platform/text.h"
#include "res/string_table.h"

namespace {
using platform::CommSetting;

void AppendPieces(std::u16string_view text, std::vector<std::u16string>& pieces) {
  std::size_t begin = 0;
  while (begin <= text.size()) {
    const auto comma = text.find(u',', begin);
    const auto end = comma == std::u16string_view::npos ? text.size() : comma;
    if (end > begin) pieces.emplace_back(text.substr(begin, end - begin));
    if (comma == std::u16string_view::npos) break;
    begin = comma + 1;
  }
}

char16_t Lower(char16_t c) { return static_cast<char16_t>(std::towlower(static_cast<wint_t>(c))); }

std::size_t IndexOf(CommSetting setting) {
  switch (setting) {
    case CommSetting::BaudRate:
      return 0;
    case CommSetting::Parity:
      return 1;
    case CommSetting::ByteSize:
      return 2;
    case CommSetting::FlowControl:
      return 4;
    default:
      return 3;
  }
}
}  // namespace

const std::u16string& LineRequest::PieceOf(platform::CommSetting setting) const { return pieces[IndexOf(setting)]; }

LineRequest RequestedLine(const LineSettingTexts& texts) {
  std::vector<std::u16string> pieces;
  AppendPieces(text::Decimal(texts.baudRate), pieces);
  if (!texts.parity.empty()) {
    AppendPieces(texts.parity.substr(0, 1), pieces);
    AppendPieces(texts.dataBits, pieces);
    AppendPieces(texts.stopBits, pieces);
  }
  LineRequest request;
  if (pieces.size() < 3) {
    request.missing = pieces.size() < 2 ? CommSetting::Parity : CommSetting::ByteSize;
    return request;
  }
  for (std::size_t i = 0; i < 4 && i < pieces.size(); ++i) request.pieces[i] = pieces[i];
  request.complete = true;
  platform::CommState& state = request.state;
  state.baudRate = static_cast<std::uint32_t>(text::ParseInt(pieces[0]));
  std::u16string parity = pieces[1];
  for (auto& c : parity) c = Lower(c);
  state.parity = parity == u"n" ? 0 : parity == u"o" ? 1 : parity == u"m" ? 3 : parity == u"s" ? 4 : 2;
  state.byteSize = static_cast<std::uint8_t>(text::ParseInt(pieces[2]));
  const std::u16string& stopBits = request.pieces[3];
  state.stopBits = stopBits == u"1" ? 0 : stopBits == u"2" ? 2 : 1;
  state.binary = true;
  state.flowControl = texts.flowControl;
  request.pieces[IndexOf(CommSetting::FlowControl)] = FlowControlName(texts.flowControl);
  return request;
}

std::u16string_view FlowControlName(platform::FlowControl flow) {
  switch (flow) {
    case platform::FlowControl::RtsCts:
      return u"RTS/CTS";
    case platform::FlowControl::XonXoff:
      return u"XON/XOFF";
    default:
      return u"None";
  }
}

std::optional<platform::FlowControl> FlowControlNamed(std::u16string_view name) {
  for (const platform::FlowControl flow : kFlowControls) {
    if (FlowControlName(flow) == name) return flow;
  }
  return std::nullopt;
}

int SettingLabel(platform::CommSetting setting) {
  switch (setting) {
    case CommSetting::BaudRate:
      return IDS_BAUD;
    case CommSetting::Parity:
      return IDS_PARITY;
    case CommSetting::ByteSize:
      return IDS_DATABITS;
    case CommSetting::FlowControl:
      return IDS_FLOW;
    default:
      return IDS_STOPBITS;
  }
}
