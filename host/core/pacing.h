// Real-time pacing of the main loop: 50 emulated frames per second of real
// time, presentation at the display's refresh rate, and the speed shown in
// the title every two seconds. Times are counter ticks of the platform clock.
#pragma once

#include <cstdint>

// What shows a frame when a presentation is due (present_changed_frame of
// host/output/display.h, set at start-up).
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
// How far the emulation is ahead of real time, in counter ticks (negative
// when behind).
int64_t pacing_ticks_ahead();
// The ticks from one presentation to the next at real-time speed: a refresh
// period of the display, halved without real-time pacing.
uint32_t pacing_present_interval();
// True while the emulation is less than a frame period ahead of real time:
// a frame run now would not have to wait (for a platform whose main loop is
// the browser's, which must never wait).
bool pacing_frame_due();
// The counter ticks until a frame is due (0 when one is due now).
int64_t pacing_ticks_until_due();
// After each emulated frame: waits while the emulation is a frame period or
// more ahead of real time (unless unpaced), updates the title every two
// seconds and presents the frame (through the presenter) when it is due.
void pacing_frame_done();
