#include "serial/port_list.h"

#include "platform/comm.h"
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
  // Keep only the ports that can be opened exclusively now: absent or busy ports are dropped.
  for (std::size_t i = 0; i < ports.size();) {
    if (!platform::CommPort::Open(ports[i].devicePath)) {
      ports.erase(ports.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    CompletePortRecord(ports[i]);
    ++i;
  }
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
