// Real-time pacing of the frames. Whatever held the program up outside the
// emulation (a command, a modal dialog) restarts the pacing, so that the
// time lost is not caught up by running frames back to back.
#pragma once

#include <cstdint>

void pacing_reset();
// Restarts requested so far; the main loop compares it with the count it
// has seen and restarts its clock when they differ.
extern uint32_t pacingResetRequests;
