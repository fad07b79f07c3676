// Windows virtual-key codes: the host's key state is an array indexed by
// them, the keyboard tables map them to the emulated keys, and the host
// looks at a few itself. Every platform reports its keys in these codes.
// The VKEY_ prefix keeps them apart from the macros of <windows.h>.
#pragma once

#include <cstdint>

enum VirtualKey : uint8_t {
  VKEY_BACK = 0x08,
  VKEY_TAB = 0x09,
  VKEY_RETURN = 0x0D,
  VKEY_SHIFT = 0x10,
  VKEY_CONTROL = 0x11,
  VKEY_MENU = 0x12, // Alt
  VKEY_PAUSE = 0x13,
  VKEY_CAPITAL = 0x14, // Caps Lock
  VKEY_ESCAPE = 0x1B,
  VKEY_SPACE = 0x20,
  VKEY_PRIOR = 0x21, // Page Up
  VKEY_NEXT = 0x22,  // Page Down
  VKEY_END = 0x23,
  VKEY_HOME = 0x24,
  VKEY_LEFT = 0x25,
  VKEY_UP = 0x26,
  VKEY_RIGHT = 0x27,
  VKEY_DOWN = 0x28,
  VKEY_INSERT = 0x2D,
  VKEY_DELETE = 0x2E,
  VKEY_F1 = 0x70,
  VKEY_F2 = 0x71,
  VKEY_F3 = 0x72,
  VKEY_F4 = 0x73,
  VKEY_F5 = 0x74,
  VKEY_F6 = 0x75,
  VKEY_F7 = 0x76,
  VKEY_F8 = 0x77,
  VKEY_F9 = 0x78,
  VKEY_F10 = 0x79,
  VKEY_F11 = 0x7A,
  VKEY_F12 = 0x7B,
  VKEY_LSHIFT = 0xA0,
  VKEY_RSHIFT = 0xA1,
  VKEY_LCONTROL = 0xA2,
  VKEY_RCONTROL = 0xA3,
  VKEY_LMENU = 0xA4, // left Alt
  VKEY_RMENU = 0xA5, // right Alt (AltGr comes as it with left Ctrl)
  VKEY_OEM_1 = 0xBA,
  VKEY_OEM_PLUS = 0xBB,
  VKEY_OEM_COMMA = 0xBC,
  VKEY_OEM_MINUS = 0xBD,
  VKEY_OEM_PERIOD = 0xBE,
  VKEY_OEM_2 = 0xBF,
  VKEY_OEM_3 = 0xC0,
  VKEY_OEM_4 = 0xDB,
  VKEY_OEM_5 = 0xDC,
  VKEY_OEM_6 = 0xDD,
  VKEY_OEM_7 = 0xDE,
  VKEY_OEM_102 = 0xE2,
};
