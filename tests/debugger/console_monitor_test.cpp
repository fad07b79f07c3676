// The console monitor's run and its commands on memory and the CPU, fed
// with typed lines through the headless console.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cpu/cpu.h"
#include "debugger/console_monitor.h"
#include "host/core/pacing.h"
#include "host/headless/headless.h"
#include "tests/debugger/debug_machine.h"

namespace {

int count_lines(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ConsoleMonitor : public ::testing::Test {
protected:
  void SetUp() override { debug_machine_reset(); }
  void TearDown() override { headless_console_clear_input(); }
};

// ---- opening, leaving and the command loop ---------------------------------

TEST_F(ConsoleMonitor, OpensTitledConsoleAndLeavesOnX) {
  const uint32_t resets = pacingResetCount;
  const uint64_t slept = headless_slept_ms();
  breakRequest = 1;
  EXPECT_EQ(monitor_session({}), "");
  EXPECT_EQ(headless_console_title(), "Interactive monitor");
  EXPECT_FALSE(headless_console_is_open());
  EXPECT_EQ(headless_console_attribute(), 10);
  EXPECT_EQ(consoleMonitorActive, 0u);
  EXPECT_EQ(breakRequest, 0u);
  // The host's frame timing starts again after a pause of 100 ms.
  EXPECT_EQ(pacingResetCount, resets + 1);
  EXPECT_EQ(headless_slept_ms(), slept + 100);
}

TEST_F(ConsoleMonitor, ASecondOpeningReturnsAtOnce) {
  consoleMonitorActive = 1;
  headless_console_queue_line("r");
  EXPECT_EQ(console_monitor_run(), 0);
  EXPECT_EQ(take_output(), "");
  EXPECT_EQ(consoleMonitorActive, 1u);
}

TEST_F(ConsoleMonitor, WithoutAConsoleItClosesAtOnce) {
  headless_console_fail_open(true);
  const uint32_t resets = pacingResetCount;
  breakRequest = 1;
  headless_console_queue_line("g 1234");
  EXPECT_EQ(console_monitor_run(), 1);
  EXPECT_EQ(take_output(), "");
  EXPECT_EQ(cpu.pc, 0x0000);
  EXPECT_EQ(breakRequest, 0u);
  EXPECT_EQ(consoleMonitorActive, 0u);
  EXPECT_EQ(pacingResetCount, resets + 1);
}

TEST_F(ConsoleMonitor, EndOfInputLeavesTheMonitor) {
  headless_console_queue_line("g 1234");
  EXPECT_EQ(console_monitor_run(), 1);
  EXPECT_EQ(cpu.pc, 0x1234);
  EXPECT_EQ(consoleMonitorActive, 0u);
}

TEST_F(ConsoleMonitor, OnlyXAsTheFirstCharacterLeaves) {
  // " x" is the x command after a blank: it does nothing and the monitor
  // stays; "xyz" leaves, so "g 2222" is never read.
  queue_lines({" x", "g 1111", "xyz", "g 2222"});
  EXPECT_EQ(console_monitor_run(), 1);
  EXPECT_EQ(cpu.pc, 0x1111);
  EXPECT_EQ(take_output(), "Type '?' for help, 'x' for exit.\n");
}

TEST_F(ConsoleMonitor, UnknownCommandsAndEmptyLines) {
  EXPECT_EQ(monitor_session({"q", "", "\r", "Z"}), "Unknown command, type ? for help!\n"
                                                   "Unknown command, type ? for help!\n");
  // Blanks only: no command, but not an empty line either.
  EXPECT_EQ(monitor_session({"   "}), "Unknown command, type ? for help!\n");
}

TEST_F(ConsoleMonitor, HelpInTheBrightAttribute) {
  const std::string expected =
      "Interactive monitor commands:\n"
      "? - this help\n"
      ":<address> [<value>] [<value>] ... - modify memory at <address>\n"
      "d [<from>] [<to>] - disassemble <from> address till <to>.\n"
      "f <from> <to> <value> - fill memory <from> till <to> with <value>.\n"
      "g <address> - set IP to <address>.\n"
      "m <from> <to> <value> - dump memory <from> till <to>.\n"
      "s <name> <from> <to> - save memory <from> till <to> into file <name>.\n"
      "t <from> <till> <to> - transfer memory <from> address <till> address <to> address.\n"
      "u <frames> - go back <frames> frames (32 is a second) in the history.\n"
      "z - step CPU\n"
      "x - exit from monitor\n";
  EXPECT_EQ(monitor_session({"?"}), expected);
  EXPECT_EQ(headless_console_output_in(15), "");
  // The next session shows which attribute each part came in.
  queue_lines({"?", "x"});
  console_monitor_run();
  EXPECT_EQ(headless_console_output_in(15), expected);
  EXPECT_EQ(headless_console_output_in(10), "Type '?' for help, 'x' for exit.\n");
}

TEST_F(ConsoleMonitor, FirstOpeningTakesPcLaterOpeningsKeepTheAddress) {
  cpu.pc = 0x1234;
  EXPECT_EQ(monitor_session({":"}).substr(0, 7), " 1234: ");
  cpu.pc = 0x5000;
  // 48 columns: 16 / 2 = 8 bytes per line, so the address moved on by 8.
  EXPECT_EQ(monitor_session({":"}).substr(0, 7), " 123C: ");
  EXPECT_EQ(monitorAddress, 0x1244u);
}

// ---- : ------------------------------------------------------------------------

TEST_F(ConsoleMonitor, ColonWritesValuesAndAdvances) {
  EXPECT_EQ(monitor_session({":4000 01 02 03"}), "");
  EXPECT_EQ(testMemory[0x4000], 0x01);
  EXPECT_EQ(testMemory[0x4001], 0x02);
  EXPECT_EQ(testMemory[0x4002], 0x03);
  EXPECT_EQ(testMemory[0x4003], 0x00);
  EXPECT_EQ(monitorAddress, 0x4003u);
}

TEST_F(ConsoleMonitor, ColonAloneDumpsOneLine) {
  poke(0x4000, {'A', 'B', 0x1F, 0x7D, 0x7E, 0x20, 0xFF, '0', 'x'});
  EXPECT_EQ(monitor_session({":4000", ":", ":"}), " 4000:  41 42 1F 7D  7E 20 FF 30 :AB.}. .0\n"
                                                  " 4008:  78 00 00 00  00 00 00 00 :x.......\n");
  EXPECT_EQ(monitorAddress, 0x4010u);
}

TEST_F(ConsoleMonitor, ColonVariants) {
  // The address may stand apart from the colon; values keep their low byte;
  // every value on the line is written; writing wraps past the top.
  EXPECT_EQ(monitor_session({": 4000 05 123", ":5000,1,2,3,4,5,6", ":ffff aa bb"}), "");
  EXPECT_EQ(testMemory[0x4000], 0x05);
  EXPECT_EQ(testMemory[0x4001], 0x23);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(testMemory[0x5000 + i], i + 1);
  EXPECT_EQ(testMemory[0xFFFF], 0xAA);
  EXPECT_EQ(testMemory[0x0000], 0xBB);
  EXPECT_EQ(monitorAddress, 0x0001u);
}

TEST_F(ConsoleMonitor, ColonWithABadNumberChangesNothing) {
  monitorAddress = 0x2000;
  EXPECT_EQ(monitor_session({":zz 01", ":4000 01 0g 03", ":4000 -1"}),
            "Unknown syntax.\nUnknown syntax.\nUnknown syntax.\n");
  EXPECT_EQ(testMemory[0x4000], 0x00);
  EXPECT_EQ(monitorAddress, 0x2000u);
  EXPECT_EQ(testWrites, 0u);
}

// ---- d ------------------------------------------------------------------------

TEST_F(ConsoleMonitor, DisassembleTwelveLinesFromTheCurrentAddress) {
  poke(0x0100, {0x3E, 0x42, 0xC3, 0x00, 0x01});
  std::string out = monitor_session({"d 100"});
  std::vector<std::string> lines = split_lines(out);
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0], " 0100 3E 42       ld a,42h");
  EXPECT_EQ(lines[1], " 0102 C3 00 01    jp 0100h");
  EXPECT_EQ(lines[11], " 010E 00          nop");
  EXPECT_EQ(monitorAddress, 0x010Fu);
  // Without arguments it goes on from there.
  EXPECT_EQ(split_lines(monitor_session({"d"}))[0], " 010F 00          nop");
}

TEST_F(ConsoleMonitor, DisassembleARangeEndsAtTheWrap) {
  std::string out = monitor_session({"d 0 ffff"});
  EXPECT_EQ(count_lines(out), 0xFFFF);
  EXPECT_EQ(split_lines(out).back(), " FFFE 00          nop");
  EXPECT_EQ(monitorAddress, 0xFFFFu);
  // An instruction that runs past the top ends the listing there.
  poke(0xFFFE, {0x21, 0x34});
  poke(0x0000, {0x12});
  out = monitor_session({"d fff0 ffff"});
  EXPECT_EQ(count_lines(out), 15);
  EXPECT_EQ(split_lines(out).back(), " FFFE 21 34 12    ld hl,1234h");
  EXPECT_EQ(monitorAddress, 0x0001u);
}

TEST_F(ConsoleMonitor, DisassembleWithToBelowFromOrBadNumbers) {
  EXPECT_EQ(monitor_session({"d 200 100"}), "");
  EXPECT_EQ(monitorAddress, 0x0200u);
  EXPECT_EQ(monitor_session({"d 300 zz", "d q"}), "Unknown syntax.\nUnknown syntax.\n");
  EXPECT_EQ(monitorAddress, 0x0200u);
  // Addresses are taken modulo 0x10000.
  EXPECT_EQ(split_lines(monitor_session({"d 12345 12347"}))[0], " 2345 00          nop");
}

// ---- f, g ---------------------------------------------------------------------

TEST_F(ConsoleMonitor, Fill) {
  EXPECT_EQ(monitor_session({"f 4000 4003 1ff", "f fff0 ffff aa"}), "");
  for (int a = 0x4000; a <= 0x4003; ++a) EXPECT_EQ(testMemory[a], 0xFF);
  EXPECT_EQ(testMemory[0x4004], 0x00);
  for (int a = 0xFFF0; a <= 0xFFFF; ++a) EXPECT_EQ(testMemory[a], 0xAA);
  EXPECT_EQ(testMemory[0x0000], 0x00);
}

TEST_F(ConsoleMonitor, FillWithFromAboveToOrMissingValueWritesNothing) {
  EXPECT_EQ(monitor_session({"f 5000 4000 ff", "f 4000 4010", "f 4000 zz 1"}), "Unknown syntax.\n");
  EXPECT_EQ(testWrites, 0u);
}

TEST_F(ConsoleMonitor, Go) {
  EXPECT_EQ(monitor_session({"g 0x1234"}), "");
  EXPECT_EQ(cpu.pc, 0x1234);
  EXPECT_EQ(monitor_session({"g", "g zz"}), "Unknown syntax.\n");
  EXPECT_EQ(cpu.pc, 0x1234);
}

// ---- m ------------------------------------------------------------------------

TEST_F(ConsoleMonitor, DumpEightLinesOrUpToTo) {
  std::vector<std::string> lines = split_lines(monitor_session({"m 4000"}));
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[7].substr(0, 7), " 4038: ");
  EXPECT_EQ(monitorAddress, 0x4040u);
  EXPECT_EQ(count_lines(monitor_session({"m 4000 4010"})), 3);
  EXPECT_EQ(count_lines(monitor_session({"m 4000 4007"})), 1);
  EXPECT_EQ(count_lines(monitor_session({"m 4010 4000"})), 1);
  EXPECT_EQ(monitor_session({"m 4000 zz"}), "Unknown syntax.\n");
}

TEST_F(ConsoleMonitor, DumpWidthFollowsTheConsole) {
  headless_console_set_width(80); // 26 / 2 = 13 bytes per line
  std::string out = monitor_session({"m 4000 4000"});
  EXPECT_EQ(out, " 4000:  00 00 00 00  00 00 00 00  00 00 00 00  00 :.............\n");
  EXPECT_EQ(monitorAddress, 0x400Du);
  // A console too narrow for a byte still shows one per line.
  headless_console_set_width(3);
  EXPECT_EQ(monitor_session({":"}), " 400D:  00 :.\n");
  // A very wide one shows as many as a dump line holds.
  headless_console_set_width(2000);
  out = monitor_session({":0"});
  out = monitor_session({":"});
  EXPECT_EQ(out.size(), 7 + 3 * 124 + 31 + 1 + 124 + 1u);
}

TEST_F(ConsoleMonitor, DumpWrapsAtTheTop) {
  testMemory[0xFFFF] = 0x41;
  testMemory[0x0000] = 0x42;
  EXPECT_EQ(monitor_session({"m ffff ffff"}), " FFFF:  41 42 00 00  00 00 00 00 :AB......\n");
  EXPECT_EQ(monitorAddress, 0x0007u);
}

// ---- r, z ---------------------------------------------------------------------

TEST_F(ConsoleMonitor, RegistersInTheBrightAttribute) {
  cpu.pc = 0x4321;
  std::string out = monitor_session({"r"});
  std::vector<std::string> lines = split_lines(out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(0, 8), "IP:4321,");
  EXPECT_EQ(lines[2].substr(0, 7), "TCOUNT:");
  queue_lines({"r", "x"});
  console_monitor_run();
  EXPECT_EQ(headless_console_output_in(15), out);
}

TEST_F(ConsoleMonitor, StepShowsTheInstructionRunsItAndShowsRegisters) {
  poke(0x0100, {0x3E, 0x42, 0x00});
  cpu.pc = 0x0100;
  std::vector<std::string> lines = split_lines(monitor_session({"z"}));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], " 0100 3E 42       ld a,42h");
  EXPECT_EQ(lines[1].substr(0, 16), "IP:0102,AF:42FF,");
  EXPECT_EQ(lines[3], "TCOUNT:000000000000000000000007");
  EXPECT_EQ(cpu.pc, 0x0102);
  EXPECT_EQ(monitorAddress, 0x0102u);
}

// ---- s ------------------------------------------------------------------------

TEST_F(ConsoleMonitor, SaveWritesTheRangeInclusive) {
  const std::string path = ::testing::TempDir() + "monitor_save.bin";
  poke(0x4000, {1, 2, 3, 4, 5});
  const std::string command = "s " + path + " 4000 4003";
  EXPECT_EQ(monitor_session({command.c_str()}), "Memory saved 4000-4003 to file " + path + ".\n");
  EXPECT_EQ(read_file(path), std::string("\1\2\3\4", 4));
  // From above to: an empty file.
  const std::string backwards = "s " + path + " 4003 4000";
  EXPECT_EQ(monitor_session({backwards.c_str()}), "Memory saved 4003-4000 to file " + path + ".\n");
  EXPECT_EQ(read_file(path), "");
  std::remove(path.c_str());
}

TEST_F(ConsoleMonitor, SaveFailures) {
  const std::string bad = ::testing::TempDir() + "no-such-folder/m.bin";
  const std::string command = "s " + bad + " 0 ff";
  EXPECT_EQ(monitor_session({command.c_str()}), "Error writing to file " + bad + ".\n");
  // A bad number: nothing is created. Too few tokens: nothing at all.
  const std::string path = ::testing::TempDir() + "never.bin";
  const std::string badNumber = "s " + path + " 0 zz";
  const std::string tooFew = "s " + path + " 0";
  EXPECT_EQ(monitor_session({badNumber.c_str(), tooFew.c_str()}), "Unknown syntax.\n");
  EXPECT_FALSE(std::ifstream(path).good());
}

// ---- t ------------------------------------------------------------------------

class Transfer : public ConsoleMonitor {
protected:
  void SetUp() override {
    ConsoleMonitor::SetUp();
    for (int i = 0; i < 0x100; ++i) testMemory[0x4000 + i] = static_cast<uint8_t>(i + 1);
  }
};

TEST_F(Transfer, UpwardOverlapShiftsWithoutRepeating) {
  EXPECT_EQ(monitor_session({"t 4000 40ff 4001"}), "");
  EXPECT_EQ(testMemory[0x4000], 0x01);
  for (int i = 0; i < 0x100; ++i) ASSERT_EQ(testMemory[0x4001 + i], (i + 1) & 0xFF) << i;
}

TEST_F(Transfer, DownwardOverlapShiftsWithoutRepeating) {
  EXPECT_EQ(monitor_session({"t 4001 40fe 4000"}), "");
  for (int i = 0; i < 0xFE; ++i) ASSERT_EQ(testMemory[0x4000 + i], i + 2) << i;
  EXPECT_EQ(testMemory[0x40FE], 0xFF);
}

TEST_F(Transfer, ApartAndDegenerateCases) {
  EXPECT_EQ(monitor_session({"t 4000 4003 6000", "t 4010 4000 7000", "t 4000 4003"}), "");
  EXPECT_EQ(testMemory[0x6000], 0x01);
  EXPECT_EQ(testMemory[0x6003], 0x04);
  EXPECT_EQ(testMemory[0x6004], 0x00);
  EXPECT_EQ(testMemory[0x7000], 0x00);
  EXPECT_EQ(monitor_session({"t 4000 zz 5000"}), "Unknown syntax.\n");
}

// ---- input that does not fit ---------------------------------------------------

TEST_F(ConsoleMonitor, OverlongLinesAreCutAtTheLineLength) {
  std::string line = ":4000";
  for (int i = 0; i < 120; ++i) line += " 11";
  std::string number = "g " + std::string(1000, '1');
  EXPECT_EQ(monitor_session({line.c_str(), number.c_str()}), "Unknown syntax.\n");
  // 256 characters hold the address and 83 whole values, then "1" of the
  // 84th, written as 01.
  for (int i = 0; i < 83; ++i) ASSERT_EQ(testMemory[0x4000 + i], 0x11) << i;
  EXPECT_EQ(testMemory[0x4000 + 83], 0x01);
  EXPECT_EQ(testMemory[0x4000 + 84], 0x00);
  EXPECT_EQ(cpu.pc, 0x0000);
}

} // namespace
