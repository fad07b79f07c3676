// The conditioning stage in front of the cassette input's threshold: what a
// real recording (a quiet or clipped level, a DC offset, hiss, mains hum, an
// MP3's cut highs) needs before its samples can be read as a level.
//   - a high-pass well below the tape's lowest tone takes out DC and drift;
//   - a gentle low-pass takes the edge off hiss and dither;
//   - a peak follower tracks the signal's level;
//   - the level switches only when the signal passes a hysteresis that is a
//     fixed share of the followed level.
// Samples come in as signed 16-bit values (8-bit data scaled up, wider
// data cut down, channels summed by the caller). A recording the emulator
// made itself gives the same pulses through the stage as without it: both
// edges of a pulse are delayed alike, by a sample or two.
#pragma once

#include <cstdint>

struct TapeFilter {
  // The coefficients (from the sample rate).
  double highPass, lowPass, release;
  // The state.
  double lastIn, high, low, peak;
  uint8_t primed; // the first sample sets lastIn, so a DC offset starts settled
  uint8_t level;  // the decided input level (0/1)
};

// Coefficients for a rate and a cleared state, level 0.
void tape_filter_reset(TapeFilter* f, uint32_t rate);
// One sample in, the input level (0/1) out.
int tape_filter_step(TapeFilter* f, int32_t sample);
// A 16-bit sample from the unsigned 8-bit level the unfiltered path uses.
inline int32_t tape_filter_from8(uint8_t level) {
  return (static_cast<int32_t>(level) - 128) * 256;
}
// True when the coefficients and state are finite and in range (a machine
// state's check).
bool tape_filter_valid(const TapeFilter& f);

// Byte i of a PCM frame of sampleBytes-byte samples into the frame's sum of
// every channel's top 16 bits (8-bit samples scaled up); below keeps the
// byte under a sample's most significant one.
inline void tape_filter_add_byte(int32_t* sum, uint8_t* below, uint8_t b, uint32_t i,
                                 uint32_t sampleBytes) {
  const uint32_t k = i % sampleBytes;
  if (sampleBytes == 1)
    *sum += tape_filter_from8(b);
  else if (k == sampleBytes - 2)
    *below = b;
  else if (k == sampleBytes - 1)
    *sum += static_cast<int32_t>(static_cast<int8_t>(b)) * 256 + *below;
}
