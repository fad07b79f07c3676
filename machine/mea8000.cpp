// The MEA8000 speech synthesizer: frame decoding, the record ring,
// interpolation, sawtooth and noise excitation, four cascaded resonators and
// the 8 kHz to 48 kHz upsampler, with the 20 ms watchdog.
#include "machine/mea8000.h"

#include <cmath>
#include <numbers>

#include "cpu/cpu.h"
#include "cpu/events.h"
#include "cpu/state_io.h"
#include "machine/hooks.h"
#include "machine/sound.h"

// As after a reset from the start, so that a machine state taken on a model
// without the chip holds a chip the load accepts.
MeaState mea = {
    16, 0x80, {}, 0,  0, 0, {}, &mea.records[0], &mea.records[1], &mea.records[2], 0, 0, 0,
    0,  0,    {}, {}, 0, 0, 0};
int32_t cosTab[MEA_TABLE_SIZE];
int32_t expTab[MEA_TABLE_SIZE];
int32_t exp2Tab[MEA_TABLE_SIZE];
int32_t noiseTab[MEA_NOISE_SIZE];
uint32_t meaNoiseState = 1;

namespace {

// The chip's published values.
constexpr int32_t kPitchIncrement[32] = {0,   1,  2,  3,  4,  5,  6,   7,   8,   9,   10,
                                         11,  12, 13, 14, 15, 0,  -15, -14, -13, -12, -11,
                                         -10, -9, -8, -7, -6, -5, -4,  -3,  -2,  -1};
constexpr int32_t kF1[32] = {150, 162, 174, 188, 202, 217, 233, 250, 267, 286, 305,
                             325, 346, 368, 391, 415, 440, 466, 494, 523, 554, 587,
                             622, 659, 698, 740, 784, 830, 880, 932, 988, 1047};
constexpr int32_t kF2[32] = {440,  466,  494,  523,  554,  587,  622,  659,  698,  740,  784,
                             830,  880,  932,  988,  1047, 1100, 1179, 1254, 1337, 1428, 1528,
                             1639, 1761, 1897, 2047, 2214, 2400, 2609, 2842, 3105, 3400};
constexpr int32_t kF3[8] = {1179, 1337, 1528, 1761, 2047, 2400, 2842, 3400};
constexpr int32_t kF4 = 3500;
constexpr int32_t kBandwidth[4] = {726, 309, 125, 50};
constexpr int32_t kAmplitude[16] = {0,  8,   11,  16,  22,  31,  44,  62,
                                    88, 125, 177, 250, 354, 500, 707, 1000};
constexpr int32_t kFrameLength[4] = {64, 128, 256, 512}; // 8 kHz samples: 8, 16, 32, 64 ms

constexpr int32_t kOutputRate = 48000;
constexpr int32_t kChipRate = 8000;
constexpr int32_t kLimit = 32767;
// A guard on the resonator state: with the chip's coefficients every
// resonator is stable and its state stays many orders of magnitude below
// this, but the power-on records (F = 0, BW = 0) form a resonator with a
// double pole at 1 whose output would grow without end once disturbed.
// Holding the state here keeps every product within 64 bits.
constexpr int64_t kStateLimit = int64_t{1} << 40;

SoundSource meaSource = {"MEA8000", nullptr, mea_render, mea_reset};

int32_t frame_length(const MeaFrame* frame) { return kFrameLength[frame->fd & 3]; }

int64_t watchdog_period() { return static_cast<int64_t>(cpu.clockHz * 20 / 1000); }

// The next value of the linear congruential generator, bits 16-30.
int32_t noise_random() {
  meaNoiseState = meaNoiseState * 214013u + 2531011u;
  return static_cast<int32_t>((meaNoiseState >> 16) & 0x7FFF);
}

// The generator's state when the noise table was last built.
uint32_t noiseTableSeed = 1;

void build_noise_table() {
  noiseTableSeed = meaNoiseState;
  for (int32_t& v : noiseTab) v = (noise_random() & 0x3FF) - 512;
}

void build_tables() {
  for (int f = 0; f < MEA_TABLE_SIZE; ++f) {
    double x = std::numbers::pi * f / kChipRate;
    cosTab[f] = static_cast<int32_t>(1024.0 * std::cos(2.0 * x));
    expTab[f] = static_cast<int32_t>(512.0 * std::exp(-x));
    exp2Tab[f] = static_cast<int32_t>(512.0 * std::exp(-2.0 * x));
  }
  build_noise_table();
}

void decode_frame(const uint8_t* b, MeaFrame* frame) {
  frame->bw[0] = kBandwidth[(b[0] >> 6) & 3];
  frame->bw[1] = kBandwidth[(b[0] >> 4) & 3];
  frame->bw[2] = kBandwidth[(b[0] >> 2) & 3];
  frame->bw[3] = kBandwidth[b[0] & 3];
  frame->f[2] = kF3[(b[1] >> 5) & 7];
  frame->f[1] = kF2[b[1] & 31];
  frame->f[3] = kF4;
  frame->f[0] = kF1[(b[2] >> 3) & 31];
  frame->amplitude = kAmplitude[((b[2] & 7) * 2) | ((b[3] >> 7) & 1)];
  frame->fd = (b[3] >> 5) & 3;
  frame->pitchIncrement = kPitchIncrement[b[3] & 31] * (1 << frame->fd);
  frame->noise = (b[3] & 31) == 16 ? 1 : 0;
}

// The end of a frame: the ring turns, the pitch moves on by the increment of
// the new interpolation target, and a complete received frame is taken.
void frame_end() {
  MeaFrame* old = mea.current;
  mea.current = mea.next;
  mea.next = mea.spare;
  mea.spare = old;
  mea.pitchPrev = mea.pitchCur;
  mea.pitchCur += mea.next->pitchIncrement;
  // Only the phase advance modulo kMeaPhaseWrap is ever heard, so moving
  // both pitch values by that amount changes nothing but keeps them (and
  // the phase sums) far from overflow however long the pitch keeps rising.
  if (mea.pitchPrev >= kMeaPhaseWrap) {
    mea.pitchPrev -= kMeaPhaseWrap;
    mea.pitchCur -= kMeaPhaseWrap;
  } else if (mea.pitchPrev <= -kMeaPhaseWrap) {
    mea.pitchPrev += kMeaPhaseWrap;
    mea.pitchCur += kMeaPhaseWrap;
  }
  if (mea.receivedCount == 4) {
    decode_frame(mea.received, mea.spare);
    mea.receivedCount = 0;
  }
  mea.status = 0x80;
  mea.sampleInFrame = 0;
}

int32_t interpolate(int32_t from, int32_t to, int32_t n, int32_t length) {
  return from + (to - from) * n / length;
}

// The phase kept in 0..kMeaPhaseWrap-1; the step is at most a little more
// than one wrap in either direction.
void advance_phase(int32_t step) {
  int32_t phase = mea.phase + step;
  phase %= kMeaPhaseWrap;
  if (phase < 0) phase += kMeaPhaseWrap;
  mea.phase = phase;
}

int64_t hold_state(int64_t y) {
  if (y > kStateLimit) return kStateLimit;
  if (y < -kStateLimit) return -kStateLimit;
  return y;
}

void init_state() {
  mea = MeaState{};
  mea.current = &mea.records[0];
  mea.next = &mea.records[1];
  mea.spare = &mea.records[2];
  mea.stopped = 16;
  mea.status = 0x80;
}

} // namespace

int32_t mea_sample() {
  if (mea.stopped) return 0;
  if (++mea.sampleInFrame >= frame_length(mea.current)) frame_end();

  const MeaFrame& cur = *mea.current;
  const MeaFrame& nxt = *mea.next;
  const int32_t n = mea.sampleInFrame;
  const int32_t length = frame_length(mea.current);

  int32_t e;
  if (cur.noise) {
    advance_phase(1);
    e = noiseTab[mea.phase % MEA_NOISE_SIZE];
  } else {
    advance_phase(interpolate(mea.pitchPrev, mea.pitchCur, n, length));
    // The phase is never negative, so this is a rising sawtooth -512..511
    // whichever way the pitch runs.
    int32_t q = mea.phase % kChipRate;
    e = q * 1024 / kChipRate - 512;
  }
  mea.excitation = e;

  const int32_t amplitude = interpolate(cur.amplitude, nxt.amplitude, n, length);
  int64_t in = static_cast<int64_t>(e * amplitude) / 32; // |e x A| <= 512 000
  for (int r = 0; r < 4; ++r) {
    const int32_t f = interpolate(cur.f[r], nxt.f[r], n, length);
    const int32_t bw = interpolate(cur.bw[r], nxt.bw[r], n, length);
    const int64_t c1 = cosTab[f] * expTab[bw] / 512;
    const int64_t c2 = exp2Tab[bw];
    const int64_t out = in + (c1 * mea.y1[r] - c2 * mea.y2[r]) / 512;
    mea.y2[r] = mea.y1[r];
    mea.y1[r] = hold_state(out);
    in = mea.y1[r];
  }
  if (in > kLimit) return kLimit;
  if (in < -kLimit) return -kLimit;
  return static_cast<int32_t>(in);
}

void mea_render(int16_t* destination, int count) {
  for (int i = 0; i < count; ++i) {
    mea.upPhase += kChipRate;
    if (mea.upPhase >= kOutputRate) {
      mea.upPrevious = mea.upCurrent;
      mea.upCurrent = mea_sample();
      mea.upPhase -= kOutputRate;
    }
    // |samples| <= 32 767, so the blend stays below 48 000 x 32 767.
    int32_t blend = (kOutputRate - mea.upPhase) * mea.upPrevious + mea.upPhase * mea.upCurrent;
    destination[i] = static_cast<int16_t>(blend / kOutputRate);
  }
}

void mea_reset() {
  mea.stopped = 16;
  mea.receivedCount = 0;
  mea.status = 0x80;
  mea.sampleInFrame = 0;
}

void mea_watchdog(int64_t* tcount, TimedEvent* self) {
  const int64_t now = *tcount;
  machine_audio_update(now);
  const int64_t timeout =
      static_cast<int64_t>(static_cast<uint64_t>(frame_length(mea.current)) * cpu.clockHz / 1000);
  if (!mea.stopped && mea.autoStop && mea.lastWriteTime + timeout < now) {
    mea.stopped = 16;
    mea.status = 0x80;
  }
  event_move(EVENT_SPEECH, self->due + watchdog_period());
}

void mea_start() {
  init_state();
  build_tables();
  sound_register(&meaSource);
  event_remove(EVENT_SPEECH);
  event_add(EVENT_SPEECH, cpu.tcount + watchdog_period(), mea_watchdog);
}

void mea_stop() {
  sound_unregister(&meaSource);
  event_remove(EVENT_SPEECH);
}

uint8_t mea_read(uint8_t) {
  machine_audio_update(cpu.tcount);
  return mea.status;
}

void mea_write(uint8_t port, uint8_t value) {
  machine_audio_update(cpu.tcount);
  if ((port & 1) == 0) {
    if (mea.stopped) {
      // A start pitch.
      mea.stopped = 0;
      mea.sampleInFrame = 0;
      mea.pitchPrev = 0;
      for (MeaFrame& r : mea.records) r.pitchIncrement = 0;
      mea.status = 0x80;
      mea.pitchCur = 2 * value;
      mea.receivedCount = 0;
    } else {
      // A frame byte; a fifth byte before the frame was taken starts the
      // frame again.
      int32_t k = mea.receivedCount;
      if (k == 3) mea.status = 0x00;
      if (k >= 4) {
        k = 0;
        mea.status = 0x00;
      }
      mea.received[k] = value;
      mea.receivedCount = k + 1;
    }
    mea.lastWriteTime = cpu.tcount;
  } else {
    mea.stopped = value & 0x10;
    if (mea.stopped) {
      mea.receivedCount = 0;
      mea.status = 0x80;
      mea.sampleInFrame = 0;
    }
    mea.autoStop = (value & 0x0C) == 0x08 ? 1 : 0;
  }
}

namespace {

void put_frame(StateWriter& w, const MeaFrame& f) {
  w.i32(f.pitchIncrement);
  w.i32(f.fd);
  w.i32(f.amplitude);
  for (int k = 0; k < 4; ++k) w.i32(f.f[k]);
  for (int k = 0; k < 4; ++k) w.i32(f.bw[k]);
  w.i32(f.noise);
}

bool get_frame(StateReader& r, MeaFrame* f) {
  f->pitchIncrement = r.i32();
  f->fd = r.i32();
  f->amplitude = r.i32();
  for (int k = 0; k < 4; ++k) f->f[k] = r.i32();
  for (int k = 0; k < 4; ++k) f->bw[k] = r.i32();
  f->noise = r.i32();
  bool ok = r.ok() && f->pitchIncrement >= -120 && f->pitchIncrement <= 120 && f->fd >= 0 &&
            f->fd <= 3 && f->amplitude >= 0 && f->amplitude <= 1000 && f->noise >= 0 &&
            f->noise <= 1;
  for (int k = 0; k < 4; ++k)
    ok = ok && f->f[k] >= 0 && f->f[k] < MEA_TABLE_SIZE && f->bw[k] >= 0 &&
         f->bw[k] < MEA_TABLE_SIZE;
  return ok;
}

bool in_range(int64_t v, int64_t low, int64_t high) { return v >= low && v <= high; }

} // namespace

void mea_state_save(StateWriter& w) {
  w.i32(mea.stopped);
  w.u8(mea.status);
  w.bytes(mea.received, sizeof mea.received);
  w.i32(mea.receivedCount);
  w.i32(mea.autoStop);
  w.i64(mea.lastWriteTime);
  for (const MeaFrame& f : mea.records) put_frame(w, f);
  for (const MeaFrame* p : {mea.current, mea.next, mea.spare})
    w.u8(static_cast<uint8_t>(p - mea.records));
  w.i32(mea.sampleInFrame);
  w.i32(mea.pitchPrev);
  w.i32(mea.pitchCur);
  w.i32(mea.phase);
  w.i32(mea.excitation);
  for (int k = 0; k < 4; ++k) w.i64(mea.y1[k]);
  for (int k = 0; k < 4; ++k) w.i64(mea.y2[k]);
  w.i32(mea.upPhase);
  w.i32(mea.upPrevious);
  w.i32(mea.upCurrent);
  w.u32(meaNoiseState);
  w.u32(noiseTableSeed);
}

bool mea_state_load(StateReader& r, bool apply) {
  MeaState s{};
  s.stopped = r.i32();
  s.status = r.u8();
  r.bytes(s.received, sizeof s.received, true);
  s.receivedCount = r.i32();
  s.autoStop = r.i32();
  s.lastWriteTime = r.i64();
  for (MeaFrame& f : s.records)
    if (!get_frame(r, &f)) return r.fail();
  uint8_t ring[3];
  for (uint8_t& k : ring) k = r.u8();
  s.sampleInFrame = r.i32();
  s.pitchPrev = r.i32();
  s.pitchCur = r.i32();
  s.phase = r.i32();
  s.excitation = r.i32();
  for (int k = 0; k < 4; ++k) s.y1[k] = r.i64();
  for (int k = 0; k < 4; ++k) s.y2[k] = r.i64();
  s.upPhase = r.i32();
  s.upPrevious = r.i32();
  s.upCurrent = r.i32();
  const uint32_t noise = r.u32();
  const uint32_t seed = r.u32();
  bool ok = r.ok() && (s.stopped == 0 || s.stopped == 16) && in_range(s.receivedCount, 0, 4) &&
            in_range(s.autoStop, 0, 1) &&
            in_range(s.lastWriteTime, -kStateMostTicks, kStateMostTicks) && ring[0] < 3 &&
            ring[1] < 3 && ring[2] < 3 && ring[0] != ring[1] && ring[0] != ring[2] &&
            ring[1] != ring[2] && in_range(s.sampleInFrame, 0, 512) &&
            in_range(s.pitchPrev, -kMeaPhaseWrap, kMeaPhaseWrap) &&
            in_range(static_cast<int64_t>(s.pitchCur) - s.pitchPrev, -1024, 1024) &&
            in_range(s.phase, 0, kMeaPhaseWrap - 1) && in_range(s.upPhase, 0, kOutputRate - 1) &&
            in_range(s.upPrevious, -kLimit, kLimit) && in_range(s.upCurrent, -kLimit, kLimit);
  for (int k = 0; k < 4; ++k)
    ok = ok && in_range(s.y1[k], -kStateLimit, kStateLimit) &&
         in_range(s.y2[k], -kStateLimit, kStateLimit);
  if (!ok) return r.fail();
  if (!apply) return true;
  s.current = &mea.records[ring[0]];
  s.next = &mea.records[ring[1]];
  s.spare = &mea.records[ring[2]];
  mea = s;
  if (seed != noiseTableSeed) {
    meaNoiseState = seed;
    build_noise_table();
  }
  meaNoiseState = noise;
  return true;
}
