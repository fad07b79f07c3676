// Timed events (ordering, dispatch after every T-state step) and emulator
// traps (install, remove, dispatch).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cpu/cpu.h"
#include "cpu/events.h"
#include "cpu/traps.h"
#include "tests/cpu/flat_memory.h"

namespace {

std::vector<std::string> calls;

void record0(int64_t* t, TimedEvent*) { calls.push_back("0@" + std::to_string(*t)); }
void record1(int64_t* t, TimedEvent*) { calls.push_back("1@" + std::to_string(*t)); }
void record2(int64_t* t, TimedEvent*) { calls.push_back("2@" + std::to_string(*t)); }
void once3(int64_t* t, TimedEvent*) {
  calls.push_back("3@" + std::to_string(*t));
  event_remove(3);
}
// Runs every 10 T-states, rescheduled from its own due time.
void periodic(int64_t*, TimedEvent* self) {
  calls.push_back("p@" + std::to_string(self->due));
  event_move(self->id, self->due + 10);
}

std::vector<int> order() {
  std::vector<int> ids;
  for (TimedEvent* e = eventHead; e; e = e->next) ids.push_back(e->id);
  return ids;
}

class Events : public ::testing::Test {
protected:
  void SetUp() override {
    flat_machine_reset();
    calls.clear();
  }
};

TEST_F(Events, InitLeavesOnlyTheSentinelAndTimeMinusOne) {
  event_init();
  EXPECT_EQ(cpu.tcount, -1);
  EXPECT_EQ(order(), std::vector<int>{EVENT_SENTINEL});
  EXPECT_EQ(eventHead->due, -1);
  EXPECT_EQ(event_find(EVENT_SENTINEL), &timedEvents[EVENT_SENTINEL]);
  EXPECT_EQ(event_find(1), nullptr);
}

TEST_F(Events, SortedInsertionPutsEqualDueTimesFirstAndLaterOnesAtTheTail) {
  event_add(1, 100, record1);
  event_add(2, 100, record2); // same time: before event 1
  event_add(0, 500, record0); // later than all: tail
  event_add(3, 50, once3);
  EXPECT_EQ(order(), (std::vector<int>{4, 3, 2, 1, 0}));
  EXPECT_EQ(eventTail->id, 0);
  event_move(3, 1000);
  EXPECT_EQ(order(), (std::vector<int>{4, 2, 1, 0, 3}));
  event_remove(2);
  event_remove(2); // not listed: nothing happens
  EXPECT_EQ(order(), (std::vector<int>{4, 1, 0, 3}));
  event_move(2, 0); // a move of an unlisted id inserts it
  EXPECT_EQ(order(), (std::vector<int>{4, 2, 1, 0, 3}));
}

TEST_F(Events, DueEventsRunInListOrderAfterEachStep) {
  event_add(1, 10, record1);
  event_add(2, 10, record2);
  event_add(0, 30, record0);
  poke(0, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
  cpu_run(8); // two NOPs: time 4, 8
  EXPECT_TRUE(calls.empty());
  run_one(); // time 12: 2 then 1 are due
  EXPECT_EQ(calls, (std::vector<std::string>{"2@12", "1@12"}));
  // Events are not unlinked by dispatch: they run after every step.
  run_one();
  EXPECT_EQ(calls.size(), 4u);
  event_remove(1);
  event_remove(2);
  calls.clear();
  cpu_run(16);
  EXPECT_EQ(calls, (std::vector<std::string>{"0@32"}));
}

TEST_F(Events, CallbackReschedulingItselfRunsOncePerPeriod) {
  event_add(1, 10, periodic);
  cpu_run(40); // ten NOPs
  EXPECT_EQ(calls, (std::vector<std::string>{"p@10", "p@20", "p@30", "p@40"}));
}

TEST_F(Events, InstructionsStepTimeAsTheyAreDefined) {
  // SUB n takes its T-states as 3 then 4; ADD n as 7 in one step.
  event_add(3, 3, once3);
  poke(0, {0xD6, 0x01});
  run_one();
  EXPECT_EQ(calls, (std::vector<std::string>{"3@3"}));
  calls.clear();
  event_add(3, 10, once3);
  poke(2, {0xC6, 0x01});
  run_one();
  EXPECT_EQ(calls, (std::vector<std::string>{"3@14"}));
  // Interrupt acceptance steps 7, 3 and 3.
  calls.clear();
  event_add(3, 14 + 4 + 7, once3);
  cpu.sp = 0x9000;
  cpu.im = 1;
  cpu.iff1 = cpu.iff2 = 1;
  cpu.intLine = 1;
  run_one();
  EXPECT_EQ(calls, (std::vector<std::string>{"3@25"}));
}

TEST_F(Events, NullCallbackIsReplacedByAWarningOne) {
  event_add(0, 0, nullptr);
  ::testing::internal::CaptureStderr();
  run_one();
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "Warning! Dummy event callback!\n");
  event_remove(0);
}

TEST_F(Events, OutOfRangeIdsAreIgnored) {
  event_add(7, 10, record0);
  event_add(-1, 10, record0);
  event_move(5, 10);
  event_remove(99);
  EXPECT_EQ(order(), std::vector<int>{EVENT_SENTINEL});
}

TEST_F(Events, AddingAListedIdAgainMovesItInsteadOfCorruptingTheList) {
  event_add(1, 100, record1);
  event_add(2, 200, record2);
  event_add(1, 300, record0);
  EXPECT_EQ(order(), (std::vector<int>{4, 2, 1}));
  EXPECT_EQ(timedEvents[1].callback, record0);
}

// ---- traps ------------------------------------------------------------------

std::vector<uint32_t> trapCalls;
void trap_handler(uint32_t* n) { trapCalls.push_back(*n); }
void trap_jump(uint32_t*) { cpu.pc = 0x4000; }

TrapRecord makeRecord(TrapHandler h, uint32_t address) {
  TrapRecord r{};
  r.handler = h;
  r.address = address;
  r.patchLength = 3;
  r.slotOffset = 1;
  r.patch[0] = 0xED;
  r.patch[2] = 0xC9;
  return r;
}

class Traps : public ::testing::Test {
protected:
  void SetUp() override {
    flat_machine_reset();
    trapCalls.clear();
    for (int a = 0; a < 0x100; ++a) flatMemory[a] = static_cast<uint8_t>(a);
  }
};

TEST_F(Traps, InstallPatchesWithItsNumberAndRemoveRestores) {
  TrapRecord records[3] = {makeRecord(trap_handler, 0x10), makeRecord(trap_handler, 0x20), {}};
  EXPECT_TRUE(trap_install(records, flatMemory));
  EXPECT_EQ(trapCount, 2u);
  EXPECT_EQ(flatMemory[0x10], 0xED);
  EXPECT_EQ(flatMemory[0x11], 0x00);
  EXPECT_EQ(flatMemory[0x21], 0x01);
  EXPECT_EQ(flatMemory[0x22], 0xC9);
  EXPECT_EQ(records[1].saved[0], 0x20);
  // Installing again changes nothing; the saved bytes stay the originals.
  EXPECT_TRUE(trap_install(records, flatMemory));
  EXPECT_EQ(trapCount, 2u);
  EXPECT_EQ(records[0].saved[1], 0x11);
  trap_remove(&records[1], flatMemory);
  trap_remove(&records[0], flatMemory);
  trap_remove(&records[0], flatMemory); // not installed: nothing
  EXPECT_EQ(trapCount, 0u);
  for (int a = 0; a < 0x100; ++a) EXPECT_EQ(flatMemory[a], a);
}

TEST_F(Traps, RemovingAnEarlierRecordRenumbersTheLastOneEverywhere) {
  TrapRecord records[4] = {makeRecord(trap_handler, 0x10),
                           makeRecord(trap_handler, 0x20),
                           makeRecord(trap_handler, 0x30),
                           {}};
  trap_install(records, flatMemory);
  trap_remove(&records[0], flatMemory);
  EXPECT_EQ(trapCount, 2u);
  EXPECT_EQ(trapSlots[0], &records[2]);
  EXPECT_EQ(trapSlots[2], nullptr);
  EXPECT_EQ(records[2].patch[1], 0);
  EXPECT_EQ(flatMemory[0x31], 0);
  // Executing the moved trap reaches its record.
  cpu.pc = 0x30;
  cpu.sp = 0x9000;
  write16(0x9000, 0x0077);
  run_one();
  EXPECT_EQ(trapCalls, std::vector<uint32_t>{0});
  // And removing it afterwards restores its original bytes.
  trap_remove(&records[2], flatMemory);
  EXPECT_EQ(flatMemory[0x31], 0x31);
  trap_remove(&records[1], flatMemory);
  for (int a = 0; a < 0x100; ++a) EXPECT_EQ(flatMemory[a], a);
}

TEST_F(Traps, TrapOpcodeCostsNothingAndContinuesWhereTheHandlerLeftPc) {
  TrapRecord records[2] = {makeRecord(trap_jump, 0x50), {}};
  trap_install(records, flatMemory);
  flatMemory[0x4000] = 0x00;
  cpu.pc = 0x50;
  EXPECT_EQ(run_one(), 0);
  EXPECT_EQ(cpu.pc, 0x4000);
  EXPECT_EQ(cpu.r, 2);
  trap_remove(&records[0], flatMemory);
}

TEST_F(Traps, EmptySlotsAndUnreachedNumbersDoNothing) {
  poke(0x80, {0xED, 0x05, 0xED, 0x0D, 0xED, 0x3F});
  cpu.pc = 0x80;
  EXPECT_EQ(run_one(), 0); // ED 05 with no record
  EXPECT_EQ(run_one(), 0); // ED 0D is no trap
  EXPECT_EQ(run_one(), 0);
  EXPECT_EQ(cpu.pc, 0x86);
  EXPECT_TRUE(trapCalls.empty());
  trap_dispatch(39);
  trap_dispatch(1000);
}

TEST_F(Traps, FullTableAndMalformedRecordsAreRefused) {
  static TrapRecord many[TRAP_SLOTS + 2];
  for (uint32_t k = 0; k < TRAP_SLOTS + 1; ++k) many[k] = makeRecord(trap_handler, 0x100 + 4 * k);
  many[TRAP_SLOTS + 1] = TrapRecord{};
  EXPECT_FALSE(trap_install(many, flatMemory));
  EXPECT_EQ(trapCount, TRAP_SLOTS);
  for (uint32_t k = 0; k < TRAP_SLOTS; ++k) trap_remove(&many[k], flatMemory);
  EXPECT_EQ(trapCount, 0u);
  TrapRecord bad[2] = {makeRecord(trap_handler, 0x10), {}};
  bad[0].patchLength = 41;
  EXPECT_FALSE(trap_install(bad, flatMemory));
  EXPECT_EQ(trapCount, 0u);
  EXPECT_EQ(flatMemory[0x10], 0x10);
}

} // namespace
