// What a script asks of the window (host/platform_script.h): keys are
// posted to the window as the keyboard would send them, with the key state
// set to match, so that they pass the accelerators and the window
// procedure; commands are posted as menu commands.
#include "host/platform_script.h"
#include "host/win32/win32.h"

namespace {

void set_key_state(int vk, bool down) {
  BYTE state[256];
  GetKeyboardState(state);
  state[vk] = down ? 0x80 : 0;
  // The generic modifier follows its left and right keys.
  if (vk == VK_LSHIFT || vk == VK_RSHIFT) state[VK_SHIFT] = down ? 0x80 : 0;
  if (vk == VK_LCONTROL || vk == VK_RCONTROL) state[VK_CONTROL] = down ? 0x80 : 0;
  if (vk == VK_LMENU || vk == VK_RMENU) state[VK_MENU] = down ? 0x80 : 0;
  SetKeyboardState(state);
}

} // namespace

void platform_script_key(int vk, bool down) {
  set_key_state(vk, down);
  UINT scan = MapVirtualKeyA(static_cast<UINT>(vk), 0); // MAPVK_VK_TO_VSC
  LPARAM lParam = 1 | static_cast<LPARAM>(scan & 0xFF) << 16;
  bool alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
  bool altKey = vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU;
  // A key typed with Alt held is a system key, as from the keyboard. The
  // Alt key itself goes as a plain key, so that releasing it does not
  // open the menu bar in the middle of a script.
  bool system = alt && !altKey;
  if (system) lParam |= 1 << 29;
  if (!down) lParam |= static_cast<LPARAM>(3) << 30;
  UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
  PostMessageA(mainWindow, message, static_cast<WPARAM>(vk), lParam);
}

void platform_script_command(int id) {
  PostMessageA(mainWindow, WM_COMMAND, static_cast<WPARAM>(id), 0);
}
