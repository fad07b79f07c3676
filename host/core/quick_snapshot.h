// Quick snapshots: one key saves the running machine into the current
// model's slot, another loads it back. A slot is an ordinary TKS file in the
// user's data folder, named after the model ("quick-tarvik4.tks"); the slot
// is named in messages by the model's status-bar label.
#pragma once

#include <cstddef>

inline constexpr const char* QUICK_SAVED = "Gyors mentés: a %s rekesz lementve.";
inline constexpr const char* QUICK_LOADED = "Gyors betöltés: a %s rekesz betöltve.";
inline constexpr const char* QUICK_EMPTY = "Gyors betöltés: a %s rekesz üres, nincs mit betölteni.";
inline constexpr const char* QUICK_SAVE_FAILED =
    "A gyors mentés sikertelen (%s rekesz); a korábbi mentés megmaradt.";
inline constexpr const char* QUICK_LOAD_FAILED = "A gyors betöltés sikertelen (%s rekesz).";

// The current model's slot file; false when there is no data folder.
bool quick_slot_path(char* path, size_t size);
// Saves into the slot (through a temporary file: a failed save keeps the old
// one) and confirms in the status bar, or says it failed.
void quick_save();
// Loads the slot and confirms in the status bar; an empty slot changes
// nothing and says so.
void quick_load();
