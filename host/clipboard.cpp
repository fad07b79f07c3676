// Copying the screen to the clipboard and pasting clipboard text as keys.
#include "host/clipboard.h"

#include <cstring>

#include "host/platform.h"
#include "machine/keyboard.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "machine/printer.h"

// The screen's codes become code page 1250 by the same table as the
// printer's national character set.
uint8_t clipboard_translate(uint8_t code) { return printer_translate_cp1250(code); }

size_t clipboard_screen_text(char* out, size_t size) {
  bool veltra = model() == MODEL_VELTRA16;
  int rows = veltra ? 25 : 32;
  int columns = veltra ? 40 : 64;
  uint32_t base = veltra ? 0xC000 : 0xF800;
  size_t length = static_cast<size_t>(rows) * (columns + 2) + 1;
  if (size < length) return 0;
  char* p = out;
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < columns; ++x)
      *p++ = static_cast<char>(clipboard_translate(memory[base + y * columns + x]));
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

void clipboard_input_language_changed() {
  platform_clear_key_state();
  paste_drop();
}
