#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ports.h"
#include "platform/win32/win32_api.h"

#include <setupapi.h>

// The three ways Windows finds its serial ports, and the registry map Wine and the serial
// drivers keep, each appending SerialDeviceInfo records. Failures throw PortEnumerationError.
namespace platform::win32_ports {

enum class Strategy { Interface, Probing, Registry };

// Windows 2000 and later have device interfaces; NT 4 has neither them nor a port registry.
Strategy ChooseStrategy(DWORD majorVersion, DWORD platformId);

// The format with its "%lx" replaced by the code in lower-case hexadecimal.
std::u16string ErrorText(std::u16string_view format, DWORD code);

// The devices of the COM-port interface class with their properties.
void ListInterfacePorts(std::vector<SerialDeviceInfo>& devices);

// Reads one interface's device path through `read`, which has SetupDiGetDeviceInterfaceDetailW's
// contract. Starts with the classic 262-byte buffer and grows it for a longer path.
using DetailReader = std::function<BOOL(SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail, DWORD size, DWORD* required)>;
std::u16string ReadInterfacePath(const DetailReader& read);

// Those of COM1 to COM16 that `known` finds in the system's device namespace (which answers
// without opening the port).
void ListProbedPorts(std::vector<SerialDeviceInfo>& devices, const std::function<bool(std::u16string_view)>& known);

// The 9x registry walk below machine\Enum; `machine` is HKEY_LOCAL_MACHINE but for tests.
void ListEnumTreePorts(HKEY machine, std::vector<SerialDeviceInfo>& devices);

// The ports named by the values of the SERIALCOMM key root\path (value data: COM3), in the
// key's order; none when the key is missing.
void ListSerialCommPorts(HKEY root, const wchar_t* path, std::vector<SerialDeviceInfo>& devices);

}  // namespace platform::win32_ports
