// The host keyboard: held keys, the accelerators and the host's own keys,
// and the machine's keyboard fed with every change.
#include "host/core/keys.h"

#include <cstring>

#include "host/core/history.h"
#include "host/core/window.h"
#include "host/ui/cp1250.h"
#include "host/ui/key_layout.h"
#include "host/ui/menu.h"
#include "machine/keyboard.h"
#include "machine/paste.h"

namespace {

bool keyHeld[256];

bool held(int vk) { return keyHeld[vk]; }

uint8_t accelerator_modifiers() {
  uint8_t m = 0;
  if (host_key_held(VKEY_MENU)) m |= ACCEL_ALT;
  if (host_key_held(VKEY_CONTROL)) m |= ACCEL_CONTROL;
  if (host_key_held(VKEY_SHIFT)) m |= ACCEL_SHIFT;
  return m;
}

uint16_t machine_character(uint32_t character) {
  if (character == HOST_KEY_DEAD) return KEY_CHARACTER_DEAD;
  if (character == HOST_KEY_NO_CHARACTER) return KEY_CHARACTER_NONE;
  const int c = cp1250_from_unicode(character);
  if (c < 0) return KEY_CHARACTER_NONE;
  return static_cast<uint16_t>(c);
}

void change(int vk, bool down, uint32_t character, bool machineSees) {
  const uint32_t modifiers = host_key_modifiers();
  keyHeld[vk] = down;
  // While the machine stands still (paused, in the monitor) it takes no new
  // press: the keys typed at the monitor are the monitor's. Releases always
  // reach it, so that nothing stays held.
  if (machineSees || !down) {
    const uint16_t c = machine_character(character);
    keyboard_key_event(static_cast<uint8_t>(vk), down, c, modifiers);
    history_key(static_cast<uint8_t>(vk), down, c, modifiers);
  }
}

} // namespace

bool host_key_held(int vk) {
  if (vk <= 0 || vk > 255) return false;
  switch (vk) {
  case VKEY_SHIFT: return held(VKEY_SHIFT) || held(VKEY_LSHIFT) || held(VKEY_RSHIFT);
  case VKEY_CONTROL: return held(VKEY_CONTROL) || held(VKEY_LCONTROL) || held(VKEY_RCONTROL);
  case VKEY_MENU: return held(VKEY_MENU) || held(VKEY_LMENU) || held(VKEY_RMENU);
  default: return held(vk);
  }
}

uint32_t host_key_modifiers() {
  uint32_t m = 0;
  if (host_key_held(VKEY_SHIFT)) m |= KEY_MOD_SHIFT;
  if (host_key_held(VKEY_CONTROL)) m |= KEY_MOD_CTRL;
  if (host_key_held(VKEY_MENU)) m |= KEY_MOD_ALT;
  return m;
}

void host_key_state(int vk, bool down, uint32_t character) {
  if (vk <= 0 || vk > 255) return;
  change(vk, down, character, true);
}

bool host_key_event(int vk, bool down, uint32_t character) {
  if (vk <= 0 || vk > 255) return false;
  change(vk, down, character, running != 0);
  if (!down) return false;
  const int command = accelerator_find(vk, accelerator_modifiers());
  if (command) {
    window_on_command(command);
    return true;
  }
  if (host_key_held(VKEY_MENU)) return false; // Alt+key belongs to the menu bar
  window_on_key_down(vk);
  return true;
}

uint32_t host_key_hungarian_character(int vk) {
  if (vk <= 0 || vk > 255) return HOST_KEY_NO_CHARACTER;
  const uint8_t c = layout_character(hungarianLayout, vk, host_key_modifiers());
  return c ? cp1250_to_unicode(c) : HOST_KEY_NO_CHARACTER;
}

uint32_t host_key_hungarian_label(int vk, int* place) {
  const uint8_t c = layout_key_label(hungarianLayout, vk, place);
  return c ? cp1250_to_unicode(c) : 0;
}

bool host_key_typed(int vk, bool down) {
  if (vk <= 0 || vk > 255) return false;
  return host_key_event(vk, down, down ? host_key_hungarian_character(vk) : HOST_KEY_NO_CHARACTER);
}

void host_keys_release() {
  std::memset(keyHeld, 0, sizeof keyHeld);
  keyboard_release_all();
  history_keys_released();
}

void host_input_language_changed() {
  host_keys_release();
  paste_drop();
  history_machine_changed();
}
