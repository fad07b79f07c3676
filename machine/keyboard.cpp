// The keyboard matrices. There is no key buffer: every read of the matrix
// polls the host key state at that moment.
#include "machine/keyboard.h"

#include "machine/hooks.h"
#include "machine/machine.h"

int32_t shiftHold;

namespace {

constexpr int kKeys = 64;
constexpr int kShift = 0x100, kCtrl = 0x200, kAlt = 0x400;

// Positional Tarvik matrix, key index 4 * column + bit: the host virtual
// key (0 = none). Models 0 and 1.
// clang-format off
constexpr uint8_t kTarvikPositional[kKeys] = {
    VK_DOWN,      VK_UP,        VK_RIGHT,      VK_LEFT,     // column 0
    VK_SPACE,     VK_RETURN,    0,             0,           // 1
    0,            VK_OEM_PLUS,  VK_SHIFT,      VK_CONTROL,  // 2
    0,            VK_TAB,       VK_CAPITAL,    0,           // 3
    0,            '1',          '2',           '3',         // 4
    '4',          '5',          '6',           '7',         // 5
    '8',          '9',          VK_OEM_7,      VK_OEM_1,    // 6
    VK_OEM_COMMA, VK_OEM_MINUS, VK_OEM_PERIOD, VK_OEM_2,    // 7
    VK_OEM_3,     'A',          VK_DELETE,     'B',         // 8
    'C',          'D',          'E',           VK_END,      // 9
    'F',          'G',          'H',           'I',         // 10
    'J',          'K',          'L',           'M',         // 11
    'N',          'O',          VK_OEM_6,      VK_OEM_4,    // 12
    'P',          'Q',          'R',           'S',         // 13
    'T',          'U',          VK_OEM_102,    'V',         // 14
    'W',          'X',          'Y',           'Z',         // 15
};
// clang-format on

// The Dorvane's own positional table: the same matrix with column 0, 2
// and 6 wired differently.
constexpr uint8_t make_dorvane_entry(int k) {
  switch (k) {
  case 0: return VK_OEM_1;
  case 2: return VK_LEFT;
  case 3: return VK_RIGHT;
  case 8: return VK_OEM_5;
  case 27: return VK_DOWN;
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
constexpr PositionalTable kDorvanePositional = make_dorvane();

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
constexpr SymbolicKey kTarvikSymbolic[kKeys] = {
    vk(VK_DOWN),  vk(VK_UP),       vk(VK_RIGHT),         vk2(VK_LEFT, VK_BACK), // column 0
    vk(VK_SPACE), vk(VK_RETURN),   none(),               none(),                // 1
    none(),       vk(VK_LCONTROL), vk(VK_RSHIFT),        vk2(VK_RCONTROL, 0),   // 2
    none(),       vk(VK_TAB),      vk(VK_CAPITAL),       none(),                // 3
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
  case 0: return vk(VK_DOWN);
  case 2: return vk2(VK_LEFT, VK_BACK);
  case 3: return vk(VK_RIGHT);
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
constexpr SymbolicTable kDorvaneSymbolic = make_dorvane_symbolic();

// Veltra-16 matrix: row n (selected by a 0 bit n of the address), bit b.
constexpr uint8_t kVeltraPositional[8][8] = {
    {VK_LSHIFT, 0, 0, 0, 0, VK_RSHIFT, 0, 0},
    {VK_SPACE, VK_UP, 0, VK_RIGHT, 0, VK_RETURN, 0, VK_END},
    {VK_OEM_3, '1', '2', '3', '4', '5', '6', '7'},
    {'8', '9', VK_OEM_7, VK_OEM_1, VK_OEM_COMMA, VK_OEM_MINUS, VK_OEM_PERIOD, VK_OEM_2},
    {'0', 'A', 'B', 'C', 'D', 'E', 'F', 'G'},
    {'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O'},
    {'P', 'Q', 'R', 'S', 'T', 'U', 'V', 'W'},
    {'X', 'Y', 'Z', VK_OEM_4, VK_OEM_5, VK_OEM_6, VK_DELETE, VK_OEM_PLUS},
};

// The symbolic translation: virtual key in bits 0-7, required modifiers in
// bits 8-10.
uint32_t symbolicUnshifted[kKeys];
uint32_t symbolicShifted[kKeys];
bool symbolicMode;

uint32_t translate(uint32_t entry, uint32_t characters) {
  if (!characters) return entry;
  if (entry == 0) return 0;
  int scanned = machineHooks.keyForCharacter(static_cast<uint8_t>(entry));
  return scanned < 0 ? 0 : static_cast<uint32_t>(scanned) & 0x7FF;
}

bool down(uint32_t entry) {
  const int key = static_cast<int>(entry & 0xFF);
  return key != 0 && host_key_down(key);
}

uint32_t host_modifiers() {
  uint32_t m = 0;
  if (host_key_down(VK_SHIFT)) m |= kShift;
  if (host_key_down(VK_CONTROL)) m |= kCtrl;
  if (host_key_down(VK_MENU)) m |= kAlt;
  return m;
}

bool symbolic_pressed(int k, uint32_t m) {
  const uint32_t u = symbolicUnshifted[k];
  const uint32_t s = symbolicShifted[k];
  if (m == kAlt) return false;
  const uint32_t uKey = u & 0xFF;
  if (uKey == VK_RSHIFT || uKey == VK_LCONTROL) {
    // One of the emulated Shift keys: held for a few reads after a
    // character that needs it.
    if (shiftHold < 1) return false;
    --shiftHold;
    return true;
  }
  if (down(u) && (u & 0x700) == m) {
    shiftHold = 0;
    return true;
  }
  const uint32_t ms = m == kCtrl ? 0 : m;
  if (down(s) && (s & 0x700) == ms) {
    shiftHold = 10;
    return true;
  }
  return false;
}

} // namespace

uint8_t keyboard_read_column(uint16_t address) {
  const int column = address & 0x0F;
  uint8_t bits = 0;
  if (symbolicMode) {
    const uint32_t m = host_modifiers();
    for (int b = 0; b < 4; ++b)
      if (symbolic_pressed(4 * column + b, m)) bits |= static_cast<uint8_t>(1 << b);
  } else if (!host_key_down(VK_MENU)) {
    const uint8_t* table = model() == MODEL_DORVANE ? kDorvanePositional.vk : kTarvikPositional;
    for (int b = 0; b < 4; ++b) {
      const uint8_t key = table[4 * column + b];
      if (key && host_key_down(key)) bits |= static_cast<uint8_t>(1 << b);
    }
  }
  return static_cast<uint8_t>(bits ^ 0xFF);
}

uint8_t keyboard_read_rows(uint8_t selector) {
  if (host_key_down(VK_MENU)) return 0;
  uint8_t result = 0;
  for (int row = 0; row < 8; ++row) {
    if (!(selector & (1 << row))) continue;
    for (int b = 0; b < 8; ++b) {
      const uint8_t key = kVeltraPositional[row][b];
      if (key && host_key_down(key)) result |= static_cast<uint8_t>(1 << b);
    }
    if (!symbolicMode) continue;
    // Symbolic extras: Down is Shift+Up, Left is Shift+Right, Backspace is
    // Shift with the key left of 1.
    const bool dn = host_key_down(VK_DOWN), left = host_key_down(VK_LEFT),
               back = host_key_down(VK_BACK);
    if (row == 0 && (dn || left || back)) result |= 0x01;
    if (row == 1 && dn) result |= 0x02;
    if (row == 1 && left) result |= 0x08;
    if (row == 2 && back) result |= 0x01;
  }
  return result;
}

void keyboard_set_mode(uint32_t symbolic) {
  symbolicMode = symbolic != 0;
  const SymbolicKey* table = model() == MODEL_DORVANE ? kDorvaneSymbolic.key : kTarvikSymbolic;
  for (int k = 0; k < kKeys; ++k) {
    symbolicUnshifted[k] = translate(table[k].unshifted, table[k].characters);
    symbolicShifted[k] = translate(table[k].shifted, table[k].characters);
  }
  shiftHold = 0;
  machineHooks.releaseKeys();
}
