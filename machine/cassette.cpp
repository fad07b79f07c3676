// The cassette socket: the input level, the deck's hooks and the
// play/record state.
#include "machine/cassette.h"

#include "cpu/state_io.h"
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

void cassette_state_save(StateWriter& w) {
  w.u8(static_cast<uint8_t>(cassetteInputLevel));
  w.u8(static_cast<uint8_t>(cassettePlayback));
  w.u8(static_cast<uint8_t>(cassetteRunning));
  w.i64(cassetteLastRead);
}

bool cassette_state_load(StateReader& r, bool apply) {
  const uint8_t level = r.u8(), playback = r.u8(), running = r.u8();
  const int64_t lastRead = r.i64();
  if (!r.ok() || level > 1 || playback > 1 || running > 1) return r.fail();
  if (lastRead != CASSETTE_NEVER_READ && (lastRead < -1 || lastRead > kStateMostTicks))
    return r.fail();
  if (apply) {
    cassetteInputLevel = level;
    cassettePlayback = playback;
    cassetteRunning = running;
    cassetteLastRead = lastRead;
  }
  return true;
}
