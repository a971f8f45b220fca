#pragma once

#include "platform/window_messages.h"

// Messages between the port's threads and the main dialog.
inline constexpr UINT WM_PORT_RXDATA = 0x06DA;  // read thread -> dialog: wParam bytes, lParam count
inline constexpr UINT WM_PORT_SEND = 0x04C8;    // dialog -> send thread: bytes to write
inline constexpr UINT WM_PORT_SENT = 0x04C9;    // send thread -> dialog: wParam bytes written
