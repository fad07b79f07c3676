// Display arithmetic (the 4:3 fit, size rules, edge dragging), the GDI rows
// of a Veltra-16 picture, full screen; and the clipboard copy and paste.
#include <cstring>

#include "cpu/cpu.h"
#include "host/output/clipboard.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "machine/video.h"
#include "tests/host/host_fixture.h"

namespace {

class Display : public HostTest {};
class Clipboard : public HostTest {};

bool same(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(Fit43, OddMarginPixelGoesLeftOrTop) {
  EXPECT_TRUE(same(display_fit_4_3({0, 0, 512, 384}), {0, 0, 512, 384}));
  EXPECT_TRUE(same(display_fit_4_3({0, 0, 513, 384}), {1, 0, 513, 384}));
  EXPECT_TRUE(same(display_fit_4_3({0, 0, 512, 385}), {0, 1, 512, 385}));
  EXPECT_TRUE(same(display_fit_4_3({0, 0, 800, 384}), {144, 0, 656, 384})) << "pillar-boxed";
  EXPECT_TRUE(same(display_fit_4_3({0, 0, 512, 500}), {0, 58, 512, 442})) << "letter-boxed";
  EXPECT_TRUE(same(display_fit_4_3({10, 20, 1930, 1100}), {250, 20, 1690, 1100}));
}

// Whole multiples across and down, the shape as near 4:3 as they allow, for
// the 512 x 256 picture and the GDI path's 512 x 512 bitmap.
TEST(PixelExact, WholeMultiplesNearestTo43) {
  struct Case {
    int32_t w, h, pw, ph, sx, sy;
  };
  const Case cases[] = {
      {1024, 768, 512, 256, 2, 3},  // exactly 4:3
      {512, 384, 512, 256, 1, 1},   // only unscaled fits
      {800, 600, 512, 256, 1, 2},   // 512 x 512 is nearer 4:3 than 512 x 256
      {600, 1200, 512, 256, 1, 2},  // taller would be further from 4:3
      {1920, 1080, 512, 256, 3, 4}, // 1536 x 1024: larger, within 15 %
      {2560, 1440, 512, 256, 3, 5},
      {3840, 2160, 512, 256, 6, 8},
      {1100, 1100, 512, 512, 2, 2}, // none near 4:3: the nearest, the larger
      {2048, 1536, 512, 512, 4, 3},
      {500, 300, 512, 256, 1, 1}, // too small: unscaled at the top left
  };
  for (const Case& c : cases) {
    PixelExactFit fit = display_pixel_exact_fit({10, 20, 10 + c.w, 20 + c.h}, c.pw, c.ph);
    EXPECT_EQ(fit.scaleX, c.sx) << c.w << "x" << c.h;
    EXPECT_EQ(fit.scaleY, c.sy) << c.w << "x" << c.h;
  }
  EXPECT_TRUE(
      same(display_pixel_exact_fit({0, 0, 1025, 769}, 512, 256).placement, {1, 1, 1025, 769}))
      << "the odd margin pixel goes left and top";
  EXPECT_TRUE(
      same(display_pixel_exact_fit({0, 0, 500, 300}, 512, 256).placement, {0, 0, 512, 256}));
  // Any window: whole multiples that fit, centred, and within 15 % of 4:3
  // whenever some multiple that fits is.
  for (int32_t w = 512; w <= 2600; w += 37)
    for (int32_t h = 256; h <= 1700; h += 29) {
      PixelExactFit fit = display_pixel_exact_fit({0, 0, w, h}, 512, 256);
      const Rect& p = fit.placement;
      ASSERT_EQ(p.right - p.left, 512 * fit.scaleX);
      ASSERT_EQ(p.bottom - p.top, 256 * fit.scaleY);
      ASSERT_LE(p.right, w);
      ASSERT_LE(p.bottom, h);
      ASSERT_EQ(p.left, (w - (p.right - p.left) + 1) / 2);
      ASSERT_EQ(p.top, (h - (p.bottom - p.top) + 1) / 2);
      auto near = [](int32_t pw, int32_t ph) {
        return 3.0 * pw / (4.0 * ph) <= 1.15 && 4.0 * ph / (3.0 * pw) <= 1.15;
      };
      bool anyNear = false;
      for (int32_t sx = 1; sx * 512 <= w; ++sx)
        for (int32_t sy = 1; sy * 256 <= h; ++sy) anyNear = anyNear || near(sx * 512, sy * 256);
      ASSERT_EQ(near(p.right - p.left, p.bottom - p.top), anyNear) << w << "x" << h;
    }
}

// The option: the window snaps to the picture, resizing snaps, the GDI path
// scales too and may be resized; switched off, GDI is fixed again.
TEST_F(Display, PixelExactSnapsTheWindow) {
  start({"/h"});
  const int32_t sb = status_height();
  window_on_command(CMD_PIXEL_EXACT);
  EXPECT_TRUE(menu_checked(CMD_PIXEL_EXACT));
  Rect client = platform_client_rect();
  EXPECT_EQ(client.right, 1024);
  EXPECT_EQ(client.bottom, 768 + sb);
  Rect origin = platform_client_to_screen({0, 0, 0, 0});
  EXPECT_TRUE(
      same(displayDestination, {origin.left, origin.top, origin.left + 1024, origin.top + 768}));
  Rect frame = platform_window_rect_for_client(512, 384 + sb);
  int32_t bw = frame.right - frame.left - 512, bh = frame.bottom - frame.top - 384;
  Rect r = {100, 100, 100 + 1100 + bw, 100 + 700 + bh};
  window_on_edge_drag(WINDOW_EDGE_TOP_RIGHT, &r); // top-right corner: 512 x 512 fits best
  EXPECT_TRUE(same(r, {100, 288, 100 + 512 + bw, 800 + bh}));
  window_on_command(CMD_VIDEO_DRIVER);
  EXPECT_FALSE(window_on_size_limits().hasMaximum);
  EXPECT_TRUE(headless_maximize_box());
  headless_resize_client(1100, 1100 + sb);
  EXPECT_TRUE(same(displayGdiDestination, {38, 38, 38 + 1024, 38 + 1024}));
  window_on_command(CMD_PIXEL_EXACT);
  EXPECT_TRUE(window_on_size_limits().hasMaximum);
  EXPECT_EQ(platform_client_rect().bottom, 512 + sb);
  EXPECT_TRUE(same(displayGdiDestination, {0, 0, 512, 512}));
  app_shutdown();
}

// Saved on, the option gives the window it gives when switched on.
TEST_F(Display, PixelExactFromTheSettingsGivesItsWindowAtStart) {
  write_file(settingsFile(), "PixelExact=1\n");
  start({"/h"});
  const int32_t sb = status_height();
  EXPECT_TRUE(menu_checked(CMD_PIXEL_EXACT));
  Rect client = platform_client_rect();
  EXPECT_EQ(client.right, 1024);
  EXPECT_EQ(client.bottom, 768 + sb);
  Rect origin = platform_client_to_screen({0, 0, 0, 0});
  EXPECT_TRUE(
      same(displayDestination, {origin.left, origin.top, origin.left + 1024, origin.top + 768}));
  app_shutdown();
}

TEST_F(Display, TargetIsTheClientAboveTheStatusBarFittedTo43) {
  start({"/h"});
  headless_resize_client(800, 384 + status_height());
  Rect client = platform_client_to_screen(platform_client_rect());
  EXPECT_EQ(displayDestination.left - client.left, 144);
  EXPECT_EQ(displayDestination.right - displayDestination.left, 512);
  EXPECT_EQ(displayDestination.bottom - displayDestination.top, 384);
  window_on_command(CMD_KEEP_ASPECT); // keep aspect off: the whole client area
  EXPECT_EQ(displayDestination.right - displayDestination.left, 800);
  app_shutdown();
}

TEST_F(Display, SizeLimitsAndAspectToggle) {
  start({"/h"});
  int32_t sb = status_height();
  Rect frame = platform_window_rect_for_client(512, 384 + sb);
  SizeLimits dd = window_on_size_limits();
  EXPECT_EQ(dd.minWidth, frame.right - frame.left);
  EXPECT_EQ(dd.minHeight, frame.bottom - frame.top);
  EXPECT_FALSE(dd.hasMaximum);
  // Keeping 4:3 switched on resizes the window to the client width.
  window_on_command(CMD_KEEP_ASPECT);
  headless_resize_client(800, 300);
  window_on_command(CMD_KEEP_ASPECT);
  Rect client = platform_client_rect();
  EXPECT_EQ(client.right, 800);
  EXPECT_EQ(client.bottom, sb + 600);
  // GDI: one fixed size, no maximise box.
  window_on_command(CMD_VIDEO_DRIVER);
  SizeLimits gdi = window_on_size_limits();
  Rect fixed = platform_window_rect_for_client(512, 512 + sb);
  EXPECT_TRUE(gdi.hasMaximum);
  EXPECT_EQ(gdi.minWidth, gdi.maxWidth);
  EXPECT_EQ(gdi.maxHeight, fixed.bottom - fixed.top);
  EXPECT_EQ(platform_client_rect().bottom, 512 + sb);
  EXPECT_FALSE(headless_maximize_box());
  app_shutdown();
}

TEST_F(Display, EdgeDraggingKeeps43) {
  start({"/h"});
  Rect frame = platform_window_rect_for_client(512, 384 + status_height());
  int32_t bw = frame.right - frame.left - 512, bh = frame.bottom - frame.top - 384;
  Rect r = {100, 100, 100 + 640 + bw, 100 + 300};
  window_on_edge_drag(WINDOW_EDGE_RIGHT, &r); // right edge: the height follows the width
  EXPECT_EQ(r.bottom, 100 + 640 * 384 / 512 + bh);
  r = {100, 100, 100 + 300, 100 + 480 + bh};
  window_on_edge_drag(WINDOW_EDGE_BOTTOM, &r); // bottom edge: the width follows the height
  EXPECT_EQ(r.right, 100 + 480 * 512 / 384 + bw);
  r = {100, 100, 700, 700};
  window_on_edge_drag(WINDOW_EDGE_LEFT, &r); // left edge moves the top
  EXPECT_EQ(r.top, 700 - (600 - bw) * 384 / 512 - bh);
  hostOptions.KeepAspectRatio = 0;
  Rect free = {0, 0, 700, 300};
  window_on_edge_drag(WINDOW_EDGE_RIGHT, &free);
  EXPECT_EQ(free.bottom, 300);
  app_shutdown();
}

TEST_F(Display, FullScreenFromGdiReturnsToGdi) {
  start({"/h", "/x"});
  Rect before = platform_window_rect();
  window_on_command(CMD_FULL_SCREEN);
  EXPECT_EQ(hostOptions.VideoDriver, VIDEO_DRIVER_DIRECTDRAW);
  EXPECT_TRUE(headless_full_screen());
  EXPECT_FALSE(status_exists());
  // The picture: 4:3, centred on the 1920-pixel-wide screen.
  EXPECT_TRUE(same(displayDestination, display_fit_4_3(displayDestination)));
  EXPECT_EQ(displayDestination.left + displayDestination.right, 1920);
  window_on_command(CMD_FULL_SCREEN);
  EXPECT_EQ(hostOptions.VideoDriver, VIDEO_DRIVER_GDI);
  EXPECT_FALSE(headless_full_screen());
  EXPECT_TRUE(status_exists());
  EXPECT_STREQ(headless_status_text(0), "Tarvik4");
  Rect after = platform_window_rect();
  EXPECT_TRUE(same(after, before))
      << after.left << "," << after.top << "," << after.right << "," << after.bottom << " / "
      << before.left << "," << before.top << "," << before.right << "," << before.bottom;
  app_shutdown();
}

// Back from full screen in DirectDraw mode, the picture lies above the status
// bar again, whatever the window's size messages did meanwhile.
TEST_F(Display, PictureAboveTheBarAfterFullScreen) {
  start({"/h"});
  ASSERT_EQ(hostOptions.VideoDriver, 0u);
  window_on_command(40019);
  window_on_command(40019);
  ASSERT_TRUE(status_exists());
  Rect client = platform_client_to_screen(platform_client_rect());
  EXPECT_LE(displayDestination.bottom, client.bottom - status_height());
  EXPECT_GT(displayDestination.bottom, displayDestination.top);
  app_shutdown();
}

// Picture line L of a Veltra-16 frame: 40 bytes at row 20 + L, column 96.
uint8_t* veltra_line(int line) { return frameBuffer + (20 + line) * 64 + 12; }

void fill_veltra_picture() {
  for (int line = 0; line < 240; ++line) std::memset(veltra_line(line), line + 1, 40);
}

TEST_F(Display, VeltraPictureOnTheGdiPath) {
  write_file(settingsFile(), "Model=3\nVideoDriver=1\n");
  start({"/h"});
  ASSERT_EQ(model(), 3u);
  fill_veltra_picture();
  present_frame(1);
  int32_t rows = 0;
  const uint8_t* shown = headless_presented_frame(&rows);
  ASSERT_EQ(rows, 512);
  auto shown_row = [&](int row) { return shown[row * 64 + 12]; };
  for (int line = 0; line < 8; ++line) EXPECT_EQ(shown_row(20 + line), line + 1) << line;
  for (int line = 8; line < 208; ++line) {
    int r = line - 8;
    EXPECT_EQ(shown_row(28 + 2 * r), line + 1) << line;
    EXPECT_EQ(shown_row(28 + 2 * r + 1), line + 1) << line;
  }
  EXPECT_EQ(shown_row(428), 0) << "lines 208-239 are not shown";
  // Without double scan every second row is black.
  window_on_command(CMD_DOUBLE_SCAN);
  fill_veltra_picture();
  present_frame(1);
  shown = headless_presented_frame(&rows);
  EXPECT_EQ(shown_row(28), 9);
  EXPECT_EQ(shown_row(29), 0);
  EXPECT_EQ(shown_row(30), 0);
  EXPECT_EQ(shown_row(31), 10);
  // A repaint does not spread again.
  uint8_t row31 = frameBuffer[31 * 64 + 12];
  present_frame(0);
  EXPECT_EQ(frameBuffer[31 * 64 + 12], row31);
  app_shutdown();
}

TEST_F(Display, TheGdiPathDoublesEachLineOfTheMachinesPicture) {
  start({"/h", "/x"});
  std::memset(userCharset, 0, sizeof userCharset);
  for (int r = 0; r < 8; ++r) userCharset[r * 256 + 0x09] = static_cast<uint8_t>(r + 1);
  video_select_charset(true);
  memory[0xF800 + 64] = 0x09; // text row 1
  hostOptions.DoubleScan = 0;
  present_frame(1);
  int32_t rows = 0;
  const uint8_t* shown = headless_presented_frame(&rows);
  ASSERT_EQ(rows, 512);
  EXPECT_EQ(shown[16 * 64], 1);
  EXPECT_EQ(shown[18 * 64], 2);
  EXPECT_EQ(shown[17 * 64], 0); // spare row left black
  EXPECT_EQ(frameBuffer[8 * 64], 1) << "the machine's picture keeps one row per line";
  EXPECT_EQ(frameBuffer[9 * 64], 2);
  hostOptions.DoubleScan = 1;
  present_frame(1);
  shown = headless_presented_frame(&rows);
  EXPECT_EQ(shown[17 * 64], 1);
  EXPECT_EQ(shown[19 * 64], 2);
  app_shutdown();
}

TEST_F(Display, TheDirectDrawPathShows256Rows) {
  start({"/h"});
  memory[0xF800] = 0x41;
  present_frame(1);
  int32_t rows = 0;
  const uint8_t* shown = headless_presented_frame(&rows);
  EXPECT_EQ(rows, 256);
  EXPECT_EQ(frameBitmap.header.height, -256);
  bool any = false;
  for (int r = 0; r < 8; ++r) any = any || shown[r * 64] != 0;
  EXPECT_TRUE(any) << "the glyph of code 0x41 is drawn";
  app_shutdown();
}

TEST_F(Clipboard, TranslationTable) {
  const std::vector<std::pair<int, int>> table = {
      {0, 160},   {96, 160},  {64, 193},  {91, 201},  {92, 214},  {93, 220},  {94, 94},
      {95, 211},  {123, 233}, {124, 246}, {125, 252}, {126, 243}, {127, 225}, {149, 218},
      {157, 219}, {169, 237}, {181, 250}, {188, 245}, {189, 251}, {1, 129},   {31, 159},
      {32, 32},   {65, 65},   {128, 128}, {255, 255}};
  for (auto [code, text] : table)
    EXPECT_EQ(clipboard_translate(static_cast<uint8_t>(code)), text) << code;
}

TEST_F(Clipboard, CopyOfATarvikScreen) {
  start({"/h"});
  std::memset(memory + 0xF800, 'x', 2048);
  memory[0xF800] = 0;
  memory[0xF801] = 1;
  memory[0xF802] = 64;
  memory[0xF800 + 31 * 64 + 63] = 'Z';
  char text[CLIPBOARD_SCREEN_TEXT_MAX];
  ASSERT_EQ(clipboard_screen_text(text, sizeof text), 2113u);
  EXPECT_EQ(static_cast<uint8_t>(text[0]), 160);
  EXPECT_EQ(static_cast<uint8_t>(text[1]), 129);
  EXPECT_EQ(static_cast<uint8_t>(text[2]), 193);
  for (int y = 0; y < 32; ++y) {
    EXPECT_EQ(text[y * 66 + 64], 13) << y;
    EXPECT_EQ(text[y * 66 + 65], 10) << y;
  }
  EXPECT_EQ(text[31 * 66 + 63], 'Z');
  EXPECT_EQ(text[2112], 0);
  window_on_command(CMD_COPY_SCREEN);
  EXPECT_EQ(headless_clipboard_get(), std::string(text, 2112));
  EXPECT_EQ(clipboard_screen_text(text, 2112), 0u) << "too small a buffer";
  app_shutdown();
}

// The firmware at its prompt, in both column modes: the copy reads what
// the picture shows, and the blinking cursor copies as the cell it covers.
TEST_F(Clipboard, CopyOfTheFirmwareScreenInBothModesWithTheCursorShown) {
  for (uint32_t mode32 : {0u, 1u}) {
    write_file(settingsFile(), "TarvikScreenMode=" + std::to_string(mode32) + "\n");
    start({"/h"});
    bool shown = false;
    for (int i = 0; i < 300 && !shown; ++i) {
      run_frame();
      shown = memory[0x4000] != 0 && (memory[0x4004] & 0x80) && memory[0x4002] == 1 + mode32;
    }
    ASSERT_TRUE(shown) << mode32;
    const int columns = mode32 ? 32 : 64;
    char text[CLIPBOARD_SCREEN_TEXT_MAX];
    ASSERT_EQ(clipboard_screen_text(text, sizeof text), 32u * (columns + 2) + 1) << mode32;
    const std::string copy(text);
    EXPECT_EQ(copy.substr(0, 23), "Tarvik 4.1 - Szabad ROM") << copy;
    EXPECT_EQ(copy.find('\x8F'), std::string::npos) << "the cursor block: " << copy;
    const uint16_t cursor = static_cast<uint16_t>((memory[0x4000] | memory[0x4001] << 8) - 0xF800);
    const size_t row = cursor / 64, column = (cursor % 64) / (mode32 + 1);
    EXPECT_EQ(copy.substr(row * (columns + 2), column + 1), ">  ") << copy;
    app_shutdown();
  }
}

TEST_F(Clipboard, CopyOfAVeltraScreen) {
  write_file(settingsFile(), "Model=3\n");
  start({"/h"});
  std::memset(memory + 0xC000, 0x40, 1024);
  // Column 0 of row 0 shows the cell at 0xC001; 0xC000 is the last cell of
  // the bottom row's line before it and never shows.
  memory[0xC000] = 0x21;
  const uint8_t row0[] = {0x28, 0x25, 0x2C, 0x2C, 0x2F, 0x68, 0x41, 0x67, 0x65, 0x11, 0x66, 0xA1};
  std::memcpy(memory + 0xC001, row0, sizeof row0);
  memory[0xC001 + 39] = 0x3A;      // the last column: "Z"
  memory[0xC001 + 40] = 0x49;      // row 1, column 0: "Ű"
  memory[0xC001 + 41] = 0x05;      // a block graphic
  memory[0xC001 + 42] = 0x7F;      // a code without a glyph
  memory[0xC001 + 24 * 40] = 0x3F; // the bottom row: "_"
  char text[CLIPBOARD_SCREEN_TEXT_MAX];
  ASSERT_EQ(clipboard_screen_text(text, sizeof text), 25u * 42 + 1);
  EXPECT_EQ(std::string(text, 12), "HELLO.\xC1=(1)A"); // Á in code page 1250; the cursor's A
  EXPECT_EQ(text[39], 'Z');
  EXPECT_EQ(std::string(text + 40, 2), "\r\n");
  EXPECT_EQ(static_cast<uint8_t>(text[42]), 0xDB); // Ű
  EXPECT_EQ(static_cast<uint8_t>(text[43]), 0x85);
  EXPECT_EQ(text[44], ' ');
  EXPECT_EQ(text[24 * 42], '_');
  EXPECT_EQ(text[25 * 42], 0);
  // What the copy gives, pasted, types the same codes again.
  for (uint8_t code : row0) {
    if (code == 0x41 || code == 0xA1) continue; // the firmware turns pasted Á into 0x41 itself
    EXPECT_EQ(paste_translate_veltra(clipboard_translate_veltra(code)), code) << int(code);
  }
  app_shutdown();
}

TEST_F(Clipboard, PastedLetterTypesItsScreenCodeAgain) {
  start({"/h"});
  headless_clipboard_put("\xC1"); // "Á" in code page 1250
  window_on_command(CMD_PASTE);
  ASSERT_TRUE(paste_active());
  cpu.pc = 0x0566; // the ROM's key poll, now the trap
  cpu_run(0);
  EXPECT_EQ(cpu.af.h, 64);
  app_shutdown();
}

TEST_F(Clipboard, NothingToPaste) {
  start({"/h"});
  window_on_command(CMD_PASTE);
  EXPECT_FALSE(paste_active());
  app_shutdown();
}

} // namespace

namespace {

class StatusBar : public HostTest {};

TEST_F(StatusBar, PartsTextsAndIndicators) {
  EXPECT_EQ(status_height(), 0) << "no bar yet";
  status_create();
  ASSERT_TRUE(status_exists());
  EXPECT_EQ(status_height(), 24);
  EXPECT_EQ(statusPartEdges[0], 80);
  EXPECT_EQ(statusPartEdges[1], 176);
  EXPECT_EQ(statusPartEdges[2], 224);
  EXPECT_EQ(statusPartEdges[3], -1);
  status_set_text(1, "%s", "ignored");
  EXPECT_STREQ(status_text(1), "");
  status_set_text(2, "%04u", 7u);
  EXPECT_STREQ(status_text(2), "0007");
  status_message("Memória %04Xh-%04Xh lementve %s néven.", 0x4016, 0x5000, "x.bin");
  EXPECT_STREQ(status_text(3), "Memória 4016h-5000h lementve x.bin néven.");
  StatusIndicator first = status_indicator(0, 0, 30);
  EXPECT_EQ(first.x0, 90);
  EXPECT_EQ(first.x1, 103);
  EXPECT_EQ(first.y0, 16);
  EXPECT_EQ(first.y1, 24);
  EXPECT_TRUE(first.active);
  StatusIndicator last = status_indicator(3, 10, 30);
  EXPECT_EQ(last.x0, 160);
  EXPECT_FALSE(last.active);
  status_destroy();
  EXPECT_EQ(status_height(), 0);
}

} // namespace
