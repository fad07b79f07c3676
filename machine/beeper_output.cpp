// The one-bit output as the emulated programs move it. Every change first
// brings the audio output up to now, so that the new level lands on the
// right sample; the tape recorder is fed the same level.
#include "machine/beeper_output.h"

#include "cpu/cpu.h"
#include "cpu/state_io.h"
#include "machine/cassette.h"
#include "machine/hooks.h"
#include "machine/machine.h"
#include "machine/sound.h"

uint8_t tarvikOutputLatch;
int64_t pulseEnd;

namespace {

constexpr uint64_t kPulseMicroseconds = 77;

// A pulse that ended before now: high up to its end, low from there.
void close_pulse(int64_t now) {
  machine_audio_update(pulseEnd);
  cassette_output(1, pulseEnd);
  beeper_set(0);
  machine_audio_update(now);
  cassette_output(0, now);
}

} // namespace

void tarvik_output_level(uint16_t address) {
  const uint8_t level = static_cast<uint8_t>(address & 0x80);
  if (level == tarvikOutputLatch) return;
  const int64_t now = cpu.tcount;
  machine_audio_update(now);
  tarvikOutputLatch = level;
  beeper_set(level ? 1 : 0);
  // The recorder holds the old level up to now; the new one runs from here.
  cassette_output(level ? 0 : 1, now);
}

void veltra_pulse_start() {
  const int64_t now = cpu.tcount;
  if (pulseEnd != 0 && pulseEnd < now) {
    close_pulse(now);
  } else if (pulseEnd != 0) {
    machine_audio_update(now);
    cassette_output(1, pulseEnd);
  } else {
    machine_audio_update(now);
    cassette_output(0, now);
  }
  pulseEnd = now + static_cast<int64_t>(us_to_ticks(kPulseMicroseconds));
  cassette_output(1, pulseEnd);
  beeper_set(1);
}

void veltra_pulse_frame_end() {
  const int64_t now = cpu.tcount;
  if (pulseEnd != 0 && pulseEnd < now) {
    close_pulse(now);
    pulseEnd = 0;
  }
}

void beeper_output_reset() {
  pulseEnd = 0;
  tarvikOutputLatch = 0;
  beeper_reset();
}

void beeper_output_state_save(StateWriter& w) {
  w.u8(tarvikOutputLatch);
  w.i64(pulseEnd);
  w.u16(static_cast<uint16_t>(beeperLevel));
}

bool beeper_output_state_load(StateReader& r, bool apply) {
  const uint8_t latch = r.u8();
  const int64_t end = r.i64();
  const uint16_t level = r.u16();
  if (!r.ok() || (latch != 0 && latch != 0x80) || end < 0 || end > kStateMostTicks ||
      (level != 0 && level != 4096))
    return r.fail();
  if (apply) {
    tarvikOutputLatch = latch;
    pulseEnd = end;
    beeper_set(level ? 1 : 0);
  }
  return true;
}
