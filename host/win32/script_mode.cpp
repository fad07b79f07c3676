// Automation mode ("/script FILE"): the script lines of host/script.h run
// between window messages. Keys are posted to the window as the keyboard
// would send them, with the key state set to match, so that they pass the
// accelerators and the window procedure; commands are posted as menu
// commands. Message boxes, dialogs and console lines are answered from the
// script and logged to standard error.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>

#include "host/platform_script.h"
#include "host/script.h"
#include "host/win32/win32.h"

namespace {

enum ActionType { ACTION_FRAMES, ACTION_KEY_DOWN, ACTION_KEY_UP, ACTION_COMMAND, ACTION_QUIT };
struct Action {
  ActionType type;
  int value;
};

bool active;
bool ended;
uint64_t pendingFrames;
uint64_t framesRun;
std::deque<Action> actions;
struct Answer {
  bool chosen;
  std::string name;
};
std::deque<Answer> answers;
bool haveFields;
char fieldStart[6], fieldEnd[6];
std::deque<std::string> consoleLines;

void set_key_state(int vk, bool down) {
  BYTE state[256];
  GetKeyboardState(state);
  state[vk] = down ? 0x80 : 0;
  // The generic modifier follows its left and right keys.
  if (vk == VK_LSHIFT || vk == VK_RSHIFT) state[VK_SHIFT] = down ? 0x80 : 0;
  if (vk == VK_LCONTROL || vk == VK_RCONTROL) state[VK_CONTROL] = down ? 0x80 : 0;
  if (vk == VK_LMENU || vk == VK_RMENU) state[VK_MENU] = down ? 0x80 : 0;
  SetKeyboardState(state);
  win_key_state_changed();
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

bool win_script_mode() { return active; }

bool win_script_start(const char* path) {
  if (!script_open(path)) return false;
  active = true;
  return true;
}

bool win_script_step(bool wait, bool* runFrame) {
  *runFrame = false;
  if (pendingFrames > 0) {
    if (!wait) {
      --pendingFrames;
      ++framesRun;
      *runFrame = true;
      return true;
    }
    pendingFrames = 0; // a stopped machine runs no frames: nothing to wait for
  }
  if (!actions.empty()) {
    Action a = actions.front();
    actions.pop_front();
    switch (a.type) {
    case ACTION_FRAMES: pendingFrames += static_cast<uint64_t>(a.value); break;
    case ACTION_KEY_DOWN: post_key(a.value, true); break;
    case ACTION_KEY_UP: post_key(a.value, false); break;
    case ACTION_COMMAND:
      PostMessageA(mainWindow, WM_COMMAND, static_cast<WPARAM>(a.value), 0);
      break;
    case ACTION_QUIT:
      win_log("script: %llu frames run", static_cast<unsigned long long>(framesRun));
      PostQuitMessage(a.value);
      break;
    }
    return true;
  }
  if (script_step()) return true;
  if (ended) return false;
  // Nothing more will come: the run ends with the script's status.
  ended = true;
  win_log("script: %llu frames run", static_cast<unsigned long long>(framesRun));
  PostQuitMessage(script_status());
  return true;
}

int win_script_dialog_answer(char* name, size_t size, char* start, char* end) {
  if (haveFields) {
    std::memcpy(start, fieldStart, sizeof fieldStart);
    std::memcpy(end, fieldEnd, sizeof fieldEnd);
    haveFields = false;
  }
  if (answers.empty()) return 0;
  Answer answer = answers.front();
  answers.pop_front();
  if (!answer.chosen || answer.name.size() + 1 > size) return 0;
  std::memcpy(name, answer.name.c_str(), answer.name.size() + 1);
  return 1;
}

bool win_script_console_line(char* buffer, int size) {
  if (consoleLines.empty() || size <= 0) return false;
  std::string line = consoleLines.front();
  consoleLines.pop_front();
  size_t n = line.size() < static_cast<size_t>(size - 1) ? line.size() : size - 1;
  std::memcpy(buffer, line.data(), n);
  buffer[n] = '\0';
  return true;
}

void platform_script_frames(uint32_t n) { actions.push_back({ACTION_FRAMES, static_cast<int>(n)}); }
void platform_script_key(int vk, bool down) {
  actions.push_back({down ? ACTION_KEY_DOWN : ACTION_KEY_UP, vk});
}
void platform_script_command(int id) { actions.push_back({ACTION_COMMAND, id}); }
void platform_script_quit(int exitCode) { actions.push_back({ACTION_QUIT, exitCode}); }

void platform_script_dialog_answer(const char* path) {
  answers.push_back({path != nullptr, path ? path : ""});
}

void platform_script_dialog_fields(const char* start, const char* end) {
  std::snprintf(fieldStart, sizeof fieldStart, "%s", start);
  std::snprintf(fieldEnd, sizeof fieldEnd, "%s", end);
  haveFields = true;
}

void platform_script_console_line(const char* line) {
  std::string text = line ? line : "";
  if (text.empty() || (text.back() != '\n' && text.back() != '\r')) text += '\n';
  consoleLines.push_back(text);
}
