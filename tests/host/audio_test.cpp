// The audio output chain: sample clock, blocks, filter, drift check,
// driver switching and recording; and the sound-source mixing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cpu/cpu.h"
#include "host/output/audio.h"
#include "host/sound_driver.h"
#include "machine/sound.h"

namespace {

// A driver whose play position the test sets, keeping every block.
std::vector<std::vector<int16_t>> blocks;
std::vector<uint32_t> offsets;
int32_t testPosition;
int pauses, resumes, resets;

bool test_open(int);
void test_close() {}
int test_write(const int16_t* samples, uint32_t offset, uint32_t bytes) {
  blocks.emplace_back(samples, samples + bytes / 2);
  offsets.push_back(offset);
  return static_cast<int>(bytes);
}
void test_reset() { ++resets; }
void test_pause() { ++pauses; }
void test_resume() { ++resumes; }
int32_t test_position() { return testPosition; }
const SoundDriver testDriver = {"Test",     test_open,  test_close,  test_write,
                                test_reset, test_pause, test_resume, test_position};
bool test_open(int rate) {
  EXPECT_EQ(rate, 48000);
  sound_driver_install(&testDriver);
  return true;
}

// The lead in blocks is write position minus play position; this puts the
// play position `lead` blocks behind the next write.
void set_lead(int lead) {
  testPosition = static_cast<int32_t>(
      (audio_write_position() + AUDIO_RING_BYTES - lead * AUDIO_BLOCK_BYTES) % AUDIO_RING_BYTES);
}

// 62.5 T-states per sample at 3 MHz; block boundaries fall on whole T-states.
int64_t samples_to_t(int64_t samples) { return samples * 3000000 / 48000; }

class Audio : public ::testing::Test {
protected:
  void SetUp() override {
    cpu_init(3000000);
    while (soundHead) sound_unregister(soundHead);
    beeper_reset();
    audio_open_driver(&testDriver);
    audio_init();
    audio_resume();
    // The drift history outlives a driver switch: run the output at a
    // steady lead of five blocks until every entry of it says so.
    int64_t t = cpu.tcount;
    advance_blocks(30, t);
    // Leave the sample clock on a block boundary, with nothing pending
    // (time keeps running on from the previous test).
    int64_t sample = (t * 2 + 62) / 125;
    t = samples_to_t(sample + (960 - audio_block_fill()) % 960);
    audio_update(t);
    EXPECT_EQ(audio_block_fill(), 0u);
    cpu.tcount = t;
    blocks.clear();
    offsets.clear();
    start = t;
  }
  int64_t start = 0;
  void TearDown() override { audio_shutdown(); }

  // Runs the output forward by whole blocks, keeping the lead at five.
  void advance_blocks(int n, int64_t& t) {
    for (int i = 0; i < n; ++i) {
      set_lead(5);
      t += samples_to_t(960);
      audio_update(t);
    }
  }
  // Time from the start of the test, in samples.
  int64_t at(int64_t samples) const { return start + samples_to_t(samples); }
};

TEST_F(Audio, SourcesMixWithWrapAroundAndRegisterAfterTheHead) {
  static int16_t fixed = 30000;
  static SoundSource loud = {"loud", nullptr,
                             [](int16_t* d, int n) {
                               for (int i = 0; i < n; ++i) d[i] = fixed;
                             },
                             nullptr};
  static SoundSource other = {"other", nullptr,
                              [](int16_t* d, int n) {
                                for (int i = 0; i < n; ++i) d[i] = 1;
                              },
                              nullptr};
  sound_register(&loud);
  sound_register(&other);
  ASSERT_EQ(soundCount, 3);
  EXPECT_STREQ(soundHead->name, "beeper");
  EXPECT_EQ(soundHead->next, &other); // a new source follows the head
  EXPECT_EQ(other.next, &loud);
  beeper_set(1);
  int16_t out[2000];
  sound_render(out, 2000);
  EXPECT_EQ(out[0], static_cast<int16_t>(4096 + 1 + 30000 - 65536));
  EXPECT_EQ(out[1999], out[0]);
  sound_unregister(&other);
  sound_unregister(&other);
  EXPECT_EQ(soundCount, 2);
  EXPECT_EQ(soundHead->next, &loud);
  sound_unregister(&loud);
  beeper_set(0);
  sound_render(out, 10);
  EXPECT_EQ(out[9], 0);
}

TEST_F(Audio, BlocksFollowTheCycleCounterAndKeepTheirRingPlaces) {
  uint32_t first = audio_write_position();
  audio_update(at(959));
  EXPECT_TRUE(blocks.empty());
  audio_update(at(960));
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(offsets[0], first);
  int64_t t = at(960);
  advance_blocks(60, t);
  ASSERT_EQ(blocks.size(), 61u);
  EXPECT_EQ(offsets[50], first); // one second wraps the ring
  EXPECT_EQ(offsets[51], (first + 1920) % 96000);
  EXPECT_EQ(audio_last_verdict(), 1);
}

TEST_F(Audio, BeeperEdgesLandOnTheirSamples) {
  // High from sample 100 to sample 700 of the first block: the filtered
  // output jumps by about 4096 exactly there.
  audio_update(at(100));
  beeper_set(1);
  audio_update(at(700));
  beeper_set(0);
  audio_update(at(960));
  ASSERT_EQ(blocks.size(), 1u);
  const auto& b = blocks[0];
  for (int i = 1; i < 960; ++i) {
    int jump = b[i] - b[i - 1];
    if (i == 100)
      EXPECT_GT(jump, 4000);
    else if (i == 700)
      EXPECT_LT(jump, -4000);
    else
      EXPECT_LT(std::abs(jump), 100) << i; // the 50 Hz filter's decay
  }
}

TEST_F(Audio, FilterRemovesTheDcOfAHeldLevel) {
  beeper_set(1);
  int64_t t = start;
  advance_blocks(100, t); // two seconds
  EXPECT_LT(std::abs(blocks.back()[959]), 10);
  // A switch of driver keeps the filter: the held level stays centred.
  audio_open_driver(&testDriver);
  audio_resume();
  blocks.clear();
  advance_blocks(2, t);
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_LT(std::abs(blocks.front()[0]), 10);
  EXPECT_LT(std::abs(blocks.back()[959]), 10);
}

TEST_F(Audio, LeadJustUnderHalfTheRingCountsAsLeadHalfOrMoreAsBehind) {
  int64_t t = start;
  // 47 999 bytes ahead: a large lead, drop.
  for (int i = 0; i < 14; ++i) {
    testPosition = static_cast<int32_t>((audio_write_position() + AUDIO_RING_BYTES - 47999) %
                                        AUDIO_RING_BYTES);
    t += samples_to_t(960);
    audio_update(t);
    if (audio_last_verdict() == 0) break;
  }
  EXPECT_EQ(audio_last_verdict(), 0);
  SetUp();
  t = start;
  // 48 000 bytes: counted as behind, so blocks are added.
  testPosition =
      static_cast<int32_t>((audio_write_position() + AUDIO_RING_BYTES - 48000) % AUDIO_RING_BYTES);
  t += samples_to_t(960);
  audio_update(t);
  EXPECT_EQ(audio_last_verdict(), 2);
  EXPECT_EQ(blocks.size(), 2u);
}

TEST_F(Audio, TooMuchLeadDropsSamplesUntilACheckKeeps) {
  int64_t t = start;
  // Lead 20: average 6 after one check, then above 6.
  size_t before = blocks.size();
  int dropped = 0;
  for (int i = 0; i < 10 && audio_last_verdict() != 0; ++i) {
    set_lead(20);
    t += samples_to_t(960);
    audio_update(t);
  }
  ASSERT_EQ(audio_last_verdict(), 0);
  size_t atDrop = blocks.size();
  EXPECT_GT(atDrop, before);
  // While dropping, each update only checks; nothing is produced.
  for (int i = 0; i < 3; ++i) {
    set_lead(20);
    t += samples_to_t(100);
    audio_update(t);
    if (audio_last_verdict() == 0) ++dropped;
  }
  EXPECT_EQ(blocks.size(), atDrop);
  EXPECT_EQ(dropped, 3);
  // Back to a normal lead: the next check answers keep or add again.
  for (int i = 0; i < 30 && audio_last_verdict() == 0; ++i) {
    set_lead(5);
    t += samples_to_t(100);
    audio_update(t);
  }
  EXPECT_NE(audio_last_verdict(), 0);
}

TEST_F(Audio, PausedOutputDropsAndUnknownPositionKeeps) {
  int before = pauses;
  audio_pause();
  EXPECT_EQ(pauses, before + 1);
  // The block completed by this update still goes out; its check says drop.
  audio_update(at(2000));
  EXPECT_EQ(audio_last_verdict(), 0);
  size_t out = blocks.size();
  EXPECT_LE(out, 1u);
  audio_update(at(4000));
  audio_update(at(6000));
  EXPECT_EQ(blocks.size(), out);
  audio_resume();
  testPosition = -1;
  audio_update(at(8000));
  EXPECT_EQ(audio_last_verdict(), 1);
}

TEST_F(Audio, RecordingIsContinuousAndItsHeaderFixedUp) {
  std::string path = ::testing::TempDir() + "audio_record_test.wav";
  ASSERT_TRUE(audio_record_start(path.c_str()));
  int64_t t = start;
  for (int i = 0; i < 50; ++i) {
    set_lead(30); // far too much lead: never corrected while recording
    t += samples_to_t(960);
    audio_update(t);
  }
  uint32_t bytes = 0;
  EXPECT_TRUE(audio_recording(&bytes));
  EXPECT_EQ(bytes, 96000u);
  audio_record_stop();
  EXPECT_FALSE(audio_recording(nullptr));
  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  uint8_t header[44];
  ASSERT_EQ(std::fread(header, 1, 44, f), 44u);
  std::fseek(f, 0, SEEK_END);
  long length = std::ftell(f);
  std::fclose(f);
  std::remove(path.c_str());
  auto le32 = [&](int at) {
    return header[at] | header[at + 1] << 8 | header[at + 2] << 16 | header[at + 3] << 24;
  };
  EXPECT_EQ(length, 44 + 96000);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(header), 4), "RIFF");
  EXPECT_EQ(le32(4), length - 8);
  EXPECT_EQ(le32(24), 48000);
  EXPECT_EQ(le32(28), 96000);
  EXPECT_EQ(header[34], 16);
  EXPECT_EQ(le32(40), 96000);
  EXPECT_FALSE(audio_record_start("/nonexistent-dir/x.wav"));
}

TEST_F(Audio, WithNoSoundNothingIsEverDropped) {
  audio_open_driver(&silentSoundDriver);
  audio_resume();
  // Rendering goes on through every update: a source sees all its samples.
  static int rendered;
  rendered = 0;
  static SoundSource counter = {"counter", nullptr,
                                [](int16_t* d, int n) {
                                  rendered += n;
                                  for (int i = 0; i < n; ++i) d[i] = 0;
                                },
                                nullptr};
  sound_register(&counter);
  int64_t t = start;
  for (int i = 0; i < 200; ++i) {
    t += samples_to_t(480);
    audio_update(t);
    EXPECT_EQ(audio_last_verdict(), 1);
  }
  // Every command pauses the output, and with no sound nothing resumes it:
  // the samples still come.
  audio_pause();
  for (int i = 0; i < 200; ++i) {
    t += samples_to_t(480);
    audio_update(t);
  }
  sound_unregister(&counter);
  EXPECT_EQ(rendered, 400 * 480);
}

TEST_F(Audio, ResetReachesTheDriverAndEverySource) {
  beeper_set(1);
  int before = resets;
  audio_reset();
  EXPECT_EQ(resets, before + 1);
  EXPECT_EQ(beeperLevel, 0);
}

} // namespace
