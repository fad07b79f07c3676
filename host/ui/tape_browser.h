// The tape browser's texts: the dialog (a panel on the web page) that lists
// the blocks of the tape in the deck (media/tape_list.h), shows where the
// tape stands and winds it to a chosen block.
#pragma once

#include <cstddef>
#include <string>

extern const char* const tapeBrowserTitle;
// The list's columns: number, name, address range, length, checksum.
enum { TAPE_BROWSER_COLUMNS = 5 };
extern const char* const tapeBrowserColumns[TAPE_BROWSER_COLUMNS];
extern const char* const tapeBrowserWind;  // "&" marks the mnemonic
extern const char* const tapeBrowserClose; // the button that closes the dialog
// The file and its kind above the list: "adat.tkt (TKT, 2 blokk)", or the
// list's notice when it is empty.
std::string tape_browser_heading();
// Row `index` of the list, the columns in order (the number counts from 1).
void tape_browser_columns(size_t index, std::string (&columns)[TAPE_BROWSER_COLUMNS]);
// The dialog as one line for script logs and the headless program:
// "dialog: Kazetta blokkjai | heading | position | 1 NAME 4100-413F 64 jó | ...".
std::string tape_browser_text();
