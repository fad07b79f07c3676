// The headless message queue: queued window messages and script lines take
// the place of a user at the window. A key press goes through the
// accelerators first, as on a desktop; "frames N" lets the main loop run N
// frames before the next line is read.
#include <cctype>
#include <cstdio>
#include <deque>
#include <string>

#include "host/headless/headless.h"
#include "host/menu.h"
#include "host/platform.h"
#include "host/window.h"
#include "machine/keyboard.h"

namespace {

enum EventType {
  EV_COMMAND,
  EV_KEY_DOWN,
  EV_KEY_UP,
  EV_FRAMES,
  EV_QUIT,
  EV_ACTIVATE,
  EV_PAINT,
  EV_DROP
};
struct Event {
  EventType type;
  int64_t value;
  std::string text;
};

std::deque<Event> events;
uint64_t pendingFrames;
bool quitPending;
int quitCode;
bool closePending;

const struct {
  const char* name;
  int code;
} kKeyNames[] = {
    {"BACK", 0x08},     {"BACKSPACE", 0x08}, {"TAB", 0x09},       {"RETURN", 0x0D},
    {"ENTER", 0x0D},    {"SHIFT", 0x10},     {"CONTROL", 0x11},   {"CTRL", 0x11},
    {"MENU", 0x12},     {"ALT", 0x12},       {"PAUSE", 0x13},     {"CAPITAL", 0x14},
    {"ESCAPE", 0x1B},   {"ESC", 0x1B},       {"SPACE", 0x20},     {"PRIOR", 0x21},
    {"PAGEUP", 0x21},   {"NEXT", 0x22},      {"PAGEDOWN", 0x22},  {"END", 0x23},
    {"HOME", 0x24},     {"LEFT", 0x25},      {"UP", 0x26},        {"RIGHT", 0x27},
    {"DOWN", 0x28},     {"INSERT", 0x2D},    {"DELETE", 0x2E},    {"LSHIFT", 0xA0},
    {"RSHIFT", 0xA1},   {"LCONTROL", 0xA2},  {"RCONTROL", 0xA3},  {"OEM_1", 0xBA},
    {"OEM_PLUS", 0xBB}, {"OEM_COMMA", 0xBC}, {"OEM_MINUS", 0xBD}, {"OEM_PERIOD", 0xBE},
    {"OEM_2", 0xBF},    {"OEM_3", 0xC0},     {"OEM_4", 0xDB},     {"OEM_5", 0xDC},
    {"OEM_6", 0xDD},    {"OEM_7", 0xDE},     {"OEM_102", 0xE2},
};

uint8_t modifiers() {
  uint8_t m = 0;
  if (platform_key_down(0x12)) m |= ACCEL_ALT;
  if (platform_key_down(0x11)) m |= ACCEL_CONTROL;
  if (platform_key_down(0x10)) m |= ACCEL_SHIFT;
  return m;
}

void key_down(int key) {
  headless_set_key(key, true);
  int command = accelerator_find(key, modifiers());
  if (command)
    window_on_command(command);
  else if (!platform_key_down(0x12))
    window_on_key_down(key); // Alt+key is a menu key
}

void handle(const Event& e) {
  switch (e.type) {
  case EV_COMMAND: window_on_command(static_cast<int>(e.value)); break;
  case EV_KEY_DOWN: key_down(static_cast<int>(e.value)); break;
  case EV_KEY_UP: headless_set_key(static_cast<int>(e.value), false); break;
  case EV_FRAMES: pendingFrames += static_cast<uint64_t>(e.value); break;
  case EV_QUIT: platform_post_quit(static_cast<int>(e.value)); break;
  case EV_ACTIVATE: window_on_activate(static_cast<int>(e.value)); break;
  case EV_PAINT: window_on_paint(); break;
  case EV_DROP: window_on_drop_file(e.text.c_str()); break;
  }
}

} // namespace

// Script lines, read one at a time (host/headless/script.cpp): false when
// the script has ended.
bool headless_script_step();

PlatformMessage platform_handle_message(bool wait, int* exitCode) {
  for (;;) {
    if (quitPending) {
      quitPending = false;
      *exitCode = quitCode;
      return PLATFORM_MESSAGE_QUIT;
    }
    if (closePending) {
      closePending = false;
      platform_window_destroy();
      window_on_destroy();
      return PLATFORM_MESSAGE_HANDLED;
    }
    if (pendingFrames > 0) {
      if (!wait) {
        --pendingFrames;
        return PLATFORM_MESSAGE_NONE;
      }
      pendingFrames = 0; // a stopped machine runs no frames: nothing to wait for
    }
    if (!events.empty()) {
      Event e = events.front();
      events.pop_front();
      handle(e);
      return PLATFORM_MESSAGE_HANDLED;
    }
    if (headless_script_step()) return PLATFORM_MESSAGE_HANDLED;
    // Nothing more will come: the run ends as after the close box.
    quitPending = true;
    quitCode = headless_script_status();
  }
}

void platform_post_close() { closePending = true; }

void platform_post_quit(int exitCode) {
  quitPending = true;
  quitCode = exitCode;
}

void headless_queue_command(int id) { events.push_back({EV_COMMAND, id, {}}); }
void headless_queue_key(int vk, bool down) {
  events.push_back({down ? EV_KEY_DOWN : EV_KEY_UP, vk, {}});
}
void headless_queue_frames(uint32_t n) { events.push_back({EV_FRAMES, n, {}}); }
void headless_queue_quit(int exitCode) { events.push_back({EV_QUIT, exitCode, {}}); }
void headless_queue_activate(int state) { events.push_back({EV_ACTIVATE, state, {}}); }
void headless_queue_paint() { events.push_back({EV_PAINT, 0, {}}); }
void headless_queue_drop(const char* path) { events.push_back({EV_DROP, 0, path}); }

void headless_clear_events() {
  events.clear();
  pendingFrames = 0;
  quitPending = closePending = false;
}

int headless_key_code(const std::string& text) {
  if (text.empty()) return -1;
  if (std::isdigit(static_cast<unsigned char>(text[0]))) {
    size_t used = 0;
    long value;
    try {
      value = std::stol(text, &used, 0);
    } catch (...) { return -1; }
    return used == text.size() && value > 0 && value < 256 ? static_cast<int>(value) : -1;
  }
  std::string upper;
  for (char c : text) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper.size() == 1 && std::isalnum(static_cast<unsigned char>(upper[0]))) return upper[0];
  if (upper.size() >= 2 && upper.size() <= 3 && upper[0] == 'F' &&
      upper.find_first_not_of("0123456789", 1) == std::string::npos) {
    int n = std::stoi(upper.substr(1));
    return n >= 1 && n <= 24 ? 0x6F + n : -1;
  }
  for (const auto& k : kKeyNames)
    if (upper == k.name) return k.code;
  return -1;
}
