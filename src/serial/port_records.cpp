#include "serial/port_records.h"

CSerialPort::CSerialInfo RecordOf(const platform::SerialDeviceInfo& device) {
  CSerialPort::CSerialInfo record;
  record.m_strDevicePath = device.devicePath;
  record.m_strPortName = device.portName;
  record.m_strFriendlyName = device.friendlyName;
  record.m_bUsbDevice = device.usb ? TRUE : FALSE;
  record.m_strDescription = device.description;
  return record;
}

void AppendInterfaceRecord(std::vector<CSerialPort::CSerialInfo>& ports, const platform::SerialDeviceInfo& device) {
  if (device.friendlyName.empty() || device.description.empty()) return;
  ports.push_back(RecordOf(device));
}

void MergeRegistryRecord(std::vector<CSerialPort::CSerialInfo>& ports, const CSerialPort::CSerialInfo& record) {
  for (auto& existing : ports) {
    if (existing.m_strPortName == record.m_strPortName) {
      existing = record;
      return;
    }
  }
  ports.push_back(record);
}

void CompletePortRecord(CSerialPort::CSerialInfo& record) {
  if (record.m_strFriendlyName.empty()) record.m_strFriendlyName = record.m_strPortName;
  if (!record.m_strDescription.empty()) return;
  record.m_strDescription = record.m_strFriendlyName;
  const auto open = record.m_strDescription.find(u" (");
  const auto close = record.m_strDescription.find(u')');
  if (open != std::u16string::npos && open > 0 && close == record.m_strDescription.size() - 1) {
    record.m_strDescription.resize(open);
  }
}
