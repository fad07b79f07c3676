// Opening a file of a kind (a tape attached or autoloaded, a WAV tape
// attached, a snapshot or a machine state loaded), the same by every route: a menu command's
// dialog, the recent files' menu, the command line, a file dropped on the
// window, the web page's picker. A file that opens goes to the top of the
// recent files.
#pragma once

#include "host/store/recent_files.h"

// Opens path the way kind says; on failure the user sees the command's
// message box. True on success.
bool open_file_as(RecentKind kind, const char* path);
// The same without the box: the load's own status-bar text is all the user
// sees of a failure (a dropped file, the command line's tapes).
bool open_file_quietly(RecentKind kind, const char* path);
// The recent files' menu item of entry index (0 = newest): opens it again
// its way; a file that is gone leaves the list, and the user is told.
void open_recent_file(int index);
// The way the command line opens a file, by its name's ending: ".wav" a WAV
// tape, ".tkt" a tape autoloaded, ".tks" a snapshot, ".tkm" a machine
// state. False for any other name.
bool open_file_kind_by_name(const char* path, RecentKind* kind);

// What the host does once a machine state has loaded: the window follows
// the machine, and the status bar says so (or gives the load's remark, such
// as a WAV tape that is gone). Set at start-up; does nothing until then.
struct OpenFileHooks {
  void (*stateLoaded)(const char* path, const char* remark);
};
void open_file_set_hooks(const OpenFileHooks& hooks);
