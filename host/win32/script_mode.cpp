// Automation mode ("/script FILE"): the script lines of host/script.h run
// between window messages. Keys are posted to the window as the keyboard
// would send them, with the key state set to match, so that they pass the
// accelerators and the window procedure; commands are posted as menu
// commands. Message boxes, dialogs and console lines are answered from the
// script and logged to standard error.
#include <cstdarg>
#include <cstdio>

#include "host/platform_script.h"
#include "host/script_queue.h"
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

void post_key(int vk, bool down) {
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

void post_command(int id) { PostMessageA(mainWindow, WM_COMMAND, static_cast<WPARAM>(id), 0); }
void post_quit(int exitCode) { PostQuitMessage(exitCode); }
void log_line(const char* line) { win_log("%s", line); }

const ScriptQueueActions kActions = {post_key, post_command, post_quit, log_line};

} // namespace

void win_log(const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  std::fprintf(stderr, "%s\n", line);
  std::fflush(stderr);
}

bool win_script_mode() { return script_queue_active(); }
bool win_script_start(const char* path) { return script_queue_start(path); }
bool win_script_step(bool wait, bool* runFrame) {
  return script_queue_step(wait, runFrame, kActions);
}
int win_script_dialog_answer(char* name, size_t size, char* start, char* end) {
  return script_queue_dialog_answer(name, size, start, end);
}
bool win_script_console_line(char* buffer, int size) {
  return script_queue_console_line(buffer, size);
}

void platform_script_frames(uint32_t n) { script_queue_frames(n); }
void platform_script_key(int vk, bool down) { script_queue_key(vk, down); }
void platform_script_command(int id) { script_queue_command(id); }
void platform_script_quit(int exitCode) { script_queue_quit(exitCode); }
void platform_script_dialog_answer(const char* path) { script_queue_answer(path); }
void platform_script_dialog_fields(const char* start, const char* end) {
  script_queue_fields(start, end);
}
void platform_script_console_line(const char* line) { script_queue_console(line); }
