// The Tarvik firmware's bit-level tape format on the firmware test board:
// the pulses the save writes, and a round trip through a 44.1 kHz, 8-bit
// recording made the way the WAV tape recorder makes it (fast low-pass
// towards the level, slow one subtracted, hysteresis on playback).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "cpu/cpu.h"
#include "tarvik_rig.h"

namespace {

constexpr int64_t kClock = 3000000;
constexpr int64_t kRate = 44100;

bool at_prompt() { return rig::last_line() == ">"; }

void boot() {
  rig::reset();
  ASSERT_GE(rig::run_until(at_prompt, 50), 0);
}

void command(const std::string& line, int maxFrames) {
  rig::paste(line + "\r");
  ASSERT_GE(rig::run_until([] { return rig::paste_done() && at_prompt(); }, maxFrames), 0)
      << line << "\n"
      << rig::screen();
}

struct Pulse {
  int64_t start;
  int64_t width; // T-states high
};

std::vector<Pulse> high_pulses(const std::vector<rig::Edge>& edges) {
  std::vector<Pulse> pulses;
  for (size_t i = 0; i + 1 < edges.size(); ++i)
    if (edges[i].level == 1 && edges[i + 1].level == 0)
      pulses.push_back({edges[i].time, edges[i + 1].time - edges[i].time});
  return pulses;
}

// Bytes decoded from the pulses: a sync pulse (over 1900 T) and eight bit
// pulses (over 1100 T: 1).
std::vector<uint8_t> decode(const std::vector<Pulse>& pulses) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < pulses.size(); ++i) {
    if (pulses[i].width < 1900) continue;
    if (i + 8 >= pulses.size()) break;
    uint8_t b = 0;
    for (int k = 1; k <= 8; ++k) b = static_cast<uint8_t>(b << 1 | (pulses[i + k].width > 1100));
    bytes.push_back(b);
    i += 8;
  }
  return bytes;
}

// The recorder: samples of the output level, unsigned 8-bit at 44.1 kHz.
std::vector<uint8_t> record(const std::vector<rig::Edge>& edges, int64_t from, int64_t to) {
  std::vector<uint8_t> samples;
  double y1 = 0, y2 = 0;
  int64_t last = from;
  int level = 0;
  auto feed = [&](int64_t t) {
    int64_t n = (t - last) * kRate / kClock;
    if (n < 1) return;
    for (int64_t i = 0; i < n; ++i) {
      samples.push_back(static_cast<uint8_t>((static_cast<int>(y1 - y2) & 0xFF) ^ 0x80));
      y1 += ((level ? 112.0 : 0.0) - y1) * 0.5077;
      y2 += (y1 - y2) * 0.0070984;
    }
    last = t;
  };
  for (const rig::Edge& e : edges) {
    if (e.time < from) {
      level = e.level;
      continue;
    }
    feed(e.time);
    level = e.level;
  }
  feed(to);
  return samples;
}

// The player: the input level of each sample, with the hysteresis of one
// step around the middle.
std::vector<uint8_t> play(const std::vector<uint8_t>& samples) {
  std::vector<uint8_t> levels;
  int level = 0;
  for (uint8_t b : samples) {
    if (b > 129) level = 1;
    if (b < 127) level = 0;
    levels.push_back(static_cast<uint8_t>(level));
  }
  return levels;
}

// Plays the levels from cycle time `start` on, `speed` times as fast as
// recorded; before the start and after the end the input is 0 and 1.
void play_from(const std::vector<uint8_t>& levels, int64_t start, double speed) {
  rig::tapeInput = [levels, start, speed](int64_t t) -> int {
    if (t < start) return 0;
    const int64_t i = static_cast<int64_t>(static_cast<double>(t - start) * speed * kRate / kClock);
    return i < static_cast<int64_t>(levels.size()) ? levels[i] : 1;
  };
}

std::vector<uint8_t> test_data() {
  std::vector<uint8_t> data;
  uint32_t x = 12345;
  for (int i = 0; i < 96; ++i) {
    x = x * 1103515245 + 12345;
    data.push_back(static_cast<uint8_t>(x >> 16));
  }
  data[0] = 0x00;
  data[1] = 0xFF;
  data[2] = 0xA5;
  return data;
}

// Boots, puts the data at 4100h, saves it as "ADAT" and returns the output
// edges with the time the save started and ended.
std::vector<rig::Edge> save(const std::vector<uint8_t>& data, int64_t* from, int64_t* to) {
  boot();
  std::copy(data.begin(), data.end(), rig::mem + 0x4100);
  rig::outEdges.clear();
  *from = cpu.tcount;
  char line[40];
  std::snprintf(line, sizeof line, "K ADAT 4100 %04X",
                static_cast<unsigned>(0x4100 + data.size() - 1));
  command(line, 400);
  *to = cpu.tcount;
  return rig::outEdges;
}

TEST(FirmwareTape, SaveWritesThreePulseWidthsAndTheContractedBytes) {
  const std::vector<uint8_t> data = test_data();
  int64_t from, to;
  const std::vector<rig::Edge> edges = save(data, &from, &to);
  const std::vector<Pulse> pulses = high_pulses(edges);
  int64_t minZero = 1 << 30, maxZero = 0, minOne = 1 << 30, maxOne = 0, minSync = 1 << 30,
          maxSync = 0;
  for (const Pulse& p : pulses) {
    if (p.width < 1100) {
      minZero = std::min(minZero, p.width);
      maxZero = std::max(maxZero, p.width);
    } else if (p.width < 1900) {
      minOne = std::min(minOne, p.width);
      maxOne = std::max(maxOne, p.width);
    } else {
      minSync = std::min(minSync, p.width);
      maxSync = std::max(maxSync, p.width);
    }
  }
  // 253 us, 504 us and 747 us at 3 MHz, the same every time.
  EXPECT_EQ(minZero, 758);
  EXPECT_EQ(maxZero, 758);
  EXPECT_EQ(minOne, 1512);
  EXPECT_EQ(maxOne, 1512);
  EXPECT_EQ(minSync, 2240);
  EXPECT_EQ(maxSync, 2240);

  std::vector<uint8_t> expected(256, 0x00);
  expected.push_back(0xA5);
  for (char c : std::string("ADAT")) expected.push_back(static_cast<uint8_t>(c));
  expected.push_back(0);
  expected.push_back(0x00);
  expected.push_back(0x41);
  expected.push_back(static_cast<uint8_t>(data.size()));
  expected.push_back(0);
  uint8_t sum = 0;
  for (uint8_t b : data) sum = static_cast<uint8_t>(sum + b);
  expected.insert(expected.end(), data.begin(), data.end());
  expected.push_back(sum);
  expected.push_back(0);
  expected.push_back(0);
  EXPECT_EQ(decode(pulses), expected);

  // Every low gap lasts at least as long as the pulse before it.
  for (size_t i = 0; i + 1 < pulses.size(); ++i) {
    const int64_t gap = pulses[i + 1].start - (pulses[i].start + pulses[i].width);
    ASSERT_GE(gap, pulses[i].width - 20) << i;
  }
}

class RoundTrip : public ::testing::TestWithParam<double> {};

TEST_P(RoundTrip, LoadsARecordingAt44kHz) {
  const std::vector<uint8_t> data = test_data();
  int64_t from, to;
  const std::vector<rig::Edge> edges = save(data, &from, &to);
  const std::vector<uint8_t> levels = play(record(edges, from, to + kClock / 2));

  boot();
  rig::outEdges.clear();
  play_from(levels, cpu.tcount + kClock / 2, GetParam()); // the tape starts half a second later
  command("B", 400);
  for (size_t i = 0; i < data.size(); ++i) ASSERT_EQ(rig::mem[0x4100 + i], data[i]) << i;
  EXPECT_TRUE(rig::screen_has("ADAT 4100-415F")) << rig::screen();
  EXPECT_TRUE(rig::screen_has("Bet\x7Cltve.")) << rig::screen();
  EXPECT_EQ(rig::word(0x4030), 0x4100);
  EXPECT_EQ(rig::word(0x4018), 0x4160);
}

// The recording played as it was, and 4 % slower and faster.
INSTANTIATE_TEST_SUITE_P(Speeds, RoundTrip, ::testing::Values(1.0, 0.96, 1.04));

TEST(FirmwareTape, DamagedRecordingIsReported) {
  const std::vector<uint8_t> data = test_data();
  int64_t from, to;
  const std::vector<rig::Edge> edges = save(data, &from, &to);
  std::vector<uint8_t> levels = play(record(edges, from, to + kClock / 2));
  // Two milliseconds stuck at the high level from the sync pulse of the
  // 40th data byte on (byte 256 + 1 + 5 + 4 + 40 of the block).
  std::vector<int64_t> syncs;
  for (const Pulse& p : high_pulses(edges))
    if (p.width > 1900) syncs.push_back(p.start);
  ASSERT_GT(syncs.size(), 306u);
  const size_t damaged = static_cast<size_t>((syncs[306] - from) * kRate / kClock);
  std::fill(levels.begin() + damaged, levels.begin() + damaged + 88, 1);
  boot();
  play_from(levels, cpu.tcount, 1.0);
  command("B", 400);
  EXPECT_TRUE(rig::screen_has("HIBA")) << rig::screen();
}

TEST(FirmwareTape, ByteReadGivesUpAfterAboutASecondOfSilence) {
  boot();
  // or a; call 067Ch; push af; pop bc; ld (4210h),bc; ret
  command("M 4200 B7 CD 7C 06 F5 C1 ED 43 10 42 C9", 50);
  rig::tapeInput = [](int64_t) { return 0; };
  const int64_t start = cpu.tcount;
  command("F 4200", 200);
  const double seconds = static_cast<double>(cpu.tcount - start) / kClock;
  EXPECT_EQ(rig::mem[0x4210] & 0x01, 0) << "carry clear: no byte";
  EXPECT_GT(seconds, 0.8);
  EXPECT_LT(seconds, 2.5);
}

} // namespace
