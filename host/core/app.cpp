// Program entry and the main loop: messages and frames alternate, the
// frames paced to real time.
#include "host/core/app.h"

#include <string>
#include <vector>

#include <cstring>

#include "cpu/cpu.h"
#include "debugger/console_monitor.h"
#include "host/core/commands.h"
#include "host/core/fast_mode.h"
#include "host/core/history.h"
#include "host/core/keys.h"
#include "host/core/layers.h"
#include "host/core/pacing.h"
#include "host/core/screen_news.h"
#include "host/core/window.h"
#include "host/output/audio.h"
#include "host/output/avi.h"
#include "host/output/display.h"
#include "host/output/status.h"
#include "host/platform.h"
#include "host/script/script_mode.h"
#include "host/script/script_queue.h"
#include "host/store/open_file.h"
#include "host/store/recent_files.h"
#include "host/store/settings.h"
#include "host/ui/menu.h"
#include "host/ui/menu_checks.h"
#include "machine/machine.h"
#include "machine/rom.h"
#include "machine/video.h"
#include "machine/virtual_keys.h"
#include "media/tape.h"
#include "media/wav_tape.h"

namespace {

// Dumps of original ROMs in a folder "roms" beside the program replace the
// built-in images (files of the wrong size are reported and ignored).
void load_rom_folder(const char* program) {
  std::string folder = program ? program : "";
  size_t cut = folder.find_last_of("/\\");
  folder = cut == std::string::npos ? std::string() : folder.substr(0, cut + 1);
  folder += "roms";
  rom_load_folder(folder.c_str(), nullptr);
}

bool endRequestSeen; // a request from outside was turned into a close

// The command line's files that did not load, each as the message that
// says why.
std::vector<std::string> commandLineFailures;

// A file argument that did not load: the message its load left in the
// status bar, or one that names the file.
void command_line_failed(const std::string& messageBefore, const char* fallback, const char* arg) {
  std::string message = status_text(3);
  if (message.empty() || message == messageBefore) message = std::string(fallback) + ": " + arg;
  commandLineFailures.push_back(message);
}

} // namespace

void host_reset_state() {
  hostOptions = kDefaultHostOptions;
  running = 1;
  paused = 0;
  monitorMode = 0;
  fullScreen = 0;
  fullScreenMemory = 0;
  aviState = AVI_OFF;
  recent_files_clear();
  menu_clear_checks();
  fast_mode_reset();
  history_reset();
  script_mode_reset();
}

bool app_start(int argc, const char* const* argv) {
  host_connect_layers();
  if (!platform_window_create("Tarvik emulátor", windowWidth, windowHeight)) return false;
  platform_watch_end_requests();
  endRequestSeen = false;
  status_create();
  settings_open();
  settings_load();
  history_rewind_enable(hostOptions.Rewind == 1);
  screen_news_start();
  status_set_text(0, "%s", modelTable[model()].statusLabel);
  display_window_size(512, 384);
  pacing_set_presenter(present_changed_frame);
  pacing_start();
  load_rom_folder(argc > 0 ? argv[0] : nullptr);
  console_monitor_install();
  machine_init();
  app_command_line(argc, argv);
  display_window_size(512, 384);
  display_build_bitmap();
  status_layout();
  platform_move_window(platform_window_rect());
  if (hostOptions.PixelExact == 1) display_pixel_exact_window();
  platform_window_show();
  display_start();
  audio_shutdown();
  audio_select_driver(static_cast<int>(hostOptions.soundDriverIndex));
  return true;
}

namespace {

// A switch begins with "/". Where "/" also separates folders, an argument
// with a second "/" is an absolute file name, not a switch.
bool is_switch(const char* arg) {
  if (arg[0] != '/') return false;
  return platform_path_separator() != '/' || !std::strchr(arg + 1, '/');
}

} // namespace

void app_command_line(int argc, const char* const* argv) {
  commandLineFailures.clear();
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (is_switch(arg)) {
      if (arg[1] == 'h') {
        menu_set_checked(CMD_SOUND_FIRST + hostOptions.soundDriverIndex, false);
        hostOptions.soundDriverIndex = 0;
        menu_set_checked(CMD_SOUND_FIRST, true);
      } else if (arg[1] == 'w') {
        hostOptions.SyncSpeed = 0;
        menu_set_checked(CMD_SYNC_SPEED, false);
      } else if (arg[1] == 'x') {
        hostOptions.VideoDriver = VIDEO_DRIVER_GDI;
        menu_set_checked(CMD_VIDEO_DRIVER, true);
      }
      continue;
    }
    run_frames(30);
    const std::string before = status_text(3);
    RecentKind kind;
    if (!open_file_kind_by_name(arg, &kind)) {
      // Nothing is loaded; the desktop program says nothing of it.
      command_line_failed(before, COMMAND_LINE_UNKNOWN_KIND, arg);
    } else if (kind == RECENT_SNAPSHOT_LOAD || kind == RECENT_STATE_LOAD) {
      // A snapshot or a state that did not load is reported with the menu
      // command's box.
      if (!open_file_as(kind, arg))
        command_line_failed(before,
                            kind == RECENT_STATE_LOAD ? COMMAND_LINE_STATE_FAILED
                                                      : COMMAND_LINE_SNAPSHOT_FAILED,
                            arg);
    } else if (!open_file_quietly(kind, arg)) {
      command_line_failed(before, COMMAND_LINE_LOAD_FAILED, arg);
    }
    run_frames(25);
  }
}

const std::vector<std::string>& app_command_line_failures() { return commandLineFailures; }

int app_main_loop() {
  int exitCode = 0;
  for (;;) {
    // A request from outside (a signal, the console) ends the run as the
    // close box does, between two frames.
    if (!endRequestSeen && platform_end_requested()) {
      endRequestSeen = true;
      platform_post_close();
    }
    if (!running) {
      if (script_queue_next_message(true, &exitCode) == PLATFORM_MESSAGE_QUIT) break;
      pacing_reset();
      if (running && sound_on() && !monitorMode) audio_resume();
      continue;
    }
    PlatformMessage message = script_queue_next_message(false, &exitCode);
    if (message == PLATFORM_MESSAGE_QUIT) break;
    if (message == PLATFORM_MESSAGE_HANDLED) continue;
    app_run_frame();
  }
  return exitCode;
}

void app_run_frame() {
  // F3 held runs the machine backwards (Alt+F3 is the pacing's key).
  if (hostOptions.Rewind == 1 && host_key_held(VKEY_F3) && !host_key_held(VKEY_MENU)) {
    history_rewind_tick();
    pacing_frame_done();
    return;
  }
  if (!history_before_frame()) return;
  run_frame();
  history_after_frame();
  fast_mode_after_frame();
  if (sound_on()) audio_update(cpu.tcount);
  if (aviState == AVI_CAPTURING)
    avi_frame(&frameBitmap, hostOptions.VideoDriver == VIDEO_DRIVER_DIRECTDRAW, display_pixels());
  command_check_recordings();
  screen_news_after_frame();
  pacing_frame_done();
}

void app_after_message(bool wasRunning) {
  if (wasRunning) return;
  pacing_reset();
  if (running && sound_on() && !monitorMode) audio_resume();
}

void app_finish_files() {
  // A capture still running is finished, so that the file is complete.
  if (aviState == AVI_CAPTURING) {
    aviState = AVI_OFF;
    avi_stop();
  }
  audio_record_stop();
  history_record_stop();
  if (wavFile && !cassettePlayback) wav_close();
  tape_close();
  settings_save();
}

void app_shutdown() {
  app_finish_files();
  screen_news_stop();
  audio_shutdown();
  display_shutdown();
  settings_save();
  settings_close();
  history_rewind_enable(false); // the ring's memory goes back
}

int app_main(int argc, const char* const* argv) {
  std::vector<const char*> args;
  if (!script_mode_arguments(argc, argv, &args)) return 2;
  if (!app_start(static_cast<int>(args.size()), args.data())) return 0;
  int exitCode = app_main_loop();
  app_shutdown();
  return exitCode;
}
