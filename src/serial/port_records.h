#pragma once

#include <string>
#include <vector>

#include "platform/ports.h"

// The record of one port found.
struct PortRecord {
  std::u16string devicePath;
  std::u16string portName;
  std::u16string friendlyName;
  bool usb = false;
  std::u16string description;
};

// How port records are built from what a discovery strategy found, shared by every system.

// The record of a device as discovery found it.
PortRecord RecordOf(const platform::SerialDeviceInfo& device);
// A device found through a device interface: listed only with both a friendly name and a
// description.
void AppendInterfaceRecord(std::vector<PortRecord>& ports, const platform::SerialDeviceInfo& device);
// A port instance from a registry walk: a later instance with the same port name replaces the
// earlier record in its place.
void MergeRegistryRecord(std::vector<PortRecord>& ports, const PortRecord& record);
// Fills a missing friendly name from the port name, and a missing description from the
// friendly name without its " (…)" tail.
void CompletePortRecord(PortRecord& record);
