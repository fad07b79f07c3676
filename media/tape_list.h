// The tape browser's list: the blocks of the tape in the deck (an attached
// tape image, or a WAV tape being played, found by the recording decoder),
// where the tape stands among them, and winding to a block. The list is made
// once per file put in the deck; the platforms only show it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "media/tape_blocks.h"

enum TapeListKind : uint8_t { TAPE_LIST_NONE, TAPE_LIST_IMAGE, TAPE_LIST_WAV };

struct TapeList {
  TapeListKind kind = TAPE_LIST_NONE;
  std::string file;              // the tape file's name without its folder
  std::vector<TapeBlock> blocks; // without their data
  std::string notice;            // when there is no block: why, as a line for the user
};

// The list of the tape in the deck. The tape image the ROM's traps read
// comes first; else the WAV tape being played; else none.
const TapeList& tape_list();

enum TapePlaceKind : uint8_t { TAPE_PLACE_BEFORE, TAPE_PLACE_IN, TAPE_PLACE_AFTER_LAST };
struct TapePlace {
  uint64_t at = 0;  // byte offset or sample
  size_t block = 0; // the block it is in or before
  TapePlaceKind kind = TAPE_PLACE_BEFORE;
};
// Where the tape stands among the blocks of tape_list(); false when the list
// is empty.
bool tape_list_place(TapePlace* place);
// The place as a line: "Pozíció: 1234. bájt, a(z) 2. blokkban." (a WAV tape
// in seconds and samples), or the list's notice.
std::string tape_list_place_text();
// Winds the tape to the leader of block `index` of tape_list(). False, with
// nothing changed, when there is no tape or no such block.
bool tape_list_wind(size_t index);

// A block's columns as the browser shows them.
struct TapeListRow {
  std::string name;   // unprintable characters as '?'
  std::string range;  // "4100-413F"
  std::string length; // "64"
  const char* check;  // "jó", "hibás", or "csonka" for a block the tape ended in
};
TapeListRow tape_list_row(const TapeBlock& block);
