// The headless message queue: queued window messages and script lines take
// the place of a user at the window. A key press goes through the
// accelerators first, as on a desktop; "frames N" lets the main loop run N
// frames before the next line is read.
#include <cstdio>
#include <deque>
#include <string>

#include "host/headless/headless.h"
#include "host/keys.h"
#include "host/platform.h"
#include "host/platform_script.h"
#include "host/script.h"
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

void handle(const Event& e) {
  switch (e.type) {
  case EV_COMMAND: window_on_command(static_cast<int>(e.value)); break;
  case EV_KEY_DOWN: host_key_typed(static_cast<int>(e.value), true); break;
  case EV_KEY_UP: host_key_typed(static_cast<int>(e.value), false); break;
  case EV_FRAMES: pendingFrames += static_cast<uint64_t>(e.value); break;
  case EV_QUIT: platform_post_quit(static_cast<int>(e.value)); break;
  case EV_ACTIVATE: window_on_activate(static_cast<int>(e.value)); break;
  case EV_PAINT: window_on_paint(); break;
  case EV_DROP: window_on_drop_file(e.text.c_str()); break;
  }
}

} // namespace

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
    if (script_step()) return PLATFORM_MESSAGE_HANDLED;
    // Nothing more will come: the run ends as after the close box.
    quitPending = true;
    quitCode = script_status();
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

void headless_clear_events() {
  events.clear();
  pendingFrames = 0;
  quitPending = closePending = false;
}

// The script lines' requests go to the event queue and the dialog answers.
void platform_script_frames(uint32_t n) { headless_queue_frames(n); }
void platform_script_key(int vk, bool down) { headless_queue_key(vk, down); }
void platform_script_command(int id) { headless_queue_command(id); }
void platform_script_quit(int exitCode) { headless_queue_quit(exitCode); }
void platform_script_dialog_answer(const char* path) {
  if (path)
    headless_queue_dialog_answer(path);
  else
    headless_queue_dialog_cancel();
}
void platform_script_dialog_fields(const char* start, const char* end) {
  headless_set_dialog_fields(start, end);
}
void platform_script_console_line(const char* line) { headless_console_queue_line(line); }

bool headless_script_open(const char* path) { return script_open(path); }
void headless_script_text(const std::string& text) { script_text(text); }
void headless_script_then_frames(uint32_t frames) { script_then_frames(frames); }
std::string headless_screen_text() { return script_screen_text(); }
