// The cassette deck's socket in the machine: the input level the machine
// reads, where the machine's output level goes, and the play/record state.
// The tape player and recorder (media/wav_tape) plug in through the deck's
// hooks at start-up; with no deck plugged in the input reads 0 and the
// output goes nowhere.
#pragma once

#include <cstdint>

extern int cassetteInputLevel; // the input level (0/1) the Tarvik models read at 0xE883
extern int cassettePlayback;   // 1 playback, 0 recording
extern int cassetteRunning;    // the Play/Record switch
// The cycle count of the machine's last look at its cassette input
// (CASSETTE_NEVER_READ since the bring-up): how the host tells that a tape
// is being read.
extern int64_t cassetteLastRead;
inline constexpr int64_t CASSETTE_NEVER_READ = INT64_MIN;

struct CassetteDeck {
  // The Veltra-16 input: the tape is read on demand up to the sample due at
  // time t and the level (0/1) returned.
  int (*playbackSample)(int64_t t);
  // The output level (0/1) that held from the deck's last time up to t.
  void (*recordLevel)(int level, int64_t t);
  // The end of every frame, at time t.
  void (*frameEnd)(int64_t t);
};

// Plugs the deck in; a null member leaves the empty socket's answer.
void cassette_connect(const CassetteDeck& deck);

// The machine's side. cassette_read is the Veltra-16 input, cassette_input
// the Tarvik one (the level the deck last set); both note the time.
int cassette_read(int64_t t);
int cassette_input(int64_t t);
// True when the machine looked at its cassette input at most `window`
// T-states before now.
bool cassette_read_within(int64_t now, int64_t window);
void cassette_output(int level, int64_t t);
void cassette_frame_end(int64_t t);

// The deck's side: a new input level from time t on. A change is heard: the
// sound output is brought up to t and the beeper follows the level.
void cassette_set_input_level(int level, int64_t t);

// "CASS": the input level, the play/record state and the last read.
class StateWriter;
class StateReader;
void cassette_state_save(StateWriter& w);
bool cassette_state_load(StateReader& r, bool apply);
