// The keyboard. Each key event goes to the host as the virtual key Windows
// would give the key on the active layout (its place, named by the key a US
// keyboard has there, and what the layout types there), with the character
// it types: GTK's simple input method composes dead keys with the next key,
// as the desktop does.
#include <cstdint>
#include <cstring>
#include <string>

#include "host/core/keys.h"
#include "host/gtk/gtk_host.h"
#include "host/platform.h"
#include "host/platform_script.h"
#include "host/script/script_mode.h"
#include "host/ui/key_layout.h"
#include "machine/virtual_keys.h"

namespace {

GtkIMContext* inputMethod;
std::string committed;  // what the input method committed for the key in hand
int lastGroup;          // the layout group of the last key event
uint8_t vkAtPress[256]; // by key code: the virtual key it went down as

// X key codes (evdev + 8) to the virtual keys of a US keyboard: the places.
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

int place_of(unsigned keycode) { return keycode < 136 ? kKeycodeVk[keycode] : 0; }

// A dead key as the accent it puts on the next letter, spaced.
uint32_t spacing_accent(guint keyval) {
  switch (keyval) {
  case GDK_KEY_dead_grave: return '`';
  case GDK_KEY_dead_acute: return 0x00B4;
  case GDK_KEY_dead_circumflex: return '^';
  case GDK_KEY_dead_tilde: return '~';
  case GDK_KEY_dead_diaeresis: return 0x00A8;
  case GDK_KEY_dead_abovering: return 0x02DA;
  case GDK_KEY_dead_doubleacute: return 0x02DD;
  case GDK_KEY_dead_caron: return 0x02C7;
  case GDK_KEY_dead_cedilla: return 0x00B8;
  default: return 0;
  }
}

// What the key at this code types without modifiers in the layout group.
uint32_t plain_character(unsigned keycode, int group) {
  GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_display_get_default());
  guint keyval = 0;
  if (!keymap || !gdk_keymap_translate_keyboard_state(keymap, keycode, GdkModifierType(0), group,
                                                      &keyval, nullptr, nullptr, nullptr))
    return 0;
  const uint32_t accent = spacing_accent(keyval);
  return accent ? accent : gdk_keyval_to_unicode(keyval);
}

int vk_of_keycode(unsigned keycode, int group) {
  const int place = place_of(keycode);
  return place ? layout_virtual_key(place, plain_character(keycode, group)) : 0;
}

void on_commit(GtkIMContext*, gchar* text, gpointer) { committed += text; }

uint32_t first_code_point(const std::string& text) {
  return text.empty() ? 0 : g_utf8_get_char_validated(text.c_str(), -1);
}

// What the key event types: the input method's text for it, a dead key it
// keeps for the next key, or the key's own symbol.
uint32_t character_of(GdkEventKey* event) {
  committed.clear();
  const bool taken = inputMethod && gtk_im_context_filter_keypress(inputMethod, event);
  if (event->type != GDK_KEY_PRESS) return HOST_KEY_NO_CHARACTER;
  if (!committed.empty()) {
    const uint32_t c = first_code_point(committed);
    return c == static_cast<uint32_t>(-1) || c == static_cast<uint32_t>(-2) ? 0 : c;
  }
  if (taken) return HOST_KEY_DEAD;
  return gdk_keyval_to_unicode(event->keyval);
}

} // namespace

void gui_keyboard_start() {
  inputMethod = gtk_im_context_simple_new();
  g_signal_connect(inputMethod, "commit", G_CALLBACK(on_commit), nullptr);
}

bool gui_key_event(GdkEventKey* event) {
  const bool down = event->type == GDK_KEY_PRESS;
  lastGroup = event->group;
  const unsigned keycode = event->hardware_keycode;
  const uint32_t character = character_of(event);
  // AltGr is Ctrl+Alt, as Windows reports it.
  if (event->keyval == GDK_KEY_ISO_Level3_Shift) {
    host_key_event(VKEY_LCONTROL, down, HOST_KEY_NO_CHARACTER);
    host_key_event(VKEY_RMENU, down, HOST_KEY_NO_CHARACTER);
    return false;
  }
  int vk = 0;
  if (keycode < 256) {
    if (down && !vkAtPress[keycode])
      vkAtPress[keycode] = static_cast<uint8_t>(vk_of_keycode(keycode, event->group));
    vk = vkAtPress[keycode];
    if (!down) vkAtPress[keycode] = 0;
  }
  if (down) script_log("key down: 0x%02X", static_cast<unsigned>(vk));
  if (!vk) return false;
  const bool used = host_key_event(vk, down, character);
  // F10 and Alt alone open the menu bar, as GTK does.
  if (vk == VKEY_F10 || vk == VKEY_LMENU || vk == VKEY_RMENU) return false;
  return used;
}

void platform_script_key(int vk, bool down) { host_key_typed(vk, down); }

void gui_keys_release() {
  std::memset(vkAtPress, 0, sizeof vkAtPress);
  if (inputMethod) gtk_im_context_reset(inputMethod);
  host_keys_release();
}

uint32_t platform_key_label(int vk, int* place) {
  *place = 0;
  for (unsigned keycode = 8; keycode < 136; ++keycode) {
    if (!place_of(keycode) || vk_of_keycode(keycode, lastGroup) != vk) continue;
    *place = place_of(keycode);
    return plain_character(keycode, lastGroup);
  }
  return 0;
}

char platform_path_separator() { return '/'; }
