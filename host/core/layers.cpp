// The hooks of the lower layers, set to the host's functions.
#include "host/core/layers.h"

#include "host/core/history.h"

#include "debugger/hooks.h"
#include "host/core/debug_output.h"
#include "host/core/pacing.h"
#include "host/core/quick_snapshot.h"
#include "host/core/window.h"
#include "host/output/audio.h"
#include "host/output/clipboard.h"
#include "host/output/display.h"
#include "host/output/status.h"
#include "host/platform.h"
#include "host/script/script.h"
#include "host/script/script_mode.h"
#include "host/store/open_file.h"
#include "machine/hooks.h"
#include "media/hooks.h"

namespace {

void status_part(int part, const char* text) { status_set_text(part, "%s", text); }
void debug_text(const char* text) { debug_line("%s", text); }

void sound_resumed() {
  audio_resume();
  pacing_reset();
}

// Leaving the console monitor: a moment for the console to go, then the
// frame timing starts again from now.
void console_session_end() {
  history_machine_changed();
  audio_resume();
  platform_sleep_ms(100);
  pacing_reset();
}

// The on-screen monitor covers the picture: the next presentation shows the
// frame again even if it did not change.
void monitor_draw(const char* const* rows, int count, int separatorRow) {
  display_forget_shown();
  script_monitor_draw(rows, count, separatorRow);
}

} // namespace

void host_connect_layers() {
  machine_set_hooks({audio_update, audio_init, audio_reset, platform_path_separator});
  media_set_hooks({status_part, debug_text, host_save_file_dialog, audio_pause, sound_resumed});
  debugger_set_hooks({script_console_open, platform_console_close, platform_console_width,
                      script_console_read_line, script_console_write,
                      platform_console_set_attribute, platform_monitor_geometry, monitor_draw,
                      audio_pause, console_session_end, history_go_back});
  media_connect();
  static_assert(size_t{SCRIPT_SCREEN_TEXT_MAX} == size_t{CLIPBOARD_SCREEN_TEXT_MAX});
  script_set_screen_hooks({window_on_paint, clipboard_screen_text});
  open_file_set_hooks({state_file_loaded});
}
