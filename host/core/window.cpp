// The window procedure's logic: run states, keys and window messages.
#include "host/core/window.h"

#include <unistd.h>

#include <climits>

#include "debugger/disassembler.h"
#include "debugger/screen_monitor.h"
#include "host/core/commands.h"
#include "host/core/history.h"
#include "host/core/keys.h"
#include "host/core/pacing.h"
#include "host/output/audio.h"
#include "host/output/clipboard.h"
#include "host/output/status.h"
#include "host/platform.h"
#include "host/script/script_mode.h"
#include "host/sound_driver.h"
#include "host/store/open_file.h"
#include "host/store/settings.h"
#include "host/ui/menu.h"
#include "host/ui/menu_checks.h"
#include "machine/machine.h"
#include "media/messages.h"

uint32_t running = 1;
uint32_t paused;
uint32_t monitorMode;

bool sound_on() { return currentSoundDriver != &silentSoundDriver; }

namespace {

// After a command: a stopped machine makes no sound. A command that resumed
// the sound on its own (a model change, the interactive monitor) while the
// machine is paused or in the monitor is paused again, or the device would
// repeat what its ring last held.
void after_command() {
  if (sound_on() && running && !monitorMode)
    audio_resume();
  else
    audio_pause();
  pacing_reset();
}

} // namespace

void window_on_command(int id) {
  audio_pause();
  if (id == CMD_EXIT) {
    platform_post_close();
    return;
  }
  command_execute(id);
  history_machine_changed();
  after_command();
}

void window_on_open_file(int id, const char* path, bool (*askFields)(AddressPanel* panel)) {
  audio_pause();
  command_open_file(id, path, askFields);
  history_machine_changed();
  after_command();
}

void run_state_pause_toggle() {
  paused = !paused;
  if (!running && !monitorMode && !paused) {
    running = 1;
    host_set_title(TITLE_RESUMED);
    menu_set_checked(CMD_PAUSE, false);
  } else {
    running = 0;
    if (!monitorMode) {
      host_set_title(TITLE_PAUSED);
      menu_set_checked(CMD_PAUSE, true);
    }
  }
}

void run_state_monitor_toggle() {
  monitorMode = !monitorMode;
  if (monitorMode) {
    running = 0;
    host_set_title(TITLE_MONITOR);
    monitor_open();
    audio_pause();
    menu_set_checked(CMD_MONITOR, true);
  } else {
    platform_invalidate(true);
    if (!paused) {
      running = 1;
      host_set_title(TITLE_RESUMED);
      audio_resume();
    } else {
      host_set_title(TITLE_PAUSED);
    }
    menu_set_checked(CMD_MONITOR, false);
  }
}

void window_on_key_down(int key) {
  // The monitor's keys and the reset change the machine outside its frames.
  if (monitorMode || key == VKEY_F1) history_machine_changed();
  switch (key) {
  case VKEY_PAUSE: window_on_command(CMD_PAUSE); break;
  case VKEY_ESCAPE: window_on_command(CMD_MONITOR); break;
  case VKEY_BACK:
    // The monitor's and a paused machine's undo; otherwise a key of the machine's.
    if ((monitorMode || paused) && history_undo()) {
      if (monitorMode) monitor_show_pc();
      present_frame(1);
    }
    break;
  case VKEY_NEXT:
    if (monitorMode) {
      monitor_page(1);
    } else if (paused) {
      history_checkpoint();
      run_frames(1);
      history_machine_changed();
      present_frame(1);
      pacing_reset();
    } else {
      window_on_command(CMD_PAUSE);
    }
    break;
  case VKEY_PRIOR:
    if (monitorMode) monitor_page(-1);
    break;
  case VKEY_UP:
    if (monitorMode) monitor_scroll(-1);
    break;
  case VKEY_DOWN:
    if (monitorMode) monitor_scroll(1);
    break;
  case VKEY_RETURN:
    if (monitorMode) {
      history_checkpoint();
      monitor_enter_key();
    }
    break;
  case VKEY_F1:
    if (monitorMode)
      monitor_set_view(MONITOR_VIEW_DISASSEMBLY);
    else
      machine_reset_button();
    break;
  case VKEY_F2:
    if (monitorMode) monitor_set_view(MONITOR_VIEW_MEMORY);
    break;
  case VKEY_F7:
    if (monitorMode) {
      history_checkpoint();
      monitor_f7_key();
    }
    break;
  case VKEY_F8:
    if (monitorMode) monitor_f8_key();
    break;
  case VKEY_F9: {
    if (!dump_disassembly("tarvik_disass.txt")) {
      host_message_box(MEDIA_ERROR_CAPTION, MEDIA_SAVE_FAILED, PLATFORM_ICON_STOP);
      break;
    }
    char folder[PATH_MAX];
    if (!getcwd(folder, sizeof folder)) folder[0] = '\0';
    status_message("Disassembly dump to: %s", folder);
    break;
  }
  default: break;
  }
}

void window_on_destroy() { platform_post_quit(0); }

void window_on_move() {
  display_update_target();
  pacing_reset();
}

void window_on_size() {
  status_layout();
  display_update_target();
  pacing_reset();
}

void window_on_paint() {
  if (monitorMode) {
    monitor_redraw();
  } else {
    present_frame(0);
    pacing_reset();
  }
}

SizeLimits window_on_size_limits() {
  SizeLimits limits = display_size_limits();
  // The window is being sized: the time it takes is not caught up.
  pacing_reset();
  return limits;
}

void window_on_edge_drag(WindowEdge edge, Rect* windowRect) { display_edge_drag(edge, windowRect); }

void window_on_activate(int state) {
  // A script takes the user's place: another window taking the focus does
  // not stop its frames.
  if (state == 0 && script_mode_active()) return;
  running = (state == 1 || state == 2) && !paused && !monitorMode ? 1 : 0;
  // In the background the machine stands still, and so does its sound.
  if (running && sound_on())
    audio_resume();
  else
    audio_pause();
}

void window_on_input_language_change() { host_input_language_changed(); }

bool window_on_menu_char(bool fromPopupOrSystemMenu) { return !fromPopupOrSystemMenu; }

void window_on_double_click() { platform_maximize(); }

void window_on_wheel(int delta) {
  if (monitorMode) monitor_wheel(delta);
}

void window_on_enter_modal_loop() { audio_pause(); }

void window_on_exit_modal_loop() {
  // A menu closed over the monitor leaves its picture behind where the host
  // sends no paint message (Wine).
  if (monitorMode) monitor_redraw();
  if (running) audio_resume();
  pacing_reset();
  host_keys_release();
}

void window_on_drop_file(const char* path) {
  // A machine state opens as the menu's state load opens it, with its box
  // on failure; any other file is autoloaded as a tape.
  RecentKind kind;
  if (open_file_kind_by_name(path, &kind) && kind == RECENT_STATE_LOAD)
    open_file_as(kind, path);
  else
    open_file_quietly(RECENT_AUTOLOAD, path);
  history_machine_changed();
  pacing_reset();
}
