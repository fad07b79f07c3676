// The clipboard commands: the character screen copied as code page 1250
// text, and clipboard text typed into the machine.
#pragma once

#include <cstddef>
#include <cstdint>

// The text byte of a screen code (Hungarian letters to code page 1250,
// block graphics to 128-159).
uint8_t clipboard_translate(uint8_t code);
// The text byte of a Veltra-16 screen code: the characters its keys and a
// paste give, Hungarian capitals in code page 1250, the cursor's inverse
// cell as its character, block graphics to 128-143, blank codes as spaces.
uint8_t clipboard_translate_veltra(uint8_t code);
// The current model's screen as text, as its picture shows it: rows of
// translated codes (32 columns in the 32-column mode, the cursor as the code
// it covers), each ended by CR LF, and a terminating zero. Returns the
// length with the terminator (rows x (columns + 2) + 1), or 0 when size is
// too small.
size_t clipboard_screen_text(char* out, size_t size);
// Largest text of clipboard_screen_text (32 rows of 64 columns).
enum : size_t { CLIPBOARD_SCREEN_TEXT_MAX = 32 * 66 + 1 };
// "Karaktermátrix a &vágólapra" (Alt+C).
void clipboard_copy_screen();
// "&Beszúrás vágólapról" (Alt+V).
void clipboard_paste();
