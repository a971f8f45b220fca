#pragma once

// The one way Win32 implementation files reach <windows.h>. Our own vocabulary comes first
// (its constants carry the same values as the system's macros, which then merely shadow
// them), and the system's A/W switch macros that share names with our members are undone.
#include "platform/window_messages.h"
#include "res/resource.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#undef MessageBox
#undef SendMessage
#undef PostMessage
#undef GetWindowText
#undef SetWindowText
#undef GetWindowTextLength
#undef LoadString
#undef GetDlgItemText
#undef SetDlgItemText
#undef GetPrivateProfileString
#undef WritePrivateProfileString
#undef CreateDialog
#undef DrawText
