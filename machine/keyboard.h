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
