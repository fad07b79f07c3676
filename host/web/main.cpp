// tarvik-web: the emulator in a web page. The same start-up as the desktop
// program; the browser's animation frames take the main loop's place, and
// the page's script calls the functions exported here for what the user
// does (menus, keys, files, the console monitor's lines).
#include <emscripten/emscripten.h>
#include <emscripten/eventloop.h>
#include <emscripten/html5.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <string>

#include "cpu/cpu.h"
#include "host/core/app.h"
#include "host/core/history.h"
#include "host/core/keys.h"
#include "host/core/pacing.h"
#include "host/core/window.h"
#include "host/output/audio.h"
#include "host/output/clipboard.h"
#include "host/platform.h"
#include "host/platform_script.h"
#include "host/store/settings.h"
#include "host/ui/menu.h"
#include "host/ui/menu_checks.h"
#include "host/web/web.h"

namespace {

// After a longer gap than this (a slow machine, a stall of the browser) the
// frames missed are not caught up: pacing starts again from now.
constexpr int kMostFramesPerTurn = 10;
// Without real-time pacing, frames run for this long in each animation
// frame, leaving the rest of it to the browser.
constexpr double kUnpacedSliceMs = 12.0;

bool stopped;
uint32_t framesRun;
EM_JS(void, js_started, (), { TarvikUI.started(); });
EM_JS(void, js_stopped, (), { TarvikUI.stopped(); });

std::string replayHashes;

} // namespace

// The hashes of a recording played back whole (history_replay_hashes), or
// "error: " and the reason.
extern "C" EMSCRIPTEN_KEEPALIVE const char* web_replay_hashes(const char* path, int every) {
  char reason[300] = "";
  if (!history_replay_hashes(path, every > 0 ? static_cast<uint32_t>(every) : 0, &replayHashes,
                             reason, sizeof reason))
    replayHashes = std::string("error: ") + reason;
  return replayHashes.c_str();
}

namespace {

void run_one_frame() {
  app_run_frame();
  ++framesRun;
}

// The frames that are due now: with real-time pacing, while the emulation is
// less than a frame period ahead of real time (so that the pacing's own wait
// never has to wait); unpaced (the 50 Hz switch off, the fast-forward key,
// a fast tape load), as many as fit into a slice of the frame.
void run_due_frames() {
  if (!running || web_console_waiting()) return;
  if (!pacing_unpaced()) {
    for (int n = 0; running && pacing_frame_due(); ++n) {
      if (n == kMostFramesPerTurn) {
        pacing_reset();
        break;
      }
      run_one_frame();
    }
  } else {
    double end = emscripten_get_now() + kUnpacedSliceMs;
    do run_one_frame();
    while (running && !web_console_waiting() && pacing_unpaced() && emscripten_get_now() < end);
  }
}

uint32_t turns;

// While paused or waiting for the console, the loop looks again this often.
constexpr double kIdleLookMs = 50.0;

void schedule_turn();

void turn() {
  if (stopped) return;
  if (web_take_paint()) window_on_paint();
  run_due_frames();
  // Files still being written (a tape the machine saves) leave once they
  // have stopped growing for a second or so.
  if (++turns % 60 == 0) web_files_deliver(true);
  schedule_turn();
}

EM_BOOL animation_turn(double, void*) {
  turn();
  return EM_FALSE;
}
void timer_turn(void*) { turn(); }

// At real time the loop wakes on a timer when the next frame is due, not at
// every animation frame, so that the browser draws only when the picture
// changed. Unpaced, the frames run in the animation frames, a slice each.
void schedule_turn() {
  if (stopped) return;
  const bool runs = running && !web_console_waiting();
  if (runs && pacing_unpaced()) {
    emscripten_request_animation_frame(animation_turn, nullptr);
    return;
  }
  const double ms = runs ? static_cast<double>(pacing_ticks_until_due()) * 1000.0 /
                               static_cast<double>(platform_counter_frequency())
                         : kIdleLookMs;
  // The browser's timers count whole milliseconds and drop a fraction, so a
  // timer for 19.6 ms would wake 0.6 ms before the frame is due and take a
  // second turn (and a task) to run it. Rounded up, one turn runs the frame.
  emscripten_set_timeout(timer_turn, std::ceil(ms), nullptr);
}

// Every event from the page: what the main loop does around a message.
template <typename F> void as_message(F&& handle) {
  if (stopped) return;
  bool wasRunning = running != 0;
  handle();
  app_after_message(wasRunning);
  web_files_deliver(false);
  settings_save();
}

} // namespace

void platform_post_quit(int) {
  if (stopped) return;
  stopped = true;
  app_shutdown();
  js_stopped();
}

// A script's keys and commands take the page's own way in (the page runs
// no script of its own: these are here for the host's script queue).
void platform_script_key(int vk, bool down) {
  as_message([vk, down] { host_key_event(vk, down, HOST_KEY_NO_CHARACTER); });
}
void platform_script_command(int id) {
  as_message([id] { window_on_command(id); });
}
std::string platform_script_dialog_text(HostDialog) { return {}; }

extern "C" {

EMSCRIPTEN_KEEPALIVE void web_command(int id) {
  as_message([id] { window_on_command(id); });
}

EMSCRIPTEN_KEEPALIVE void web_key(int place, int plain, int character, int down) {
  as_message([place, plain, character, down] {
    web_key_event(place, static_cast<uint32_t>(plain), static_cast<uint32_t>(character), down != 0);
  });
}

// A key of the page's on-screen keyboard or a gamepad's button, as the
// virtual key that presses it: the same way in as a physical key.
EMSCRIPTEN_KEEPALIVE void web_machine_key(int vk, int down) {
  if (vk <= 0 || vk >= 256) return;
  as_message([vk, down] { host_key_event(vk, down != 0, HOST_KEY_NO_CHARACTER); });
}

EMSCRIPTEN_KEEPALIVE void web_activate(int active) {
  as_message([active] { window_on_activate(active ? 1 : 0); });
}

EMSCRIPTEN_KEEPALIVE void web_resize(int, int) {
  as_message([] {
    window_on_size();
    window_on_paint();
  });
}

// A file the user dropped on the page or chose in its picker, already
// written into the input folder: it goes where its kind belongs, opened as
// the menu command opens the file its dialog chose (command 0: as a dropped
// file), so that the outcome and its messages are the same.
EMSCRIPTEN_KEEPALIVE void web_open_file(const char* path, int command) {
  std::string name = path;
  as_message([&name, command] {
    if (command == 0)
      window_on_drop_file(name.c_str());
    else
      window_on_open_file(command, name.c_str(), web_ask_address_fields);
  });
}

EMSCRIPTEN_KEEPALIVE void web_paste(const char* text) {
  std::string copy = text;
  as_message([&copy] {
    web_clipboard_receive(copy.c_str());
    window_on_command(CMD_PASTE);
  });
}

EMSCRIPTEN_KEEPALIVE void web_page_hide() {
  if (!stopped) settings_save();
}

EMSCRIPTEN_KEEPALIVE uint32_t web_frames_run() { return framesRun; }
EMSCRIPTEN_KEEPALIVE uint32_t web_turns() { return turns; }
EMSCRIPTEN_KEEPALIVE int web_running() { return running != 0 && !stopped; }
EMSCRIPTEN_KEEPALIVE int web_menu_checked(int id) { return menu_checked(id); }

} // extern "C"

int main() {
  mkdir(WEB_INPUT_FOLDER, 0777);
  mkdir(WEB_SAVE_FOLDER, 0777);
  mkdir(WEB_ROM_FOLDER, 0777);
  // Screenshots with automatic names and the disassembly dump go to the
  // current folder: they leave as downloads.
  if (chdir(WEB_SAVE_FOLDER) != 0) return 1;
  // The program "lives" in "/", so that the ROM dumps the user chose, which
  // the page puts into "/roms", replace the built-in images.
  const char* argv[] = {"/tarvik-web"};
  if (!app_start(1, argv)) return 1;
  js_started();
  schedule_turn();
  return 0;
}
