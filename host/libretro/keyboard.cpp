// The front end's keyboard: its key codes name the places of a US keyboard;
// each becomes the virtual key a US keyboard has there and goes, with the
// character it types, into the host's one key path (host_key_event), in
// both keyboard modes.
#include "host/core/keys.h"
#include "host/libretro/libretro_host.h"
#include "machine/virtual_keys.h"

namespace {

int virtual_key(unsigned code) {
  if (code >= 'a' && code <= 'z') return static_cast<int>(code - 'a' + 'A');
  if (code >= '0' && code <= '9') return static_cast<int>(code);
  if (code >= RETROK_KP0 && code <= RETROK_KP0 + 9)
    return static_cast<int>(0x60 + code - RETROK_KP0);
  if (code >= RETROK_F1 && code <= RETROK_F1 + 11)
    return static_cast<int>(VKEY_F1 + code - RETROK_F1);
  switch (code) {
  case RETROK_BACKSPACE: return VKEY_BACK;
  case RETROK_TAB: return VKEY_TAB;
  case RETROK_RETURN: return VKEY_RETURN;
  case RETROK_KP_ENTER: return VKEY_RETURN;
  case RETROK_ESCAPE: return VKEY_ESCAPE;
  case RETROK_SPACE: return VKEY_SPACE;
  case RETROK_DELETE: return VKEY_DELETE;
  case RETROK_KP_PERIOD: return 0x6E;
  case RETROK_KP_DIVIDE: return 0x6F;
  case RETROK_KP_MULTIPLY: return 0x6A;
  case RETROK_KP_MINUS: return 0x6D;
  case RETROK_KP_PLUS: return 0x6B;
  case RETROK_UP: return VKEY_UP;
  case RETROK_DOWN: return VKEY_DOWN;
  case RETROK_LEFT: return VKEY_LEFT;
  case RETROK_RIGHT: return VKEY_RIGHT;
  case RETROK_INSERT: return VKEY_INSERT;
  case RETROK_HOME: return VKEY_HOME;
  case RETROK_END: return VKEY_END;
  case RETROK_PAGEUP: return VKEY_PRIOR;
  case RETROK_PAGEDOWN: return VKEY_NEXT;
  case RETROK_CAPSLOCK: return VKEY_CAPITAL;
  case RETROK_LSHIFT: return VKEY_LSHIFT;
  case RETROK_RSHIFT: return VKEY_RSHIFT;
  case RETROK_LCTRL: return VKEY_LCONTROL;
  case RETROK_RCTRL: return VKEY_RCONTROL;
  case RETROK_LALT: return VKEY_LMENU;
  case RETROK_RALT: return VKEY_RMENU;
  case ';': return VKEY_OEM_1;
  case '=': return VKEY_OEM_PLUS;
  case ',': return VKEY_OEM_COMMA;
  case '-': return VKEY_OEM_MINUS;
  case '.': return VKEY_OEM_PERIOD;
  case '/': return VKEY_OEM_2;
  case '`': return VKEY_OEM_3;
  case '[': return VKEY_OEM_4;
  case '\\': return VKEY_OEM_5;
  case ']': return VKEY_OEM_6;
  case '\'': return VKEY_OEM_7;
  default: return 0;
  }
}

} // namespace

void libretro_keyboard_event(bool down, unsigned keycode, uint32_t character, uint16_t) {
  const int vk = virtual_key(keycode);
  if (!vk) return; // a character without a key, or a key the machine has no use for
  host_key_event(vk, down, down && character ? character : HOST_KEY_NO_CHARACTER);
}
