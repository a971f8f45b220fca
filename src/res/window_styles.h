#pragma once

#include <cstdint>

// Window style bits with the values Windows gives them, so the templates carry the real
// styles and a native build can hand them over unchanged. CamelCase names in a namespace,
// because the Windows names are macros in <windows.h> and would clash.
namespace ws {

// Window styles.
inline constexpr std::uint32_t Popup = 0x80000000;        // WS_POPUP
inline constexpr std::uint32_t Child = 0x40000000;        // WS_CHILD
inline constexpr std::uint32_t Visible = 0x10000000;      // WS_VISIBLE
inline constexpr std::uint32_t Disabled = 0x08000000;     // WS_DISABLED
inline constexpr std::uint32_t Caption = 0x00C00000;      // WS_CAPTION (WS_BORDER | WS_DLGFRAME)
inline constexpr std::uint32_t Border = 0x00800000;       // WS_BORDER
inline constexpr std::uint32_t VScroll = 0x00200000;      // WS_VSCROLL
inline constexpr std::uint32_t SysMenu = 0x00080000;      // WS_SYSMENU
inline constexpr std::uint32_t Group = 0x00020000;        // WS_GROUP
inline constexpr std::uint32_t MinimizeBox = 0x00020000;  // WS_MINIMIZEBOX (same bit as WS_GROUP)
inline constexpr std::uint32_t TabStop = 0x00010000;      // WS_TABSTOP

// Extended window styles.
inline constexpr std::uint32_t ExAcceptFiles = 0x00000010;  // WS_EX_ACCEPTFILES
inline constexpr std::uint32_t ExTransparent = 0x00000020;  // WS_EX_TRANSPARENT
inline constexpr std::uint32_t ExAppWindow = 0x00040000;    // WS_EX_APPWINDOW

// Dialog styles.
inline constexpr std::uint32_t DsFixedSys = 0x0008;    // DS_FIXEDSYS
inline constexpr std::uint32_t DsSetFont = 0x0040;     // DS_SETFONT
inline constexpr std::uint32_t DsModalFrame = 0x0080;  // DS_MODALFRAME

// Button styles.
inline constexpr std::uint32_t PushButton = 0x0000;     // BS_PUSHBUTTON
inline constexpr std::uint32_t DefPushButton = 0x0001;  // BS_DEFPUSHBUTTON
inline constexpr std::uint32_t CheckBox = 0x0002;       // BS_CHECKBOX: only the program sets it
inline constexpr std::uint32_t AutoCheckBox = 0x0003;   // BS_AUTOCHECKBOX
inline constexpr std::uint32_t GroupBox = 0x0007;       // BS_GROUPBOX

// Edit styles.
inline constexpr std::uint32_t Multiline = 0x0004;    // ES_MULTILINE
inline constexpr std::uint32_t AutoVScroll = 0x0040;  // ES_AUTOVSCROLL
inline constexpr std::uint32_t AutoHScroll = 0x0080;  // ES_AUTOHSCROLL
inline constexpr std::uint32_t WantReturn = 0x1000;   // ES_WANTRETURN
inline constexpr std::uint32_t Number = 0x2000;       // ES_NUMBER

// Static styles.
inline constexpr std::uint32_t Left = 0x0000;         // SS_LEFT
inline constexpr std::uint32_t CenterImage = 0x0200;  // SS_CENTERIMAGE

// Combo box styles. CBS_AUTOHSCROLL is not the bit of ES_AUTOHSCROLL.
inline constexpr std::uint32_t DropDown = 0x0002;          // CBS_DROPDOWN
inline constexpr std::uint32_t DropDownList = 0x0003;      // CBS_DROPDOWNLIST
inline constexpr std::uint32_t ComboAutoHScroll = 0x0040;  // CBS_AUTOHSCROLL

// List box styles.
inline constexpr std::uint32_t LbsNotify = 0x0001;            // LBS_NOTIFY
inline constexpr std::uint32_t LbsNoIntegralHeight = 0x0100;  // LBS_NOINTEGRALHEIGHT

// Up-down control styles.
inline constexpr std::uint32_t UdsWrap = 0x0001;         // UDS_WRAP
inline constexpr std::uint32_t UdsSetBuddyInt = 0x0002;  // UDS_SETBUDDYINT
inline constexpr std::uint32_t UdsAlignRight = 0x0004;   // UDS_ALIGNRIGHT
inline constexpr std::uint32_t UdsAutoBuddy = 0x0010;    // UDS_AUTOBUDDY
inline constexpr std::uint32_t UdsArrowKeys = 0x0020;    // UDS_ARROWKEYS
inline constexpr std::uint32_t UdsNoThousands = 0x0080;  // UDS_NOTHOUSANDS
inline constexpr std::uint32_t UdsHotTrack = 0x0100;     // UDS_HOTTRACK

}  // namespace ws
