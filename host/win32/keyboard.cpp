// The host keyboard: key state as the message queue last saw it, the key
// that types a character on the current layout, and forgetting held keys.
#include "host/platform.h"
#include "host/win32/win32.h"

namespace {

// The thread's key state changes only while it takes messages, so one copy
// of the whole state answers every read until the next message: a frame
// reads the keyboard thousands of times, and under Wine every GetKeyState is
// a round trip to the server.
BYTE keyState[256];
bool keyStateStale = true;

} // namespace

void win_key_state_changed() { keyStateStale = true; }

bool platform_key_down(int vk) {
  if (vk < 0 || vk > 255) return false;
  if (keyStateStale) {
    if (!GetKeyboardState(keyState)) ZeroMemory(keyState, sizeof keyState);
    keyStateStale = false;
  }
  return (keyState[vk] & 0x80) != 0;
}

int platform_vk_scan(uint8_t character) {
  SHORT r = VkKeyScanExA(static_cast<CHAR>(character), GetKeyboardLayout(0));
  if (r == -1 || (r & 0xFF) == 0xFF) return -1;
  int vk = r & 0xFF;
  int shifts = (r >> 8) & 0xFF;
  int modifiers = 0;
  if (shifts & 1) modifiers |= 0x100;
  if (shifts & 2) modifiers |= 0x200;
  if (shifts & 4) modifiers |= 0x400;
  return vk | modifiers;
}

void platform_clear_key_state() {
  BYTE keys[256] = {};
  SetKeyboardState(keys);
  keyStateStale = true;
}

char platform_path_separator() { return '\\'; }
