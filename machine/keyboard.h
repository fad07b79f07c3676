// The keyboard matrices, positional and symbolic key mapping, and pasting
// text as typed keys through the key-input ROM trap.
#pragma once

#include <cstddef>
#include <cstdint>

#include "machine/virtual_keys.h"

// Reads left for which the emulated Shift keys are reported down in
// symbolic mode.
extern int32_t shiftHold;

// Tarvik column read (address AND 0x0F): pressed keys as 0 bits, bits 4-7 = 1.
uint8_t keyboard_read_column(uint16_t address);
// Veltra-16: the OR of the rows selected by 1 bits, pressed keys as 1 bits.
uint8_t keyboard_read_rows(uint8_t selector);
// Rebuilds the symbolic translation for the current model and clears the
// host key state.
void keyboard_set_mode(uint32_t symbolic);

// Paste: the text (code page 1250) is typed through the key-input routine.
// False when there is nothing to paste.
bool paste_begin(const char* text, size_t length);
// The trap handler: delivers the next key.
void paste_next(uint32_t* trapNumber);
bool paste_active();
// Drops the rest of the text; the trap removes itself when next reached.
void paste_drop();
// Ends a paste at once and puts the ROM bytes back (before a memory reset).
void paste_cancel();
// Character translations used by paste_next.
uint8_t paste_translate_tarvik(uint8_t c);
uint8_t paste_translate_veltra(uint8_t c);
