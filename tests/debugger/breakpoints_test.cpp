// Breakpoints: the b command on the watch tables, and the monitor opening
// from a running program when an execution breakpoint or a read or write
// watch fires.
#include <gtest/gtest.h>

#include <string>

#include "cpu/cpu.h"
#include "debugger/console_monitor.h"
#include "host/headless/headless.h"
#include "tests/debugger/debug_machine.h"

namespace {

const char greeting[] = "Type '?' for help, 'x' for exit.\n";

int count_of(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class Breakpoints : public ::testing::Test {
protected:
  void SetUp() override {
    debug_machine_reset();
    cpu.sp = 0xF000;
    // 0100: LD A,(5000h); 0103: LD (5001h),A; 0106: INC A; 0107: JR 0100h
    poke(0x0100, {0x3A, 0x00, 0x50, 0x32, 0x01, 0x50, 0x3C, 0x18, 0xF7});
    testMemory[0x5000] = 0x41;
    cpu.pc = 0x0100;
  }
  void TearDown() override { headless_console_clear_input(); }
};

// ---- the b command ------------------------------------------------------------

TEST_F(Breakpoints, AddressAloneToggles) {
  EXPECT_EQ(monitor_session({"b 4000"}), "Breakpoint(s) at 4000h set.\n");
  EXPECT_EQ(watchFlags[0x4000], static_cast<uint32_t>(WATCH_EXEC));
  EXPECT_EQ(readHandlers[0x4000], watch_read);
  EXPECT_EQ(writeHandlers[0x4000], cpu_default_write());
  EXPECT_EQ(monitor_session({"b 4000"}), "Breakpoint(s) at 4000h removed.\n");
  EXPECT_EQ(watchFlags[0x4000], 0u);
  EXPECT_EQ(readHandlers[0x4000], cpu_default_read());
  // Any kind counts as set: toggling a write watch removes it.
  monitor_session({"b 4000 w"});
  EXPECT_EQ(monitor_session({"b 4000"}), "Breakpoint(s) at 4000h removed.\n");
  EXPECT_EQ(writeHandlers[0x4000], cpu_default_write());
}

TEST_F(Breakpoints, KindsSetExactlyWhatIsNamed) {
  EXPECT_EQ(monitor_session({"b 4000 rw", "b"}), "Breakpoint at 4000h set (RW)\n"
                                                 " 4000 (RW)\n");
  EXPECT_EQ(readHandlers[0x4000], watch_read);
  EXPECT_EQ(writeHandlers[0x4000], watch_write);
  EXPECT_EQ(monitor_session({"b 4000 x", "b"}), "Breakpoint at 4000h set (X)\n"
                                                " 4000 (X)\n");
  EXPECT_EQ(watchFlags[0x4000], static_cast<uint32_t>(WATCH_EXEC));
  EXPECT_EQ(writeHandlers[0x4000], cpu_default_write());
  EXPECT_EQ(monitor_session({"b 4000 wxr", "b 4000 w"}), "Breakpoint at 4000h set (XRW)\n"
                                                         "Breakpoint at 4000h set (W)\n");
  EXPECT_EQ(readHandlers[0x4000], cpu_default_read());
  EXPECT_EQ(writeHandlers[0x4000], watch_write);
}

TEST_F(Breakpoints, KindsWithoutXRWChangeNothing) {
  monitor_session({"b 4000 r"});
  EXPECT_EQ(monitor_session({"b 4000 q", "b 4000 XRW"}), "Unknown syntax.\nUnknown syntax.\n");
  EXPECT_EQ(watchFlags[0x4000], static_cast<uint32_t>(WATCH_READ));
}

TEST_F(Breakpoints, ListInAddressOrderWithLettersRXW) {
  EXPECT_EQ(monitor_session({"b"}), "\nNo breakpoints set.\n");
  monitor_session({"b ffff xrw", "b 0 w", "b 1234"});
  EXPECT_EQ(monitor_session({"b"}), " 0000 (W) 1234 (X) FFFF (RXW)\n");
  // More than three tokens list too.
  EXPECT_EQ(monitor_session({"b 1 2 3"}), " 0000 (W) 1234 (X) FFFF (RXW)\n");
}

TEST_F(Breakpoints, AddressOfAtMostFourHexDigits) {
  EXPECT_EQ(monitor_session({"b 12345", "b zz", "b 0x12"}),
            "Unknown syntax.\nUnknown syntax.\nBreakpoint(s) at 0012h set.\n");
  EXPECT_EQ(watchFlags[0x2345], 0u);
  EXPECT_EQ(watchFlags[0x1234], 0u);
}

// ---- breakpoints in a running program -------------------------------------------

TEST_F(Breakpoints, ExecutionBreakpointOpensTheMonitorOnItsAddressThenContinues) {
  monitor_session({"b 103"});
  monitorAddress = 0x2000; // the breakpoint's address replaces it
  // First stop: look around, then leave; the loop runs again and stops again.
  queue_lines({"d", "r", "x", "m 5000 5000", "x"});
  int left = cpu_run(13 + 13 + 4 + 12 + 13 + 1);
  std::string out = take_output();
  EXPECT_EQ(count_of(out, greeting), 2);
  EXPECT_NE(out.find(" 0103 32 01 50    ld (5001h),a\n"), std::string::npos) << out;
  // The monitor saw PC on the breakpoint, with LD (5001h),A not yet run.
  EXPECT_NE(out.find("IP:0103,AF:41FF"), std::string::npos) << out;
  // On the second stop, the first pass's store was there.
  EXPECT_NE(out.find(" 5000:  41 41 00"), std::string::npos) << out;
  // Each stop let the instruction run once: the second pass reached 0106.
  EXPECT_EQ(cpu.pc, 0x0106);
  EXPECT_EQ(left, 1 - 13);
  EXPECT_EQ(breakRequest, 0u);
  EXPECT_EQ(consoleMonitorActive, 0u);
  EXPECT_EQ(execBreakAddress, 0xFFFFFFFFu);
}

TEST_F(Breakpoints, StepInsideTheMonitorRunsTheBreakpointInstruction) {
  monitor_session({"b 100"});
  queue_lines({"z", "x"});
  cpu_run(0);
  std::string out = take_output();
  EXPECT_EQ(count_of(out, greeting), 1);
  EXPECT_NE(out.find(" 0100 3A 00 50    ld a,(5000h)\nIP:0103,AF:41FF"), std::string::npos) << out;
  // After leaving, the CPU went on with the next instruction only.
  EXPECT_EQ(cpu.pc, 0x0106);
  EXPECT_EQ(testMemory[0x5001], 0x41);
}

TEST_F(Breakpoints, LeavingWhilePcStandsOnAnotherBreakpointStopsAgain) {
  // The read watch stops after LD A,(5000h), with PC on the execution
  // breakpoint at 0103: leaving that monitor stops there at once.
  monitor_session({"b 5000 r", "b 103"});
  monitorAddress = 0xFFFFFFFF;
  queue_lines({":", "x", ":", "x"});
  cpu_run(0);
  cpu_run(0);
  std::string out = take_output();
  EXPECT_EQ(count_of(out, greeting), 2);
  EXPECT_EQ(count_of(out, " 0103: "), 2) << out;
  EXPECT_EQ(cpu.pc, 0x0106);
}

TEST_F(Breakpoints, ReadWatchStopsAfterTheReadingInstruction) {
  monitor_session({"b 5000 r"});
  queue_lines({"r", "x"});
  cpu_run(0);
  std::string out = take_output();
  EXPECT_NE(out.find("IP:0103,AF:41FF"), std::string::npos) << out;
  EXPECT_EQ(cpu.pc, 0x0103);
  EXPECT_EQ(breakRequest, 0u);
  // An opcode fetch is a read too: the stop comes after that instruction.
  debug_machine_reset();
  monitor_session({"b 1 r"});
  queue_lines({"r", "x"});
  cpu_run(0);
  EXPECT_EQ(take_output(), "");
  cpu_run(0);
  EXPECT_NE(take_output().find("IP:0002,"), std::string::npos);
}

TEST_F(Breakpoints, WriteWatchStopsAfterTheWritingInstruction) {
  monitor_session({"b 5001 w"});
  queue_lines({"r", ":5001", "x"});
  cpu_run(13 + 1);
  std::string out = take_output();
  EXPECT_EQ(count_of(out, greeting), 1);
  EXPECT_NE(out.find("IP:0106,"), std::string::npos) << out;
  EXPECT_EQ(testMemory[0x5001], 0x41);
  EXPECT_EQ(monitorAddress, 0x5001u);
}

TEST_F(Breakpoints, MemoryCommandsDoNotFireWatches) {
  monitor_session({"b 4000 rwx"});
  queue_lines({":4000 12", "d 4000 4001", "m 4000 4000", "t 4000 4000 4001", "f 4000 4000 7", "x"});
  console_monitor_run();
  EXPECT_EQ(breakRequest, 0u);
  EXPECT_EQ(testMemory[0x4000], 0x07);
  EXPECT_EQ(testMemory[0x4001], 0x12);
}

TEST_F(Breakpoints, CpuInitDropsEveryBreakpoint) {
  monitor_session({"b 4000 rw", "b 103"});
  cpu_init(3000000);
  EXPECT_EQ(monitor_session({"b"}), "\nNo breakpoints set.\n");
  EXPECT_EQ(readHandlers[0x0103], cpu_default_read());
}

} // namespace
