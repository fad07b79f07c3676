// Automation mode ("/script FILE"): the script lines of host/script.h run
// between window messages. Keys take the path of keys from the keyboard
// (accelerators, then the host's keys); commands are posted as menu
// commands. Message boxes, dialogs and console lines are answered from the
// script and logged to standard error.
#include <cstdarg>
#include <cstdio>

#include "host/gtk/gtk_host.h"
#include "host/platform.h"
#include "host/platform_script.h"
#include "host/script_queue.h"

namespace {

void log_line(const char* line) { gui_log("%s", line); }

const ScriptQueueActions kActions = {gui_key, gui_post_command, platform_post_quit, log_line};

} // namespace

void gui_log(const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  std::fprintf(stderr, "%s\n", line);
  std::fflush(stderr);
}

bool gui_script_mode() { return script_queue_active(); }
bool gui_script_start(const char* path) { return script_queue_start(path); }
bool gui_script_step(bool wait, bool* runFrame) {
  return script_queue_step(wait, runFrame, kActions);
}
int gui_script_dialog_answer(char* name, size_t size, char* start, char* end) {
  return script_queue_dialog_answer(name, size, start, end);
}
bool gui_script_console_line(char* buffer, int size) {
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
