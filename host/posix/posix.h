// What the GTK, web and headless platforms share: the signals that end a run
// (end_requests.cpp), the settings file and the user's data folder
// (settings_store.cpp, not on the web) and the AVI writer (avi_file.cpp).
// The calls here are the ones a program or a test makes to choose them.
#pragma once

#include <cstdint>

// ---- AVI file ---------------------------------------------------------------------
// The size past which the file goes on in a new RIFF part (0: 1 GiB).
void posix_avi_set_part_limit(uint64_t bytes);
// Tests of large files: the next sample follows a JUNK chunk of this many
// bytes that are never written (a hole in a sparse file).
void posix_avi_insert_gap(uint64_t bytes);

// ---- settings store -------------------------------------------------------------
// The settings file; without one, $XDG_CONFIG_HOME/tarvik/settings.ini (or
// ~/.config/tarvik/settings.ini).
void posix_set_settings_file(const char* path);
// No settings store at all: every run starts from the defaults and nothing
// is written (tarvik-cli without --settings). posix_set_settings_file
// chooses a file again.
void posix_set_no_settings_file();
// The user's data folder (quick snapshots); without one,
// $XDG_DATA_HOME/tarvik (or ~/.local/share/tarvik).
void posix_set_data_folder(const char* path);
