#include "serial/port_records.h"

PortRecord RecordOf(const platform::SerialDeviceInfo& device) {
  return PortRecord{device.devicePath, device.portName, device.friendlyName, device.usb, device.description};
}

void AppendInterfaceRecord(std::vector<PortRecord>& ports, const platform::SerialDeviceInfo& device) {
  if (device.friendlyName.empty() || device.description.empty()) return;
  ports.push_back(RecordOf(device));
}

void MergeRegistryRecord(std::vector<PortRecord>& ports, const PortRecord& record) {
  for (auto& existing : ports) {
    if (existing.portName == record.portName) {
      existing = record;
      return;
    }
  }
  ports.push_back(record);
}

void CompletePortRecord(PortRecord& record) {
  if (record.friendlyName.empty()) record.friendlyName = record.portName;
  if (!record.description.empty()) return;
  record.description = record.friendlyName;
  const auto open = record.description.find(u" (");
  const auto close = record.description.find(u')');
  if (open != std::u16string::npos && open > 0 && close == record.description.size() - 1) {
    record.description.resize(open);
  }
}
