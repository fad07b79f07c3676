// The keyboard matrices and the positional and symbolic key mapping.
#pragma once

#include <cstddef>
#include <cstdint>

// Windows virtual-key codes used by the tables.
enum : int {
  VK_BACK = 0x08,
  VK_TAB = 0x09,
  VK_RETURN = 0x0D,
  VK_SHIFT = 0x10,
  VK_CONTROL = 0x11,
  VK_MENU = 0x12,
  VK_CAPITAL = 0x14,
  VK_SPACE = 0x20,
  VK_END = 0x23,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_DELETE = 0x2E,
  VK_LSHIFT = 0xA0,
  VK_RSHIFT = 0xA1,
  VK_LCONTROL = 0xA2,
  VK_RCONTROL = 0xA3,
  VK_OEM_1 = 0xBA,
  VK_OEM_PLUS = 0xBB,
  VK_OEM_COMMA = 0xBC,
  VK_OEM_MINUS = 0xBD,
  VK_OEM_PERIOD = 0xBE,
  VK_OEM_2 = 0xBF,
  VK_OEM_3 = 0xC0,
  VK_OEM_4 = 0xDB,
  VK_OEM_5 = 0xDC,
  VK_OEM_6 = 0xDD,
  VK_OEM_7 = 0xDE,
  VK_OEM_102 = 0xE2,
};

// Reads left for which the emulated Shift keys are reported down in
// symbolic mode.
extern int32_t shiftHold;

// Tarvik column read (address AND 0x0F): pressed keys as 0 bits, bits 4-7 = 1.
uint8_t keyboard_read_column(uint16_t address);
// Veltra-16: the OR of the rows selected by 1 bits, pressed keys as 1 bits.
uint8_t keyboard_read_rows(uint8_t selector);
// Rebuilds the symbolic translation for the current model and clears the
// host key state.
void keyboard_set_mode(uint32_t symbolic);
