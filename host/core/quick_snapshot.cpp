// Complete machine states in files: the quick slots and the state files.
#include "host/core/quick_snapshot.h"

#include <cctype>
#include <cerrno>
#include <cstdio>

#include "host/core/history.h"
#include "host/output/status.h"
#include "host/platform.h"
#include "host/script/script_mode.h"
#include "host/store/open_file.h"
#include "host/ui/file_dialogs.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "media/machine_state.h"
#include "media/messages.h"
#include "media/snapshot.h"

namespace {

const char* slot_name() { return modelTable[model()].statusLabel; }

void failure_box(const char* format, const char* reason = nullptr) {
  char text[400];
  int n = std::snprintf(text, sizeof text, format, slot_name());
  if (reason && *reason && n > 0 && static_cast<size_t>(n) < sizeof text)
    std::snprintf(text + n, sizeof text - n, "\n%s", reason);
  host_message_box(MEDIA_ERROR_CAPTION, text, PLATFORM_ICON_STOP);
}

bool exists(const char* path, bool* unreadable) {
  *unreadable = false;
  std::FILE* f = std::fopen(path, "rb");
  if (f) {
    std::fclose(f);
    return true;
  }
  *unreadable = errno != ENOENT;
  return false;
}

// A remark of a load (a WAV tape gone, another ROM set) in the status bar.
void loaded(const char* format, const char* name, const char* remark) {
  if (remark && *remark)
    status_message("%s", remark);
  else
    status_message(format, name);
}

} // namespace

bool quick_slot_path(char* path, size_t size, const char* extension) {
  char folder[1024];
  if (!platform_data_folder(folder, sizeof folder)) return false;
  char file[32] = "quick-";
  size_t n = 6;
  for (const char* p = slot_name(); *p && n + 5 < sizeof file; ++p)
    file[n++] = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  file[n] = '\0';
  int written =
      std::snprintf(path, size, "%s%c%s.%s", folder, platform_path_separator(), file, extension);
  return written > 0 && static_cast<size_t>(written) < size;
}

void quick_save() {
  char path[1100];
  if (!quick_slot_path(path, sizeof path) || !machine_state_save_file(path)) {
    failure_box(QUICK_SAVE_FAILED);
    return;
  }
  platform_keep_file(path);
  status_message(QUICK_SAVED, slot_name());
}

void quick_load() {
  char path[1100];
  if (!quick_slot_path(path, sizeof path)) {
    status_message(QUICK_EMPTY, slot_name());
    return;
  }
  bool unreadable;
  if (!exists(path, &unreadable)) {
    if (unreadable) {
      failure_box(QUICK_LOAD_FAILED);
      return;
    }
    // The snapshot slot of an earlier version, while there is no state slot.
    char old[1100];
    if (!quick_slot_path(old, sizeof old, "tks") || !exists(old, &unreadable)) {
      if (unreadable)
        failure_box(QUICK_LOAD_FAILED);
      else
        status_message(QUICK_EMPTY, slot_name());
      return;
    }
    if (!snapshot_load(old, memory + 0x4000)) {
      failure_box(QUICK_LOAD_FAILED);
      return;
    }
    history_machine_changed();
    platform_invalidate(false);
    status_message(QUICK_LOADED, slot_name());
    return;
  }
  const char* name = slot_name(); // the slot's model, before the load
  char reason[256];
  if (!machine_state_load_file(path, reason, sizeof reason)) {
    failure_box(QUICK_LOAD_FAILED, reason);
    return;
  }
  history_state_loaded();
  loaded(QUICK_LOADED, name, reason);
}

void state_save_command() {
  char name[1024] = "";
  if (!host_file_dialog(file_dialog_kind(FILE_DIALOG_STATE_SAVE), name, sizeof name, nullptr))
    return;
  if (!machine_state_save_file(name)) {
    host_message_box("Hiba!", MACHINE_STATE_SAVE_FAILED, PLATFORM_ICON_STOP);
    return;
  }
  platform_keep_file(name);
  status_message(STATE_SAVED, name);
}

void state_file_loaded(const char* path, const char* remark) {
  history_state_loaded();
  loaded(STATE_LOADED, path, remark);
}

bool state_load_file(const char* path) { return open_file_as(RECENT_STATE_LOAD, path); }

void state_load_command() {
  char name[1024] = "";
  if (!host_file_dialog(file_dialog_kind(FILE_DIALOG_STATE_LOAD), name, sizeof name, nullptr))
    return;
  state_load_file(name);
}
