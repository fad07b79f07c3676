// What a screen reader is told of the character screen: the whole screen
// as lines of UTF-8 text, the lines that are new since the last look, and
// the cursor's place. Hungarian letters come out as their Unicode letters,
// block graphics (and so the Tarvik's block cursor) as nothing.
//
// A look (screen_reader_look) reads the screen through the clipboard's
// text copy and compares it with the previous look row by row, allowing
// for a scroll: lines that only moved up are not new, a line that grew at
// its end gives only what it gained, and lines that became blank say
// nothing. The buffers are fixed; a look allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>

enum : size_t {
  SCREEN_READER_ROWS = 32,
  // A row of 64 characters of up to 2 bytes each in UTF-8, and a terminator.
  SCREEN_READER_ROW_BYTES = 64 * 2 + 1,
  SCREEN_READER_TEXT_MAX = SCREEN_READER_ROWS * SCREEN_READER_ROW_BYTES,
};

// Forgets the previous look: the next one finds every non-blank line new.
void screen_reader_reset();
// Reads the screen now; true when its text changed (some lines may be new:
// screen_reader_news).
bool screen_reader_look();
// The new lines of the last look, each ended by "\n"; "" when none.
const char* screen_reader_news();
// The screen of the last look: one line a row, trailing spaces removed,
// each ended by "\n". *length gets its length in bytes when not null.
const char* screen_reader_text(size_t* length);
// The last look's number of rows, and the bytes of its text before a row
// (0 based; the rows' count gives the whole length).
int screen_reader_rows();
size_t screen_reader_row_offset(int row);
// Whether the last look found new text in the row (0 based), and where in
// screen_reader_text it begins; it ends at the row's end.
bool screen_reader_row_news(int row, size_t* start);
// The cursor's place now (1 based), as in the picture; false when the
// screen shows no cursor.
bool screen_reader_cursor(int* row, int* column);
// The cursor's place as a sentence: "sor 4, oszlop 3", or "nincs kurzor".
// Returns its length.
size_t screen_reader_cursor_text(char* out, size_t size);
