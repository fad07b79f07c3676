// Opening a file of a kind: the load of the layer below, the recent files
// on success, the box on failure where the route shows one.
#include "host/store/open_file.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/platform.h"
#include "host/script/script_mode.h"
#include "machine/memory.h"
#include "media/machine_state.h"
#include "media/messages.h"
#include "media/snapshot.h"
#include "media/tape.h"
#include "media/wav_tape.h"

namespace {

void state_loaded_nothing(const char*, const char*) {}
OpenFileHooks hooks = {state_loaded_nothing};

// Why the last machine state did not load, or its remark when it did.
char stateReason[256];

// The load itself; *failure is the text of the box that reports a failure.
bool load(RecentKind kind, const char* path, const char** failure) {
  *failure = MEDIA_LOAD_FAILED;
  switch (kind) {
  case RECENT_STATE_LOAD:
    *failure = stateReason;
    if (!machine_state_load_file(path, stateReason, sizeof stateReason)) return false;
    hooks.stateLoaded(path, stateReason);
    return true;
  case RECENT_TAPE_ATTACH: return tape_attach(path);
  case RECENT_AUTOLOAD: return tape_autoload(path);
  case RECENT_WAV_ATTACH: return wav_menu_attach(path);
  case RECENT_SNAPSHOT_LOAD:
    *failure = SNAPSHOT_LOAD_FAILED;
    return snapshot_load(path, memory + 0x4000);
  }
  return false;
}

} // namespace

void open_file_set_hooks(const OpenFileHooks& set) { hooks = set; }

bool open_file_as(RecentKind kind, const char* path) {
  const char* failure;
  if (load(kind, path, &failure)) {
    recent_files_add(kind, path);
    return true;
  }
  host_message_box(MEDIA_ERROR_CAPTION, failure, PLATFORM_ICON_STOP);
  return false;
}

bool open_file_quietly(RecentKind kind, const char* path) {
  const char* failure;
  if (!load(kind, path, &failure)) return false;
  recent_files_add(kind, path);
  return true;
}

void open_recent_file(int index) {
  RecentKind kind;
  const char* stored;
  if (!recent_files_entry(index, &kind, &stored)) return;
  std::string path = stored;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    std::fclose(f);
    open_file_as(kind, path.c_str());
    return;
  }
  recent_files_remove(index);
  std::vector<char> text(std::strlen(RECENT_FILE_GONE) + path.size() + 1);
  std::snprintf(text.data(), text.size(), RECENT_FILE_GONE, path.c_str());
  host_message_box(MEDIA_ERROR_CAPTION, text.data(), PLATFORM_ICON_STOP);
}

bool open_file_kind_by_name(const char* path, RecentKind* kind) {
  const char* dot = std::strrchr(path, '.');
  if (!dot) return false;
  if (std::strncmp(dot, ".wav", 4) == 0)
    *kind = RECENT_WAV_ATTACH;
  else if (std::strncmp(dot, ".tkt", 4) == 0)
    *kind = RECENT_AUTOLOAD;
  else if (std::strncmp(dot, ".tks", 4) == 0)
    *kind = RECENT_SNAPSHOT_LOAD;
  else if (std::strncmp(dot, ".tkm", 4) == 0)
    *kind = RECENT_STATE_LOAD;
  else
    return false;
  return true;
}
