// The rewind ring: states pushed a second apart come back newest first, each
// exactly as saved; the ring drops its oldest states when it is full or its
// arena is, and stays within its memory.
#include <string>
#include <vector>

#include "machine/keyboard.h"
#include "machine/video.h"
#include "media/machine_state.h"
#include "media/rewind.h"
#include "tests/media/media_fixture.h"

namespace {

class RewindTest : public MediaTest {
protected:
  void SetUp() override {
    MediaTest::SetUp();
    keyboard_release_all();
    machineState.currentModel = MODEL_TARVIK41;
    machineState.ramSizeIndex = 6;
    video_clear();
    machine_init();
    run_frames(60);
  }
  void TearDown() override {
    rewind_shutdown();
    paste_cancel();
    MediaTest::TearDown();
  }

  // A second of the machine typing a line of a different length each time
  // (the paste is often still going at the push), then a push; returns the
  // state pushed.
  std::vector<uint8_t> second(int k, uint32_t scribble = 0) {
    const std::string line = "M " + std::to_string(4100 + 16 * k) + std::string(k % 5, ' ') + " " +
                             std::to_string(10 + k) + "\r";
    paste_begin(line.data(), line.size());
    run_frames(50);
    // A program's own writes: `scribble` bytes of RAM changed.
    for (uint32_t i = 0; i < scribble; ++i)
      memory[0x8000 + i] = static_cast<uint8_t>((i * 2654435761u >> 13) + k * 77);
    rewind_push();
    std::vector<uint8_t> state;
    machine_state_save(state);
    return state;
  }

  std::vector<uint8_t> now() {
    std::vector<uint8_t> state;
    machine_state_save(state);
    return state;
  }

  char message[256] = {};
};

TEST_F(RewindTest, StepsBackNewestFirstToEachStateAsPushedAndRunsOnFromThere) {
  ASSERT_TRUE(rewind_init());
  EXPECT_LE(rewind_capacity_bytes(), size_t{64} << 20);
  std::vector<std::vector<uint8_t>> pushed;
  for (int k = 0; k < 8; ++k) pushed.push_back(second(k));
  EXPECT_EQ(rewind_count(), 8u);
  // Eight seconds of typing take far less than eight whole states.
  EXPECT_LT(rewind_bytes(), pushed.back().size() + 8 * 16384) << rewind_bytes();

  for (int k = 7; k >= 5; --k) {
    ASSERT_TRUE(rewind_step_back(message, sizeof message)) << message;
    ASSERT_TRUE(now() == pushed[k]) << "second " << k;
  }
  // On from second 5: the new second joins the ring after second 4.
  const std::vector<uint8_t> later = second(20);
  EXPECT_EQ(rewind_count(), 6u);
  ASSERT_TRUE(rewind_step_back(message, sizeof message)) << message;
  EXPECT_TRUE(now() == later);
  for (int k = 4; k >= 0; --k) {
    ASSERT_TRUE(rewind_step_back(message, sizeof message)) << message;
    ASSERT_TRUE(now() == pushed[k]) << "second " << k;
  }
  EXPECT_EQ(rewind_count(), 0u);
  EXPECT_FALSE(rewind_step_back(message, sizeof message));
  EXPECT_STRNE(message, "");
  EXPECT_TRUE(now() == pushed[0]) << "an empty ring changes nothing";
}

TEST_F(RewindTest, AFullRingOrArenaDropsTheOldestSecondsFirst) {
  // Five states: the sixth push drops the first.
  ASSERT_TRUE(rewind_init(5, 1u << 20));
  std::vector<std::vector<uint8_t>> pushed;
  for (int k = 0; k < 8; ++k) pushed.push_back(second(k, 2000));
  EXPECT_EQ(rewind_count(), 5u);
  for (int k = 7; k >= 3; --k) {
    ASSERT_TRUE(rewind_step_back(message, sizeof message)) << message;
    ASSERT_TRUE(now() == pushed[k]) << "second " << k;
  }
  EXPECT_FALSE(rewind_step_back(message, sizeof message));

  // An arena of 20 000 bytes and seconds that change 6 000 bytes of RAM
  // each: a few seconds fit, the ring wraps round the arena many times, and
  // what is left is the newest seconds, whole.
  ASSERT_TRUE(rewind_init(100, 20000));
  pushed.clear();
  for (int k = 0; k < 30; ++k) {
    pushed.push_back(second(k, 6000));
    ASSERT_LE(rewind_bytes(), 20000 + pushed.back().size());
  }
  const size_t kept = rewind_count();
  EXPECT_GE(kept, 3u);
  EXPECT_LE(kept, 5u);
  for (size_t k = 0; k < kept; ++k) {
    ASSERT_TRUE(rewind_step_back(message, sizeof message)) << message;
    ASSERT_TRUE(now() == pushed[29 - k]) << "second " << 29 - k;
  }
  EXPECT_FALSE(rewind_step_back(message, sizeof message));

  // Cleared: nothing to go back to, and the ring fills again.
  second(40);
  rewind_clear();
  EXPECT_EQ(rewind_count(), 0u);
  EXPECT_EQ(rewind_bytes(), 0u);
  const std::vector<uint8_t> after = second(41);
  ASSERT_TRUE(rewind_step_back(message, sizeof message)) << message;
  EXPECT_TRUE(now() == after);
}

} // namespace
