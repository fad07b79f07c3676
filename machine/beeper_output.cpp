// The one-bit output as the emulated programs move it. Every change first
// brings the audio output up to now, so that the new level lands on the
// right sample; the tape recorder is fed the same level.
#include "machine/beeper_output.h"

#include "cpu/cpu.h"
#include "host/audio.h"
#include "machine/machine.h"
#include "machine/sound.h"
#include "media/wav_tape.h"

uint8_t tarvikOutputLatch;

namespace {

constexpr uint64_t kPulseMicroseconds = 77;

// A pulse that ended before now: high up to its end, low from there.
void close_pulse(int64_t now) {
  audio_update(pulseEnd);
  wav_record_level(1, pulseEnd);
  beeper_set(0);
  audio_update(now);
  wav_record_level(0, now);
}

} // namespace

void tarvik_output_level(uint16_t address) {
  const uint8_t level = static_cast<uint8_t>(address & 0x80);
  if (level == tarvikOutputLatch) return;
  const int64_t now = cpu.tcount;
  audio_update(now);
  tarvikOutputLatch = level;
  beeper_set(level ? 1 : 0);
  // The recorder holds the old level up to now; the new one runs from here.
  wav_record_level(level ? 0 : 1, now);
}

void veltra_pulse_start() {
  const int64_t now = cpu.tcount;
  if (pulseEnd != 0 && pulseEnd < now) {
    close_pulse(now);
  } else if (pulseEnd != 0) {
    audio_update(now);
    wav_record_level(1, pulseEnd);
  } else {
    audio_update(now);
    wav_record_level(0, now);
  }
  pulseEnd = now + static_cast<int64_t>(us_to_ticks(kPulseMicroseconds));
  wav_record_level(1, pulseEnd);
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
