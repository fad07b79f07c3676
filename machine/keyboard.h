// The keyboard matrices and the positional and symbolic key mapping.
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

// The key map for the help: every key of a model's matrix with its legend
// and the host keys that press it in a mode, read from the same tables as
// the matrix reads above, so that the two never disagree.
struct KeyMapHost {
  uint8_t virtualKey; // the host key, or 0 for a character
  uint8_t character;  // symbolic mode: a code page 1250 character, pressed
                      // by whatever the host layout types it with
};
struct KeyMapEntry {
  uint8_t index;      // Tarvik: 4 * column + bit; Veltra-16: 8 * row + bit
  const char* legend; // UTF-8, as on the key: "shifted/plain" where it has two
  uint8_t hostCount;  // 0: no host key reaches it
  KeyMapHost host[4]; // the plain entry first
  bool automatic;     // symbolic mode: pressed by the emulator for a
                      // character typed with Shift
};
constexpr int kKeyMapMost = 64;
// Fills entries (room for kKeyMapMost) for the model (a MachineModel) and
// mode; returns how many.
int keyboard_key_map(uint32_t model, bool symbolic, KeyMapEntry* entries);
