// The machine's side of the one-bit sound output: the Tarvik output latch
// moved by reads of 0xE000-0xEFFF and the Veltra-16 77 us pulses.
#pragma once

#include <cstdint>

extern uint8_t tarvikOutputLatch; // 0 or 0x80
extern int64_t pulseEnd;          // end of the running Veltra-16 pulse, 0 = none

// Tarvik: a read of 0xE000-0xEFFF; address bit 7 is the new output level.
void tarvik_output_level(uint16_t address);
// Veltra-16: a write to 0x3Cxx starts a pulse.
void veltra_pulse_start();
// Veltra-16: closes a pulse that ended before now (end of a frame).
void veltra_pulse_frame_end();
// No pulse pending, latch 0, beeper reset and registered.
void beeper_output_reset();

// "BEEP": the Tarvik output latch, the running Veltra-16 pulse and the
// beeper's level.
class StateWriter;
class StateReader;
void beeper_output_state_save(StateWriter& w);
bool beeper_output_state_load(StateReader& r, bool apply);
