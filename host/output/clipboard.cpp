// Copying the screen to the clipboard and pasting clipboard text as keys.
#include "host/output/clipboard.h"

#include <cstring>

#include "host/platform.h"
#include "machine/keyboard.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "machine/paste.h"
#include "machine/printer.h"

// The screen's codes become code page 1250 by the same table as the
// printer's national character set.
uint8_t clipboard_translate(uint8_t code) { return printer_translate_cp1250(code); }

uint8_t clipboard_translate_veltra(uint8_t code) {
  // The cursor is its cell's code in inverse video.
  code &= 0x7F;
  if (code < 0x10) return static_cast<uint8_t>(code + 128);  // block graphics, as on the Tarvik
  if (code < 0x40) return static_cast<uint8_t>(code + 0x20); // "0" to "_"
  static const uint8_t kAccented[9] = {0xC1, 0xC9, 0xCD, 0xD3, 0xD6, 0xD5, 0xDA, 0xDC, 0xDB};
  if (code >= 0x41 && code <= 0x49) return kAccented[code - 0x41]; // Á É Í Ó Ö Ő Ú Ü Ű
  static const char kSigns[] = "^+-*/()=.,!\"#$%&'";
  if (code >= 0x60 && code <= 0x70) return static_cast<uint8_t>(kSigns[code - 0x60]);
  return ' '; // space, and the codes without a glyph
}

namespace {

// The Tarvik firmware's cursor: while shown (bit 7 of 0x4004) the cell at
// the address in 0x4000 holds the full block 0x0F and 0x4005 keeps the
// code it covers. Returns the cell's address, or 0 when no cursor shows.
uint32_t tarvik_cursor_cell(uint8_t* covered) {
  if (!(memory[0x4004] & 0x80)) return 0;
  const uint32_t address =
      (memory[0x4000] | memory[0x4001] << 8 | machineState.screenMode32) & 0xFFFF;
  if (address < 0xF800 || memory[address] != 0x0F) return 0;
  *covered = memory[0x4005];
  return address;
}

} // namespace

size_t clipboard_screen_text(char* out, size_t size) {
  const bool veltra = model() == MODEL_VELTRA16;
  // In 32-column mode the picture shows every second cell, the odd ones.
  const bool wide = !veltra && machineState.screenMode32 == 1;
  const int rows = veltra ? 25 : 32;
  const int columns = veltra ? 40 : wide ? 32 : 64;
  const int rowCells = veltra ? 40 : 64;
  const int step = wide ? 2 : 1;
  // The Veltra-16's picture shows character-RAM cell i in column (i - 1)
  // mod 40, so its top left corner is the cell at 0xC001.
  const uint32_t base = veltra ? 0xC001 : wide ? 0xF801 : 0xF800;
  size_t length = static_cast<size_t>(rows) * (columns + 2) + 1;
  if (size < length) return 0;
  // The cursor is no text: its cell copies as the code it covers. (The
  // Veltra-16's cursor is its cell inverted, which copies as the cell.)
  uint8_t covered = 0;
  const uint32_t cursor = veltra ? 0 : tarvik_cursor_cell(&covered);
  char* p = out;
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < columns; ++x) {
      const uint32_t address = base + static_cast<uint32_t>(y * rowCells + x * step);
      const uint8_t code = address == cursor ? covered : memory[address];
      *p++ =
          static_cast<char>(veltra ? clipboard_translate_veltra(code) : clipboard_translate(code));
    }
    *p++ = 13;
    *p++ = 10;
  }
  *p = 0;
  return length;
}

void clipboard_copy_screen() {
  if (!platform_clipboard_open()) return;
  char text[CLIPBOARD_SCREEN_TEXT_MAX];
  size_t length = clipboard_screen_text(text, sizeof text);
  platform_clipboard_set_text(text, length);
  platform_clipboard_close();
}

void clipboard_paste() {
  // paste_begin installs the key-input trap and takes a copy of the text;
  // without text there is nothing to type and no trap is needed.
  if (!platform_clipboard_open()) return;
  const char* text = platform_clipboard_text();
  if (text) paste_begin(text, std::strlen(text));
  platform_clipboard_close();
}
