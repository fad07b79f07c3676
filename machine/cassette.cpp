// The cassette socket: the input level, the deck's hooks and the
// play/record state.
#include "machine/cassette.h"

#include "machine/hooks.h"
#include "machine/sound.h"

int cassetteInputLevel;
int cassettePlayback;
int cassetteRunning;
int64_t cassetteLastRead = CASSETTE_NEVER_READ;

namespace {

int silent_input(int64_t) { return 0; }
void no_output(int, int64_t) {}
void no_frame_end(int64_t) {}

CassetteDeck deck = {silent_input, no_output, no_frame_end};

} // namespace

void cassette_connect(const CassetteDeck& plugged) {
  if (plugged.playbackSample) deck.playbackSample = plugged.playbackSample;
  if (plugged.recordLevel) deck.recordLevel = plugged.recordLevel;
  if (plugged.frameEnd) deck.frameEnd = plugged.frameEnd;
}

int cassette_read(int64_t t) {
  cassetteLastRead = t;
  return deck.playbackSample(t);
}

int cassette_input(int64_t t) {
  cassetteLastRead = t;
  return cassetteInputLevel;
}

bool cassette_read_within(int64_t now, int64_t window) {
  return cassetteLastRead != CASSETTE_NEVER_READ && now >= cassetteLastRead &&
         now - cassetteLastRead <= window;
}

void cassette_output(int level, int64_t t) { deck.recordLevel(level, t); }
void cassette_frame_end(int64_t t) { deck.frameEnd(t); }

void cassette_set_input_level(int level, int64_t t) {
  if (level == cassetteInputLevel) return;
  machine_audio_update(t);
  cassetteInputLevel = level;
  beeper_set(level);
}
