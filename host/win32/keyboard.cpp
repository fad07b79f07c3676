// The keyboard: every key message goes to the host as its virtual key, the
// left and right modifiers told apart, with the character TranslateMessage
// made of it.
#include "host/core/keys.h"
#include "host/platform.h"
#include "host/script/script_mode.h"
#include "host/win32/win32.h"

namespace {

int sided_key(WPARAM wParam, LPARAM lParam) {
  const UINT scan = (lParam >> 16) & 0xFF;
  const bool extended = (lParam >> 24) & 1;
  switch (wParam) {
  case VK_SHIFT:
    return MapVirtualKeyA(scan, MAPVK_VSC_TO_VK_EX) == VK_RSHIFT ? VK_RSHIFT : VK_LSHIFT;
  case VK_CONTROL: return extended ? VK_RCONTROL : VK_LCONTROL;
  case VK_MENU: return extended ? VK_RMENU : VK_LMENU;
  default: return static_cast<int>(wParam);
  }
}

// The places by scan code: the virtual key a US keyboard has there.
int place_of_scan(UINT scan) {
  static const UINT kUsLayout = 0x0409;
  HKL us = reinterpret_cast<HKL>(static_cast<ULONG_PTR>(kUsLayout));
  const UINT vk = MapVirtualKeyExA(scan, MAPVK_VSC_TO_VK, us);
  return vk ? static_cast<int>(vk) : 0;
}

} // namespace

bool win_key_message(UINT message, WPARAM wParam, LPARAM lParam) {
  const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
  const bool system = message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
  const int vk = sided_key(wParam, lParam);
  if (!down) {
    host_key_event(vk, false, HOST_KEY_NO_CHARACTER);
    return false;
  }
  // The character TranslateMessage queued for this key (a dead key's too:
  // the next key brings the composed character).
  const UINT first = system ? WM_SYSCHAR : WM_CHAR;
  const UINT last = system ? WM_SYSDEADCHAR : WM_DEADCHAR;
  MSG m;
  const bool typed = PeekMessageW(&m, mainWindow, first, last, PM_NOREMOVE) != 0;
  uint32_t character = HOST_KEY_NO_CHARACTER;
  if (typed)
    character = m.message == WM_DEADCHAR || m.message == WM_SYSDEADCHAR
                    ? HOST_KEY_DEAD
                    : static_cast<uint32_t>(m.wParam & 0xFFFF);
  if (character >= 0xD800 && character <= 0xDFFF) character = HOST_KEY_NO_CHARACTER;
  script_log("key down: 0x%02X (state %s)", static_cast<unsigned>(wParam),
             GetKeyState(static_cast<int>(wParam)) & 0x8000 ? "down" : "up");
  const bool used = host_key_event(vk, true, character);
  // An Alt key the host leaves alone keeps its character for the menu bar's
  // mnemonics.
  if (typed && (used || !system)) PeekMessageW(&m, mainWindow, first, last, PM_REMOVE);
  return used;
}

uint32_t platform_key_label(int vk, int* place) {
  const UINT scan = MapVirtualKeyA(static_cast<UINT>(vk), MAPVK_VK_TO_VSC);
  *place = scan ? place_of_scan(scan) : 0;
  const UINT c = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_CHAR);
  // The top bit marks a dead key: the accent it shows is still its label.
  return c & 0x7FFFFFFF;
}

char platform_path_separator() { return '\\'; }
