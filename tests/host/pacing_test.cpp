// Real-time pacing with a fake clock: when the loop sleeps, what the title
// shows, how often it presents, and that a restart never runs a catch-up
// burst.
#include "tests/host/host_fixture.h"

#include "machine/memory.h"
#include "machine/video.h"

namespace {

constexpr int64_t kF = 1000000; // fake clock: microseconds
constexpr int64_t kP = kF / 50;

class FramePacing : public HostTest {
protected:
  // Frames computed in no time, as on a host exactly fast enough; returns
  // the sleeps they took.
  uint32_t frames(int n) {
    uint32_t before = headless_sleep_calls();
    for (int i = 0; i < n; ++i) pacing_frame_done();
    return headless_sleep_calls() - before;
  }
};

TEST_F(FramePacing, SleepsOnlyWhileTheDeadlineIsAPeriodAhead) {
  start({"/h"});
  pacing_reset();
  EXPECT_EQ(frames(1), 0u); // the first frame is due now
  // The second is a period ahead: 1 ms sleeps until it is less than that.
  EXPECT_EQ(frames(1), 1u);
  EXPECT_EQ(pacing_ticks_ahead(), kP + kP - 1000);
  // A host slower than real time: two periods per frame, never a sleep.
  pacing_reset();
  for (int i = 0; i < 20; ++i) {
    headless_advance_clock(2 * kP);
    EXPECT_EQ(frames(1), 0u);
  }
  // Without real-time pacing nothing sleeps even when far ahead.
  hostOptions.SyncSpeed = 0;
  pacing_reset();
  EXPECT_EQ(frames(50), 0u);
  EXPECT_GT(pacing_ticks_ahead(), 40 * kP);
}

TEST_F(FramePacing, TitleOnAnExactlyFastHost) {
  start({"/h"});
  pacing_reset();
  // The first two-second window also holds the frame run ahead; from the
  // second on, each shows exactly real time.
  while (headless_title().find("Mhz") == std::string::npos) frames(1);
  headless_set_refresh_rate(50);
  std::string first = headless_title();
  while (headless_title() == first) frames(1);
  EXPECT_EQ(headless_title(), "Tarvik - 3.0 Mhz (  100%/50 fps)");
  first = headless_title();
  while (headless_title() == first) {
    frames(1);
    if (platform_counter() > 10 * kF) break;
  }
  EXPECT_EQ(headless_title(), first) << "the third window shows the same";
}

TEST_F(FramePacing, HalfAsFastShowsFiftyPercent) {
  start({"/h"});
  pacing_reset();
  for (int i = 0; i < 400; ++i) {
    headless_advance_clock(2 * kP);
    frames(1);
  }
  EXPECT_EQ(headless_title(), "Tarvik - 3.0 Mhz (   50%/25 fps)");
}

TEST_F(FramePacing, NoCatchUpBurstAfterARestart) {
  start({"/h"});
  pacing_reset();
  frames(10);
  // Ten seconds pass outside the emulation (a dialog, a pause).
  headless_advance_clock(10 * kF);
  pacing_reset();
  frames(1);
  EXPECT_EQ(frames(1), 1u) << "the second frame after the restart already waits";
  // Without the restart the loop would run 500 frames back to back.
  headless_advance_clock(10 * kF);
  EXPECT_EQ(frames(400), 0u);
}

TEST_F(FramePacing, TheFirstTitleComesTwoSecondsAfterAResume) {
  start({"/h"});
  pacing_reset();
  frames(30);
  headless_advance_clock(5 * kF); // paused meanwhile
  pacing_reset();
  std::string before = headless_title();
  int64_t resumed = platform_counter();
  while (headless_title() == before) frames(1);
  EXPECT_GE(platform_counter() - resumed, 2 * kF);
  EXPECT_LT(platform_counter() - resumed, 2 * kF + kP);
}

TEST_F(FramePacing, PresentIntervalFromTheRefreshRate) {
  headless_set_refresh_rate(60);
  start({"/h"});
  EXPECT_EQ(pacing_present_interval(), static_cast<uint32_t>(kF / 60));
  // 60 Hz is faster than 50: every frame is shown except the one run ahead
  // of real time right after the restart, which comes before the next
  // refresh.
  pacing_reset();
  uint32_t before = headless_present_count();
  frames(101);
  EXPECT_EQ(headless_present_count() - before, 100u);
}

TEST_F(FramePacing, PresentedAtMostOncePerRefresh) {
  headless_set_refresh_rate(25);
  start({"/h"});
  pacing_reset();
  uint32_t before = headless_present_count();
  frames(101);
  EXPECT_EQ(headless_present_count() - before, 50u);
  while (headless_title().find("Mhz") == std::string::npos) frames(1);
  std::string first = headless_title();
  while (headless_title() == first) frames(1);
  EXPECT_EQ(headless_title(), "Tarvik - 3.0 Mhz (  100%/25 fps)");
}

TEST_F(FramePacing, ARefreshRateOfZeroCountsAsHundredHertz) {
  headless_set_refresh_rate(0);
  start({"/h"});
  EXPECT_EQ(pacing_present_interval(), static_cast<uint32_t>(kF / 100));
}

TEST_F(FramePacing, HalvedPresentIntervalWithoutRealTimePacingAtStart) {
  write_file(settingsFile(), "SyncSpeed=0\n");
  start({"/h"});
  EXPECT_EQ(hostOptions.SyncSpeed, 0u);
  EXPECT_EQ(pacing_present_interval(), static_cast<uint32_t>(kF / 50 / 2));
  // Toggling the option later changes the sleeping, not the interval.
  window_on_command(CMD_SYNC_SPEED);
  EXPECT_EQ(hostOptions.SyncSpeed, 1u);
  EXPECT_EQ(pacing_present_interval(), static_cast<uint32_t>(kF / 50 / 2));
}

TEST_F(FramePacing, TheSwitchIsAppliedAfterTheIntervalIsComputed) {
  start({"/h", "/w"});
  EXPECT_EQ(hostOptions.SyncSpeed, 0u);
  EXPECT_EQ(pacing_present_interval(), static_cast<uint32_t>(kF / 50)) << "not halved";
}

} // namespace

namespace {

class IdlePresent : public HostTest {
protected:
  // Frames at real time on an exactly fast host; the pictures they drew.
  uint32_t draws(int n) {
    const uint32_t before = headless_draw_count();
    for (int i = 0; i < n; ++i) app_run_frame();
    return headless_draw_count() - before;
  }
  std::vector<uint8_t> shown() {
    int32_t rows = 0;
    const uint8_t* p = headless_presented_frame(&rows);
    return std::vector<uint8_t>(p, p + rows * 64);
  }
};

TEST_F(IdlePresent, AnUnchangedFrameIsNotDrawnAgainButEveryChangeIsShownAtOnce) {
  start({"/h"});
  draws(100); // the firmware's banner and prompt
  const uint32_t presents = headless_present_count();
  EXPECT_LT(draws(25), 25u) << "the idle prompt draws only when the cursor blinks";
  EXPECT_EQ(headless_present_count() - presents, 25u) << "every frame still counts as shown";
  // A change of the text screen, of the character set and of the mode is
  // drawn by the frame that follows it.
  draws(1);
  memory[0xF800 + 64 * 20 + 5] = 'W';
  EXPECT_EQ(draws(1), 1u);
  video_render();
  EXPECT_EQ(shown(), std::vector<uint8_t>(frameBuffer, frameBuffer + 256 * 64));
  userCharset['W'] ^= 0xFF;
  video_select_charset(true);
  EXPECT_EQ(draws(1), 1u);
  window_on_command(CMD_SCREEN_MODE_32);
  EXPECT_EQ(draws(1), 1u);
  // The on-screen monitor covers the picture: leaving it shows the frame again.
  window_on_command(CMD_MONITOR);
  window_on_command(CMD_MONITOR);
  EXPECT_EQ(draws(1), 1u);
  app_shutdown();
}

// The Veltra-16's picture is written by the CPU as it runs: a change of its
// text memory is drawn by the next frame, and an unchanged picture is not.
TEST_F(IdlePresent, AVeltraPictureChangeIsDrawnByTheNextFrame) {
  write_file(settingsFile(), "Model=3\n");
  start({"/h"});
  ASSERT_EQ(model(), 3u);
  draws(100);
  const uint32_t idle = draws(10);
  for (uint32_t a = 0xC000; a < 0xC400; ++a) memory[a] = static_cast<uint8_t>(memory[a] ^ 0xFF);
  EXPECT_EQ(draws(1), 1u);
  EXPECT_EQ(shown(), std::vector<uint8_t>(frameBuffer, frameBuffer + 256 * 64));
  EXPECT_LT(idle, 10u) << "an unchanged picture is not drawn again";
  app_shutdown();
}

} // namespace
