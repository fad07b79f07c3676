// Restarting the real-time pacing. Every command, paint, resize and modal
// loop (the interactive monitor among them) calls pacing_reset, so that the
// emulation goes on from "now" and does not run a burst of frames to catch
// up the time that passed meanwhile.
#pragma once

#include <cstdint>

// Requests so far; the main loop compares it with the count it last saw.
extern uint32_t pacingResetCount;

// Asks the main loop to restart its frame deadline and statistics from the
// current time.
void pacing_reset();
// True once after one or more pacing_reset calls: the main loop calls it
// before it sleeps or runs a frame, and restarts its clock when it is true.
bool pacing_take_reset();
