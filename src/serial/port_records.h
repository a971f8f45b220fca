#pragma once

#include <string>
#include <vector>

#include "platform/ports.h"
#include "serial/serial_port.h"

// How port records are built from what a discovery strategy found, shared by every system.

// The record of a device as discovery found it.
CSerialPort::CSerialInfo RecordOf(const platform::SerialDeviceInfo& device);
// A device found through a device interface: listed only with both a friendly name and a
// description.
void AppendInterfaceRecord(std::vector<CSerialPort::CSerialInfo>& ports, const platform::SerialDeviceInfo& device);
// A port instance from a registry walk: a later instance with the same port name replaces the
// earlier record in its place.
void MergeRegistryRecord(std::vector<CSerialPort::CSerialInfo>& ports, const CSerialPort::CSerialInfo& record);
// Fills a missing friendly name from the port name, and a missing description from the
// friendly name without its " (…)" tail.
void CompletePortRecord(CSerialPort::CSerialInfo& record);
