#pragma once

#include <string>
#include <vector>

#include "serial/port_records.h"

// The ports present now, in the order discovery found them; throws PortEnumerationError
// with the text to show when the system cannot list them.
std::vector<PortRecord> ListPorts();

// The port box entry for a friendly name: "Name (ttyUSB0)" gives ttyUSB0; the last
// parenthesised group counts ("FT232R (rev 2) (ttyUSB0)" gives ttyUSB0), cut at ")", " " and
// "-" as "Virtual Port (COM5->COM6)" gives COM5.
std::u16string PortEntryOf(std::u16string friendlyName);
