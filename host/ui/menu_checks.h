// The check marks of the menu items, kept by the host: each mark is set
// here, which records it and has the platform draw it. The marks follow the
// host's state; a command that toggles a switch of its own (the WAV
// Play/Record switch, the sound recording) reads it back from here, never
// from a widget.
#pragma once

// Sets an item's mark and shows it in the menu bar.
void menu_set_checked(int id, bool checked);
// The mark as last set (false for an item never set or not in the menu).
bool menu_checked(int id);
// Every mark off, as at program start (the menu bar is not redrawn).
void menu_clear_checks();
