// Real-time pacing of the main loop: 50 emulated frames per second of real
// time, presentation at the display's refresh rate, and the speed shown in
// the title every two seconds. Times are counter ticks of the platform clock.
#pragma once

#include <cstdint>

extern int64_t counterFrequency; // F: ticks per second
extern int64_t framePeriod;      // P = F / 50
extern uint32_t presentInterval; // F / refresh rate, halved without real-time pacing
extern int64_t frameDeadline;
extern int64_t nextPresentTime;
extern int64_t nextTitleTime;
extern uint32_t framesSinceTitle;
extern uint32_t presents;
extern uint32_t presentsAtTitle;

// What shows a frame when a presentation is due (present_frame of
// host/display.h, set at start-up).
void pacing_set_presenter(void (*present)(int full));
// Reads the refresh rate and the clock once at start-up and sets the
// intervals; SyncSpeed as loaded decides whether the present interval is
// halved.
void pacing_start();
// Starts pacing again from now, so that time spent outside the emulation
// (paused, in a dialog, in a menu) is never caught up.
void pacing_reset();
// Restarts so far (for the layers that ask for them and their tests).
extern uint32_t pacingResetCount;
// True once after one or more pacing_reset calls.
bool pacing_take_reset();
// Faster than real time on top of SyncSpeed, for as long as the host asks:
// PACING_FAST runs frames without waiting (as SyncSpeed 0 does),
// PACING_FAST_SPARSE also shows the picture only a few times a second.
// Going back to real time starts the pacing again from now, so that the
// frames run ahead are not waited for.
enum PacingSpeed : int { PACING_REAL_TIME, PACING_FAST, PACING_FAST_SPARSE };
inline constexpr int PACING_SPARSE_PRESENTS_PER_SECOND = 5;
void pacing_set_speed(int speed);
// True while frames run without waiting: SyncSpeed 0 or a fast speed.
bool pacing_unpaced();
// After each emulated frame: waits while the emulation is a frame period or
// more ahead of real time (unless unpaced), updates the title every two
// seconds and presents the frame (through the presenter) when it is due.
void pacing_frame_done();
