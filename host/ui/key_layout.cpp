// Keyboard layouts: virtual keys by layout, and the Hungarian layout.
#include "host/ui/key_layout.h"

#include "host/ui/cp1250.h"
#include "machine/keyboard.h"

namespace {

bool is_character_place(int place) {
  return (place >= '0' && place <= '9') || (place >= 'A' && place <= 'Z') ||
         (place >= VKEY_OEM_1 && place <= VKEY_OEM_3) ||
         (place >= VKEY_OEM_4 && place <= VKEY_OEM_7) || place == VKEY_OEM_102;
}

// The keys whose virtual key on Windows is neither their place nor given by
// their character: the German and Hungarian national keys.
struct NationalKey {
  uint8_t place;
  uint16_t unshifted;
  uint8_t vk;
};
constexpr NationalKey kNationalKeys[] = {
    // German
    {VKEY_OEM_4, 0x00FC, VKEY_OEM_1},     // ü
    {VKEY_OEM_1, 0x00F6, VKEY_OEM_3},     // ö
    {VKEY_OEM_MINUS, 0x00DF, VKEY_OEM_4}, // ß
    {VKEY_OEM_PLUS, 0x00B4, VKEY_OEM_6},  // the acute accent
    {VKEY_OEM_3, '^', VKEY_OEM_5},
    {VKEY_OEM_5, '#', VKEY_OEM_2},
    // Hungarian
    {'0', 0x00F6, VKEY_OEM_3},            // ö
    {VKEY_OEM_MINUS, 0x00FC, VKEY_OEM_2}, // ü
};

using K = LayoutKey;
// clang-format off
constexpr LayoutKey kHungarian[] = {
    K{VKEY_OEM_3, '0', 0xA7, 0},   K{'1', '1', '\'', '~'},  K{'2', '2', '"', 0},
    K{'3', '3', '+', '^'},         K{'4', '4', '!', 0},     K{'5', '5', '%', 0},
    K{'6', '6', '/', 0},           K{'7', '7', '=', '`'},   K{'8', '8', '(', 0},
    K{'9', '9', ')', 0},           K{'0', 0xF6, 0xD6, 0},   K{VKEY_OEM_MINUS, 0xFC, 0xDC, 0},
    K{VKEY_OEM_PLUS, 0xF3, 0xD3, 0},
    K{'Q', 'q', 'Q', '\\'},        K{'W', 'w', 'W', '|'},   K{'E', 'e', 'E', 0xC4},
    K{'R', 'r', 'R', 0},           K{'T', 't', 'T', 0},     K{'Y', 'z', 'Z', 0},
    K{'U', 'u', 'U', 0x80},        K{'I', 'i', 'I', 0xCD},  K{'O', 'o', 'O', 0},
    K{'P', 'p', 'P', 0},           K{VKEY_OEM_4, 0xF5, 0xD5, 0xF7},
    K{VKEY_OEM_6, 0xFA, 0xDA, 0xD7},
    K{'A', 'a', 'A', 0xE4},        K{'S', 's', 'S', 0xF0},  K{'D', 'd', 'D', 0xD0},
    K{'F', 'f', 'F', '['},         K{'G', 'g', 'G', ']'},   K{'H', 'h', 'H', 0},
    K{'J', 'j', 'J', 0xED},        K{'K', 'k', 'K', 0xB3},  K{'L', 'l', 'L', 0xA3},
    K{VKEY_OEM_1, 0xE9, 0xC9, '$'}, K{VKEY_OEM_7, 0xE1, 0xC1, 0xDF},
    K{VKEY_OEM_5, 0xFB, 0xDB, 0xA4},
    K{VKEY_OEM_102, 0xED, 0xCD, '<'}, K{'Z', 'y', 'Y', '>'}, K{'X', 'x', 'X', '#'},
    K{'C', 'c', 'C', '&'},         K{'V', 'v', 'V', '@'},   K{'B', 'b', 'B', '{'},
    K{'N', 'n', 'N', '}'},         K{'M', 'm', 'M', 0},
    K{VKEY_OEM_COMMA, ',', '?', ';'}, K{VKEY_OEM_PERIOD, '.', ':', 0},
    K{VKEY_OEM_2, '-', '_', '*'},  K{VKEY_SPACE, ' ', ' ', 0},
};
// clang-format on

const LayoutKey* key_with_vk(const KeyboardLayout& layout, int vk) {
  for (int i = 0; i < layout.count; ++i)
    if (layout_virtual_key(layout.keys[i].place, cp1250_to_unicode(layout.keys[i].plain)) == vk)
      return &layout.keys[i];
  return nullptr;
}

} // namespace

const KeyboardLayout hungarianLayout = {kHungarian, sizeof kHungarian / sizeof kHungarian[0]};

int layout_virtual_key(int place, uint32_t unshifted) {
  if (!is_character_place(place)) return place;
  if (unshifted >= 'a' && unshifted <= 'z') return static_cast<int>(unshifted - 'a' + 'A');
  if ((unshifted >= 'A' && unshifted <= 'Z') || (unshifted >= '0' && unshifted <= '9'))
    return static_cast<int>(unshifted);
  switch (unshifted) {
  case ',': return VKEY_OEM_COMMA;
  case '.': return VKEY_OEM_PERIOD;
  case '-': return VKEY_OEM_MINUS;
  case '+': return VKEY_OEM_PLUS;
  default: break;
  }
  for (const NationalKey& n : kNationalKeys)
    if (n.place == place && n.unshifted == unshifted) return n.vk;
  return place;
}

uint8_t layout_character(const KeyboardLayout& layout, int vk, uint32_t modifiers) {
  switch (vk) {
  case VKEY_RETURN: return 13;
  case VKEY_TAB: return 9;
  case VKEY_BACK: return 8;
  default: break;
  }
  const LayoutKey* key = key_with_vk(layout, vk);
  if (!key) return 0;
  const uint32_t altGr = KEY_MOD_CTRL | KEY_MOD_ALT;
  if ((modifiers & altGr) == altGr) return key->altGr;
  return (modifiers & KEY_MOD_SHIFT) ? key->shift : key->plain;
}

int layout_key_for_character(const KeyboardLayout& layout, uint8_t character) {
  switch (character) {
  case 13: return VKEY_RETURN;
  case 9: return VKEY_TAB;
  case 8: return VKEY_BACK;
  default: break;
  }
  if (character == 0) return -1;
  const uint32_t levels[3] = {0, KEY_MOD_SHIFT, KEY_MOD_CTRL | KEY_MOD_ALT};
  for (uint32_t level : levels)
    for (int i = 0; i < layout.count; ++i) {
      const LayoutKey& k = layout.keys[i];
      const uint8_t c = level == 0 ? k.plain : level == KEY_MOD_SHIFT ? k.shift : k.altGr;
      if (c == character) return layout_virtual_key(k.place, cp1250_to_unicode(k.plain)) | level;
    }
  return -1;
}

uint8_t layout_key_label(const KeyboardLayout& layout, int vk, int* place) {
  const LayoutKey* key = key_with_vk(layout, vk);
  *place = key ? key->place : 0;
  return key ? key->plain : 0;
}
