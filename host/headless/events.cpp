// The headless message queue: with no user at a window, the script queue
// (host/script/script_queue.h) brings the keys, commands, frames and the quit that
// a script or a test asks for, and the run ends when nothing more comes. A
// key press goes through the accelerators first, as on a desktop.
#include <cstdio>
#include <deque>
#include <string>

#include "host/core/keys.h"
#include "host/core/window.h"
#include "host/headless/headless.h"
#include "host/platform.h"
#include "host/platform_script.h"
#include "host/script/script.h"
#include "host/script/script_queue.h"
#include "host/ui/tape_browser.h"
#include "machine/keyboard.h"

namespace {

enum EventType { EV_ACTIVATE, EV_PAINT, EV_DROP };
struct Event {
  EventType type;
  int64_t value;
  std::string text;
};

std::deque<Event> events;
bool quitPending;
int quitCode;
bool closePending;

void handle(const Event& e) {
  switch (e.type) {
  case EV_ACTIVATE: window_on_activate(static_cast<int>(e.value)); break;
  case EV_PAINT: window_on_paint(); break;
  case EV_DROP: window_on_drop_file(e.text.c_str()); break;
  }
}

} // namespace

PlatformMessage platform_handle_message(bool wait, int* exitCode) {
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
  if (!events.empty()) {
    Event e = events.front();
    events.pop_front();
    handle(e);
    return PLATFORM_MESSAGE_HANDLED;
  }
  // Nothing of its own: the script queue goes on; without one (or waiting,
  // when nothing can come) the run ends as after the close box.
  if (!wait && script_queue_active()) return PLATFORM_MESSAGE_NONE;
  *exitCode = script_status();
  return PLATFORM_MESSAGE_QUIT;
}

void platform_post_close() { closePending = true; }

void platform_post_quit(int exitCode) {
  quitPending = true;
  quitCode = exitCode;
}

void platform_script_key(int vk, bool down) { host_key_typed(vk, down); }
void platform_script_command(int id) { window_on_command(id); }
std::string platform_script_dialog_text(HostDialog dialog) {
  return dialog == HOST_DIALOG_TAPE_BROWSER ? tape_browser_text() : std::string();
}

void headless_queue_command(int id) { script_queue_command(id); }
void headless_queue_key(int vk, bool down) { script_queue_key(vk, down); }
void headless_queue_frames(uint32_t n) { script_queue_frames(n); }
void headless_queue_quit(int exitCode) { script_queue_quit(exitCode); }
void headless_queue_activate(int state) { events.push_back({EV_ACTIVATE, state, {}}); }
void headless_queue_paint() { events.push_back({EV_PAINT, 0, {}}); }
void headless_queue_drop(const char* path) { events.push_back({EV_DROP, 0, path}); }

void headless_clear_events() {
  events.clear();
  script_queue_clear_actions();
  quitPending = closePending = false;
}

bool headless_script_open(const char* path) { return script_queue_open(path); }
void headless_script_text(const std::string& text) { script_queue_text(text); }
void headless_script_then_frames(uint32_t frames) { script_queue_then_frames(frames); }
int headless_script_status() { return script_status(); }
std::string headless_screen_text() { return script_screen_text(); }
