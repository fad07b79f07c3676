// The instruction cycle: budgets, R, HALT, NMI and maskable interrupts.
#include <gtest/gtest.h>

#include "cpu/cpu.h"
#include "tests/cpu/flat_memory.h"

namespace {

class Cycle : public ::testing::Test {
protected:
  void SetUp() override { flat_machine_reset(); }
};

TEST_F(Cycle, BudgetRunsWholeInstructionsAndReturnsTheOvershoot) {
  // Memory is all NOPs.
  EXPECT_EQ(cpu_run(0), -4);
  EXPECT_EQ(cpu.pc, 1);
  EXPECT_EQ(cpu_run(10), -2); // three NOPs
  EXPECT_EQ(cpu.pc, 4);
  EXPECT_EQ(cpu.tcount, 16);
  EXPECT_EQ(cpu_run(8), 0);
  EXPECT_EQ(cpu.pc, 6);
}

// A slice keeps registers in locals: a port read lands in A, and the port
// routines see the registers as they are, on plain pages and through the
// handler entries alike.
TEST_F(Cycle, ASliceGetsAndGivesPortValuesThroughItsRegisters) {
  for (bool plain : {false, true}) {
    flat_machine_reset();
    if (plain)
      for (unsigned page = 0; page < 256; ++page) {
        cpu_map_read_page(static_cast<uint8_t>(page), flatMemory + page * 256);
        cpu_map_write_page(static_cast<uint8_t>(page), flatMemory + page * 256);
      }
    // LD A,11h; IN A,(42h); LD B,A; OUT (43h),A; HALT
    poke(0x1000, {0x3E, 0x11, 0xDB, 0x42, 0x47, 0xD3, 0x43, 0x76});
    cpu.pc = 0x1000;
    cpu_run(40);
    EXPECT_EQ(cpu.af.h, 0x42) << "plain pages: " << plain;
    EXPECT_EQ(cpu.bc.h, 0x42) << "plain pages: " << plain;
    ASSERT_EQ(portLog.size(), 2u);
    EXPECT_TRUE(portLog[1].out);
    EXPECT_EQ(portLog[1].value, 0x42) << "plain pages: " << plain;
    EXPECT_EQ(cpu.pc, 0x1007);
  }
}

TEST_F(Cycle, HaltStaysOnItselfFourTStatesAtATime) {
  poke(0x1000, {0x76});
  cpu.pc = 0x1000;
  EXPECT_EQ(cpu_run(0), -4);
  EXPECT_EQ(cpu.pc, 0x1000);
  EXPECT_EQ(cpu_run(100), 0); // 25 more HALTs
  EXPECT_EQ(cpu.pc, 0x1000);
  EXPECT_EQ(cpu.tcount, 104);
}

TEST_F(Cycle, RCountsFetchesPrefixesAndInterruptsInSevenBits) {
  cpu.r = 0xFF; // bit 7 stays, the low seven bits wrap
  run_one();    // NOP
  EXPECT_EQ(cpu.r, 0x80);
  poke(1, {0xCB, 0x00, 0xED, 0x44, 0xDD, 0x21, 0x00, 0x00, 0xFD, 0x23});
  run_one(); // CB 00
  EXPECT_EQ(cpu.r, 0x82);
  run_one(); // ED 44 (NEG)
  EXPECT_EQ(cpu.r, 0x84);
  run_one(); // DD 21 nn: operands do not count
  EXPECT_EQ(cpu.r, 0x86);
  run_one(); // FD 23
  EXPECT_EQ(cpu.r, 0x88);
  poke(cpu.pc, {0x3E, 0x05, 0xED, 0x4F}); // LD A,5; LD R,A writes all eight bits
  run_one();
  run_one();
  EXPECT_EQ(cpu.r, 0x05);
  cpu.nmiLine = 1;
  run_one(); // NOP plus the NMI acceptance
  EXPECT_EQ(cpu.r, 0x07);
}

uint16_t pcSeenAtFetch;
uint8_t rSeenAtFetch;
int64_t tSeenAtFetch;
uint8_t spyRead(uint16_t a) {
  pcSeenAtFetch = cpu.pc;
  rSeenAtFetch = cpu.r;
  tSeenAtFetch = cpu.tcount;
  return flatMemory[a];
}

TEST_F(Cycle, OpcodeFetchSeesPcAdvancedAndROld) {
  poke(0x2000, {0x00});
  readHandlers[0x2000] = spyRead;
  cpu.pc = 0x2000;
  cpu.r = 0x10;
  cpu.tcount = 500;
  run_one();
  EXPECT_EQ(pcSeenAtFetch, 0x2001);
  EXPECT_EQ(rSeenAtFetch, 0x10);
  EXPECT_EQ(tSeenAtFetch, 500);
  // An operand is read with PC still on it, and tcount as at the start.
  poke(0x3000, {0x3E});
  readHandlers[0x3001] = spyRead;
  cpu.pc = 0x3000;
  run_one();
  EXPECT_EQ(pcSeenAtFetch, 0x3001);
  EXPECT_EQ(tSeenAtFetch, 504);
}

TEST_F(Cycle, NmiOnHaltPushesTheNextAddressAndLatches) {
  poke(0x1000, {0x76});
  cpu.pc = 0x1000;
  cpu.sp = 0x8000;
  cpu.iff1 = cpu.iff2 = 1;
  run_one();
  nmi_request();
  EXPECT_EQ(run_one(), 4 + 11);
  EXPECT_EQ(cpu.pc, 0x0066);
  EXPECT_EQ(cpu.sp, 0x7FFE);
  EXPECT_EQ(flatMemory[0x7FFE], 0x01);
  EXPECT_EQ(flatMemory[0x7FFF], 0x10);
  EXPECT_EQ(cpu.iff1, 0);
  EXPECT_EQ(cpu.iff2, 1);
  EXPECT_EQ(cpu.nmiTaken, 1u);
  // The line is still held: no second NMI.
  EXPECT_EQ(run_one(), 4);
  EXPECT_EQ(cpu.pc, 0x0067);
  // A pulse gives exactly one more.
  nmi_pulse();
  EXPECT_EQ(run_one(), 15);
  EXPECT_EQ(cpu.pc, 0x0066);
  EXPECT_EQ(run_one(), 4);
  nmi_clear();
  EXPECT_EQ(cpu.nmiLine, 0u);
  EXPECT_EQ(cpu.nmiTaken, 0u);
  // RETN returns from the second NMI and brings IFF1 back from IFF2.
  poke(0x0070, {0xED, 0x45});
  cpu.pc = 0x0070;
  EXPECT_EQ(run_one(), 14);
  EXPECT_EQ(cpu.pc, 0x0068);
  EXPECT_EQ(cpu.sp, 0x7FFE);
  EXPECT_EQ(cpu.iff1, 1);
}

TEST_F(Cycle, NmiWinsOverAMaskableInterrupt) {
  cpu.iff1 = cpu.iff2 = 1;
  cpu.im = 1;
  cpu.intLine = 1;
  cpu.nmiLine = 1;
  cpu.sp = 0x8000;
  run_one();
  EXPECT_EQ(cpu.pc, 0x0066);
}

TEST_F(Cycle, Mode2ReadsTheVectorAtIxFFAndPushesHighByteFirst) {
  poke(0x3CFF, {0x34, 0x12});
  poke(0x0500, {0x00});
  cpu.pc = 0x0500;
  cpu.sp = 0x9000;
  cpu.i = 0x3C;
  cpu.im = 2;
  cpu.iff1 = cpu.iff2 = 1;
  cpu.intLine = 1;
  EXPECT_EQ(run_one(), 4 + 19);
  EXPECT_EQ(cpu.pc, 0x1234);
  EXPECT_EQ(cpu.sp, 0x8FFE);
  EXPECT_EQ(flatMemory[0x8FFF], 0x05);
  EXPECT_EQ(flatMemory[0x8FFE], 0x01);
  EXPECT_EQ(cpu.iff1, 0);
  EXPECT_EQ(cpu.iff2, 0);
}

TEST_F(Cycle, Modes0And1RestartAt38In13TStates) {
  for (uint8_t mode : {0, 1}) {
    flat_machine_reset();
    cpu.sp = 0x9000;
    cpu.im = mode;
    cpu.iff1 = cpu.iff2 = 1;
    cpu.intLine = 1;
    EXPECT_EQ(run_one(), 4 + 13);
    EXPECT_EQ(cpu.pc, 0x0038);
  }
}

TEST_F(Cycle, LevelInterruptWaitsForEnableAndOneInstructionAfterEi) {
  poke(0x0000, {0xF3, 0x00, 0xFB, 0x00, 0x00});
  cpu.sp = 0x9000;
  cpu.im = 1;
  cpu.iff1 = cpu.iff2 = 1;
  cpu.intLine = 1;
  cpu.pc = 0;
  run_one(); // DI: the check after it finds IFF1 clear
  EXPECT_EQ(cpu.pc, 1);
  run_one();
  EXPECT_EQ(cpu.pc, 2);
  run_one(); // EI: never directly after it
  EXPECT_EQ(cpu.pc, 3);
  run_one(); // the NOP after EI, then the interrupt
  EXPECT_EQ(cpu.pc, 0x0038);
  EXPECT_EQ(read16(cpu.sp), 4);
}

TEST_F(Cycle, InterruptIsTakenAfterAPrefixedInstructionAndOnHalt) {
  poke(0x0000, {0xDD, 0x21, 0x34, 0x12, 0x76});
  cpu.sp = 0x9000;
  cpu.im = 1;
  cpu.iff1 = cpu.iff2 = 1;
  cpu.intLine = 1;
  run_one();
  EXPECT_EQ(cpu.ix.w, 0x1234);
  EXPECT_EQ(cpu.pc, 0x0038);
  EXPECT_EQ(read16(cpu.sp), 4);
  // On a HALT the pushed address is the one after it.
  cpu.pc = 4;
  cpu.iff1 = cpu.iff2 = 1;
  run_one();
  EXPECT_EQ(read16(cpu.sp), 5);
}

TEST_F(Cycle, IndexPrefixBeforeAnOrdinaryByteLetsAnInterruptIn) {
  poke(0x0000, {0xDD, 0x00});
  cpu.sp = 0x9000;
  cpu.im = 1;
  cpu.iff1 = cpu.iff2 = 1;
  cpu.intLine = 1;
  EXPECT_EQ(run_one(), 4 + 13);
  EXPECT_EQ(read16(cpu.sp), 1); // returns to the NOP
}

TEST_F(Cycle, ResetKeepsGeneralRegistersAndTime) {
  cpu.bc.w = 0x1234;
  cpu.ix.w = 0x5678;
  cpu.tcount = 999;
  cpu.pc = 0x4000;
  cpu.im = 2;
  cpu.nmiTaken = 1;
  cpu_reset();
  EXPECT_EQ(cpu.bc.w, 0x1234);
  EXPECT_EQ(cpu.ix.w, 0x5678);
  EXPECT_EQ(cpu.tcount, 999);
  EXPECT_EQ(cpu.pc, 0);
  EXPECT_EQ(cpu.sp, 0xFFFF);
  EXPECT_EQ(cpu.af.w, 0xFFFF);
  EXPECT_EQ(cpu.im, 0);
  EXPECT_EQ(cpu.nmiTaken, 0u);
}

TEST_F(Cycle, ClockDerivedValues) {
  cpu_init(3000000);
  EXPECT_EQ(cpu.lineTicks, 192u);
  EXPECT_EQ(us_to_ticks(77), 231u);
  cpu_init(4000000);
  EXPECT_EQ(cpu.lineTicks, 256u);
  EXPECT_EQ(us_to_ticks(77), 308u);
}

TEST_F(Cycle, SixteenBitAccessWrapsAtTheTopOfMemory) {
  write16(0xFFFF, 0xBEEF);
  EXPECT_EQ(flatMemory[0xFFFF], 0xEF);
  EXPECT_EQ(flatMemory[0x0000], 0xBE);
  EXPECT_EQ(read16(0xFFFF), 0xBEEF);
}

} // namespace
