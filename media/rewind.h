// The rewind ring: the complete machine state kept once a second of
// emulated time, newest first back to about ten minutes, in memory that is
// allocated once.
//
// The newest state is kept whole; every older one as the difference that
// turns the state after it back into it (bytes XORed, runs of unchanged
// bytes skipped), in a byte arena used as a ring. From one second to the
// next a running machine changes a few kilobytes of its 150 KB state, so
// ten minutes take a few megabytes; a program that rewrites all its memory
// every second fills the arena sooner, and the oldest seconds go first.
// Stepping back undoes the newest difference in place: no state is ever
// rebuilt from the oldest one.
#pragma once

#include <cstddef>
#include <cstdint>

// Ten minutes at one state a second, within 64 MB at 64 KB RAM: the arena,
// plus the newest state and two working buffers of a state's size each.
inline constexpr size_t REWIND_SECONDS = 600;
inline constexpr size_t REWIND_ARENA_BYTES = 56u << 20;

// Allocates the ring for at most `entries` states with `arenaBytes` for the
// differences (an earlier ring is freed first). False, with no ring, when
// the memory cannot be had. Nothing is allocated again while it runs,
// except that the state buffers grow once when a state outgrows them (a
// tape image attached).
bool rewind_init(size_t entries = REWIND_SECONDS, size_t arenaBytes = REWIND_ARENA_BYTES);
// Frees the ring (the option switched off, the program ending).
void rewind_shutdown();
// Between two frames, once a second of emulated time: the machine's state
// becomes the newest entry; the oldest goes when the ring is full. Does
// nothing without a ring.
void rewind_push();
// Loads the newest entry and takes it off the ring, so that the next step
// goes a second further back. False with the reason in `message` when the
// ring is empty (nothing changes then).
bool rewind_step_back(char* message, size_t messageSize);
// The states held (the newest whole one included), and the bytes they take
// (the arena's used part and the newest state).
size_t rewind_count();
size_t rewind_bytes();
// All the memory the ring has (arena, index and state buffers): what the
// process pays for it.
size_t rewind_capacity_bytes();
// Forgets every entry (another machine brought up, a state or file loaded
// that the history should not reach past); keeps the memory.
void rewind_clear();
