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
  // The list once held only the ports an exclusive open could take, but that test harms the
  // user's devices: an open raises DTR (an Arduino-style board resets), sets the line raw and
  // leaves it so, and takes the port from under another program about to open it. So every
  // port the system lists is listed, a busy one too: its Open fails with the usual message.
  // platform::FindPortHolders tells who holds a port, without an open.
  for (auto& port : ports) CompletePortRecord(port);
}
