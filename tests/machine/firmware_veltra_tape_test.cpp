// The Veltra-16 firmware's tape: the pulses its save writes, read back by a
// decoder of our own; and loads from those pulses as a 44.1 kHz recording
// brings them back, the recorder's filter and the player's thresholds as
// the WAV tape applies them, at the right speed and a few percent off.
// The pulses are taken from the firmware's writes to 0x3C00 and the input
// level is handed to the machine's cassette input before each read of
// 0xE000, so the real memory map and scheduler run throughout.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "machine/keyboard.h"
#include "machine_fixture.h"
#include "media/wav_tape.h"
#include "veltra_firmware.h"

namespace {

constexpr int64_t kPulseTicks = 308; // 77 us at 4 MHz
constexpr double kClock = 4000000.0, kRate = 44100.0;

// ---- the firmware's writes and reads ------------------------------------------

std::vector<int64_t> pulseTimes;
void record_pulse(uint16_t address, uint8_t value) {
  pulseTimes.push_back(cpu.tcount);
  cpu_default_write()(address, value);
}

// The recording the loader hears: 8-bit samples from `start`, played from
// `playStart` on at `speed` times the recording speed.
struct Recording {
  int64_t start = 0;
  std::vector<uint8_t> levels; // the player's input level after each sample
  int64_t playStart = -1;      // set at the loader's first read
  int64_t playDelay = 40000;   // the tape starts this long after that
  double speed = 1.0;
};
Recording tape;

int tape_level(int64_t t) {
  if (tape.playStart < 0) tape.playStart = t + tape.playDelay;
  if (t < tape.playStart) return 0;
  const double p = std::floor((t - tape.playStart) * kRate * tape.speed / kClock + 0.5);
  const int64_t n = static_cast<int64_t>(p);
  if (n <= 0) return 0;
  if (n > static_cast<int64_t>(tape.levels.size())) return 1; // past the end: 0xFF
  return tape.levels[static_cast<size_t>(n - 1)];
}

// With the picture off, 0xE000 answers the modelled tape's level in bit 0
// (in place of the WAV player); otherwise the machine answers.
uint8_t read_tape(uint16_t address) {
  if (machineState.veltraVideoOn) return cpu_default_read()(address);
  return static_cast<uint8_t>(0xFE | tape_level(cpu.tcount));
}

// The recorder: the level held up to each change, in whole samples, through
// its two filters; then the player's thresholds with their hysteresis.
Recording record(const std::vector<int64_t>& pulses, int64_t from, int64_t to) {
  Recording r;
  r.start = from;
  std::vector<uint8_t> bytes;
  double y1 = 0, y2 = 0;
  int64_t last = from;
  auto feed = [&](int64_t t, int level) {
    const int64_t n = (t - last) * static_cast<int64_t>(kRate) / static_cast<int64_t>(kClock);
    if (n < 1) return;
    for (int64_t i = 0; i < n; ++i) {
      bytes.push_back(static_cast<uint8_t>((static_cast<int>(y1 - y2) & 0xFF) ^ 0x80));
      y1 += ((level ? 112.0 : 0.0) - y1) * 0.5077;
      y2 += (y1 - y2) * 0.0070984;
    }
    last = t;
  };
  for (int64_t p : pulses) {
    if (p < from || p > to) continue;
    feed(p, 0);
    feed(p + kPulseTicks, 1);
  }
  feed(to, 0);
  int level = 0;
  for (uint8_t b : bytes) {
    if (b > 129) level = 1;
    if (b <= 127) level = 0;
    r.levels.push_back(static_cast<uint8_t>(level));
  }
  return r;
}

// ---- reading the pulses back ---------------------------------------------------------

struct Block {
  uint8_t type = 0;
  std::vector<uint8_t> payload;
  uint8_t sum = 0;
};

enum Gap { GAP_0, GAP_1, GAP_SYNC, GAP_OTHER };
Gap classify(int64_t d) {
  if (d >= 950 && d <= 1150) return GAP_0;
  if (d >= 1950 && d <= 2150) return GAP_1;
  if (d >= 2950 && d <= 3050) return GAP_SYNC;
  return GAP_OTHER;
}

// Blocks: at least 64 leader distances, a sync, then bytes most significant
// bit first; a header's payload is 14 bytes, a data block's is as long as
// the header before it says.
std::vector<Block> decode(const std::vector<int64_t>& pulses) {
  std::vector<Block> blocks;
  size_t leader = 0, dataLength = 0;
  for (size_t i = 1; i < pulses.size(); ++i) {
    const Gap g = classify(pulses[i] - pulses[i - 1]);
    if (g == GAP_0) ++leader;
    if (g != GAP_SYNC) {
      if (g != GAP_0) leader = 0;
      continue;
    }
    EXPECT_GE(leader, 64u);
    leader = 0;
    auto byte_at = [&](size_t k) {
      uint8_t v = 0;
      for (size_t bit = 0; bit < 8; ++bit) {
        const size_t j = i + 1 + 8 * k + bit;
        if (j >= pulses.size()) {
          ADD_FAILURE() << "the tape ends inside a block";
          return v;
        }
        const Gap b = classify(pulses[j] - pulses[j - 1]);
        EXPECT_TRUE(b == GAP_0 || b == GAP_1) << "distance " << pulses[j] - pulses[j - 1];
        v = static_cast<uint8_t>(v << 1 | (b == GAP_1));
      }
      return v;
    };
    Block block;
    block.type = byte_at(0);
    const size_t length = block.type == 0 ? 14 : dataLength;
    for (size_t k = 0; k < length; ++k) block.payload.push_back(byte_at(1 + k));
    block.sum = byte_at(1 + length);
    if (block.type == 0) dataLength = block.payload[12] | block.payload[13] << 8;
    i += 8 * (length + 2);
    blocks.push_back(block);
  }
  return blocks;
}

uint8_t sum_of(const std::vector<uint8_t>& bytes) {
  uint8_t s = 0;
  for (uint8_t b : bytes) s = static_cast<uint8_t>(s + b);
  return s;
}

// ---- the tests ---------------------------------------------------------------------

class VeltraTape : public MachineTest {
protected:
  void SetUp() override {
    ASSERT_GT(boot_veltra(), 0);
    pulseTimes.clear();
    tape = Recording();
    cassetteInputLevel = 0;
    writeHandlers[0x3C00] = record_pulse;
    readHandlers[0xE000] = read_tape;
  }
  void TearDown() override {
    cassetteInputLevel = 0;
    MachineTest::TearDown();
  }
  // Types a command that may run for many frames (a tape transfer): the
  // line is pasted, then its Enter, without waiting for that paste to end
  // (it ends at the next key poll, after the command).
  void enter(const std::string& line) {
    paste_text(line);
    ASSERT_TRUE(paste_begin("\r", 1));
  }
  void long_command(const std::string& line, int frames) {
    enter(line);
    ASSERT_TRUE(run_frames_until(at_prompt, frames)) << line;
  }
  void fill(uint16_t from, int length, int seed) {
    for (int i = 0; i < length; ++i) memory[from + i] = static_cast<uint8_t>(i * 7 + seed);
  }
  // The pulses so far as a recording, from just before the first to just
  // after the last.
  void make_tape() {
    ASSERT_FALSE(pulseTimes.empty());
    tape = record(pulseTimes, pulseTimes.front() - 20000, pulseTimes.back() + 20000);
    pulseTimes.clear();
  }
};

TEST_F(VeltraTape, SaveWritesHeaderAndDataBlocksWithThePictureOff) {
  fill(0x4300, 256, 3);
  enter("K 4300 43FF TESZT");
  EXPECT_TRUE(run_frames_until([] { return machineState.veltraVideoOn == 0; }, 10));
  ASSERT_TRUE(run_frames_until(at_prompt, 400));
  EXPECT_EQ(machineState.veltraVideoOn, 1u);
  EXPECT_TRUE(screen_contains("KIMENTVE: TESZT      4300-43FF"));

  // 4000 + 1 + 16 * 8 + 16 pulses for the header, 1000 + 1 + 258 * 8 + 16
  // for the data.
  EXPECT_EQ(pulseTimes.size(), 4145u + 3081u);
  int counts[4] = {};
  for (size_t i = 1; i < pulseTimes.size(); ++i)
    ++counts[classify(pulseTimes[i] - pulseTimes[i - 1])];
  EXPECT_EQ(counts[GAP_SYNC], 2);
  EXPECT_EQ(counts[GAP_OTHER], 1); // between the two blocks
  const std::vector<Block> blocks = decode(pulseTimes);
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[0].type, 0x00);
  const std::vector<uint8_t> name = veltra_codes("TESZT     ");
  EXPECT_EQ(std::vector<uint8_t>(blocks[0].payload.begin(), blocks[0].payload.begin() + 10), name);
  EXPECT_EQ(blocks[0].payload[10] | blocks[0].payload[11] << 8, 0x4300);
  EXPECT_EQ(blocks[0].payload[12] | blocks[0].payload[13] << 8, 256);
  EXPECT_EQ(blocks[0].sum, sum_of(blocks[0].payload));
  EXPECT_EQ(blocks[1].type, 0xFF);
  EXPECT_EQ(blocks[1].payload, std::vector<uint8_t>(memory + 0x4300, memory + 0x4400));
  EXPECT_EQ(blocks[1].sum, sum_of(blocks[1].payload));
}

class VeltraTapeSpeed : public VeltraTape, public ::testing::WithParamInterface<double> {};

TEST_P(VeltraTapeSpeed, LoadBringsBackWhatWasSaved) {
  fill(0x4300, 256, 11);
  const std::vector<uint8_t> saved(memory + 0x4300, memory + 0x4400);
  long_command("K 4300 43FF ADAT", 400);
  make_tape();
  tape.speed = GetParam();
  std::memset(memory + 0x4300, 0, 256);
  enter("B ADAT");
  EXPECT_TRUE(run_frames_until([] { return machineState.veltraVideoOn == 0; }, 10));
  ASSERT_TRUE(run_frames_until(at_prompt, 500));
  EXPECT_TRUE(screen_contains("BETÖLTVE: ADAT       4300-43FF"));
  EXPECT_EQ(std::vector<uint8_t>(memory + 0x4300, memory + 0x4400), saved);
  EXPECT_EQ(machineState.veltraVideoOn, 1u);
  EXPECT_EQ(memory[0x4400], 0); // nothing past the end
}

INSTANTIATE_TEST_SUITE_P(Speeds, VeltraTapeSpeed, ::testing::Values(1.0, 0.95, 1.05));

TEST_F(VeltraTape, LoadSkipsOtherNamesAndTakesTheNamedFile) {
  fill(0x4300, 16, 1);
  fill(0x4400, 32, 2);
  const std::vector<uint8_t> second(memory + 0x4400, memory + 0x4420);
  long_command("K 4300 430F EGY", 300);
  long_command("K 4400 441F KETTO", 300);
  make_tape();
  std::memset(memory + 0x4300, 0, 0x200);
  long_command("B KETTO", 400);
  EXPECT_TRUE(screen_contains("KIHAGYVA: EGY        4300-430F"));
  EXPECT_TRUE(screen_contains("BETÖLTVE: KETTO      4400-441F"));
  EXPECT_EQ(std::vector<uint8_t>(memory + 0x4400, memory + 0x4420), second);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(memory[0x4300 + i], 0) << i;
}

TEST_F(VeltraTape, LoadWithoutANameTakesTheFirstFile) {
  fill(0x4300, 16, 5);
  const std::vector<uint8_t> first(memory + 0x4300, memory + 0x4310);
  long_command("K 4300 430F ELSO", 300);
  long_command("K 4300 430F MASODIK", 300);
  make_tape();
  std::memset(memory + 0x4300, 0, 16);
  long_command("B", 300);
  EXPECT_TRUE(screen_contains("BETÖLTVE: ELSO       4300-430F"));
  EXPECT_FALSE(screen_contains("KIHAGYVA"));
  EXPECT_FALSE(screen_contains("BETÖLTVE: MASODIK"));
  EXPECT_EQ(std::vector<uint8_t>(memory + 0x4300, memory + 0x4310), first);
}

TEST_F(VeltraTape, DamagedDataIsReported) {
  fill(0x4300, 64, 9);
  long_command("K 4300 433F HIBAS", 300);
  // Take out one pulse in the middle of the data, between two 0 bits: two
  // distances become one, and the bits after it slip.
  std::vector<int64_t> damaged = pulseTimes;
  size_t syncs = 0, victim = 0;
  for (size_t i = 1; i + 1 < damaged.size() && !victim; ++i) {
    if (classify(damaged[i] - damaged[i - 1]) == GAP_SYNC) ++syncs;
    if (syncs == 2 && i > damaged.size() - 300 && classify(damaged[i] - damaged[i - 1]) == GAP_0 &&
        classify(damaged[i + 1] - damaged[i]) == GAP_0)
      victim = i;
  }
  ASSERT_NE(victim, 0u);
  damaged.erase(damaged.begin() + static_cast<std::ptrdiff_t>(victim));
  tape = record(damaged, damaged.front() - 20000, damaged.back() + 20000);
  pulseTimes.clear();
  long_command("B HIBAS", 400);
  EXPECT_TRUE(screen_contains("OLVASÁSI HIBA"));
  EXPECT_FALSE(screen_contains("BETÖLTVE"));
  EXPECT_EQ(pulseTimes.size(), 100u); // the beep
}

TEST_F(VeltraTape, BreakStopsTheWaitForATape) {
  enter("B");
  run_frames(20);
  EXPECT_EQ(machineState.veltraVideoOn, 0u); // still waiting, picture off
  press(VKEY_END);
  run_frames(40); // held on past the key repeat, as a hand does
  EXPECT_TRUE(screen_contains("MEGSZAKÍTVA"));
  release(VKEY_END);
  ASSERT_TRUE(run_frames_until(at_prompt, 20));
  EXPECT_EQ(machineState.veltraVideoOn, 1u);
  // The End that stopped the search is not taken again at the prompt: the
  // one prompt stands on the row after the message.
  run_frames(5);
  const int row = memory[kCurRow];
  ASSERT_TRUE(at_prompt());
  ASSERT_GT(row, 0);
  EXPECT_EQ(veltra_row(row - 1), "MEGSZAKÍTVA");
}

} // namespace

// The whole way through real files: the firmware saves into a WAV tape
// (the recorder hears its beeper pulses), the tape is attached, and the
// firmware loads it back through the player.
class VeltraWavTape : public MachineTest {
protected:
  void SetUp() override { ASSERT_GT(boot_veltra(), 0); }
  void TearDown() override {
    wav_close();
    std::remove(path.c_str());
    MachineTest::TearDown();
  }
  void command(const std::string& line, int frames) {
    paste_text(line);
    ASSERT_TRUE(paste_begin("\r", 1));
    ASSERT_TRUE(run_frames_until(at_prompt, frames)) << line;
  }
  std::string path =
      ::testing::TempDir() + "veltra_wav_tape_" + std::to_string(::getpid()) + ".wav";
};

TEST_F(VeltraWavTape, SaveToAWavTapeAndLoadItBack) {
  for (int i = 0; i < 256; ++i) memory[0x4300 + i] = static_cast<uint8_t>(i * 13 + 5);
  const std::vector<uint8_t> saved(memory + 0x4300, memory + 0x4400);
  ASSERT_TRUE(wav_create(path.c_str(), 44100));
  wav_set_running(1, cpu.tcount);
  command("K 4300 43FF TESZT", 400);
  wav_close();

  std::memset(memory + 0x4300, 0, 256);
  ASSERT_TRUE(wav_attach(path.c_str()));
  wav_set_running(1, cpu.tcount);
  run_frames(5);
  EXPECT_FALSE(wav_being_read(cpu.tcount)) << "the tape plays, but nothing reads it";
  // While the firmware loads, the host sees the tape being read.
  paste_text("B TESZT");
  ASSERT_TRUE(paste_begin("\r", 1));
  int readFrames = 0;
  ASSERT_TRUE(run_frames_until(
      [&] {
        readFrames += wav_being_read(cpu.tcount);
        return at_prompt();
      },
      500));
  EXPECT_GT(readFrames, 50);
  EXPECT_TRUE(screen_contains("BETÖLTVE: TESZT      4300-43FF"));
  EXPECT_EQ(std::vector<uint8_t>(memory + 0x4300, memory + 0x4400), saved);
  run_frames(55);
  EXPECT_FALSE(wav_being_read(cpu.tcount)) << "a second after the last read";
}
