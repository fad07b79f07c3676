// Quick snapshots in the user's data folder, one slot per model.
#include "host/core/quick_snapshot.h"

#include <cctype>
#include <cerrno>
#include <cstdio>

#include "host/output/status.h"
#include "host/platform.h"
#include "host/script/script_mode.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "media/messages.h"
#include "media/snapshot.h"

namespace {

const char* slot_name() { return modelTable[model()].statusLabel; }

void failure_box(const char* format) {
  char text[200];
  std::snprintf(text, sizeof text, format, slot_name());
  host_message_box(MEDIA_ERROR_CAPTION, text, PLATFORM_ICON_STOP);
}

} // namespace

bool quick_slot_path(char* path, size_t size) {
  char folder[1024];
  if (!platform_data_folder(folder, sizeof folder)) return false;
  char file[32] = "quick-";
  size_t n = 6;
  for (const char* p = slot_name(); *p && n + 5 < sizeof file; ++p)
    file[n++] = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  file[n] = '\0';
  int written = std::snprintf(path, size, "%s%c%s.tks", folder, platform_path_separator(), file);
  return written > 0 && static_cast<size_t>(written) < size;
}

void quick_save() {
  char path[1100];
  if (!quick_slot_path(path, sizeof path) || !snapshot_save(path, memory + 0x4000)) {
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
  std::FILE* f = std::fopen(path, "rb");
  if (!f) {
    if (errno == ENOENT) {
      status_message(QUICK_EMPTY, slot_name());
      return;
    }
    failure_box(QUICK_LOAD_FAILED);
    return;
  }
  std::fclose(f);
  if (!snapshot_load(path, memory + 0x4000)) {
    failure_box(QUICK_LOAD_FAILED);
    return;
  }
  platform_invalidate(false);
  status_message(QUICK_LOADED, slot_name());
}
