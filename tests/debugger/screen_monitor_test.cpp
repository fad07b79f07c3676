// The on-screen monitor's text model: the rows of both views for a window
// size, scrolling with the backward search, and the Enter, F7 and F8 keys.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cpu/cpu.h"
#include "debugger/console_monitor.h"
#include "debugger/screen_monitor.h"
#include "host/headless/headless.h"
#include "machine/memory.h"
#include "tests/debugger/debug_machine.h"

namespace {

// A 512 x 384 picture area above a 20-pixel status bar, 8 x 16 font cell:
// 24 rows of 64 columns.
const MonitorGeometry standardWindow = {512, 404, 20, 8, 16};

const std::vector<std::string>& rows() { return headless_monitor_rows(); }

size_t characters(const std::string& utf8) {
  size_t n = 0;
  for (char c : utf8) n += (c & 0xC0) != 0x80;
  return n;
}

class ScreenMonitor : public ::testing::Test {
protected:
  void SetUp() override {
    debug_machine_reset();
    headless_monitor_set_geometry(standardWindow);
  }
  void TearDown() override { headless_monitor_set_geometry(standardWindow); }
};

TEST_F(ScreenMonitor, LayoutFromTheWindowAndTheFontCell) {
  MonitorLayout layout = monitor_layout();
  EXPECT_EQ(layout.rows, 24);
  EXPECT_EQ(layout.columns, 64);
  // ((64 - 16) / 2 = 24, a multiple of 8) / 2 = 12 bytes per line.
  EXPECT_EQ(layout.bytesPerLine, 12);
  headless_monitor_set_geometry({800, 600, 0, 8, 16}); // 100 columns: 42 -> 40 -> 20
  EXPECT_EQ(monitor_layout().bytesPerLine, 20);
  headless_monitor_set_geometry({4000, 600, 0, 4, 16}); // 1000 columns: at most 248 -> 124
  EXPECT_EQ(monitor_layout().bytesPerLine, 124);
}

TEST_F(ScreenMonitor, DisassemblyViewShowsRegistersSeparatorAndListingFromPc) {
  cpu.pc = 0x0100;
  poke(0x0100, {0x3E, 0x42, 0xC3, 0x00, 0x01});
  monitor_redraw();
  ASSERT_EQ(rows().size(), 24u);
  EXPECT_EQ(rows()[0], "IP:0100,AF:FFFF,BC:0000,DE:0000,HL:0000,R:00|SZ-H-PNC");
  EXPECT_EQ(rows()[1], "IX:0000,IY:0000,SP:FFFF,I:00,INT:0,NMI:0, FL|11111111");
  EXPECT_EQ(rows()[2], "TCOUNT:000000000000000000000000");
  EXPECT_EQ(headless_monitor_separator_row(), 3);
  EXPECT_EQ(rows()[3], " 0100 3E 42       ld a,42h");
  EXPECT_EQ(rows()[4], " 0102 C3 00 01    jp 0100h");
  EXPECT_EQ(rows()[5], " 0105 00          nop");
  EXPECT_EQ(rows()[22], " 0116 00          nop"); // the last row names the keys
  EXPECT_EQ(disasmTop, 0x0100u);
}

TEST_F(ScreenMonitor, MemoryViewTwelveBytesPerLineAt512Pixels) {
  poke(0x0000, {'T', 'a', 'r', 'v', 'i', 'k', 0x00, 0x7E, 0x7D, 0x20, 0xFF, '!', 'Z'});
  monitor_set_view(MONITOR_VIEW_MEMORY);
  ASSERT_EQ(rows().size(), 24u);
  EXPECT_EQ(headless_monitor_separator_row(), -1);
  EXPECT_EQ(rows()[0], " 0000:  54 61 72 76  69 6B 00 7E  7D 20 FF 21 :Tarvik..} .!");
  EXPECT_EQ(rows()[1].substr(0, 11), " 000C:  5A ");
  EXPECT_EQ(rows()[22].substr(0, 7), " 0108: ");
  // Rows fit the window's columns (characters of UTF-8 text).
  for (const std::string& row : rows()) EXPECT_LE(characters(row), 64u) << row;
}

TEST_F(ScreenMonitor, MemoryViewScrollsByALineAndWraps) {
  memTop = 0xFFF4;
  monitor_set_view(MONITOR_VIEW_MEMORY);
  EXPECT_EQ(rows()[1].substr(0, 7), " 0000: ");
  monitor_scroll_lines(1, 2);
  EXPECT_EQ(memTop, 0x000Cu);
  EXPECT_EQ(rows()[0].substr(0, 7), " 000C: ");
  monitor_scroll_lines(-1, 3);
  EXPECT_EQ(memTop, 0xFFE8u);
}

TEST_F(ScreenMonitor, ScrollingUpFindsTheInstructionEndingAtTheTop) {
  poke(0x1000, {0x01, 0x34, 0x12, 0x00}); // ld bc,1234h at 1000h
  disasmTop = 0x1003;
  monitor_scroll_lines(-1, 1);
  EXPECT_EQ(disasmTop, 0x1000u);
  EXPECT_EQ(rows()[3], " 1000 01 34 12    ld bc,1234h");
  // The search tries the farthest candidate first: five bytes back a
  // nop ends at 0FFCh, ..., 0FFFh ends at 1000h.
  monitor_scroll(-1);
  EXPECT_EQ(disasmTop, 0x0FFFu);
}

TEST_F(ScreenMonitor, ScrollingUpWithoutAMatchTakesTheByteBefore) {
  // 2000h-2003h: each candidate's instruction runs past 2004h or ends short.
  poke(0x2000, {0x3E, 0x3E, 0x01, 0x01});
  disasmTop = 0x2004;
  monitor_scroll(-1);
  EXPECT_EQ(disasmTop, 0x2003u);
}

TEST_F(ScreenMonitor, ScrollingUpFromNearTheBottomWrapsToTheTop) {
  disasmTop = 0x0002;
  monitor_scroll_lines(-1, 1);
  EXPECT_EQ(disasmTop, 0xFFFDu);
  EXPECT_EQ(rows()[3], " FFFD 00          nop");
  disasmTop = 0x0005; // from 5 on the search runs
  poke(0x0000, {0xC3, 0x00, 0x00, 0x00, 0x00});
  monitor_scroll(-1);
  EXPECT_EQ(disasmTop, 0x0004u);
}

TEST_F(ScreenMonitor, ScrollingDownAndPaging) {
  poke(0x0000, {0xDD, 0x36, 0x01, 0x02});
  disasmTop = 0;
  monitor_scroll(1);
  EXPECT_EQ(disasmTop, 0x0004u);
  disasmTop = 0x0100; // nops from here on
  monitor_page(1);
  EXPECT_EQ(disasmTop, 0x0100u + 24);
  monitor_page(-1);
  EXPECT_EQ(disasmTop, 0x0100u);
  // Page Down in the memory view moves a screenful of lines.
  monitor_set_view(MONITOR_VIEW_MEMORY);
  monitor_page(1);
  EXPECT_EQ(memTop, 24u * 12);
}

TEST_F(ScreenMonitor, WheelScrollsTwoLinesPerNotchTowardsLowerAddressesAwayFromTheUser) {
  disasmTop = 0x0100;
  monitor_wheel(-120); // towards the user: forward
  EXPECT_EQ(disasmTop, 0x0102u);
  monitor_wheel(360);
  EXPECT_EQ(disasmTop, 0x0102u - 6);
  monitor_wheel(60); // less than a notch
  EXPECT_EQ(disasmTop, 0x0102u - 6);
}

TEST_F(ScreenMonitor, ViewSwitchingAndShowingPc) {
  monitor_set_view(MONITOR_VIEW_MEMORY);
  EXPECT_EQ(monitorView, 1u);
  monitor_set_view(5);
  EXPECT_EQ(monitorView, 1u);
  cpu.pc = 0x4000;
  disasmTop = 0x1000;
  monitor_show_pc();
  EXPECT_EQ(monitorView, 0u);
  EXPECT_EQ(disasmTop, 0x4000u);
  EXPECT_EQ(rows()[3].substr(0, 6), " 4000 ");
}

// The keys line: the longest wording that fits, in both views; none where
// the window leaves no room for the listing beside it.
TEST_F(ScreenMonitor, TheLastRowNamesTheKeys) {
  const std::string keys = "Esc:vissza Enter:lépés F7:futtat F8:memdump F1:kód F2:memória";
  monitor_redraw();
  EXPECT_EQ(rows().back(), keys);
  monitor_set_view(MONITOR_VIEW_MEMORY);
  EXPECT_EQ(rows().back(), keys);
  headless_monitor_set_geometry({800, 600, 0, 8, 16}); // 100 columns
  monitor_redraw();
  EXPECT_EQ(rows().back(), keys + " Fel/Le/PgUp/PgDn:görget");
  headless_monitor_set_geometry({320, 600, 0, 8, 16}); // 40 columns
  monitor_redraw();
  EXPECT_EQ(rows().back(), "Esc Enter F7 F8 F1:kód F2:memória");
  headless_monitor_set_geometry({512, 64, 0, 8, 16}); // 4 rows: registers and one line
  monitor_set_view(MONITOR_VIEW_DISASSEMBLY);
  EXPECT_EQ(rows()[3].substr(0, 6), " 0000 ");
}

TEST_F(ScreenMonitor, NarrowAndTinyWindows) {
  headless_monitor_set_geometry({160, 64, 0, 8, 16}); // 20 columns, 4 rows
  monitor_redraw();
  ASSERT_EQ(rows().size(), 4u);
  EXPECT_EQ(rows()[0], "IP:0000,AF:FFFF,BC:0");
  monitor_set_view(MONITOR_VIEW_MEMORY); // one byte per line
  EXPECT_EQ(rows()[1], " 0001:  00 :.");
  // Nothing to draw in a window without room.
  headless_monitor_set_geometry({0, 10, 20, 8, 16});
  const uint32_t draws = headless_monitor_draw_count();
  monitor_redraw();
  EXPECT_EQ(headless_monitor_draw_count(), draws);
}

TEST_F(ScreenMonitor, EnterStepsPastABreakpointWithoutTheConsole) {
  poke(0x0100, {0x3E, 0x42, 0x00});
  cpu.pc = 0x0100;
  watchFlags[0x0100] = WATCH_EXEC | WATCH_READ;
  set_read_watch(0x0100, watchFlags[0x0100]);
  monitorView = MONITOR_VIEW_MEMORY;
  monitor_enter_key();
  EXPECT_EQ(cpu.pc, 0x0102);
  EXPECT_EQ(cpu.af.h, 0x42);
  EXPECT_EQ(take_output(), ""); // the console monitor did not open
  EXPECT_EQ(consoleMonitorActive, 0u);
  EXPECT_EQ(breakRequest, 0u);
  EXPECT_EQ(monitorView, 0u);
  EXPECT_EQ(disasmTop, 0x0102u);
  EXPECT_EQ(rows()[0].substr(0, 8), "IP:0102,");
}

TEST_F(ScreenMonitor, F7OnAJumpToItselfStopsAfterOneInstruction) {
  poke(0x0200, {0x18, 0xFE});
  cpu.pc = 0x0200;
  disasmTop = 0x0200;
  monitor_f7_key();
  EXPECT_EQ(cpu.pc, 0x0200);
  EXPECT_EQ(cpu.tcount, 12);
  EXPECT_EQ(disasmTop, 0x0202u); // one line further
  EXPECT_EQ(rows()[3].substr(0, 6), " 0202 ");
}

TEST_F(ScreenMonitor, F7RunsUntilPcIsBackWhereItStarted) {
  // 0300: INC A; DJNZ 0300h with B = 3: back at 0300 after two instructions.
  poke(0x0300, {0x3C, 0x10, 0xFD});
  cpu.pc = 0x0300;
  cpu.bc.h = 3;
  disasmTop = 0x0300;
  monitor_f7_key();
  EXPECT_EQ(cpu.pc, 0x0300);
  EXPECT_EQ(cpu.bc.h, 2);
  EXPECT_EQ(disasmTop, 0x0303u);
}

TEST_F(ScreenMonitor, F7StopsAfter10001Instructions) {
  poke(0x0400, {0x00, 0x18, 0xFE}); // NOP, then JR to itself: never back at 0400
  cpu.pc = 0x0400;
  monitor_f7_key();
  EXPECT_EQ(cpu.pc, 0x0401);
  EXPECT_EQ(cpu.tcount, 4 + 10000 * 12);
}

TEST_F(ScreenMonitor, F8WritesTheMemoryDump) {
  char saved[4096];
  ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
  ASSERT_EQ(chdir(::testing::TempDir().c_str()), 0);
  // The dump holds the lower 64 KB of the memory array, all 65 536 bytes.
  memory[0x0000] = 0x11;
  memory[0xFFFE] = 0x22;
  memory[0xFFFF] = 0x33;
  const bool written = monitor_f8_key();
  std::ifstream in("memdump.bin", std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::remove("memdump.bin");
  ASSERT_EQ(chdir(saved), 0);
  EXPECT_TRUE(written);
  ASSERT_EQ(bytes.size(), 65536u);
  EXPECT_EQ(bytes[0], 0x11);
  EXPECT_EQ(bytes[0xFFFE], 0x22);
  EXPECT_EQ(bytes[0xFFFF], 0x33);
}

} // namespace
