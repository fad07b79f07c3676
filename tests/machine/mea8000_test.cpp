// The speech chip's ports, frame decoding, record ring, excitation,
// resonators and limit, upsampler, watchdog, tables and its place in the
// mixer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "tests/machine/mea8000_helpers.h"

namespace {

class MeaTest : public ::testing::Test {
protected:
  void SetUp() override { fresh_chip(); }
  void TearDown() override { mea_stop(); }
};

// ---- ports -----------------------------------------------------------------

TEST_F(MeaTest, ReadyAfterStartBusyAfterTheFourthByteUntilTheFrameEnds) {
  EXPECT_EQ(mea_read(0xF8), 0x80);
  EXPECT_EQ(mea_read(0xF9), 0x80);
  EXPECT_EQ(mea.stopped, 16);
  mea_write(0xF8, 50); // start pitch
  EXPECT_EQ(mea.stopped, 0);
  EXPECT_EQ(mea_read(0xF8), 0x80);
  auto bytes = encode_frame({.f2 = 16, .f1 = 16, .amplitude = 9});
  for (int i = 0; i < 3; ++i) {
    mea_write(0xF8, bytes[i]);
    EXPECT_EQ(mea_read(0xF8), 0x80) << "after byte " << i + 1;
  }
  mea_write(0xF8, bytes[3]);
  EXPECT_EQ(mea_read(0xF8), 0x00);
  EXPECT_EQ(mea_read(0xF9), 0x00);
  // The power-on frame lasts 64 samples; the start pitch left n at 0.
  for (int i = 1; i < 64; ++i) {
    mea_sample();
    ASSERT_EQ(mea_read(0xF8), 0x00) << "sample " << i;
  }
  mea_sample();
  EXPECT_EQ(mea_read(0xF8), 0x80);
  EXPECT_EQ(mea.sampleInFrame, 0);
  EXPECT_EQ(mea.receivedCount, 0);
  EXPECT_EQ(mea.spare->f[0], 440);
  EXPECT_EQ(mea.spare->amplitude, 125);
}

TEST_F(MeaTest, AFifthByteStartsTheFrameAgain) {
  mea_write(0xF8, 50);
  send_frame({.f1 = 1, .amplitude = 2});
  EXPECT_EQ(mea.receivedCount, 4);
  auto second = encode_frame({.f3 = 6, .f2 = 20, .f1 = 30, .amplitude = 13, .pi = 5});
  mea_write(0xF8, second[0]);
  EXPECT_EQ(mea.receivedCount, 1);
  EXPECT_EQ(mea.received[0], second[0]);
  EXPECT_EQ(mea_read(0xF8), 0x00);
  for (int i = 1; i < 4; ++i) mea_write(0xF8, second[i]);
  EXPECT_EQ(mea.receivedCount, 4);
  run_to_boundary();
  EXPECT_EQ(mea.spare->f[0], 988);
  EXPECT_EQ(mea.spare->f[1], 1428);
  EXPECT_EQ(mea.spare->f[2], 2842);
  EXPECT_EQ(mea.spare->amplitude, 500);
  EXPECT_EQ(mea.spare->pitchIncrement, 5);
}

TEST_F(MeaTest, AnIncompleteFrameIsNotTakenAtTheFrameEnd) {
  mea_write(0xF8, 50);
  auto bytes = encode_frame({.f1 = 9, .amplitude = 4});
  mea_write(0xF8, bytes[0]);
  mea_write(0xF8, bytes[1]);
  MeaFrame* turnedTo = mea.current; // becomes spare at the frame end
  run_to_boundary();
  EXPECT_EQ(mea.receivedCount, 2);
  EXPECT_EQ(mea_read(0xF8), 0x80);
  EXPECT_EQ(mea.spare, turnedTo);
  EXPECT_EQ(mea.spare->f[0], 0); // nothing decoded into it
  mea_write(0xF8, bytes[2]);
  mea_write(0xF8, bytes[3]);
  EXPECT_EQ(mea_read(0xF8), 0x00);
  run_to_boundary();
  EXPECT_EQ(mea.spare->f[0], 286);
  EXPECT_EQ(mea.spare->amplitude, 22);
}

TEST_F(MeaTest, StartPitchAndDataWriteTime) {
  // Leave increments in the records, then stop and start again.
  mea_write(0xF8, 40);
  send_frame({.f1 = 3, .fd = 1, .pi = 7});
  run_to_boundary();
  ASSERT_EQ(mea.spare->pitchIncrement, 14);
  mea_write(0xF9, 0x10);
  EXPECT_EQ(mea.stopped, 16);
  cpu.tcount = 12345;
  mea_write(0xF8, 55);
  EXPECT_EQ(mea.stopped, 0);
  EXPECT_EQ(mea.pitchCur, 110);
  EXPECT_EQ(mea.pitchPrev, 0);
  EXPECT_EQ(mea.sampleInFrame, 0);
  EXPECT_EQ(mea.lastWriteTime, 12345);
  for (const MeaFrame& r : mea.records) EXPECT_EQ(r.pitchIncrement, 0);
  EXPECT_EQ(mea.spare->f[0], 188); // only the increments are cleared
}

TEST_F(MeaTest, ControlByteStopsResumesAndSetsAutoStop) {
  mea_write(0xF8, 50);
  mea_write(0xF8, 1);
  mea_write(0xF8, 2);
  chip_samples(10);
  mea_write(0xF9, 0x18);
  EXPECT_EQ(mea.stopped, 16);
  EXPECT_EQ(mea.receivedCount, 0);
  EXPECT_EQ(mea.sampleInFrame, 0);
  EXPECT_EQ(mea.status, 0x80);
  EXPECT_EQ(mea.autoStop, 1);
  // Stopped: silent and frozen.
  int32_t phase = mea.phase;
  for (int32_t s : chip_samples(100)) ASSERT_EQ(s, 0);
  EXPECT_EQ(mea.phase, phase);
  EXPECT_EQ(mea.sampleInFrame, 0);
  // A control byte without bit 4 lets it run again, without a pitch byte.
  mea_write(0xF9, 0x0C);
  EXPECT_EQ(mea.stopped, 0);
  EXPECT_EQ(mea.autoStop, 0);
  mea_write(0xF8, 7); // a frame byte, not a pitch
  EXPECT_EQ(mea.receivedCount, 1);
  EXPECT_EQ(mea.pitchCur, 100);
  mea_write(0xF9, 0x04);
  EXPECT_EQ(mea.autoStop, 0);
  mea_write(0xF9, 0x08);
  EXPECT_EQ(mea.autoStop, 1);
  mea_write(0xF9, 0x00);
  EXPECT_EQ(mea.autoStop, 0);
}

// ---- frames and the record ring -----------------------------------------------

// Decodes one frame and returns the record it went into.
MeaFrame decoded(const FrameCodes& codes) {
  send_frame(codes);
  run_to_boundary();
  return *mea.spare;
}

TEST_F(MeaTest, FramesDecodeFromTheirBytes) {
  mea_write(0xF8, 50);
  // Fields: pitch increment (x 2^FD), FD, amplitude, F1-F4, BW1-BW4, noise.
  EXPECT_EQ(decoded({.bw1 = 3,
                     .bw2 = 2,
                     .bw3 = 1,
                     .f3 = 5,
                     .f2 = 18,
                     .f1 = 20,
                     .amplitude = 11,
                     .fd = 2,
                     .pi = 3}),
            (MeaFrame{12, 2, 250, {554, 1254, 2400, 3500}, {50, 125, 309, 726}, 0}));
  EXPECT_EQ(decoded({.bw1 = 0,
                     .bw2 = 0,
                     .bw3 = 3,
                     .bw4 = 2,
                     .f3 = 7,
                     .f2 = 31,
                     .f1 = 31,
                     .amplitude = 15,
                     .fd = 3,
                     .pi = 17}),
            (MeaFrame{-120, 3, 1000, {1047, 3400, 3400, 3500}, {726, 726, 50, 125}, 0}));
  EXPECT_EQ(decoded({.amplitude = 1, .pi = 16}),
            (MeaFrame{0, 0, 8, {150, 440, 1179, 3500}, {50, 50, 726, 726}, 1}));
  EXPECT_EQ(decoded({.fd = 1, .pi = 31}).pitchIncrement, -2);
}

TEST_F(MeaTest, ADecodedFrameIsTheTargetOneFrameLaterAndCurrentTwoFramesLater) {
  mea_write(0xF8, 50); // 100 Hz
  send_frame({.f1 = 10, .pi = 3});
  run_to_boundary(); // A taken into spare
  EXPECT_EQ(mea.spare->f[0], 305);
  EXPECT_EQ(mea.pitchPrev, 100);
  EXPECT_EQ(mea.pitchCur, 100);
  send_frame({.f1 = 12, .pi = 5});
  run_to_boundary(); // A is the target, B taken
  EXPECT_EQ(mea.next->f[0], 305);
  EXPECT_EQ(mea.spare->f[0], 346);
  EXPECT_EQ(mea.pitchPrev, 100);
  EXPECT_EQ(mea.pitchCur, 103);
  MeaFrame* old = mea.current;
  run_to_boundary(); // A current, B the target
  EXPECT_EQ(mea.current->f[0], 305);
  EXPECT_EQ(mea.next->f[0], 346);
  EXPECT_EQ(mea.spare, old);
  EXPECT_EQ(mea.pitchPrev, 103);
  EXPECT_EQ(mea.pitchCur, 108);
  // Nothing more received: the records go round.
  run_to_boundary();
  EXPECT_EQ(mea.current->f[0], 346);
  EXPECT_EQ(mea.next, old);
  EXPECT_EQ(mea.pitchCur, 108);
  run_to_boundary();
  EXPECT_EQ(mea.next->f[0], 305);
  EXPECT_EQ(mea.pitchCur, 111);
}

TEST_F(MeaTest, ParametersMoveLinearlyTowardsTheTarget) {
  mea_write(0xF8, 50);
  send_frame({.f1 = 0, .amplitude = 15, .fd = 1}); // 128 samples, F1 150
  run_to_boundary();
  send_frame({.f1 = 31, .amplitude = 15, .fd = 1}); // F1 1047
  run_to_boundary();
  run_to_boundary(); // 150 Hz current, 1047 Hz the target
  ASSERT_EQ(mea.current->f[0], 150);
  ASSERT_EQ(mea.next->f[0], 1047);
  // Halfway through, the first resonator works at the middle frequency:
  // its state follows the recursion with cos(2 pi 598 / 8000).
  chip_samples(63);
  ASSERT_EQ(mea.sampleInFrame, 63);
  int64_t y1 = mea.y1[0], y2 = mea.y2[0];
  mea_sample();
  int32_t f = 150 + (1047 - 150) * 64 / 128;
  ASSERT_EQ(f, 598);
  int64_t in = static_cast<int64_t>(mea.excitation) * 1000 / 32;
  int64_t expected = in + (int64_t{cosTab[f]} * expTab[50] / 512 * y1 - exp2Tab[50] * y2) / 512;
  EXPECT_EQ(mea.y1[0], expected);
  EXPECT_EQ(mea.y2[0], y1);
}

// ---- excitation --------------------------------------------------------------

// Keeps a constant frame coming whenever the chip is ready.
std::vector<int32_t> speak(const FrameCodes& frame, int samples, std::vector<int32_t>* out) {
  std::vector<int32_t> e;
  for (int i = 0; i < samples; ++i) {
    if (mea.status == 0x80 && mea.receivedCount == 0) send_frame(frame);
    int32_t s = mea_sample();
    if (out) out->push_back(s);
    e.push_back(mea.excitation);
  }
  return e;
}

// Samples between successive falls of the sawtooth.
std::vector<int> sawtooth_periods(const std::vector<int32_t>& e) {
  std::vector<int> periods;
  int last = -1;
  for (size_t i = 1; i < e.size(); ++i) {
    if (e[i] < e[i - 1]) {
      if (last >= 0) periods.push_back(static_cast<int>(i) - last);
      last = static_cast<int>(i);
    }
  }
  return periods;
}

TEST_F(MeaTest, ConstantVoicedFrameHasASawtoothOf8000OverPitchSamples) {
  const FrameCodes vowel = {.f2 = 16, .f1 = 16, .amplitude = 9};
  mea_write(0xF8, 50); // 100 Hz
  speak(vowel, 64, nullptr);
  ASSERT_EQ(mea.pitchPrev, 100);
  ASSERT_EQ(mea.pitchCur, 100);
  std::vector<int32_t> e = speak(vowel, 1000, nullptr);
  std::vector<int> periods = sawtooth_periods(e);
  ASSERT_GE(periods.size(), 10u);
  for (int p : periods) EXPECT_EQ(p, 80);
  EXPECT_GE(*std::min_element(e.begin(), e.end()), -512);
  EXPECT_LE(*std::max_element(e.begin(), e.end()), 511);
  EXPECT_LE(*std::min_element(e.begin(), e.end()), -500);
  EXPECT_GE(*std::max_element(e.begin(), e.end()), 500);

  // 128 Hz: 62.5 samples, so periods of 62 and 63 averaging 62.5.
  mea_write(0xF9, 0x10);
  mea_write(0xF8, 64);
  speak(vowel, 64, nullptr);
  e = speak(vowel, 8000, nullptr);
  periods = sawtooth_periods(e);
  ASSERT_GE(periods.size(), 100u);
  int sum = 0;
  for (int p : periods) {
    EXPECT_TRUE(p == 62 || p == 63) << p;
    sum += p;
  }
  EXPECT_NEAR(static_cast<double>(sum) / periods.size(), 62.5, 0.02);
}

TEST_F(MeaTest, APitchBelowZeroRunsTheSawtoothDownWithinItsRange) {
  // 20 Hz, then 8 frames of -15 Hz: the pitch settles at -100 Hz.
  mea_write(0xF8, 10);
  const FrameCodes falling = {.f2 = 16, .f1 = 16, .amplitude = 9, .pi = 17};
  const FrameCodes steady = {.f2 = 16, .f1 = 16, .amplitude = 9};
  for (int i = 0; i < 8; ++i) {
    send_frame(falling);
    run_to_boundary();
  }
  speak(steady, 64 * 4, nullptr);
  ASSERT_EQ(mea.pitchPrev, -100);
  ASSERT_EQ(mea.pitchCur, -100);
  std::vector<int32_t> e = speak(steady, 1000, nullptr);
  EXPECT_GE(*std::min_element(e.begin(), e.end()), -512);
  EXPECT_LE(*std::max_element(e.begin(), e.end()), 511);
  // Falling ramps, each 80 samples long.
  int last = -1, rises = 0;
  for (size_t i = 1; i < e.size(); ++i) {
    if (e[i] > e[i - 1]) {
      if (last >= 0) { EXPECT_EQ(static_cast<int>(i) - last, 80); }
      last = static_cast<int>(i);
      ++rises;
    }
  }
  EXPECT_GE(rises, 10);
}

TEST_F(MeaTest, NoiseFrameTakesConsecutiveNoiseValues) {
  mea_write(0xF8, 50);
  const FrameCodes hiss = {.bw1 = 0, .bw2 = 0, .f2 = 10, .f1 = 10, .amplitude = 9, .pi = 16};
  speak(hiss, 64 * 3, nullptr); // three frame ends: the noise frame is current
  ASSERT_EQ(mea.current->noise, 1);
  int32_t phase = mea.phase;
  std::vector<int32_t> e = speak(hiss, 9000, nullptr);
  for (size_t i = 0; i < e.size(); ++i)
    ASSERT_EQ(e[i], noiseTab[(phase + 1 + static_cast<int32_t>(i)) % MEA_NOISE_SIZE]) << i;
}

TEST_F(MeaTest, PitchAndPhaseStayBoundedWithoutChangingTheSound) {
  // A pitch that keeps rising by 120 Hz a frame would pass 32 bits after
  // some 18 million frames; shifting it by the phase wrap is inaudible.
  const FrameCodes rising = {.f2 = 16, .f1 = 16, .amplitude = 9, .fd = 3, .pi = 15};
  mea_write(0xF8, 50);
  speak(rising, 2 * 64, nullptr);
  const MeaState start = mea;
  std::vector<int32_t> out1;
  std::vector<int32_t> e1 = speak(rising, 512 * 20, &out1);
  const int32_t endPitch = mea.pitchPrev;
  ASSERT_GT(endPitch, 2000);
  // The same start with the pitch one wrap higher, and one wrap lower.
  for (int32_t shift : {kMeaPhaseWrap, -kMeaPhaseWrap}) {
    mea = start;
    mea.pitchPrev += shift;
    mea.pitchCur += shift;
    std::vector<int32_t> out2;
    std::vector<int32_t> e2 = speak(rising, 512 * 20, &out2);
    EXPECT_EQ(e1, e2) << shift;
    EXPECT_EQ(out1, out2) << shift;
    // Within one wrap of zero (the higher start was brought back), the same
    // pitch modulo the wrap, and the step between the two values kept.
    EXPECT_LT(std::abs(mea.pitchPrev), kMeaPhaseWrap) << shift;
    EXPECT_EQ((mea.pitchPrev - endPitch) % kMeaPhaseWrap, 0) << shift;
    EXPECT_EQ(mea.pitchCur - mea.pitchPrev, 120) << shift;
    EXPECT_GE(mea.phase, 0);
    EXPECT_LT(mea.phase, kMeaPhaseWrap);
  }
}

// ---- resonators and the limit ---------------------------------------------------

TEST_F(MeaTest, OutputIsLimitedTo32767) {
  // Full amplitude into two narrow resonators on the same harmonic of the
  // pitch (110 Hz x 4 = 440 Hz) overdrives the output.
  const FrameCodes loud = {.f2 = 0, .f1 = 16, .amplitude = 15};
  mea_write(0xF8, 55);
  std::vector<int32_t> out;
  speak(loud, 4000, &out);
  int high = 0, low = 0;
  int64_t peakState = 0;
  for (int i = 0; i < 4000; ++i) {
    if (out[i] == 32767) ++high;
    if (out[i] == -32767) ++low;
    ASSERT_LE(out[i], 32767);
    ASSERT_GE(out[i], -32767);
  }
  // Look at the state behind the clipped samples.
  for (int i = 0; i < 2000; ++i) {
    int32_t s = mea_sample();
    if (mea.status == 0x80 && mea.receivedCount == 0) send_frame(loud);
    if (s == 32767 || s == -32767)
      peakState = std::max(peakState, std::abs(mea.y1[3]));
    else
      EXPECT_EQ(s, mea.y1[3]);
  }
  EXPECT_GT(high, 0);
  EXPECT_GT(low, 0);
  EXPECT_GT(peakState, 32767 * 4);
}

TEST_F(MeaTest, ResonatorsFallSilentWhenTheAmplitudeIsZero) {
  const FrameCodes loud = {.f2 = 16, .f1 = 16, .amplitude = 13, .fd = 1};
  const FrameCodes quiet = {.f2 = 16, .f1 = 16, .amplitude = 0, .fd = 1};
  mea_write(0xF8, 55);
  std::vector<int32_t> out;
  speak(loud, 2000, &out);
  EXPECT_GT(*std::max_element(out.begin(), out.end()), 1000);
  out.clear();
  speak(quiet, 8000, &out);
  for (int i = 7000; i < 8000; ++i) ASSERT_EQ(out[i], 0) << i;
}

// ---- upsampler -----------------------------------------------------------------

TEST_F(MeaTest, UpsamplerBlendsTheLastTwoSamplesTruncatingTowardZero) {
  // Stopped, the chip delivers zeros, so the blend from a set sample can be
  // followed exactly.
  mea.upPhase = 0;
  mea.upPrevious = 0;
  mea.upCurrent = 6000;
  int16_t out[12];
  mea_render(out, 12);
  const int16_t expected[12] = {1000, 2000, 3000, 4000, 5000, 6000,
                                5000, 4000, 3000, 2000, 1000, 0};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(out[i], expected[i]) << i;
  mea.upCurrent = -7;
  mea_render(out, 5);
  const int16_t negative[5] = {-1, -2, -3, -4, -5};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(out[i], negative[i]) << i;
}

TEST_F(MeaTest, SixOutputSamplesPerChipSample) {
  mea_write(0xF8, 55);
  send_frame({.f2 = 16, .f1 = 16, .amplitude = 12});
  const MeaState saved = mea; // the ring points into mea itself
  std::vector<int32_t> chip = chip_samples(200);
  mea = saved;
  std::vector<int16_t> out(1200);
  mea_render(out.data(), 1200);
  ASSERT_EQ(mea.upPhase, 0);
  int32_t prev = 0, cur = saved.upCurrent;
  for (int i = 0; i < 1200; ++i) {
    int j = i % 6 + 1; // 8000ths of the way from prev to cur, in sixths
    if (j == 6) {
      prev = cur;
      cur = chip[i / 6];
      j = 0;
    }
    ASSERT_EQ(out[i], ((6 - j) * prev + j * cur) / 6) << i;
  }
  EXPECT_NE(*std::max_element(out.begin(), out.end()), 0);
}

// ---- watchdog ------------------------------------------------------------------

// Runs the timed events up to time t in 1000 T-state steps; returns the
// time at which the chip was found stopped, or -1.
int64_t run_events_until(int64_t t) {
  for (int64_t now = cpu.tcount + 1000; now <= t; now += 1000) {
    cpu.tcount = now;
    event_run_due();
    if (mea.stopped) return now;
  }
  return -1;
}

TEST_F(MeaTest, WatchdogStopsASilentProgramWhenAutoStopIsOn) {
  mea_write(0xF9, 0x18); // stop, auto-stop
  mea_write(0xF8, 50);   // start at time 0
  ASSERT_EQ(mea.stopped, 0);
  // Frame length 64 x clock / 1000 = 192 000 T-states after the last write;
  // the watchdog looks every 60 000 T-states.
  EXPECT_EQ(run_events_until(600000), 240000);
  EXPECT_EQ(mea.status, 0x80);
}

TEST_F(MeaTest, WatchdogLeavesTheChipRunningWithoutAutoStop) {
  mea_write(0xF9, 0x10);
  mea_write(0xF8, 50);
  EXPECT_EQ(run_events_until(3000000), -1);
  EXPECT_EQ(mea.stopped, 0);
}

TEST_F(MeaTest, WatchdogLeavesTheChipRunningWhileDataComes) {
  mea_write(0xF9, 0x18);
  mea_write(0xF8, 50);
  for (int i = 0; i < 40; ++i) {
    ASSERT_EQ(run_events_until(cpu.tcount + 30000), -1) << i;
    mea_write(0xF8, 0x00); // frames of 64 samples
  }
  // Stopped at the first look after last write + 192 000 T-states.
  const int64_t last = cpu.tcount;
  const int64_t expected = (last + 192000) / 60000 * 60000 + 60000;
  EXPECT_EQ(run_events_until(last + 400000), expected);
}

TEST_F(MeaTest, WatchdogIsRescheduledFromItsOwnDueTime) {
  const TimedEvent* e = event_find(EVENT_SPEECH);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->callback, mea_watchdog);
  EXPECT_EQ(e->due, 60000);
  cpu.tcount = 60500;
  event_run_due();
  EXPECT_EQ(e->due, 120000);
  cpu.tcount = 250000; // late: it catches up by steps of 20 ms
  event_run_due();
  EXPECT_EQ(e->due, 180000);
}

// ---- start, stop and the mixer -------------------------------------------------

TEST_F(MeaTest, StartRegistersOnceAndStopLeavesTheMixer) {
  EXPECT_TRUE(source_listed("MEA8000"));
  EXPECT_EQ(soundCount, 1);
  mea_start();
  EXPECT_EQ(soundCount, 1);
  mea_stop();
  EXPECT_EQ(soundHead, nullptr);
  EXPECT_EQ(soundCount, 0);
  EXPECT_EQ(event_find(EVENT_SPEECH), nullptr);
  mea_stop();
  EXPECT_EQ(soundCount, 0);

  beeper_reset();
  mea_start();
  ASSERT_EQ(soundCount, 2);
  EXPECT_STREQ(soundHead->name, "beeper");
  ASSERT_NE(soundHead->next, nullptr);
  EXPECT_STREQ(soundHead->next->name, "MEA8000");
  mea_stop();
  EXPECT_EQ(soundCount, 1);
  EXPECT_STREQ(soundHead->name, "beeper");
  EXPECT_FALSE(source_listed("MEA8000"));
  sound_unregister(soundHead);
}

TEST_F(MeaTest, ResetSilencesAndStartPowersUp) {
  mea_write(0xF8, 50);
  send_frame({.f2 = 16, .f1 = 16, .amplitude = 12});
  chip_samples(2 * 64 + 10); // the frame is the target of the third

  mea_write(0xF8, 1);
  audio_reset(); // the source's reset
  EXPECT_EQ(mea.stopped, 16);
  EXPECT_EQ(mea.receivedCount, 0);
  EXPECT_EQ(mea.status, 0x80);
  EXPECT_EQ(mea.sampleInFrame, 0);
  EXPECT_NE(mea.y1[0], 0); // the reset touches nothing else
  mea_start();
  EXPECT_EQ(mea.y1[0], 0);
  EXPECT_EQ(mea.spare->f[0], 0);
  EXPECT_EQ(mea.current, &mea.records[0]);
  EXPECT_EQ(mea.stopped, 16);
}

// ---- tables --------------------------------------------------------------------

TEST_F(MeaTest, ComputedTablesAreTruncated) {
  EXPECT_EQ(cosTab[0], 1024);
  EXPECT_EQ(cosTab[1000], 724);
  EXPECT_EQ(cosTab[2000], 0);
  EXPECT_EQ(cosTab[3000], -724); // toward zero
  EXPECT_EQ(expTab[0], 512);
  EXPECT_EQ(expTab[1765], 256); // 256.009
  EXPECT_EQ(expTab[1766], 255); // 255.908
  EXPECT_EQ(expTab[726], 384);
  EXPECT_EQ(exp2Tab[0], 512);
  EXPECT_EQ(exp2Tab[882], 256); // 256.109
  EXPECT_EQ(exp2Tab[883], 255); // 255.908
  EXPECT_EQ(exp2Tab[50], 492);
  for (int f = 1; f < MEA_TABLE_SIZE; ++f) {
    ASSERT_LE(expTab[f], expTab[f - 1]);
    ASSERT_LE(cosTab[f], cosTab[f - 1]);
  }
}

TEST_F(MeaTest, NoiseComesFromTheGeneratorAndGoesOnAcrossStarts) {
  meaNoiseState = 1;
  mea_start();
  // The generator's first values from state 1: 41, 18467, 6334, 26500, 19169.
  EXPECT_EQ(noiseTab[0], 41 - 512);
  EXPECT_EQ(noiseTab[1], (18467 & 0x3FF) - 512);
  EXPECT_EQ(noiseTab[2], (6334 & 0x3FF) - 512);
  EXPECT_EQ(noiseTab[3], (26500 & 0x3FF) - 512);
  EXPECT_EQ(noiseTab[4], (19169 & 0x3FF) - 512);
  std::vector<int32_t> first(noiseTab, noiseTab + MEA_NOISE_SIZE);
  int bins[8] = {};
  int64_t sum = 0;
  for (int32_t v : first) {
    ASSERT_GE(v, -512);
    ASSERT_LE(v, 511);
    ++bins[(v + 512) / 128];
    sum += v;
  }
  for (int b : bins) EXPECT_NEAR(b, 1024, 150);
  EXPECT_NEAR(static_cast<double>(sum) / MEA_NOISE_SIZE, -0.5, 12.0);
  mea_start();
  std::vector<int32_t> second(noiseTab, noiseTab + MEA_NOISE_SIZE);
  EXPECT_NE(first, second);
  meaNoiseState = 1;
  mea_start();
  EXPECT_EQ(std::vector<int32_t>(noiseTab, noiseTab + MEA_NOISE_SIZE), first);
}

} // namespace
