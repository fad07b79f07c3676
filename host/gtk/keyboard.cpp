// The keyboard. Held keys are kept by the hardware key code, named by the
// virtual key that the key at that place has on a US keyboard, so that the
// positional mode works on any layout. The symbolic mode asks which key
// and level type a character on the current layout (GDK's key map) and
// watches that key. The host's keys and the accelerators go by the key's
// symbol, as on Windows.
#include <cstdint>

#include "host/cp1250.h"
#include "host/gtk/gtk_host.h"
#include "host/menu.h"
#include "host/platform.h"
#include "host/window.h"

namespace {

bool keyDown[256];
int lastGroup; // the layout group of the last key event

enum : int {
  kShift = 0x100,
  kAltGr = 0x600, // Ctrl+Alt, as Windows reports AltGr
  VK_LSHIFT = 0xA0,
  VK_RSHIFT = 0xA1,
  VK_LCONTROL = 0xA2,
  VK_RCONTROL = 0xA3,
  VK_LMENU = 0xA4,
  VK_RMENU = 0xA5,
};

// X key codes (evdev + 8) to the virtual keys of a US keyboard.
constexpr uint8_t kKeycodeVk[136] = {
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0x1B, // 0-9: Esc
    '1',  '2',  '3',  '4',  '5',  '6',  '7',  '8',  '9',  '0',  // 10-19
    0xBD, 0xBB, 0x08, 0x09, 'Q',  'W',  'E',  'R',  'T',  'Y',  // 20-29
    'U',  'I',  'O',  'P',  0xDB, 0xDD, 0x0D, 0xA2, 'A',  'S',  // 30-39
    'D',  'F',  'G',  'H',  'J',  'K',  'L',  0xBA, 0xDE, 0xC0, // 40-49
    0xA0, 0xDC, 'Z',  'X',  'C',  'V',  'B',  'N',  'M',  0xBC, // 50-59
    0xBE, 0xBF, 0xA1, 0x6A, 0xA4, 0x20, 0x14, 0x70, 0x71, 0x72, // 60-69
    0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x90, 0x91, 0x67, // 70-79
    0x68, 0x69, 0x6D, 0x64, 0x65, 0x66, 0x6B, 0x61, 0x62, 0x63, // 80-89
    0x60, 0x6E, 0,    0,    0xE2, 0x7A, 0x7B, 0,    0,    0,    // 90-99
    0,    0,    0,    0,    0x0D, 0xA3, 0x6F, 0x2C, 0xA5, 0,    // 100-109
    0x24, 0x26, 0x21, 0x25, 0x27, 0x23, 0x28, 0x22, 0x2D, 0x2E, // 110-119
    0,    0,    0,    0,    0,    0,    0,    0x13, 0,    0,    // 120-129
    0,    0,    0,    0x5B, 0x5C, 0x5D,                         // 130-135
};

int vk_of_keycode(unsigned keycode) { return keycode < 136 ? kKeycodeVk[keycode] : 0; }

// The host's keys by symbol: letters and digits as typed, the rest by place.
int vk_of_event(const GdkEventKey* event) {
  guint sym = gdk_keyval_to_upper(event->keyval);
  if (sym >= 'A' && sym <= 'Z') return static_cast<int>(sym);
  if (sym >= '0' && sym <= '9') return static_cast<int>(sym);
  switch (event->keyval) {
  case GDK_KEY_Pause: return 0x13;
  case GDK_KEY_Escape: return 0x1B;
  case GDK_KEY_Return:
  case GDK_KEY_KP_Enter: return 0x0D;
  default: return vk_of_keycode(event->hardware_keycode);
  }
}

uint8_t modifiers() {
  uint8_t m = 0;
  if (platform_key_down(0x12)) m |= ACCEL_ALT;
  if (platform_key_down(0x11)) m |= ACCEL_CONTROL;
  if (platform_key_down(0x10)) m |= ACCEL_SHIFT;
  return m;
}

// The accelerators first, then the host's own keys; Alt+key belongs to the
// menu bar. True when the key was used.
bool press(int vk) {
  int command = accelerator_find(vk, modifiers());
  if (command) {
    window_on_command(command);
    return true;
  }
  if (platform_key_down(0x12)) return false;
  window_on_key_down(vk);
  return true;
}

} // namespace

bool gui_key_event(const GdkEventKey* event) {
  bool down = event->type == GDK_KEY_PRESS;
  lastGroup = event->group;
  int place = vk_of_keycode(event->hardware_keycode);
  if (place) keyDown[place] = down;
  // AltGr is Ctrl+Alt to the machine's symbolic tables, as on Windows.
  if (event->keyval == GDK_KEY_ISO_Level3_Shift) {
    keyDown[VK_RMENU] = down;
    keyDown[VK_LCONTROL] = down;
  }
  if (!down) return false;
  int vk = vk_of_event(event);
  if (gui_script_mode()) gui_log("key down: 0x%02X", static_cast<unsigned>(vk));
  if (!vk) return false;
  // F10 and Alt alone open the menu bar, as GTK does.
  if (vk == 0x79 || vk == VK_LMENU || vk == VK_RMENU) return false;
  return press(vk);
}

void gui_key(int vk, bool down) {
  if (vk <= 0 || vk > 255) return;
  keyDown[vk] = down;
  if (down) press(vk);
}

bool platform_key_down(int vk) {
  if (vk < 0 || vk >= 256) return false;
  switch (vk) {
  case 0x10: return keyDown[0x10] || keyDown[VK_LSHIFT] || keyDown[VK_RSHIFT];
  case 0x11: return keyDown[0x11] || keyDown[VK_LCONTROL] || keyDown[VK_RCONTROL];
  case 0x12: return keyDown[0x12] || keyDown[VK_LMENU] || keyDown[VK_RMENU];
  default: return keyDown[vk];
  }
}

int platform_vk_scan(uint8_t character) {
  switch (character) {
  case '\r': return 0x0D;
  case '\t': return 0x09;
  case '\b': return 0x08;
  default: break;
  }
  uint32_t code = cp1250_to_unicode(character);
  if (code == 0xFFFD) return -1;
  guint keyval = gdk_unicode_to_keyval(code);
  GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_display_get_default());
  GdkKeymapKey* keys = nullptr;
  gint count = 0;
  if (!keymap || !gdk_keymap_get_entries_for_keyval(keymap, keyval, &keys, &count)) return -1;
  int best = -1, bestLevel = 4;
  for (gint i = 0; i < count; ++i) {
    int vk = vk_of_keycode(keys[i].keycode);
    if (!vk || keys[i].group != lastGroup || keys[i].level >= bestLevel) continue;
    best = vk;
    bestLevel = keys[i].level;
  }
  g_free(keys);
  if (best < 0) return -1;
  static const int kLevel[4] = {0, kShift, kAltGr, kAltGr | kShift};
  return best | kLevel[bestLevel];
}

void platform_clear_key_state() {
  for (bool& k : keyDown) k = false;
}

char platform_path_separator() { return '/'; }
