#include "platform/port_identity.h"

#include "platform/win32/win32_api.h"

namespace platform {

std::u16string IdentityOfPort(std::u16string_view portText, const std::string& /*byIdFolder*/) {
  if (portText.starts_with(u"\\\\.\\")) portText.remove_prefix(4);
  return std::u16string(portText);
}

std::optional<std::u16string> ResolvePortIdentity(std::u16string_view identity) {
  // A DOS device name only: a path would ask the namespace about something else.
  if (identity.empty() || identity.find_first_of(u"\\/:", 0) != std::u16string_view::npos ||
      identity.find(u'\0') != std::u16string_view::npos) {
    return std::nullopt;
  }
  const std::u16string name(identity);
  wchar_t target[1024];
  if (::QueryDosDeviceW(reinterpret_cast<const wchar_t*>(name.c_str()), target, 1024) == 0) return std::nullopt;
  return u"\\\\.\\" + name;
}

}  // namespace platform
