// Keys and the clipboard in the browser. The page sends keys by position
// (KeyboardEvent.code turned into the virtual key a Hungarian Windows
// keyboard gives at that place) and, in symbolic mode, by character
// (KeyboardEvent.key): a character is pressed as the key and modifiers that
// type it on the Hungarian layout, whatever the user's own layout is.
#include <emscripten/emscripten.h>

#include <cstring>
#include <string>

#include "host/cp1250.h"
#include "host/menu.h"
#include "host/platform.h"
#include "host/web/web.h"
#include "host/window.h"

namespace {

enum : int { kShift = 0x100, kControl = 0x200, kAlt = 0x400 };

bool keyDown[256];
// A key released before the machine had a chance to see it (the browser's
// key-up followed at once) stays down for this many frames after its press.
constexpr uint8_t kLeastFrames = 2;
uint8_t framesLeft[256];
bool releasePending[256];

void press(int vk) {
  keyDown[vk] = true;
  framesLeft[vk] = kLeastFrames;
  releasePending[vk] = false;
}

void release(int vk) {
  if (framesLeft[vk] > 0)
    releasePending[vk] = true;
  else
    keyDown[vk] = false;
}
// While a key pressed by its character is held, the modifiers that type the
// character are reported instead of those the user holds (a "=" typed
// without Shift on another layout needs Shift on the Hungarian one).
int characterKey = -1;
int characterModifiers;

struct LayoutKey {
  uint8_t character; // code page 1250
  int vkAndModifiers;
};

// Hungarian QWERTZ: the key left of 1 types 0, the digits' shifted
// characters are ' " + ! % / = ( ), and the national letters sit on the
// OEM keys. Letters and digits are handled in platform_vk_scan.
constexpr int kAltGr = kControl | kAlt;
constexpr LayoutKey kLayout[] = {
    {'0', 0x30},          {0xA7, 0x30 | kShift}, {'\'', 0x31 | kShift}, {'~', 0x31 | kAltGr},
    {'"', 0x32 | kShift}, {'+', 0x33 | kShift},  {'^', 0x33 | kAltGr},  {'!', 0x34 | kShift},
    {'%', 0x35 | kShift}, {'/', 0x36 | kShift},  {'=', 0x37 | kShift},  {'`', 0x37 | kAltGr},
    {'(', 0x38 | kShift}, {')', 0x39 | kShift},  {0xF6, 0xC0},          {0xD6, 0xC0 | kShift},
    {0xFC, 0xBF},         {0xDC, 0xBF | kShift}, {0xF3, 0xBB},          {0xD3, 0xBB | kShift},
    {0xF5, 0xDB},         {0xD5, 0xDB | kShift}, {0xFA, 0xDD},          {0xDA, 0xDD | kShift},
    {0xE9, 0xBA},         {0xC9, 0xBA | kShift}, {0xE1, 0xDE},          {0xC1, 0xDE | kShift},
    {0xFB, 0xDC},         {0xDB, 0xDC | kShift}, {0xED, 0xE2},          {0xCD, 0xE2 | kShift},
    {'\\', 'Q' | kAltGr}, {'|', 'W' | kAltGr},   {'[', 'F' | kAltGr},   {']', 'G' | kAltGr},
    {'$', 0xBA | kAltGr}, {'<', 0xE2 | kAltGr},  {'>', 'Y' | kAltGr},   {'#', 'X' | kAltGr},
    {'&', 'C' | kAltGr},  {'@', 'V' | kAltGr},   {'{', 'B' | kAltGr},   {'}', 'N' | kAltGr},
    {',', 0xBC},          {'?', 0xBC | kShift},  {';', 0xBC | kAltGr},  {'.', 0xBE},
    {':', 0xBE | kShift}, {'-', 0xBD},           {'_', 0xBD | kShift},  {'*', 0xBD | kAltGr},
    {' ', 0x20},          {'\r', 0x0D},          {'\t', 0x09},          {'\b', 0x08},
};

bool physical(int vk) { return vk >= 0 && vk < 256 && keyDown[vk]; }

// Shift, Ctrl and Alt as the user holds them, or as the held character needs.
bool modifier_down(int vk, int modifier, int left, int right) {
  if (characterKey >= 0 && keyDown[characterKey]) return (characterModifiers & modifier) != 0;
  return physical(vk) || physical(left) || physical(right);
}

uint8_t accelerator_modifiers() {
  uint8_t m = 0;
  if (platform_key_down(0x12)) m |= ACCEL_ALT;
  if (platform_key_down(0x11)) m |= ACCEL_CONTROL;
  if (platform_key_down(0x10)) m |= ACCEL_SHIFT;
  return m;
}

std::string clipboardText; // code page 1250

EM_JS(void, js_clipboard_write, (const char* text),
      { TarvikUI.clipboardWrite(UTF8ToString(text)); });

} // namespace

// A key press goes through the accelerators first, then to the keys the
// host looks at; Alt+key is a menu key.
void web_key_event(int vk, bool down) {
  if (vk <= 0 || vk >= 256) return;
  if (!down) {
    release(vk);
    return;
  }
  press(vk);
  int command = accelerator_find(vk, accelerator_modifiers());
  if (command)
    window_on_command(command);
  else if (!platform_key_down(0x12))
    window_on_key_down(vk);
}

bool platform_key_down(int vk) {
  switch (vk) {
  case 0x10: return modifier_down(0x10, kShift, 0xA0, 0xA1);
  case 0x11: return modifier_down(0x11, kControl, 0xA2, 0xA3);
  case 0x12: return modifier_down(0x12, kAlt, 0xA4, 0xA5);
  default: return physical(vk);
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

void web_keys_after_frame() {
  for (int vk = 0; vk < 256; ++vk) {
    if (framesLeft[vk] == 0 || --framesLeft[vk] > 0) continue;
    if (releasePending[vk]) {
      releasePending[vk] = false;
      keyDown[vk] = false;
    }
  }
}

void platform_clear_key_state() {
  std::memset(keyDown, 0, sizeof keyDown);
  std::memset(framesLeft, 0, sizeof framesLeft);
  std::memset(releasePending, 0, sizeof releasePending);
  characterKey = -1;
}

char platform_path_separator() { return '/'; }

// ---- clipboard ------------------------------------------------------------------

bool platform_clipboard_open() { return true; }
void platform_clipboard_close() {}

bool platform_clipboard_set_text(const char* text, size_t length) {
  clipboardText.assign(text, strnlen(text, length));
  js_clipboard_write(cp1250_to_utf8(clipboardText.data(), clipboardText.size()).c_str());
  return true;
}

const char* platform_clipboard_text() { return clipboardText.c_str(); }

void web_clipboard_receive(const char* utf8) {
  clipboardText = utf8_to_cp1250(utf8, std::strlen(utf8));
}

extern "C" {

// A character typed (UTF-8, one character) while the machine's keyboard is
// symbolic, pressed or released; false when the Hungarian layout has no key
// for it (the page then sends the key by position).
EMSCRIPTEN_KEEPALIVE int web_key_character(const char* utf8, int down) {
  std::string c = utf8_to_cp1250(utf8, std::strlen(utf8));
  if (c.size() != 1 || (c[0] == '?' && std::strcmp(utf8, "?") != 0)) return 0;
  int scanned = platform_vk_scan(static_cast<uint8_t>(c[0]));
  if (scanned < 0) return 0;
  int vk = scanned & 0xFF;
  if (down) {
    characterKey = vk;
    characterModifiers = scanned & (kShift | kControl | kAlt);
    press(vk);
  } else {
    release(vk);
  }
  return 1;
}

EMSCRIPTEN_KEEPALIVE int web_symbolic_keyboard() {
  return platform_menu_checked(CMD_SYMBOLIC_KEYBOARD);
}

// The browser lost the keys (the page went to the background).
EMSCRIPTEN_KEEPALIVE void web_release_keys() { platform_clear_key_state(); }

} // extern "C"
