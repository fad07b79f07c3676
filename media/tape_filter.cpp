// The cassette input's conditioning stage: high-pass, low-pass, peak
// follower and a hysteresis scaled to the level. Plain doubles, no
// allocation: it runs once per sample.
#include "media/tape_filter.h"

#include <cmath>
#include <initializer_list>

namespace {

constexpr double kPi = 3.14159265358979323846;
// The tape's lowest tone (a sync pulse and its gap) is near 670 Hz; the
// high-pass at 40 Hz lets its pulses through with little droop and takes
// a DC offset out within some 20 ms.
constexpr double kHighPassHz = 40.0;
// Bit pulses are 250 us and longer; 6 kHz keeps their edges and smooths
// hiss and dither.
constexpr double kLowPassHz = 6000.0;
// The follower forgets a peak in about 30 ms: quick enough for a level that
// drifts, slow enough to hold over the longest pulse.
constexpr double kReleaseSeconds = 0.03;
// The level switches when the signal passes this share of its peak.
constexpr double kHysteresis = 0.3;
// Below this (in 16-bit units, about half a step of 8-bit data) the signal
// counts as silence: the level holds.
constexpr double kFloor = 96.0;

} // namespace

void tape_filter_reset(TapeFilter* f, uint32_t rate) {
  const double r = rate ? static_cast<double>(rate) : 44100.0;
  f->highPass = std::exp(-2.0 * kPi * kHighPassHz / r);
  // A rate too low for the low-pass passes the samples straight on.
  f->lowPass = kLowPassHz * 4 > r ? 1.0 : 1.0 - std::exp(-2.0 * kPi * kLowPassHz / r);
  f->release = std::exp(-1.0 / (kReleaseSeconds * r));
  f->lastIn = f->high = f->low = f->peak = 0.0;
  f->primed = 0;
  f->level = 0;
}

int tape_filter_step(TapeFilter* f, int32_t sample) {
  const double in = static_cast<double>(sample);
  if (!f->primed) {
    f->lastIn = in;
    f->primed = 1;
  }
  f->high = f->highPass * (f->high + in - f->lastIn);
  f->lastIn = in;
  f->low += (f->high - f->low) * f->lowPass;
  const double magnitude = std::fabs(f->low);
  f->peak = magnitude > f->peak ? magnitude : f->peak * f->release;
  double threshold = f->peak * kHysteresis;
  if (threshold < kFloor) threshold = kFloor;
  if (f->low > threshold)
    f->level = 1;
  else if (f->low < -threshold)
    f->level = 0;
  return f->level;
}

bool tape_filter_valid(const TapeFilter& f) {
  for (double v : {f.highPass, f.lowPass, f.release})
    if (!std::isfinite(v) || v < 0.0 || v > 1.0) return false;
  for (double v : {f.lastIn, f.high, f.low, f.peak})
    if (!std::isfinite(v) || std::fabs(v) > 1e7) return false;
  return f.primed <= 1 && f.level <= 1;
}
