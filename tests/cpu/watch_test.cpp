// Watch routines and breakpoints as the monitor sees them: read and write
// watches stop after the accessing instruction; an execution breakpoint
// stops before its instruction, which then runs exactly once.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "cpu/cpu.h"
#include "tests/cpu/flat_memory.h"

namespace {

struct MonitorVisit {
  uint16_t pc;
  uint32_t execAddress;
  uint32_t breakRequest;
};

std::vector<MonitorVisit> visits;
bool monitorOpen;
// What the user does inside the monitor.
std::function<void()> insideMonitor;

int fake_monitor() {
  if (monitorOpen) return 0;
  monitorOpen = true;
  visits.push_back({cpu.pc, execBreakAddress, breakRequest});
  if (insideMonitor) insideMonitor();
  monitorOpen = false;
  return 1;
}

void set_watch(uint16_t address, uint32_t flags) {
  watchFlags[address] = flags;
  set_read_watch(address, flags);
  set_write_watch(address, flags);
}

class Watch : public ::testing::Test {
protected:
  void SetUp() override {
    flat_machine_reset();
    cpu_set_monitor_entry(fake_monitor);
    visits.clear();
    monitorOpen = false;
    insideMonitor = nullptr;
    cpu.sp = 0xF000;
    // 0x0100: LD A,(5000h); LD (5001h),A; INC A; JR 0100h
    poke(0x0100, {0x3A, 0x00, 0x50, 0x32, 0x01, 0x50, 0x3C, 0x18, 0xF7});
    flatMemory[0x5000] = 0x41;
    cpu.pc = 0x0100;
  }
};

TEST_F(Watch, HandlersFollowTheFlags) {
  set_watch(0x4000, WATCH_READ | WATCH_WRITE);
  EXPECT_EQ(readHandlers[0x4000], watch_read);
  EXPECT_EQ(writeHandlers[0x4000], watch_write);
  set_watch(0x4000, WATCH_EXEC);
  EXPECT_EQ(readHandlers[0x4000], watch_read);
  EXPECT_EQ(writeHandlers[0x4000], cpu_default_write());
  set_watch(0x4000, 0);
  EXPECT_EQ(readHandlers[0x4000], cpu_default_read());
  // cpu_init drops every watch.
  set_watch(0x4001, WATCH_EXEC);
  cpu_init(3000000);
  EXPECT_EQ(readHandlers[0x4001], cpu_default_read());
  EXPECT_EQ(watchFlags[0x4001], 0u);
}

TEST_F(Watch, ReadWatchStopsAfterTheReadingInstruction) {
  set_watch(0x5000, WATCH_READ);
  EXPECT_EQ(run_one(), 13);
  ASSERT_EQ(visits.size(), 1u);
  EXPECT_EQ(visits[0].pc, 0x0103); // after LD A,(5000h); PC never moved back
  EXPECT_EQ(visits[0].breakRequest, 1u);
  EXPECT_EQ(visits[0].execAddress, 0xFFFFFFFFu);
  EXPECT_EQ(breakRequest, 0u);
  EXPECT_EQ(cpu.af.h, 0x41); // the read completed normally
  cpu_run(3 * 42);           // three more passes of the loop
  EXPECT_EQ(visits.size(), 4u);
}

TEST_F(Watch, WriteWatchStopsAfterTheWritingInstruction) {
  set_watch(0x5001, WATCH_WRITE);
  run_one();
  EXPECT_TRUE(visits.empty());
  run_one();
  ASSERT_EQ(visits.size(), 1u);
  EXPECT_EQ(visits[0].pc, 0x0106);
  EXPECT_EQ(flatMemory[0x5001], 0x41);
}

TEST_F(Watch, ExecutionWatchOnADataReadDoesNotStop) {
  set_watch(0x5000, WATCH_EXEC);
  cpu_run(100);
  EXPECT_TRUE(visits.empty());
}

TEST_F(Watch, ExecutionBreakpointStopsBeforeItsInstructionWhichThenRunsOnce) {
  set_watch(0x0103, WATCH_EXEC);
  int writes = 0;
  insideMonitor = [&] {
    if (writes++ == 0) {
      EXPECT_EQ(flatMemory[0x5001], 0x00); // LD (5001h),A has not run yet
    }
  };
  EXPECT_EQ(run_one(), 13); // LD A,(5000h)
  EXPECT_TRUE(visits.empty());
  EXPECT_EQ(run_one(), 13); // stops, then runs LD (5001h),A with its own operands
  ASSERT_EQ(visits.size(), 1u);
  EXPECT_EQ(visits[0].pc, 0x0103);
  EXPECT_EQ(visits[0].execAddress, 0x0103u);
  EXPECT_EQ(writes, 1);
  EXPECT_EQ(cpu.pc, 0x0106);
  EXPECT_EQ(flatMemory[0x5001], 0x41);
  EXPECT_EQ(execBreakAddress, 0xFFFFFFFFu);
  // Each pass of the loop (42 T-states) stops there once: INC A, JR, then
  // three passes up to and including the third LD (5001h),A.
  cpu_run(4 + 12 + 2 * 42 + 13 + 12);
  EXPECT_EQ(visits.size(), 4u);
}

TEST_F(Watch, LeavingWhilePcStandsOnABreakpointStopsAgain) {
  // A read watch stops after LD A,(5000h), with PC on the execution
  // breakpoint at 0x0103: leaving that monitor stops again at once.
  set_watch(0x5000, WATCH_READ);
  set_watch(0x0103, WATCH_EXEC);
  cpu_run(0);
  cpu_run(0);
  ASSERT_EQ(visits.size(), 2u);
  EXPECT_EQ(visits[0].pc, 0x0103);
  EXPECT_EQ(visits[0].execAddress, 0xFFFFFFFFu);
  EXPECT_EQ(visits[1].pc, 0x0103);
  EXPECT_EQ(visits[1].execAddress, 0x0103u);
}

TEST_F(Watch, SingleStepInsideTheMonitorMovesPastTheBreakpoint) {
  set_watch(0x0100, WATCH_EXEC);
  insideMonitor = [] {
    cpu_run(0); // z: executes LD A,(5000h) although it is the breakpoint
    EXPECT_EQ(cpu.pc, 0x0103);
    EXPECT_EQ(execBreakAddress, 0x0100u); // still the stop that opened the monitor
  };
  cpu_run(0);
  ASSERT_EQ(visits.size(), 1u);
  EXPECT_EQ(cpu.af.h, 0x41);
  // After leaving, the outer call executed the next instruction only.
  EXPECT_EQ(cpu.pc, 0x0106);
  EXPECT_EQ(flatMemory[0x5001], 0x41);
}

TEST_F(Watch, MovingPcOntoAnotherBreakpointInsideTheMonitorStopsThere) {
  set_watch(0x0100, WATCH_EXEC);
  set_watch(0x0106, WATCH_EXEC);
  insideMonitor = [] {
    if (visits.size() == 1) cpu.pc = 0x0106; // g 0106
  };
  EXPECT_EQ(run_one(), 4); // stops at 0100, then at 0106, then runs INC A
  ASSERT_EQ(visits.size(), 2u);
  EXPECT_EQ(visits[1].execAddress, 0x0106u);
  EXPECT_EQ(cpu.pc, 0x0107);
}

TEST_F(Watch, NestedStepsCountAgainstTheOuterBudget) {
  set_watch(0x0100, WATCH_EXEC);
  insideMonitor = [] {
    cpu_run(0); // 13 T-states
    cpu_run(0); // 13 T-states
  };
  // Budget 20: the nested 26 T-states use it up, so only the instruction
  // at the new PC runs (INC A).
  EXPECT_EQ(cpu_run(20), 20 - 26 - 4);
  EXPECT_EQ(cpu.pc, 0x0107);
}

TEST_F(Watch, WithoutAMonitorBreaksAreDroppedAndNothingStops) {
  cpu_set_monitor_entry(nullptr);
  set_watch(0x0100, WATCH_EXEC);
  set_watch(0x5000, WATCH_READ);
  EXPECT_EQ(run_one(), 13);
  EXPECT_EQ(breakRequest, 0u);
  EXPECT_EQ(cpu.pc, 0x0103);
}

} // namespace
