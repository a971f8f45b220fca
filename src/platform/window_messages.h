#pragma once

#include <cstdint>

// The message vocabulary of the dialog framework. Names and values follow the platform the
// program was first written for, so handlers read the same on every backend.
using UINT = unsigned int;
using UINT_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using BOOL = int;
inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUERYDRAGICON = 0x0037;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_DROPFILES = 0x0233;

// Control notifications, carried by WM_COMMAND.
inline constexpr UINT BN_CLICKED = 0;
inline constexpr UINT CBN_SELCHANGE = 1;
inline constexpr UINT CBN_DROPDOWN = 7;
inline constexpr UINT LBN_SELCHANGE = 1;
inline constexpr UINT LBN_DBLCLK = 2;
inline constexpr UINT EN_SETFOCUS = 0x0100;
inline constexpr UINT EN_KILLFOCUS = 0x0200;
inline constexpr UINT EN_CHANGE = 0x0300;

// Virtual keys examined by the keyboard pre-processing.
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;
inline constexpr int VK_ESCAPE = 0x1B;

// Message box buttons and results.
inline constexpr UINT MB_OK = 0x0000;
inline constexpr UINT MB_ICONERROR = 0x0010;

inline constexpr UINT BST_UNCHECKED = 0;
inline constexpr UINT BST_CHECKED = 1;

inline constexpr int CB_ERR = -1;
inline constexpr int LB_ERR = -1;

// A key message as the keyboard pre-processing sees it.
struct KeyMessage {
  int focusId = 0;  // control with the keyboard focus, 0 for none
  UINT message = 0;  // WM_KEYDOWN or WM_SYSKEYDOWN
  WPARAM wParam = 0;  // virtual-key code
  LPARAM lParam = 0;
};
