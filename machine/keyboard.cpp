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
    VKEY_DOWN,      VKEY_UP,        VKEY_RIGHT,      VKEY_LEFT,     // column 0
    VKEY_SPACE,     VKEY_RETURN,    0,             0,           // 1
    0,            VKEY_OEM_PLUS,  VKEY_SHIFT,      VKEY_CONTROL,  // 2
    0,            VKEY_TAB,       VKEY_CAPITAL,    0,           // 3
    0,            '1',          '2',           '3',         // 4
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
constexpr SymbolicTable kDorvaneSymbolic = make_dorvane_symbolic();

// Veltra-16 matrix: row n (selected by a 0 bit n of the address), bit b.
constexpr uint8_t kVeltraPositional[8][8] = {
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
constexpr VeltraExtra kVeltraSymbolicExtras[] = {
    {VKEY_DOWN, 0}, {VKEY_LEFT, 0},  {VKEY_BACK, 0},
    {VKEY_DOWN, 9}, {VKEY_LEFT, 11}, {VKEY_BACK, 16},
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
  if (host_key_down(VKEY_SHIFT)) m |= kShift;
  if (host_key_down(VKEY_CONTROL)) m |= kCtrl;
  if (host_key_down(VKEY_MENU)) m |= kAlt;
  return m;
}

bool symbolic_pressed(int k, uint32_t m) {
  const uint32_t u = symbolicUnshifted[k];
  const uint32_t s = symbolicShifted[k];
  if (m == kAlt) return false;
  const uint32_t uKey = u & 0xFF;
  if (uKey == VKEY_RSHIFT || uKey == VKEY_LCONTROL) {
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
  } else if (!host_key_down(VKEY_MENU)) {
    const uint8_t* table = model() == MODEL_DORVANE ? kDorvanePositional.vk : kTarvikPositional;
    for (int b = 0; b < 4; ++b) {
      const uint8_t key = table[4 * column + b];
      if (key && host_key_down(key)) bits |= static_cast<uint8_t>(1 << b);
    }
  }
  return static_cast<uint8_t>(bits ^ 0xFF);
}

uint8_t keyboard_read_rows(uint8_t selector) {
  if (host_key_down(VKEY_MENU)) return 0;
  uint8_t result = 0;
  for (int row = 0; row < 8; ++row) {
    if (!(selector & (1 << row))) continue;
    for (int b = 0; b < 8; ++b) {
      const uint8_t key = kVeltraPositional[row][b];
      if (key && host_key_down(key)) result |= static_cast<uint8_t>(1 << b);
    }
    if (!symbolicMode) continue;
    for (const VeltraExtra& extra : kVeltraSymbolicExtras)
      if (extra.key / 8 == row && host_key_down(extra.vk))
        result |= static_cast<uint8_t>(1 << (extra.key % 8));
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

// ---- the key map ------------------------------------------------------------

namespace {

// The legends of the Tarvik keys by key index, as the firmware reads them:
// "shifted/plain" where Shift gives another code. Keys without a legend
// have no key on the machine.
// clang-format off
constexpr const char* kTarvikLegends[kKeys] = {
    "le",       "CLS/fel",  "DEL/jobb", "BS/bal",   // column 0
    "SPACE",    "CR",       nullptr,    nullptr,    // 1
    nullptr,    "SH",       "SH",       "ALT",      // 2
    nullptr,    "TAB",      "LOCK",     nullptr,    // 3
    "0",        "!/1",      "\"/2",     "#/3",      // 4
    "$/4",      "%/5",      "&/6",      "'/7",      // 5
    "(/8",      ")/9",      "*/:",      "+/;",      // 6
    "</,",      "-/=",      ">/.",      "//?",      // 7
    "^",        "A",        "Á",        "B",        // 8
    "C",        "D",        "E",        "É",        // 9
    "F",        "G",        "H",        "I",        // 10
    "J",        "K",        "L",        "M",        // 11
    "N",        "O",        "Ó",        "Ö",        // 12
    "P",        "Q",        "R",        "S",        // 13
    "T",        "U",        "Ü",        "V",        // 14
    "W",        "X",        "Y",        "Z",        // 15
};
// The Veltra-16's legends by key number (8 * row + bit).
constexpr const char* kVeltraLegends[kKeys] = {
    "SHIFT", nullptr, nullptr, nullptr, nullptr, "SHIFT", nullptr, nullptr,   // row 0
    "SPACE", "le/fel", nullptr, "bal/jobb", nullptr, "ENTER", nullptr, "BREAK", // 1
    "RUBOUT/@", "!/1", "@/2", "#/3", "$/4", "%/5", "^/6", "&/7",             // 2
    "*/8", "(/9", "\"/'", ":/;", "</,", "_/-", ">/.", "?//",                 // 3
    ")/0", "A", "B", "C", "D", "E", "F", "G",                                 // 4
    "H", "I", "J", "K", "L", "M", "N", "O",                                   // 5
    "P", "Q", "R", "S", "T", "U", "V", "W",                                   // 6
    "X", "Y", "Z", "[", "\\", "]", "DELETE", "+/=",                           // 7
};
// clang-format on

const char* tarvik_legend(uint32_t forModel, int k) {
  if (forModel == MODEL_DORVANE) {
    // Left and Right change places; column 2 bit 0 is a key without a code.
    if (k == 2) return kTarvikLegends[3];
    if (k == 3) return kTarvikLegends[2];
    if (k == 8) return "";
  }
  return kTarvikLegends[k];
}

bool is_modifier(uint32_t vk) {
  return vk == VKEY_SHIFT || vk == VKEY_CONTROL || vk == VKEY_MENU || (vk >= 0xA0 && vk <= 0xA5);
}

void add_host(KeyMapEntry* e, uint8_t vk, uint8_t character) {
  if (vk == 0 && character == 0) return;
  for (int i = 0; i < e->hostCount; ++i)
    if (e->host[i].virtualKey == vk && e->host[i].character == character) return;
  if (e->hostCount < 4) e->host[e->hostCount++] = {vk, character};
}

// One symbolic entry's host side, as symbolic_pressed reads it.
void add_symbolic(KeyMapEntry* e, uint32_t entry, uint32_t characters) {
  if (entry == 0) return;
  if (characters)
    add_host(e, 0, static_cast<uint8_t>(entry));
  else if (!is_modifier(entry)) // held, it is a modifier: never alone
    add_host(e, static_cast<uint8_t>(entry), 0);
}

} // namespace

int keyboard_key_map(uint32_t forModel, bool symbolic, KeyMapEntry* entries) {
  int count = 0;
  if (forModel == MODEL_VELTRA16) {
    for (int k = 0; k < kKeys; ++k) {
      KeyMapEntry e{static_cast<uint8_t>(k), kVeltraLegends[k], 0, {}, false};
      add_host(&e, kVeltraPositional[k / 8][k % 8], 0);
      if (symbolic)
        for (const VeltraExtra& extra : kVeltraSymbolicExtras)
          if (extra.key == k) add_host(&e, extra.vk, 0);
      if (e.legend || e.hostCount) entries[count++] = e;
    }
    return count;
  }
  const bool dorvane = forModel == MODEL_DORVANE;
  const uint8_t* positional = dorvane ? kDorvanePositional.vk : kTarvikPositional;
  const SymbolicKey* table = dorvane ? kDorvaneSymbolic.key : kTarvikSymbolic;
  for (int k = 0; k < kKeys; ++k) {
    KeyMapEntry e{static_cast<uint8_t>(k), tarvik_legend(forModel, k), 0, {}, false};
    if (!symbolic) {
      add_host(&e, positional[k], 0);
    } else if (!table[k].characters &&
               (table[k].unshifted == VKEY_RSHIFT || table[k].unshifted == VKEY_LCONTROL)) {
      e.automatic = true;
    } else {
      add_symbolic(&e, table[k].unshifted, table[k].characters);
      add_symbolic(&e, table[k].shifted, table[k].characters);
    }
    if (e.legend || e.hostCount || e.automatic) entries[count++] = e;
  }
  return count;
}
