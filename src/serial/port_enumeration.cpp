#include "platform/comm.h"
#include "serial/port_discovery.h"
#include "serial/port_records.h"
#include "serial/serial_port.h"

void CSerialPort::EnumeratePorts(std::vector<CSerialInfo>& ports) {
  ports.clear();
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
    if (!platform::CommPort::Open(ports[i].m_strDevicePath)) {
      ports.erase(ports.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    CompletePortRecord(ports[i]);
    ++i;
  }
}
