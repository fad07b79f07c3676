// The one-bit output as heard: a listening sound source records the
// beeper's level for every sample the audio chain renders.
#include <vector>

#include "host/output/audio.h"
#include "machine/beeper_output.h"
#include "machine/sound.h"
#include "machine_fixture.h"

namespace {

std::vector<int16_t> heard;

void listen(int16_t* destination, int count) {
  for (int i = 0; i < count; ++i) {
    heard.push_back(beeperLevel);
    destination[i] = 0;
  }
}
SoundSource listener = {"listener", nullptr, listen, nullptr};

// The 48 kHz sample that cycle-counter time t falls on.
int64_t sample_at(int64_t t) {
  return static_cast<int64_t>(static_cast<double>(t) * 48000 / cpu.clockHz + 0.5);
}

class Beeper : public MachineTest {
protected:
  void start(uint32_t m) {
    bring_up(m);
    // The headless device keeps the output in step, so every sample is
    // rendered exactly once.
    audio_select_driver(1);
    const uint8_t spin[] = {0x18, 0xFE};
    load_program(spin, sizeof spin, 0x4000);
    run_frames(20);
    sound_register(&listener);
    audio_update(cpu.tcount);
    heard.clear();
    start_sample = sample_at(cpu.tcount);
  }
  void TearDown() override {
    sound_unregister(&listener);
    audio_select_driver(0);
    MachineTest::TearDown();
  }
  // Number of high samples heard and where the first one was.
  int high_samples(int64_t* first) {
    int n = 0;
    *first = -1;
    for (size_t i = 0; i < heard.size(); ++i) {
      if (heard[i] == 4096) {
        if (*first < 0) *first = static_cast<int64_t>(i) + start_sample;
        ++n;
      } else {
        EXPECT_EQ(heard[i], 0);
      }
    }
    return n;
  }
  int64_t start_sample = 0;
};

TEST_F(Beeper, TarvikReadsMakeOneSampleExactHighStretch) {
  start(MODEL_TARVIK41);
  cpu.tcount += 1000;
  const int64_t on = cpu.tcount;
  tarvik_read(0xE080);
  cpu.tcount += 3001;
  tarvik_read(0xE081); // bit 7 still set: nothing changes
  cpu.tcount += 3000;
  const int64_t off = cpu.tcount;
  tarvik_read(0xE000);
  cpu.tcount += 2000;
  audio_update(cpu.tcount);
  int64_t first;
  EXPECT_EQ(high_samples(&first), sample_at(off) - sample_at(on));
  EXPECT_EQ(first, sample_at(on));
}

TEST_F(Beeper, VeltraPulsesCloserThanTheirLengthMerge) {
  start(MODEL_VELTRA16);
  ASSERT_EQ(us_to_ticks(77), 308u);
  cpu.tcount += 1000;
  const int64_t first_pulse = cpu.tcount;
  veltra_write(0x3C00, 0);
  EXPECT_EQ(pulseEnd, first_pulse + 308);
  cpu.tcount += 100;
  veltra_write(0x3C00, 0);
  const int64_t end = cpu.tcount + 308;
  EXPECT_EQ(pulseEnd, end);
  cpu.tcount += 2000;
  veltra_pulse_frame_end(); // the scheduler closes the pulse
  EXPECT_EQ(pulseEnd, 0);
  EXPECT_EQ(beeperLevel, 0);
  cpu.tcount += 1000;
  audio_update(cpu.tcount);
  int64_t first;
  EXPECT_EQ(high_samples(&first), sample_at(end) - sample_at(first_pulse));
  EXPECT_EQ(first, sample_at(first_pulse));
}

TEST_F(Beeper, VeltraPulseAfterAnEndedOneStartsAgain) {
  start(MODEL_VELTRA16);
  veltra_write(0x3C00, 0);
  const int64_t first_end = pulseEnd;
  cpu.tcount += 5000;
  const int64_t second = cpu.tcount;
  veltra_write(0x3C00, 0);
  EXPECT_EQ(pulseEnd, second + 308);
  cpu.tcount += 5000;
  veltra_pulse_frame_end();
  audio_update(cpu.tcount);
  int64_t first;
  EXPECT_EQ(high_samples(&first), (sample_at(first_end) - sample_at(first_end - 308)) +
                                      (sample_at(second + 308) - sample_at(second)));
}

TEST_F(Beeper, OnlyTheBeeperIsHeardOnATarvik) {
  start(MODEL_TARVIK31);
  tarvik_read(0xE080);
  EXPECT_EQ(soundCount, 2); // the beeper and this test's listener
  EXPECT_EQ(soundHead->name, std::string("beeper"));
}

} // namespace
