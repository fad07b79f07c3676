// The MEA8000 speech synthesizer of the Dorvane (model 2), on ports 0xF8
// (data) and 0xF9 (control); heard as the sound source "MEA8000".
#pragma once

#include <cstdint>

// Started when model 2 is selected (or brought up): tables built, source
// registered, watchdog (timed event 1) added. Stopped for any other model.
void mea_start();
void mea_stop();
uint8_t mea_read(uint8_t port);
void mea_write(uint8_t port, uint8_t value);
