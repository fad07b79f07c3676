// The keyboard tables shared by the matrix reads and the help's key map.
#pragma once

#include <cstdint>

#include "machine/virtual_keys.h"

namespace keyboard_tables {

constexpr int kKeys = 64;

// Positional Tarvik matrix, key index 4 * column + bit: the host virtual
// key (0 = none). Models 0 and 1.
// clang-format off
inline constexpr uint8_t kTarvikPositional[kKeys] = {
    VKEY_DOWN,      VKEY_UP,        VKEY_RIGHT,      VKEY_LEFT,     // column 0
    VKEY_SPACE,     VKEY_RETURN,    0,             0,           // 1
    0,            VKEY_OEM_PLUS,  VKEY_SHIFT,      VKEY_CONTROL,  // 2
    0,            VKEY_TAB,       VKEY_CAPITAL,    0,           // 3
    '0',          '1',          '2',           '3',         // 4
    '4',          '5',          '6',           '7',         // 5
    '8',          '9',          VKEY_OEM_7,      VKEY_OEM_1,    // 6
    VKEY_OEM_COMMA, VKEY_OEM_MINUS, VKEY_OEM_PERIOD, VKEY_OEM_2,    // 7
    VKEY_OEM_3,     'A',          VKEY_DELETE,     'B',         // 8
    'C',          'D',          'E',           VKEY_END,      // 9
    'F',          'G',          'H',           'I',         // 10
    'J',          'K',          'L',           'M',         // 11
    'N',          'O',          VKEY_OEM_6,      VKEY_OEM_4,    // 12
    'P',          'Q',          'R',           'S',         // 13
    'T',          'U',          VKEY_OEM_102,    'V',         // 14
    'W',          'X',          'Y',           'Z',         // 15
};
// clang-format on

// The Dorvane's own positional table: the same matrix with column 0, 2
// and 6 wired differently.
constexpr uint8_t make_dorvane_entry(int k) {
  switch (k) {
  case 0: return VKEY_OEM_1;
  case 2: return VKEY_LEFT;
  case 3: return VKEY_RIGHT;
  case 8: return VKEY_OEM_5;
  case 27: return VKEY_DOWN;
  default: return kTarvikPositional[k];
  }
}
struct PositionalTable {
  uint8_t vk[kKeys];
};
constexpr PositionalTable make_dorvane() {
  PositionalTable t{};
  for (int k = 0; k < kKeys; ++k) t.vk[k] = make_dorvane_entry(k);
  return t;
}
inline constexpr PositionalTable kDorvanePositional = make_dorvane();

// Symbolic legends: unshifted and shifted entry, and whether they are
// characters (typed through the host layout) or virtual keys already.
struct SymbolicKey {
  uint32_t unshifted;
  uint32_t shifted;
  uint32_t characters;
};
constexpr SymbolicKey vk(uint32_t k) { return {k, k, 0}; }
constexpr SymbolicKey vk2(uint32_t k, uint32_t s) { return {k, s, 0}; }
constexpr SymbolicKey ch(uint8_t u, uint8_t s) { return {u, s, 1}; }
constexpr SymbolicKey none() { return {0, 0, 0}; }

// Code page 1250 national letters.
constexpr uint8_t a_acute = 0xE1, A_acute = 0xC1, e_acute = 0xE9, E_acute = 0xC9, o_acute = 0xF3,
                  O_acute = 0xD3, o_uml = 0xF6, O_uml = 0xD6, u_uml = 0xFC, U_uml = 0xDC;

// clang-format off
inline constexpr SymbolicKey kTarvikSymbolic[kKeys] = {
    vk(VKEY_DOWN),  vk(VKEY_UP),       vk(VKEY_RIGHT),         vk2(VKEY_LEFT, VKEY_BACK), // column 0
    vk(VKEY_SPACE), vk(VKEY_RETURN),   none(),               none(),                // 1
    none(),       vk(VKEY_LCONTROL), vk(VKEY_RSHIFT),        vk2(VKEY_RCONTROL, 0),   // 2
    none(),       vk(VKEY_TAB),      vk(VKEY_CAPITAL),       none(),                // 3
    ch('0', 0),   ch('1', '!'),    ch('2', '"'),         ch('3', '#'),          // 4
    ch('4', '$'), ch('5', '%'),    ch('6', '&'),         ch('7', '\''),         // 5
    ch('8', '('), ch('9', ')'),    ch(':', '*'),         ch(';', '+'),          // 6
    ch(',', '<'), ch('=', '-'),    ch('.', '>'),         ch('?', '/'),          // 7
    ch('^', 0),   ch('a', 'A'),    ch(a_acute, A_acute), ch('b', 'B'),          // 8
    ch('c', 'C'), ch('d', 'D'),    ch('e', 'E'),         ch(e_acute, E_acute),  // 9
    ch('f', 'F'), ch('g', 'G'),    ch('h', 'H'),         ch('i', 'I'),          // 10
    ch('j', 'J'), ch('k', 'K'),    ch('l', 'L'),         ch('m', 'M'),          // 11
    ch('n', 'N'), ch('o', 'O'),    ch(o_acute, O_acute), ch(o_uml, O_uml),      // 12
    ch('p', 'P'), ch('q', 'Q'),    ch('r', 'R'),         ch('s', 'S'),          // 13
    ch('t', 'T'), ch('u', 'U'),    ch(u_uml, U_uml),     ch('v', 'V'),          // 14
    ch('w', 'W'), ch('x', 'X'),    ch('y', 'Y'),         ch('z', 'Z'),          // 15
};
// clang-format on

constexpr SymbolicKey make_dorvane_symbolic_entry(int k) {
  switch (k) {
  case 0: return vk(VKEY_DOWN);
  case 2: return vk2(VKEY_LEFT, VKEY_BACK);
  case 3: return vk(VKEY_RIGHT);
  default: return kTarvikSymbolic[k];
  }
}
struct SymbolicTable {
  SymbolicKey key[kKeys];
};
constexpr SymbolicTable make_dorvane_symbolic() {
  SymbolicTable t{};
  for (int k = 0; k < kKeys; ++k) t.key[k] = make_dorvane_symbolic_entry(k);
  return t;
}
inline constexpr SymbolicTable kDorvaneSymbolic = make_dorvane_symbolic();

// Veltra-16 matrix: row n (selected by a 0 bit n of the address), bit b.
inline constexpr uint8_t kVeltraPositional[8][8] = {
    {VKEY_LSHIFT, 0, 0, 0, 0, VKEY_RSHIFT, 0, 0},
    {VKEY_SPACE, VKEY_UP, 0, VKEY_RIGHT, 0, VKEY_RETURN, 0, VKEY_END},
    {VKEY_OEM_3, '1', '2', '3', '4', '5', '6', '7'},
    {'8', '9', VKEY_OEM_7, VKEY_OEM_1, VKEY_OEM_COMMA, VKEY_OEM_MINUS, VKEY_OEM_PERIOD, VKEY_OEM_2},
    {'0', 'A', 'B', 'C', 'D', 'E', 'F', 'G'},
    {'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O'},
    {'P', 'Q', 'R', 'S', 'T', 'U', 'V', 'W'},
    {'X', 'Y', 'Z', VKEY_OEM_4, VKEY_OEM_5, VKEY_OEM_6, VKEY_DELETE, VKEY_OEM_PLUS},
};

// Symbolic extras of the Veltra-16 (key number 8 * row + bit): Down is
// Shift+Up, Left is Shift+Right, Backspace is Shift with the key left of 1.
struct VeltraExtra {
  uint8_t vk;
  uint8_t key;
};
inline constexpr VeltraExtra kVeltraSymbolicExtras[] = {
    {VKEY_DOWN, 0}, {VKEY_LEFT, 0},  {VKEY_BACK, 0},
    {VKEY_DOWN, 9}, {VKEY_LEFT, 11}, {VKEY_BACK, 16},
};

// Symbolic mode on the Tarvik models: a host key that types no character of
// the machine's presses the key its place has in positional mode, with the
// emulated Shift as the host's. Where a US keyboard has no key for "ü"
// (OEM_102), the key above Enter stands in.
struct SymbolicFallback {
  uint8_t vk;
  uint8_t key;
};
inline constexpr SymbolicFallback kSymbolicFallbacks[] = {{VKEY_OEM_5, 4 * 14 + 2}};

// The emulated Shift keys of symbolic mode: column 2 bits 1 and 2.
inline constexpr int kEmulatedShiftLeft = 9;
inline constexpr int kEmulatedShiftRight = 10;

} // namespace keyboard_tables
