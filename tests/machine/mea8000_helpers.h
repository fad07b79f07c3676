// Helpers for the speech chip's tests: frames built from their codes, and a
// fresh chip with the sample clock in step with the cycle counter.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "cpu/cpu.h"
#include "cpu/events.h"
#include "host/output/audio.h"
#include "machine/mea8000.h"
#include "machine/sound.h"

// The codes of one frame, as the program would choose them.
struct FrameCodes {
  int bw1 = 3, bw2 = 3, bw3 = 0, bw4 = 0; // 2-bit bandwidth codes (3 = 50 Hz, 0 = 726 Hz)
  int f3 = 0;                             // 3-bit
  int f2 = 0;                             // 5-bit
  int f1 = 0;                             // 5-bit
  int amplitude = 0;                      // 4-bit
  int fd = 0;                             // 2-bit frame duration
  int pi = 0;                             // 5-bit pitch increment, 16 = noise
};

inline std::array<uint8_t, 4> encode_frame(const FrameCodes& c) {
  return {static_cast<uint8_t>(c.bw1 << 6 | c.bw2 << 4 | c.bw3 << 2 | c.bw4),
          static_cast<uint8_t>(c.f3 << 5 | c.f2),
          static_cast<uint8_t>(c.f1 << 3 | c.amplitude >> 1),
          static_cast<uint8_t>((c.amplitude & 1) << 7 | c.fd << 5 | c.pi)};
}

inline void send_frame(const FrameCodes& c) {
  for (uint8_t b : encode_frame(c)) mea_write(0xF8, b);
}

// Runs the chip for n samples at 8 kHz.
inline std::vector<int32_t> chip_samples(int n) {
  std::vector<int32_t> out;
  out.reserve(n);
  for (int i = 0; i < n; ++i) out.push_back(mea_sample());
  return out;
}

// Runs the chip up to the next frame boundary (the sample that turns the
// ring is the last one run).
inline void run_to_boundary() {
  int guard = 0;
  do { mea_sample(); } while (mea.sampleInFrame != 0 && ++guard < 1000);
}

// Event list fresh, 3 MHz clock, only the chip as a sound source, the
// output's sample clock brought up to the cycle counter first, so that a
// port access at an unchanged cycle counter renders nothing.
inline void fresh_chip() {
  event_init();
  cpu_init(3000000);
  cpu.tcount = 0;
  while (soundHead) sound_unregister(soundHead);
  audio_update(cpu.tcount);
  mea_start();
}

inline bool source_listed(const char* name) {
  for (const SoundSource* s = soundHead; s; s = s->next)
    if (std::string_view(s->name) == name) return true;
  return false;
}
