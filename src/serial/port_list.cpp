#include "serial/port_list.h"

#include "serial/port_discovery.h"

std::vector<PortRecord> ListPorts() {
  std::vector<PortRecord> ports;
  for (const auto& device : DiscoverSerialDevices()) {
    switch (device.listing) {
      case platform::DeviceListing::Interface:
        AppendInterfaceRecord(ports, device);
        break;
      case platform::DeviceListing::PortName:
        ports.push_back(RecordOf(device));
        break;
      case platform::DeviceListing::Registry:
        MergeRegistryRecord(ports, RecordOf(device));
        break;
    }
  }
  // The list once held only the ports an exclusive open could take, but that test harms the
  // user's devices: an open raises DTR (an Arduino-style board resets), sets the line raw and
  // leaves it so, and takes the port from under another program about to open it. So every
  // port the system lists is listed, a busy one too: its Open fails with the usual message.
  // platform::FindPortHolders tells who holds a port, without an open.
  for (auto& port : ports) CompletePortRecord(port);
  return ports;
}

std::u16string PortEntryOf(std::u16string name) {
  if (const auto open = name.rfind(u'('); open != std::u16string::npos) name.erase(0, open + 1);
  // A name without ")" is kept as it stands rather than becoming an empty entry.
  if (const auto close = name.find(u')'); close != std::u16string::npos) name.resize(close);
  if (const auto space = name.find(u' '); space != std::u16string::npos) name.resize(space);
  if (const auto dash = name.find(u'-'); dash != std::u16string::npos) name.resize(dash);
  return name;
}
