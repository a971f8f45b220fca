#include "serial/port_records.h"

void AppendInterfaceRecord(std::vector<CSerialPort::CSerialInfo>& ports, const std::u16string& devicePath,
                           const std::u16string& portName, const std::u16string& friendlyName,
                           const std::u16string& description, bool usb) {
  if (friendlyName.empty() || description.empty()) return;
  CSerialPort::CSerialInfo record;
  record.m_strDevicePath = devicePath;
  record.m_strPortName = portName;
  record.m_strFriendlyName = friendlyName;
  record.m_bUsbDevice = usb ? TRUE : FALSE;
  record.m_strDescription = description;
  ports.push_back(std::move(record));
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
