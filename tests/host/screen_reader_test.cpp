// What a screen reader is told: only new lines, once, in Unicode; the
// cursor's place; and "Felolvasás" speaking new lines.
#include <cstring>

#include "host/output/screen_reader.h"

#include "machine/memory.h"
#include "tests/host/host_fixture.h"
#include <cstdio>

namespace {

class ScreenReader : public HostTest {
protected:
  void frames(int count) {
    for (int i = 0; i < count; ++i) app_run_frame();
  }
  static void put_row(int row, const char* text) {
    std::memset(memory + 0xF800 + row * 64, ' ', 64);
    std::memcpy(memory + 0xF800 + row * 64, text, std::strlen(text));
  }
};

TEST_F(ScreenReader, TheFirmwareSaysItsBannerOnceAndNothingWhileTheCursorBlinks) {
  start({"/h"});
  frames(150);
  const std::string banner = headless_screen_news();
  EXPECT_EQ(banner.find("Tarvik 4.1 - Szabad ROM\n64 KB RAM\nGépi kód"), 0u) << banner;
  EXPECT_EQ(banner.find('\x8F'), std::string::npos) << "no cursor block: " << banner;
  // The cursor blinks every 700 polls of the keyboard: several times here.
  const uint32_t changes = headless_screen_changes();
  frames(500);
  EXPECT_EQ(headless_screen_changes(), changes) << headless_screen_news();
  EXPECT_EQ(headless_screen_news(), banner);
  paste_begin("L 4100\r", 7);
  frames(150);
  const std::string listing = headless_screen_news().substr(banner.size());
  EXPECT_EQ(listing.find("Tarvik"), std::string::npos) << "the banner again: " << listing;
  EXPECT_NE(listing.find("4100"), std::string::npos) << listing;
  char place[40];
  int row = 0, column = 0;
  ASSERT_TRUE(screen_reader_cursor(&row, &column));
  const int offset = (memory[0x4000] | memory[0x4001] << 8) - 0xF800;
  EXPECT_EQ(row, offset / 64 + 1);
  EXPECT_EQ(column, offset % 64 + 1);
  screen_reader_cursor_text(place, sizeof place);
  EXPECT_EQ(std::string(place),
            "sor " + std::to_string(row) + ", oszlop " + std::to_string(column));
  app_shutdown();
}

// A scrolled screen says only its new bottom line; a line written on says
// only what it gained; letters are Unicode, graphics nothing.
TEST_F(ScreenReader, ScrollsGrowingLinesAndCharacters) {
  start({"/h"});
  std::memset(memory + 0xF800, ' ', 2048);
  memory[0x4004] = 0; // no cursor
  for (int y = 0; y < 30; ++y) put_row(y, y % 2 ? "KETTO" : "EGY");
  ASSERT_TRUE(screen_reader_look());
  std::memmove(memory + 0xF800, memory + 0xF800 + 64, 31 * 64);
  put_row(30, "UJ SOR");
  put_row(31, "");
  ASSERT_TRUE(screen_reader_look());
  EXPECT_STREQ(screen_reader_news(), "UJ SOR\n");
  size_t start = 0;
  EXPECT_TRUE(screen_reader_row_news(30, &start));
  EXPECT_FALSE(screen_reader_row_news(28, &start));
  EXPECT_STREQ(screen_reader_text(nullptr) + start, "UJ SOR\n\n");
  EXPECT_FALSE(screen_reader_look()) << "nothing changed";
  EXPECT_STREQ(screen_reader_news(), "");
  put_row(30, "UJ SOR ES TOVABB");
  ASSERT_TRUE(screen_reader_look());
  EXPECT_STREQ(screen_reader_news(), "ES TOVABB\n");
  // Hungarian letters (the screen's own codes for them) and block graphics.
  const uint8_t codes[] = {64, 'r', 'v', 169, 'z', 't', 188, 'r', 127, 0x0F, 0x05, 'X'};
  std::memcpy(memory + 0xF800 + 31 * 64, codes, sizeof codes);
  ASSERT_TRUE(screen_reader_look());
  EXPECT_STREQ(screen_reader_news(), "ÁrvíztőráX\n");
  app_shutdown();
}

// A look can land while the firmware is moving the rows up: the rows above
// the one it moves are a line further on than those below. Neither that
// look nor the next says an old line again.
TEST_F(ScreenReader, ALookInTheMiddleOfAScrollSaysNoOldLine) {
  start({"/h"});
  std::memset(memory + 0xF800, ' ', 2048);
  memory[0x4004] = 0; // no cursor
  char text[16];
  for (int y = 0; y < 30; ++y) {
    std::snprintf(text, sizeof text, "SOR %02d", y);
    put_row(y, text);
  }
  ASSERT_TRUE(screen_reader_look());
  std::memmove(memory + 0xF800, memory + 0xF800 + 64, 15 * 64); // half moved
  screen_reader_look();
  EXPECT_STREQ(screen_reader_news(), "");
  for (int y = 0; y < 27; ++y) {
    std::snprintf(text, sizeof text, "SOR %02d", y + 3);
    put_row(y, text);
  }
  put_row(27, "UJ EGY");
  put_row(28, "UJ KETTO");
  for (int y = 29; y < 32; ++y) put_row(y, "");
  ASSERT_TRUE(screen_reader_look());
  EXPECT_STREQ(screen_reader_news(), "UJ EGY\nUJ KETTO\n");
  app_shutdown();
}

TEST_F(ScreenReader, ReadingAloudSpeaksNewLinesAndSaysWhenThereIsNoSpeech) {
  start({"/h"});
  frames(150);
  EXPECT_EQ(headless_spoken(), "") << "off by default";
  window_on_command(CMD_READ_ALOUD);
  EXPECT_TRUE(menu_checked(CMD_READ_ALOUD));
  EXPECT_TRUE(headless_speech_open());
  paste_begin("L 4100\r", 7);
  frames(150);
  EXPECT_NE(headless_spoken().find("4100"), std::string::npos) << headless_spoken();
  EXPECT_EQ(headless_spoken().find("Tarvik"), std::string::npos) << headless_spoken();
  window_on_command(CMD_READ_ALOUD);
  EXPECT_FALSE(menu_checked(CMD_READ_ALOUD));
  EXPECT_FALSE(headless_speech_open());
  app_shutdown();
  EXPECT_NE(read_file(settingsFile()).find("ReadAloud=0"), std::string::npos);

  // Kept on between runs; without a speech service the option says so and stays off.
  write_file(settingsFile(), "ReadAloud=1\n");
  start({"/h"});
  EXPECT_TRUE(menu_checked(CMD_READ_ALOUD));
  EXPECT_TRUE(headless_speech_open());
  app_shutdown();
  headless_set_speech_available(false);
  start({"/h"});
  EXPECT_FALSE(menu_checked(CMD_READ_ALOUD)) << "no service at start";
  const uint32_t boxes = headless_message_box_count();
  window_on_command(CMD_READ_ALOUD);
  EXPECT_FALSE(menu_checked(CMD_READ_ALOUD));
  EXPECT_EQ(headless_message_box_count(), boxes + 1);
  EXPECT_NE(headless_last_message_box().find("beszédszolgáltatás"), std::string::npos);
  app_shutdown();
}

} // namespace
