// The headless keyboard: a key-state array set by tests and scripts, and a
// fixed Hungarian QWERTZ layout (the layout the program's users type on).
#include <cstdint>

#include "host/headless/headless.h"
#include "host/platform.h"

namespace {

bool keyDown[256];

enum : int {
  kShift = 0x100,
  kAltGr = 0x600, // Ctrl+Alt
};

struct LayoutKey {
  uint8_t character; // code page 1250
  int vkAndModifiers;
};

// Hungarian QWERTZ: the key left of 1 types 0, the digits' shifted
// characters are ' " + ! % / = ( ), and the national letters sit on the
// OEM keys. Letters are listed through the loop in platform_vk_scan.
constexpr LayoutKey kLayout[] = {
    {'0', 0x30},           {0xA7, 0x30 | kShift}, // 0 §
    {'\'', 0x31 | kShift}, {'~', 0x31 | kAltGr},  {'"', 0x32 | kShift}, {'+', 0x33 | kShift},
    {'^', 0x33 | kAltGr},  {'!', 0x34 | kShift},  {'%', 0x35 | kShift}, {'/', 0x36 | kShift},
    {'=', 0x37 | kShift},  {'`', 0x37 | kAltGr},  {'(', 0x38 | kShift}, {')', 0x39 | kShift},
    {0xF6, 0xC0},          {0xD6, 0xC0 | kShift}, // ö Ö
    {0xFC, 0xBF},          {0xDC, 0xBF | kShift}, // ü Ü
    {0xF3, 0xBB},          {0xD3, 0xBB | kShift}, // ó Ó
    {0xF5, 0xDB},          {0xD5, 0xDB | kShift}, // ő Ő
    {0xFA, 0xDD},          {0xDA, 0xDD | kShift}, // ú Ú
    {0xE9, 0xBA},          {0xC9, 0xBA | kShift}, // é É
    {0xE1, 0xDE},          {0xC1, 0xDE | kShift}, // á Á
    {0xFB, 0xDC},          {0xDB, 0xDC | kShift}, // ű Ű
    {0xED, 0xE2},          {0xCD, 0xE2 | kShift}, // í Í
    {'\\', 'Q' | kAltGr},  {'|', 'W' | kAltGr},   {'[', 'F' | kAltGr},  {']', 'G' | kAltGr},
    {'$', 0xBA | kAltGr},  {'<', 0xE2 | kAltGr},  {'>', 'Y' | kAltGr},  {'#', 'X' | kAltGr},
    {'&', 'C' | kAltGr},   {'@', 'V' | kAltGr},   {'{', 'B' | kAltGr},  {'}', 'N' | kAltGr},
    {',', 0xBC},           {'?', 0xBC | kShift},  {';', 0xBC | kAltGr}, {'.', 0xBE},
    {':', 0xBE | kShift},  {'-', 0xBD},           {'_', 0xBD | kShift}, {'*', 0xBD | kAltGr},
    {' ', 0x20},           {'\r', 0x0D},          {'\t', 0x09},         {'\b', 0x08},
};

} // namespace

void headless_set_key(int vk, bool down) {
  if (vk >= 0 && vk < 256) keyDown[vk] = down;
}

bool platform_key_down(int vk) {
  if (vk < 0 || vk >= 256) return false;
  switch (vk) {
  case 0x10: return keyDown[0x10] || keyDown[0xA0] || keyDown[0xA1]; // Shift
  case 0x11: return keyDown[0x11] || keyDown[0xA2] || keyDown[0xA3]; // Ctrl
  case 0x12: return keyDown[0x12] || keyDown[0xA4] || keyDown[0xA5]; // Alt
  default: return keyDown[vk];
  }
}

int platform_vk_scan(uint8_t c) {
  if (c >= '1' && c <= '9') return c;
  if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
  if (c >= 'A' && c <= 'Z') return c | kShift;
  for (const LayoutKey& k : kLayout)
    if (k.character == c) return k.vkAndModifiers;
  return -1;
}

void platform_clear_key_state() {
  for (bool& k : keyDown) k = false;
}

char platform_path_separator() {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}
