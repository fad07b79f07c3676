// Complete machine states in files: the quick slots, where one key saves
// the running machine into the current model's slot and another loads it
// back, and the state files the menu saves and loads. A slot is a state
// file (".tkm") in the user's data folder, named after the model
// ("quick-tarvik4.tkm"); the slot is named in messages by the model's
// status-bar label. A slot kept as a TKS snapshot by an earlier version
// ("quick-tarvik4.tks") still loads while the model has no state slot.
#pragma once

#include <cstddef>

inline constexpr const char* QUICK_SAVED = "Gyors mentés: a %s rekesz lementve.";
inline constexpr const char* QUICK_LOADED = "Gyors betöltés: a %s rekesz betöltve.";
inline constexpr const char* QUICK_EMPTY = "Gyors betöltés: a %s rekesz üres, nincs mit betölteni.";
inline constexpr const char* QUICK_SAVE_FAILED =
    "A gyors mentés sikertelen (%s rekesz); a korábbi mentés megmaradt.";
inline constexpr const char* QUICK_LOAD_FAILED = "A gyors betöltés sikertelen (%s rekesz).";
inline constexpr const char* STATE_SAVED = "Gépállapot mentve: %s";
inline constexpr const char* STATE_LOADED = "Gépállapot betöltve: %s";

// The current model's slot file ("tkm" or the earlier "tks"); false when
// there is no data folder.
bool quick_slot_path(char* path, size_t size, const char* extension = "tkm");
// Saves into the slot (through a temporary file: a failed save keeps the old
// one) and confirms in the status bar, or says it failed.
void quick_save();
// Loads the slot and confirms in the status bar; an empty slot changes
// nothing and says so; a slot that does not load says why and changes
// nothing.
void quick_load();
// The menu's state file commands: the file asked for, then saved or loaded.
void state_save_command();
void state_load_command();
// Loads a state file as every route opens one (host/store/open_file.h: it
// joins the recent files); false after saying why in a box.
bool state_load_file(const char* path);
// After a state file loaded: the window follows the machine, the status bar
// confirms or gives the load's remark (the open-file hook).
void state_file_loaded(const char* path, const char* remark);
