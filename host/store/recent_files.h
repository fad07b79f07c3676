// The recent files: the last eight tapes, snapshots and machine states opened by any route
// (a file dialog, the command line, a dropped file), newest first, each with
// the way it was opened, so that the File menu's "&Legutóbbi file-ok" opens
// it again the same way. They are kept in the settings as the texts
// "RecentFile1" to "RecentFile8", each "KIND|full path".
#pragma once

#include <cstddef>

#include "host/store/settings.h"

enum RecentKind {
  RECENT_TAPE_ATTACH,
  RECENT_AUTOLOAD,
  RECENT_WAV_ATTACH,
  RECENT_SNAPSHOT_LOAD,
  RECENT_STATE_LOAD
};

inline constexpr int RECENT_FILES = 8;
// One entry as stored, with its terminator.
inline constexpr size_t RECENT_TEXT_SIZE = 512;

inline constexpr const char* RECENT_FILE_GONE =
    "A megadott file nem található, ezért lekerült a legutóbbi file-ok listájáról:\n%s";

// The settings entries of the list.
extern const SettingsEntry recentFileSettings[];

// A file opened successfully (host/store/open_file.h opens them, by every route):
// it goes to the top of the list; an entry with the same full path moves
// there instead, taking the new way.
void recent_files_add(RecentKind kind, const char* path);
// Entry index leaves the list; the rest close up.
void recent_files_remove(int index);
// After the settings were read: unusable texts are dropped, the rest close up.
void recent_files_loaded();
// The menu items follow the list.
void recent_files_show();
// Entry index; false when there is none.
bool recent_files_entry(int index, RecentKind* kind, const char** path);
void recent_files_clear();
