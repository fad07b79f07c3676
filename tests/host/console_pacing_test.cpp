// The headless console that scripts and tests type into, and the pacing
// restart request.
#include <gtest/gtest.h>

#include <string>

#include "host/core/pacing.h"
#include "host/headless/headless.h"
#include "host/platform.h"

namespace {

class HeadlessConsole : public ::testing::Test {
protected:
  void SetUp() override {
    headless_console_reset();
    headless_console_use_stdin(false);
    headless_console_capture(true);
  }
  void TearDown() override { headless_console_reset(); }
};

TEST_F(HeadlessConsole, QueuedLinesComeWithALineEndThenTheInputEnds) {
  headless_console_queue_line("d 100");
  headless_console_queue_line("x\n");
  char buffer[257];
  ASSERT_TRUE(platform_console_read_line(buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "d 100\n");
  ASSERT_TRUE(platform_console_read_line(buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "x\n");
  EXPECT_FALSE(platform_console_read_line(buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "");
}

TEST_F(HeadlessConsole, ALongLineIsCutToTheBuffer) {
  headless_console_queue_line(std::string(300, 'a').c_str());
  headless_console_queue_line("next");
  char buffer[17];
  buffer[16] = '#';
  ASSERT_TRUE(platform_console_read_line(buffer, 16));
  EXPECT_EQ(std::string(buffer), std::string(15, 'a'));
  EXPECT_EQ(buffer[16], '#');
  // The rest of the long line is gone.
  ASSERT_TRUE(platform_console_read_line(buffer, 16));
  EXPECT_STREQ(buffer, "next\n");
}

TEST_F(HeadlessConsole, OutputIsKeptWithItsAttribute) {
  ASSERT_TRUE(platform_console_open("Title"));
  EXPECT_TRUE(headless_console_is_open());
  EXPECT_EQ(headless_console_title(), "Title");
  platform_console_set_attribute(CONSOLE_ATTRIBUTE_NORMAL);
  platform_console_write("green ");
  platform_console_set_attribute(CONSOLE_ATTRIBUTE_BRIGHT);
  platform_console_write("white ");
  platform_console_set_attribute(CONSOLE_ATTRIBUTE_NORMAL);
  platform_console_write("green");
  platform_console_close();
  EXPECT_FALSE(headless_console_is_open());
  EXPECT_EQ(headless_console_output(), "green white green");
  EXPECT_EQ(headless_console_output_in(CONSOLE_ATTRIBUTE_BRIGHT), "white ");
  EXPECT_EQ(headless_console_output_in(CONSOLE_ATTRIBUTE_NORMAL), "green green");
}

TEST_F(HeadlessConsole, WidthAndFailingCreation) {
  headless_console_set_width(132);
  EXPECT_EQ(platform_console_width(), 132);
  headless_console_set_width(0);
  EXPECT_GT(platform_console_width(), 0);
  headless_console_fail_open(true);
  EXPECT_FALSE(platform_console_open("x"));
  EXPECT_FALSE(headless_console_is_open());
}

TEST(Pacing, ARequestIsTakenOnce) {
  pacing_take_reset();
  EXPECT_FALSE(pacing_take_reset());
  const uint32_t before = pacingResetCount;
  pacing_reset();
  pacing_reset();
  EXPECT_EQ(pacingResetCount, before + 2);
  EXPECT_TRUE(pacing_take_reset());
  EXPECT_FALSE(pacing_take_reset());
}

TEST(Sleep, SleepsAndCountsTheTime) {
  const uint64_t before = headless_slept_ms();
  platform_sleep_ms(2);
  EXPECT_EQ(headless_slept_ms(), before + 2);
}

} // namespace
