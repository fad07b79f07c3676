// The screen for a screen reader: lines of text, what is new in them, and
// the cursor's place.
#include "host/output/screen_reader.h"

#include <cstdio>
#include <cstring>

#include "host/output/clipboard.h"
#include "host/ui/cp1250.h"
#include "machine/machine.h"
#include "machine/memory.h"

namespace {

struct Row {
  char text[SCREEN_READER_ROW_BYTES]; // UTF-8, trailing spaces removed
  uint16_t length;
  uint32_t hash;
};

// The two looks compared: rows[current] is the last, the other the one
// before it.
Row rows[2][SCREEN_READER_ROWS];
int current;
int rowCount;
bool looked;
char raw[CLIPBOARD_SCREEN_TEXT_MAX];
char news[SCREEN_READER_TEXT_MAX + 1];
char screen[SCREEN_READER_TEXT_MAX + 1];
size_t screenLength;
size_t rowOffsets[SCREEN_READER_ROWS + 1];
// The rows with new text, and where in its row that text begins (bytes).
uint32_t newRows;
uint8_t newFrom[SCREEN_READER_ROWS];

uint32_t hash_of(const char* text, size_t length) {
  uint32_t h = 2166136261u;
  for (size_t i = 0; i < length; ++i) h = (h ^ static_cast<uint8_t>(text[i])) * 16777619u;
  return h;
}

// One row of the clipboard copy (code page 1250) as UTF-8. The copy gives
// block graphics as 128-159, where the code page has no letter the screen
// shows (its own Ú and Ű come as 218 and 219): they are left out, as the
// no-break space of the blank codes becomes a space.
void convert_row(const char* in, int columns, Row* row) {
  char* out = row->text;
  size_t length = 0, kept = 0;
  for (int x = 0; x < columns; ++x) {
    const uint8_t byte = static_cast<uint8_t>(in[x]);
    if (byte >= 128 && byte < 160) continue;
    uint32_t code = byte == 0xA0 ? ' ' : cp1250_to_unicode(byte);
    if (code < 32 || code == 0xFFFD) continue;
    if (code < 0x80) {
      out[length++] = static_cast<char>(code);
    } else {
      out[length++] = static_cast<char>(0xC0 | code >> 6);
      out[length++] = static_cast<char>(0x80 | (code & 0x3F));
    }
    if (code != ' ') kept = length;
  }
  out[kept] = 0;
  row->length = static_cast<uint16_t>(kept);
  row->hash = hash_of(out, kept);
}

bool same(const Row& a, const Row& b) {
  return a.hash == b.hash && a.length == b.length && std::memcmp(a.text, b.text, a.length) == 0;
}

// How far the screen moved up since the previous look: the shift under
// which most non-blank rows of the new look match the old ones, if it
// matches more than no shift does.
int scroll_of(const Row* before, const Row* now, int count) {
  int best = 0, bestMatches = -1;
  for (int shift = 0; shift < count; ++shift) {
    int matches = 0;
    for (int y = 0; y + shift < count; ++y)
      if (now[y].length > 0 && same(now[y], before[y + shift])) ++matches;
    if (matches > bestMatches) {
      best = shift;
      bestMatches = matches;
    }
  }
  return bestMatches > 0 ? best : 0;
}

void append(char** p, const char* text, size_t length) {
  std::memcpy(*p, text, length);
  *p += length;
  *(*p)++ = '\n';
}

} // namespace

void screen_reader_reset() {
  looked = false;
  news[0] = 0;
  screen[0] = 0;
  screenLength = 0;
  rowCount = 0;
  newRows = 0;
}

bool screen_reader_look() {
  const size_t length = clipboard_screen_text(raw, sizeof raw);
  if (length == 0) return false;
  // Rows of columns + CR LF, then the terminator.
  int columns = 0;
  while (raw[columns] != 13) ++columns;
  const int count = static_cast<int>((length - 1) / static_cast<size_t>(columns + 2));
  const Row* before = rows[current];
  current ^= 1;
  Row* now = rows[current];
  char* s = screen;
  for (int y = 0; y < count; ++y) {
    convert_row(raw + static_cast<size_t>(y) * (columns + 2), columns, &now[y]);
    rowOffsets[y] = static_cast<size_t>(s - screen);
    append(&s, now[y].text, now[y].length);
  }
  rowOffsets[count] = static_cast<size_t>(s - screen);
  *s = 0;
  screenLength = static_cast<size_t>(s - screen);
  // A change of model gives another geometry: everything is new.
  const bool compare = looked && count == rowCount;
  rowCount = count;
  looked = true;
  const int shift = compare ? scroll_of(before, now, count) : 0;
  char* p = news;
  newRows = 0;
  bool changed = !compare;
  for (int y = 0; y < count; ++y) {
    const Row& row = now[y];
    if (compare && !same(row, before[y])) changed = true;
    if (row.length == 0) continue;
    const Row* old = compare && y + shift < count ? &before[y + shift] : nullptr;
    if (old && same(row, *old)) continue;
    // A look taken while the firmware was still moving the rows up saw the
    // rows above the one it was moving a line further on than those below:
    // a row one line off the screen's shift is not new either.
    if (compare && ((y + shift + 1 < count && same(row, before[y + shift + 1])) ||
                    (shift > 0 && y + shift - 1 < count && same(row, before[y + shift - 1]))))
      continue;
    // A line typed or printed on gives only its new end.
    size_t from = 0;
    if (old && old->length > 0 && old->length < row.length &&
        std::memcmp(old->text, row.text, old->length) == 0)
      from = old->length;
    while (from < row.length && row.text[from] == ' ') ++from;
    newRows |= 1u << y;
    newFrom[y] = static_cast<uint8_t>(from);
    append(&p, row.text + from, row.length - from);
  }
  *p = 0;
  return changed;
}

const char* screen_reader_news() { return news; }

const char* screen_reader_text(size_t* length) {
  if (length) *length = screenLength;
  return screen;
}

int screen_reader_rows() { return rowCount; }

size_t screen_reader_row_offset(int row) {
  if (row < 0 || rowCount == 0) return 0;
  return rowOffsets[row < rowCount ? row : rowCount];
}

bool screen_reader_row_news(int row, size_t* start) {
  if (row < 0 || row >= rowCount || !(newRows >> row & 1)) return false;
  *start = rowOffsets[row] + newFrom[row];
  return true;
}

bool screen_reader_cursor(int* row, int* column) {
  if (model() == MODEL_VELTRA16) {
    // The cell the firmware blinks (its picture's top left is 0xC001).
    const int offset = (memory[0x400A] | memory[0x400B] << 8) - 0xC001;
    if (offset < 0 || offset >= 25 * 40) return false;
    *row = offset / 40 + 1;
    *column = offset % 40 + 1;
    return true;
  }
  const int offset =
      ((memory[0x4000] | memory[0x4001] << 8 | machineState.screenMode32) & 0xFFFF) - 0xF800;
  if (offset < 0) return false;
  *row = offset / 64 + 1;
  *column = (machineState.screenMode32 == 1 ? offset % 64 / 2 : offset % 64) + 1;
  return true;
}

size_t screen_reader_cursor_text(char* out, size_t size) {
  int row = 0, column = 0;
  const int n = screen_reader_cursor(&row, &column)
                    ? std::snprintf(out, size, "sor %d, oszlop %d", row, column)
                    : std::snprintf(out, size, "nincs kurzor");
  if (n < 0) return 0;
  return static_cast<size_t>(n) < size ? static_cast<size_t>(n) : size > 0 ? size - 1 : 0;
}
