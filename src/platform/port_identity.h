#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// What a connection waits for when its device goes away, so that it opens the same device
// again when it comes back, looked up without opening anything.

// The identity of the port the user opened, taken while the device is there. A symbolic link
// as typed (a /dev/serial/by-id/... link, one of the user's own) is the identity, followed
// afresh each time. A device name or path (ttyUSB0, /dev/ttyUSB0) becomes the link in
// byIdFolder that points at the same device, where there is one: it names the adapter by
// vendor, product and serial number, so it finds it again when it comes back as ttyUSB1.
// Otherwise the path the text opens. Windows: the COM name (COM3 for COM3 and \\.\COM3),
// byIdFolder not used.
std::u16string IdentityOfPort(std::u16string_view portText, const std::string& byIdFolder = "/dev/serial/by-id");

// The device the identity names now, as a path CommPort::Open takes; nothing while it is
// absent. POSIX: the identity resolved through its links to a character device. Windows:
// \\.\COMn while the system's device namespace knows the COM name.
std::optional<std::u16string> ResolvePortIdentity(std::u16string_view identity);

}  // namespace platform
