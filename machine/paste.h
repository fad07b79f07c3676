// Pasting text as typed keys through a trap on the ROM's key-input routine.
#pragma once

#include <cstddef>
#include <cstdint>

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

// Declares the paste's trap records for machine states (memory_connect).
void paste_connect();

// "PAST": a paste in progress: its text, how far it got, the character
// delivered last and which model's trap it uses.
class StateWriter;
class StateReader;
void paste_state_save(StateWriter& w);
bool paste_state_load(StateReader& r, bool apply);
