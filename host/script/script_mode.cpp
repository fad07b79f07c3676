#include "host/script/script_mode.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/platform_script.h"
#include "host/script/script_queue.h"
#include "host/ui/file_dialogs.h"

namespace {

bool active;

// The program's name as started, without folder and ".exe".
std::string program_name(const char* path) {
  std::string name = path ? path : "tarvik";
  size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0)
    name.resize(name.size() - 4);
  return name;
}

// The script's answer to a dialog: false (logged) for a cancel. The address
// panel's fields are logged as offered and take the script's values.
bool scripted_answer(const char* title, char* name, size_t size, AddressPanel* panel) {
  char start[6] = "", end[6] = "";
  if (panel) script_log("dialog: %s: fields %s %s", title, panel->start, panel->end);
  std::string chosen;
  int answer = script_queue_take_answer(&chosen, start, end);
  if (panel && start[0]) {
    std::memcpy(panel->start, start, sizeof start);
    std::memcpy(panel->end, end, sizeof end);
  }
  if (answer != 1 || chosen.size() + 1 > size) {
    script_log("dialog: %s: cancelled", title);
    return false;
  }
  std::memcpy(name, chosen.c_str(), chosen.size() + 1);
  return true;
}

} // namespace

bool script_mode_arguments(int argc, const char* const* argv, std::vector<const char*>* args) {
  for (int i = 0; i < argc; ++i) {
    if (i > 0 && std::strcmp(argv[i], "/script") == 0 && i + 1 < argc) {
      if (!script_queue_open(argv[++i])) {
        std::fprintf(stderr, "%s: cannot open the script %s\n", program_name(argv[0]).c_str(),
                     argv[i]);
        return false;
      }
      active = true;
      continue;
    }
    args->push_back(argv[i]);
  }
  return true;
}

bool script_mode_active() { return active; }
void script_mode_reset() { active = false; }

void script_log(const char* format, ...) {
  if (!active) return;
  char line[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  std::fprintf(stderr, "%s\n", line);
  std::fflush(stderr);
}

void host_set_title(const char* text) {
  platform_set_title(text);
  script_log("title: %s", text);
}

void host_message_box(const char* caption, const char* text, int icon) {
  // Nobody is there to press OK: the script run logs it instead.
  if (active)
    script_log("message box: %s: %s", caption ? caption : "", text);
  else
    platform_message_box(caption, text, icon);
}

void host_message_box_modeless(const char* caption, const char* text, int icon) {
  if (active)
    script_log("message box: %s: %s", caption ? caption : "", text);
  else
    platform_message_box_modeless(caption, text, icon);
}

bool host_file_dialog(const FileDialogKind* kind, char* name, size_t size, AddressPanel* panel) {
  if (!active) return platform_file_dialog(kind, name, size, panel);
  if (!kind || size == 0) return false;
  const char* title = kind->title ? kind->title : "";
  if (!scripted_answer(title, name, size, panel)) return false;
  const char* extension = file_dialog_extension_for(kind, name, panel ? panel->filterIndex : 1);
  if (extension && std::strlen(name) + std::strlen(extension) < size) std::strcat(name, extension);
  script_log("dialog: %s: %s", title, name);
  return true;
}

bool host_save_file_dialog(const char* title, const char* filter, const char* defaultExtension,
                           char* path, size_t pathSize) {
  if (!active) return platform_save_file_dialog(title, filter, defaultExtension, path, pathSize);
  if (pathSize == 0) return false;
  path[0] = '\0';
  if (!scripted_answer(title, path, pathSize, nullptr)) {
    path[0] = '\0';
    return false;
  }
  if (!file_name_add_extension(path, pathSize, defaultExtension)) return false;
  script_log("dialog: %s: %s", title, path);
  return true;
}

void host_modal_dialog(HostDialog dialog) {
  // The dialog is made and read back, and closes at once.
  if (active)
    script_log("%s", platform_script_dialog_text(dialog).c_str());
  else
    platform_modal_dialog(dialog);
}

bool script_console_open(const char* title) {
  if (!active) return platform_console_open(title);
  script_log("console: %s", title);
  return true;
}

bool script_console_read_line(char* buffer, int size) {
  if (!active) return platform_console_read_line(buffer, size);
  if (!buffer || size <= 0) return false;
  buffer[0] = '\0';
  // The script types the lines; when it has none left, the input has ended.
  if (!script_queue_take_console_line(buffer, size)) return false;
  script_log("console input: %s", buffer);
  return true;
}

void script_console_write(const char* text) {
  if (!active) return platform_console_write(text);
  if (!text) return;
  std::string line = text;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  if (!line.empty()) script_log("console: %s", line.c_str());
}

void script_monitor_draw(const char* const* rows, int count, int separatorRow) {
  platform_monitor_draw(rows, count, separatorRow);
  if (count > 0 && rows[0]) script_log("monitor: %s", rows[0]);
}
