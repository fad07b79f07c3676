// The port routines: 64 KB paging, character-set switch, the parallel
// interface's control words, the printer and the speech chip.
#pragma once

#include <cstdint>

struct PioChannel {
  uint8_t vector;
  uint8_t mode;             // 0-3
  uint8_t interruptControl; // upper nibble of the last interrupt-control word
  uint8_t expectDirection;  // the next byte is a direction mask
  uint8_t expectMask;       // the next byte is an interrupt mask
  uint8_t mask;             // the last mask value
};
extern PioChannel pioChannels[2]; // A, B

uint8_t port_in(uint8_t port);
void port_out(uint8_t port, uint8_t value);
void pio_reset();

// "PORT": the parallel interface's two channels.
class StateWriter;
class StateReader;
void ports_state_save(StateWriter& w);
bool ports_state_load(StateReader& r, bool apply);
