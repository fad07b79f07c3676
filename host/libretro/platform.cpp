// The platform functions without a window of the core's own: the front end
// owns the window, the menus, the settings and the files. Boxes go to the
// front end's messages, dialogs are cancelled (the front end opens the
// files), the status bar, the console, the settings store and the AVI file
// answer "not available". The clock is the C++ steady clock; it only times
// the title's speed (the front end paces the frames).
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "host/core/keys.h"
#include "host/core/window.h"
#include "host/libretro/libretro_host.h"
#include "host/platform.h"
#include "host/platform_script.h"

namespace {

std::string clipboardText;
bool clipboardOpen;

} // namespace

// ---- requests to end the run and the clock ------------------------------------------
void platform_watch_end_requests() {}
bool platform_end_requested() { return false; }

int64_t platform_counter_frequency() { return 1000000000; }
int64_t platform_counter() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
void platform_sleep_ms(uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
uint32_t platform_refresh_rate() { return 50; }

// ---- window ----------------------------------------------------------------------
bool platform_window_create(const char*, int32_t, int32_t) { return true; }
void platform_window_show() {}
void platform_window_destroy() {}
// The front end calls retro_run: there is no queue of our own.
PlatformMessage platform_handle_message(bool, int*) { return PLATFORM_MESSAGE_NONE; }
void platform_post_close() {}
void platform_post_quit(int) {}
void platform_set_title(const char*) {}
void platform_menu_check(int, bool) {}
void platform_menu_set_item(int, const char*, bool) {}
void platform_set_maximize_box(bool) {}
void platform_maximize() {}
void platform_invalidate(bool) {}
void platform_invalidate_rect(const Rect&, bool) {}
Rect platform_client_rect() {
  return {0, 0, static_cast<int32_t>(LIBRETRO_WIDTH), static_cast<int32_t>(LIBRETRO_HEIGHT)};
}
Rect platform_client_to_screen(const Rect& rect) { return rect; }
Rect platform_window_rect() { return platform_client_rect(); }
Rect platform_window_rect_for_client(int32_t width, int32_t height) {
  return {0, 0, width, height};
}
void platform_move_window(const Rect&) {}
Rect platform_screen_rect() { return platform_client_rect(); }
void platform_full_screen_enter() {}
void platform_full_screen_leave() {}

void platform_message_box(const char* caption, const char* text, int) {
  std::string line = caption && *caption ? std::string(caption) + ": " : std::string();
  line += text ? text : "";
  libretro_show(line.c_str());
}
void platform_message_box_modeless(const char* caption, const char* text, int icon) {
  platform_message_box(caption, text, icon);
}
void platform_modal_dialog(HostDialog) {}

// ---- file dialogs: the front end chooses the files --------------------------------------
bool platform_file_dialog(const FileDialogKind*, char*, size_t, AddressPanel*) { return false; }
bool platform_save_file_dialog(const char*, const char*, const char*, char* path, size_t pathSize) {
  if (pathSize > 0) path[0] = '\0';
  return false;
}

// ---- frame presentation: picture.cpp --------------------------------------------------

// ---- status bar: none (the texts are kept; failures reach the front end as messages) ----
bool platform_status_create(const int32_t*, int) { return false; }
void platform_status_destroy() {}
void platform_status_set_text(int, const char*) {}
int32_t platform_status_height() { return 0; }
void platform_status_layout() {}

// ---- screen reader and speech: the front end's own (nothing here) -----------------------
void platform_screen_changed(const char*) {}
bool platform_speech_start() { return false; }
void platform_speech_stop() {}
void platform_speak(const char*) {}

// ---- clipboard: one text in memory ------------------------------------------------------
bool platform_clipboard_open() {
  if (clipboardOpen) return false;
  clipboardOpen = true;
  return true;
}
void platform_clipboard_close() { clipboardOpen = false; }
bool platform_clipboard_set_text(const char* text, size_t length) {
  clipboardText.assign(text, strnlen(text, length));
  return true;
}
const char* platform_clipboard_text() { return clipboardOpen ? clipboardText.c_str() : nullptr; }

// ---- keyboard ----------------------------------------------------------------------------
uint32_t platform_key_label(int vk, int* place) { return host_key_hungarian_label(vk, place); }

// ---- files --------------------------------------------------------------------------------
char platform_path_separator() {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}
// No quick slots: the front end's save states take their place.
bool platform_data_folder(char*, size_t) { return false; }
void platform_keep_file(const char*) {}

// ---- settings store: none; the core options are the settings ------------------------------
bool platform_settings_open(const char*) { return false; }
bool platform_settings_read(const char*, uint32_t*) { return false; }
bool platform_settings_write(const char*, uint32_t) { return false; }
bool platform_settings_read_text(const char*, char*, size_t) { return false; }
bool platform_settings_write_text(const char*, const char*) { return false; }
void platform_settings_close() {}

// ---- AVI file: none (the front end records video) ----------------------------------------
bool platform_avi_init() { return false; }
void platform_avi_exit() {}
bool platform_avi_open(const char*) { return false; }
bool platform_avi_create_video(int32_t, int32_t, uint32_t, uint32_t, uint32_t) { return false; }
bool platform_avi_choose_compressor(bool) { return false; }
bool platform_avi_set_video_format(const FrameBitmap*, uint32_t) { return false; }
void platform_avi_set_video_rate(uint32_t, uint32_t) {}
bool platform_avi_create_audio() { return false; }
bool platform_avi_write_video(uint32_t, const uint8_t*, uint32_t) { return false; }
bool platform_avi_write_audio(uint32_t, const uint8_t*, uint32_t) { return false; }
void platform_avi_release_audio() {}
void platform_avi_release_streams() {}
bool platform_avi_write_data(const char*, const uint8_t*, uint32_t) { return false; }
bool platform_avi_close(uint32_t* framesInFile) {
  if (framesInFile) *framesInFile = 0;
  return false;
}

// ---- console: none (no interactive monitor) ----------------------------------------------
bool platform_console_open(const char*) { return false; }
void platform_console_close() {}
int platform_console_width() { return 80; }
bool platform_console_read_line(char*, int) { return false; }
void platform_console_write(const char*) {}
void platform_console_set_attribute(int) {}

// ---- script lines: as from the keyboard and the menu --------------------------------------
void platform_script_key(int vk, bool down) { host_key_typed(vk, down); }
void platform_script_command(int id) { window_on_command(id); }
std::string platform_script_dialog_text(HostDialog) { return {}; }
