// The help's key map: every key of a model's matrix with its legend and the
// host keys that press it, read from the tables the matrix reads use.
#include "machine/keyboard.h"
#include "machine/keyboard_tables.h"
#include "machine/machine.h"

using namespace keyboard_tables;

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

void add_host(KeyMapEntry* e, uint8_t vk, uint8_t character, bool fallback = false) {
  if (vk == 0 && character == 0) return;
  for (int i = 0; i < e->hostCount; ++i)
    if (e->host[i].virtualKey == vk && e->host[i].character == character) return;
  if (e->hostCount < 4) e->host[e->hostCount++] = {vk, character, fallback};
}

bool is_alphanumeric(uint8_t vk) { return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'); }

// The host keys that press key k in symbolic mode for want of a character:
// its positional key, and the stand-ins.
void add_fallbacks(KeyMapEntry* e, const SymbolicKey* table, const uint8_t* positional, int k) {
  const uint8_t vk = positional[k];
  bool own = false; // a key the symbolic table names itself presses its own key
  for (int i = 0; i < kKeys; ++i)
    if (!table[i].characters && (table[i].unshifted == vk || table[i].shifted == vk)) own = true;
  if (vk && !own && !is_alphanumeric(vk) && !is_modifier(vk)) add_host(e, vk, 0, true);
  for (const SymbolicFallback& f : kSymbolicFallbacks)
    if (f.key == k) add_host(e, f.vk, 0, true);
}

// One symbolic entry's host side, as a key going down is resolved.
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
      if (table[k].characters) add_fallbacks(&e, table, positional, k);
    }
    if (e.legend || e.hostCount || e.automatic) entries[count++] = e;
  }
  return count;
}
