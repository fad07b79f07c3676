// The length of the frames that the scheduler runs.
#pragma once

#include <cstdint>

// T-states of one frame of the current model at its clock: 59 808 on the
// Tarvik models (50.16 frames a second at 3 MHz), 79 872 on the Veltra-16
// (50.08 at 4 MHz).
uint64_t frame_tstates();
