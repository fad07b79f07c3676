// Instruction semantics where this core's rules are easy to get wrong:
// flags, T-states, block instructions, index addressing and prefixes.
#include <gtest/gtest.h>

#include "cpu/cpu.h"
#include "tests/cpu/flat_memory.h"

namespace {

class Instr : public ::testing::Test {
protected:
  void SetUp() override {
    flat_machine_reset();
    cpu.sp = 0xF000;
  }
  // Places the bytes at 0x1000 and runs one instruction.
  int exec(std::initializer_list<uint8_t> code) {
    poke(0x1000, code);
    cpu.pc = 0x1000;
    return run_one();
  }
  uint8_t a() const { return cpu.af.h; }
  uint8_t f() const { return cpu.af.l; }
};

TEST_F(Instr, ArithmeticFlags) {
  cpu.af.w = 0x7F00;
  exec({0xC6, 0x01}); // ADD A,1
  EXPECT_EQ(a(), 0x80);
  EXPECT_EQ(f(), FLAG_S | FLAG_H | FLAG_P);

  cpu.af.w = 0x8000;
  exec({0xD6, 0x01}); // SUB 1
  EXPECT_EQ(a(), 0x7F);
  EXPECT_EQ(f(), FLAG_P | FLAG_H | FLAG_N | FLAG_5 | FLAG_3);

  cpu.af.w = 0x0000;
  exec({0xFE, 0x28}); // CP 28h: bits 5 and 3 from the operand
  EXPECT_EQ(a(), 0x00);
  EXPECT_EQ(f(), FLAG_S | FLAG_5 | FLAG_H | FLAG_3 | FLAG_N | FLAG_C);

  cpu.af.w = 0xFF01; // ADC with carry in wraps to zero with carry out
  exec({0xCE, 0x00});
  EXPECT_EQ(a(), 0x00);
  EXPECT_EQ(f(), FLAG_Z | FLAG_H | FLAG_C);

  cpu.af.w = 0x0001; // SBC 0 with carry in borrows
  exec({0xDE, 0x00});
  EXPECT_EQ(a(), 0xFF);
  EXPECT_EQ(f(), FLAG_S | FLAG_5 | FLAG_H | FLAG_3 | FLAG_N | FLAG_C);
}

TEST_F(Instr, DecimalAdjustAfterAdditionAndSubtraction) {
  cpu.af.w = 0x1500;
  exec({0xC6, 0x27}); // 15 + 27 = 3C
  EXPECT_EQ(a(), 0x3C);
  EXPECT_FALSE(f() & FLAG_H);
  exec({0x27});
  EXPECT_EQ(a(), 0x42);
  EXPECT_TRUE(f() & FLAG_H);
  EXPECT_FALSE(f() & FLAG_C);

  cpu.af.w = 0x4200;
  exec({0xD6, 0x15}); // 42 - 15 = 2D with H
  EXPECT_EQ(a(), 0x2D);
  EXPECT_TRUE(f() & FLAG_H);
  exec({0x27});
  EXPECT_EQ(a(), 0x27);
  EXPECT_FALSE(f() & FLAG_H);
  EXPECT_FALSE(f() & FLAG_C);
  EXPECT_TRUE(f() & FLAG_N);

  cpu.af.w = 0x9900;
  exec({0xC6, 0x01}); // 99 + 01 = 9A -> 00 with carry
  exec({0x27});
  EXPECT_EQ(a(), 0x00);
  EXPECT_TRUE(f() & FLAG_C);
  EXPECT_TRUE(f() & FLAG_Z);
}

TEST_F(Instr, InputTakesOnlyTheEightBitPortAndKeepsFlags) {
  portLog.clear();
  cpu.af.w = 0x12D7;
  EXPECT_EQ(exec({0xDB, 0xFE}), 10);
  EXPECT_EQ(a(), 0xFE); // the test port answers with its number
  EXPECT_EQ(f(), 0xD7);
  ASSERT_EQ(portLog.size(), 1u);
  EXPECT_EQ(portLog[0].port, 0xFE);

  portLog.clear();
  cpu.bc.w = 0x7780;
  cpu.af.l = FLAG_5 | FLAG_3 | FLAG_C | FLAG_H | FLAG_N;
  EXPECT_EQ(exec({0xED, 0x40}), 11); // IN B,(C)
  EXPECT_EQ(cpu.bc.h, 0x80);
  EXPECT_EQ(f(), FLAG_S | FLAG_5 | FLAG_3 | FLAG_C); // parity odd, H and N cleared
  ASSERT_EQ(portLog.size(), 1u);
  EXPECT_EQ(portLog[0].port, 0x80);

  portLog.clear();
  cpu.af.h = 0x44;
  EXPECT_EQ(exec({0xD3, 0x81}), 11); // OUT (81h),A
  EXPECT_EQ(exec({0xED, 0x71}), 12); // OUT (C),0
  ASSERT_EQ(portLog.size(), 2u);
  EXPECT_TRUE(portLog[0].out);
  EXPECT_EQ(portLog[0].port, 0x81);
  EXPECT_EQ(portLog[0].value, 0x44);
  EXPECT_EQ(portLog[1].port, 0x80);
  EXPECT_EQ(portLog[1].value, 0x00);
}

TEST_F(Instr, ShiftsAndBitTests) {
  cpu.hl.w = 0x5000;
  flatMemory[0x5000] = 0x80;
  EXPECT_EQ(exec({0xCB, 0x36}), 15); // SLL (HL)
  EXPECT_EQ(flatMemory[0x5000], 0x01);
  EXPECT_TRUE(f() & FLAG_C);
  EXPECT_FALSE(f() & FLAG_Z);

  flatMemory[0x5000] = 0xA8; // bits 5 and 3 set in the byte
  cpu.af.l = FLAG_C;
  EXPECT_EQ(exec({0xCB, 0x7E}), 12); // BIT 7,(HL)
  EXPECT_EQ(f(), FLAG_S | FLAG_H | FLAG_C);

  cpu.de.l = 0x28;
  EXPECT_EQ(exec({0xCB, 0x43}), 8); // BIT 0,E: bits 5, 3 from the register
  EXPECT_EQ(f(), FLAG_Z | FLAG_P | FLAG_H | FLAG_5 | FLAG_3 | FLAG_C);

  cpu.bc.h = 0x01;
  exec({0xCB, 0x38}); // SRL B
  EXPECT_EQ(cpu.bc.h, 0x00);
  EXPECT_EQ(f(), FLAG_Z | FLAG_P | FLAG_C);

  cpu.af.w = 0x8100;
  exec({0x07}); // RLCA keeps S, Z, P/V
  EXPECT_EQ(a(), 0x03);
  EXPECT_EQ(f(), FLAG_C);
}

TEST_F(Instr, JumpTimings) {
  cpu.af.l = FLAG_Z;
  EXPECT_EQ(exec({0xC2, 0x00, 0x20}), 10); // JP NZ not taken
  EXPECT_EQ(cpu.pc, 0x1003);
  cpu.af.l = 0;
  EXPECT_EQ(exec({0xC2, 0x00, 0x20}), 10); // taken
  EXPECT_EQ(cpu.pc, 0x2000);
  cpu.bc.h = 1;
  EXPECT_EQ(exec({0x10, 0xFE}), 8); // DJNZ falls through
  EXPECT_EQ(cpu.pc, 0x1002);
  cpu.bc.h = 2;
  EXPECT_EQ(exec({0x10, 0xFE}), 13);
  EXPECT_EQ(cpu.pc, 0x1000);
  EXPECT_EQ(exec({0x18, 0x80}), 12); // JR back 128 from 0x1002
  EXPECT_EQ(cpu.pc, 0x0F82);
  cpu.af.l = 0;
  EXPECT_EQ(exec({0xC8}), 5); // RET Z not taken
  EXPECT_EQ(exec({0xCC, 0x00, 0x30}), 10);
  EXPECT_EQ(exec({0xCD, 0x00, 0x30}), 17);
  EXPECT_EQ(read16(cpu.sp), 0x1003);
  EXPECT_EQ(exec({0xFF}), 11); // RST 38h
  EXPECT_EQ(cpu.pc, 0x0038);
}

TEST_F(Instr, UndefinedEdBytesDoNothingAndCostNothing) {
  cpu.im = 1;
  for (uint8_t op : {0x4E, 0x77, 0xFF, 0x80, 0xA4}) {
    cpu.r = 0;
    EXPECT_EQ(exec({0xED, op}), 0);
    EXPECT_EQ(cpu.pc, 0x1002);
    EXPECT_EQ(cpu.im, 1);
    EXPECT_EQ(cpu.r, 2);
  }
  EXPECT_EQ(exec({0xED, 0x5E}), 8);
  EXPECT_EQ(cpu.im, 2);
}

TEST_F(Instr, RetiCopiesKeepInterruptStateRetnRestoresIt) {
  cpu.iff1 = 0;
  cpu.iff2 = 1;
  write16(0xF000, 0x2000);
  EXPECT_EQ(exec({0xED, 0x55}), 14);
  EXPECT_EQ(cpu.pc, 0x2000);
  EXPECT_EQ(cpu.iff1, 0);
  cpu.sp = 0xF000;
  exec({0xED, 0x45});
  EXPECT_EQ(cpu.iff1, 1);
}

TEST_F(Instr, LdirRepeatsByRefetchingAndSetsFlagsOnlyAtTheEnd) {
  poke(0x5000, {1, 2, 3});
  cpu.hl.w = 0x5000;
  cpu.de.w = 0x6000;
  cpu.bc.w = 3;
  cpu.af.w = 0x00FF;
  poke(0x1000, {0xED, 0xB0});
  cpu.pc = 0x1000;
  cpu.r = 0;
  EXPECT_EQ(run_one(), 21);
  EXPECT_EQ(cpu.pc, 0x1000);
  EXPECT_EQ(f(), 0xFF);
  EXPECT_EQ(run_one(), 21);
  EXPECT_EQ(f(), 0xFF);
  EXPECT_EQ(run_one(), 16);
  EXPECT_EQ(cpu.pc, 0x1002);
  EXPECT_EQ(cpu.r, 6);
  EXPECT_EQ(flatMemory[0x6002], 3);
  EXPECT_EQ(cpu.bc.w, 0);
  EXPECT_EQ(f() & (FLAG_P | FLAG_H | FLAG_N), 0);
  EXPECT_EQ(f() & (FLAG_S | FLAG_Z | FLAG_C), FLAG_S | FLAG_Z | FLAG_C);
  // Bit 5 is bit 1 and bit 3 is bit 3 of A + the last byte (0 + 3).
  EXPECT_EQ(f() & (FLAG_5 | FLAG_3), FLAG_5);
}

TEST_F(Instr, LdirWithZeroCountMovesTheWholeAddressSpace) {
  cpu.hl.w = 0x8000;
  cpu.de.w = 0x8000;
  cpu.bc.w = 0;
  poke(0x1000, {0xED, 0xB0});
  cpu.pc = 0x1000;
  int total = 0, executions = 0;
  do {
    total += run_one();
    ++executions;
  } while (cpu.pc == 0x1000);
  EXPECT_EQ(executions, 65536);
  EXPECT_EQ(total, 65535 * 21 + 16);
  EXPECT_EQ(cpu.hl.w, 0x8000);
}

TEST_F(Instr, CpirSearchesInOneInstruction) {
  poke(0x5000, {0x11, 0x22, 0x33});
  cpu.hl.w = 0x5000;
  cpu.bc.w = 10;
  cpu.af.w = 0x1100;
  EXPECT_EQ(exec({0xED, 0xB1}), 16); // found at the first byte
  EXPECT_EQ(cpu.hl.w, 0x5001);
  EXPECT_EQ(cpu.bc.w, 9);
  EXPECT_EQ(f() & (FLAG_Z | FLAG_P | FLAG_N), FLAG_Z | FLAG_P | FLAG_N);

  cpu.hl.w = 0x5000;
  cpu.bc.w = 10;
  cpu.af.w = 0x3300;
  cpu.r = 0;
  EXPECT_EQ(exec({0xED, 0xB1}), 21 * 3 - 5);
  EXPECT_EQ(cpu.pc, 0x1002);
  EXPECT_EQ(cpu.r, 2); // fetched once
  EXPECT_EQ(cpu.bc.w, 7);

  // Zero count: the whole 64 KB, no match.
  cpu.hl.w = 0;
  cpu.bc.w = 0;
  cpu.af.w = 0x5500;
  EXPECT_EQ(exec({0xED, 0xB1}), 65536 * 21 - 5);
  EXPECT_EQ(cpu.bc.w, 0);
  EXPECT_EQ(f() & (FLAG_Z | FLAG_P), 0);
}

TEST_F(Instr, BlockInputAndOutputSetOnlyZeroAndSubtract) {
  cpu.bc.w = 0x0210;
  cpu.hl.w = 0x5000;
  cpu.af.l = FLAG_S | FLAG_C | FLAG_H;
  EXPECT_EQ(exec({0xED, 0xA2}), 16); // INI
  EXPECT_EQ(flatMemory[0x5000], 0x10);
  EXPECT_EQ(cpu.bc.h, 1);
  EXPECT_EQ(f(), FLAG_S | FLAG_C | FLAG_H | FLAG_N);
  portLog.clear();
  cpu.hl.w = 0x5000;
  cpu.bc.h = 2;
  EXPECT_EQ(exec({0xED, 0xB3}), 21); // OTIR, first of two
  EXPECT_EQ(f(), FLAG_S | FLAG_C | FLAG_H | FLAG_N);
  EXPECT_EQ(run_one(), 16);
  EXPECT_EQ(f(), FLAG_S | FLAG_C | FLAG_H | FLAG_N | FLAG_Z);
  ASSERT_EQ(portLog.size(), 2u);
  EXPECT_EQ(portLog[0].value, 0x10);
  EXPECT_EQ(portLog[0].port, 0x10);
}

TEST_F(Instr, IndexPrefixBeforeAnOrdinaryByteIsAFourStateNop) {
  cpu.r = 0;
  EXPECT_EQ(exec({0xDD, 0x00}), 4);
  EXPECT_EQ(cpu.pc, 0x1001);
  EXPECT_EQ(run_one(), 4);
  EXPECT_EQ(cpu.pc, 0x1002);
  EXPECT_EQ(cpu.r, 3);
  cpu.hl.w = 0x1111;
  cpu.de.w = 0x2222;
  EXPECT_EQ(exec({0xFD, 0xEB}), 4); // EX DE,HL has no index form
  EXPECT_EQ(run_one(), 4);
  EXPECT_EQ(cpu.hl.w, 0x2222);
}

TEST_F(Instr, IndexHalvesAndDisplacedOperands) {
  cpu.ix.w = 0x5000;
  flatMemory[0x5005] = 0x99;
  EXPECT_EQ(exec({0xDD, 0x66, 0x05}), 19); // LD H,(IX+5): the real H
  EXPECT_EQ(cpu.hl.h, 0x99);
  EXPECT_EQ(cpu.ix.w, 0x5000);
  cpu.bc.h = 0x12;
  EXPECT_EQ(exec({0xDD, 0x60}), 8); // LD IXH,B
  EXPECT_EQ(cpu.ix.w, 0x1200);
  cpu.iy.w = 0x00FF;
  EXPECT_EQ(exec({0xFD, 0x2C}), 8); // INC IYL
  EXPECT_EQ(cpu.iy.w, 0x0000);
  EXPECT_TRUE(f() & FLAG_Z);
  cpu.ix.w = 0xFFF0;
  EXPECT_EQ(exec({0xDD, 0x36, 0x20, 0x12}), 19); // LD (IX+20h),12h wraps
  EXPECT_EQ(flatMemory[0x0010], 0x12);
  cpu.ix.w = 0x0005;
  exec({0xDD, 0x36, 0x80, 0x34}); // negative displacement wraps down
  EXPECT_EQ(flatMemory[0xFF85], 0x34);
  cpu.ix.w = 0x5000;
  cpu.af.h = 1;
  EXPECT_EQ(exec({0xDD, 0x86, 0x05}), 19); // ADD A,(IX+5)
  EXPECT_EQ(a(), 0x9A);
  EXPECT_EQ(exec({0xDD, 0x34, 0x05}), 23);
  EXPECT_EQ(flatMemory[0x5005], 0x9A);
  EXPECT_EQ(exec({0xDD, 0xE9}), 8); // JP (IX)
  EXPECT_EQ(cpu.pc, 0x5000);
}

TEST_F(Instr, IndexedBitOperationsAndTheirRegisterCopies) {
  cpu.ix.w = 0x5000;
  flatMemory[0x5002] = 0x81;
  cpu.af.h = 0;
  EXPECT_EQ(exec({0xDD, 0xCB, 0x02, 0x06}), 23); // RLC (IX+2)
  EXPECT_EQ(flatMemory[0x5002], 0x03);
  EXPECT_EQ(a(), 0);
  EXPECT_EQ(exec({0xDD, 0xCB, 0x02, 0x07}), 23); // RLC (IX+2) and into A
  EXPECT_EQ(flatMemory[0x5002], 0x06);
  EXPECT_EQ(a(), 0x06);
  exec({0xDD, 0xCB, 0x02, 0xFC}); // SET 7,(IX+2) and into the real H
  EXPECT_EQ(flatMemory[0x5002], 0x86);
  EXPECT_EQ(cpu.hl.h, 0x86);
  EXPECT_EQ(cpu.ix.w, 0x5000);

  flatMemory[0x5002] = 0x28;
  cpu.af.l = 0;
  EXPECT_EQ(exec({0xDD, 0xCB, 0x02, 0x46}), 20); // BIT 0,(IX+2): bits 5, 3 clear
  EXPECT_EQ(f(), FLAG_Z | FLAG_P | FLAG_H);
  EXPECT_EQ(exec({0xDD, 0xCB, 0x02, 0x47}), 20); // its copy: bits 5, 3 from the byte
  EXPECT_EQ(f(), FLAG_Z | FLAG_P | FLAG_H | FLAG_5 | FLAG_3);
  EXPECT_EQ(flatMemory[0x5002], 0x28);
}

TEST_F(Instr, SixteenBitArithmetic) {
  cpu.hl.w = 0x7FFF;
  cpu.bc.w = 0x0001;
  cpu.af.l = 0;
  EXPECT_EQ(exec({0xED, 0x4A}), 15); // ADC HL,BC
  EXPECT_EQ(cpu.hl.w, 0x8000);
  EXPECT_EQ(f(), FLAG_S | FLAG_H | FLAG_P);
  cpu.af.l = FLAG_C;
  EXPECT_EQ(exec({0xED, 0x42}), 15); // SBC HL,BC: 8000 - 1 - 1
  EXPECT_EQ(cpu.hl.w, 0x7FFE);
  EXPECT_EQ(f(), FLAG_5 | FLAG_H | FLAG_3 | FLAG_P | FLAG_N);
  cpu.af.l = FLAG_S | FLAG_Z | FLAG_P;
  cpu.hl.w = 0xFFFF;
  EXPECT_EQ(exec({0x09}), 11); // ADD HL,BC keeps S, Z, P/V
  EXPECT_EQ(cpu.hl.w, 0x0000);
  EXPECT_EQ(f(), FLAG_S | FLAG_Z | FLAG_P | FLAG_H | FLAG_C);
}

TEST_F(Instr, ExchangesAndStack) {
  cpu.hl.w = 0x1234;
  write16(0xF000, 0xABCD);
  EXPECT_EQ(exec({0xE3}), 19); // EX (SP),HL
  EXPECT_EQ(cpu.hl.w, 0xABCD);
  EXPECT_EQ(read16(0xF000), 0x1234);
  cpu.af.w = 0x1122;
  cpu.af_alt.w = 0x3344;
  exec({0x08});
  EXPECT_EQ(cpu.af.w, 0x3344);
  cpu.bc.w = 1;
  cpu.bc_alt.w = 2;
  exec({0xD9});
  EXPECT_EQ(cpu.bc.w, 2);
  EXPECT_EQ(cpu.bc_alt.w, 1);
  cpu.af.w = 0xBEEF;
  EXPECT_EQ(exec({0xF5}), 11); // PUSH AF with F unchanged
  EXPECT_EQ(read16(cpu.sp), 0xBEEF);
  EXPECT_EQ(exec({0xD1}), 10); // POP DE
  EXPECT_EQ(cpu.de.w, 0xBEEF);
  EXPECT_EQ(cpu.sp, 0xF000);
}

TEST_F(Instr, RotateDigitAndInterruptRegisterLoads) {
  cpu.hl.w = 0x5000;
  flatMemory[0x5000] = 0x34;
  cpu.af.w = 0x1201;
  EXPECT_EQ(exec({0xED, 0x6F}), 18); // RLD
  EXPECT_EQ(a(), 0x13);
  EXPECT_EQ(flatMemory[0x5000], 0x42);
  EXPECT_EQ(f() & FLAG_C, FLAG_C);
  EXPECT_EQ(exec({0xED, 0x67}), 18); // RRD undoes it
  EXPECT_EQ(a(), 0x12);
  EXPECT_EQ(flatMemory[0x5000], 0x34);

  cpu.iff2 = 1;
  cpu.r = 0x7E;
  cpu.af.l = 0;
  EXPECT_EQ(exec({0xED, 0x5F}), 9); // LD A,R counts both fetches
  EXPECT_EQ(a(), 0x00);
  EXPECT_EQ(f(), FLAG_Z | FLAG_P);
}

} // namespace
