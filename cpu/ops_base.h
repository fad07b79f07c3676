// The unprefixed opcodes and the CB group. Each opcode is one instance of a
// template over its byte, decoded by the usual fields x (bits 7-6),
// y (bits 5-3), z (bits 2-0), p (bits 5-4) and q (bit 3). The handler
// tables are built from these templates (ops_base.cpp), and the
// instruction cycle expands the unprefixed ones in place (cpu.cpp). Only
// the files of cpu/ include this.
#pragma once

#include "cpu/core.h"

namespace base_ops {

inline void jump_relative(uint8_t e) {
  cpu.pc = static_cast<uint16_t>(cpu.pc + static_cast<int8_t>(e));
}

inline void daa() {
  const unsigned a = cpu.af.h, lo = a & 0x0F;
  unsigned f = cpu.af.l;
  int t = static_cast<int>(a);
  unsigned h = f & FLAG_H;
  if (!(f & FLAG_N)) {
    if (h || lo > 9) {
      t = static_cast<int>(a) + 6;
      h = lo > 9 ? FLAG_H : 0;
    }
    if ((f & FLAG_C) || (t & 0x1F0) > 0x90) t += 0x60;
  } else {
    bool big = (f & FLAG_C) || a > 0x99;
    if (h || lo > 9) {
      t = static_cast<int>((a - 6) & 0xFF);
      h = lo <= 5 ? h : 0;
    }
    if (big) t -= 0x160;
  }
  uint8_t result = static_cast<uint8_t>(t);
  unsigned carry = (t & 0x100) ? FLAG_C : (f & FLAG_C);
  cpu.af.h = result;
  cpu.af.l = static_cast<uint8_t>(flagTables.sz53p[result] | h | (f & FLAG_N) | carry);
}

template <int OP> struct Base {
  static constexpr int x = OP >> 6, y = (OP >> 3) & 7, z = OP & 7, p = y >> 1, q = y & 1;

  static void run() {
    if constexpr (x == 0)
      quarter0();
    else if constexpr (x == 1)
      load8();
    else if constexpr (x == 2) {
      if constexpr (z == 6)
        alu_op_memory<y>(rd(cpu.hl.w));
      else {
        alu_op<y>(reg8<z>());
        step(4);
      }
    } else
      quarter3();
  }

  static void quarter0() {
    if constexpr (z == 0) {
      if constexpr (y == 0)
        step(4);                   // NOP
      else if constexpr (y == 1) { // EX AF,AF'
        swap_pair(cpu.af, cpu.af_alt);
        step(4);
      } else if constexpr (y == 2) { // DJNZ e
        uint8_t e = fetch_operand();
        if (--cpu.bc.h) {
          jump_relative(e);
          step(13);
        } else
          step(8);
      } else if constexpr (y == 3) { // JR e
        jump_relative(fetch_operand());
        step(12);
      } else { // JR cc,e
        uint8_t e = fetch_operand();
        if (condition<y - 4>()) {
          jump_relative(e);
          step(12);
        } else
          step(7);
      }
    } else if constexpr (z == 1) {
      if constexpr (q == 0) { // LD rr,nn
        reg16<p>() = fetch_operand16();
        step(10);
      } else { // ADD HL,rr
        cpu.hl.w = alu_add16(cpu.hl.w, reg16<p>());
        step(11);
      }
    } else if constexpr (z == 2) {
      if constexpr (OP == 0x02) {
        wr(cpu.bc.w, cpu.af.h);
        step(7);
      } else if constexpr (OP == 0x12) {
        wr(cpu.de.w, cpu.af.h);
        step(7);
      } else if constexpr (OP == 0x22) {
        write16(fetch_operand16(), cpu.hl.w);
        step(16);
      } else if constexpr (OP == 0x32) {
        wr(fetch_operand16(), cpu.af.h);
        step(13);
      } else if constexpr (OP == 0x0A) {
        cpu.af.h = rd(cpu.bc.w);
        step(7);
      } else if constexpr (OP == 0x1A) {
        cpu.af.h = rd(cpu.de.w);
        step(7);
      } else if constexpr (OP == 0x2A) {
        cpu.hl.w = read16(fetch_operand16());
        step(16);
      } else {
        cpu.af.h = rd(fetch_operand16());
        step(13);
      }
    } else if constexpr (z == 3) { // INC rr / DEC rr
      reg16<p>() = static_cast<uint16_t>(reg16<p>() + (q == 0 ? 1 : -1));
      step(6);
    } else if constexpr (z == 4 || z == 5) { // INC r / DEC r
      constexpr int delta = z == 4 ? 1 : -1;
      if constexpr (y == 6) {
        uint8_t v = static_cast<uint8_t>(rd(cpu.hl.w) + delta);
        wr(cpu.hl.w, v);
        if constexpr (z == 4)
          alu_inc_flags(v);
        else
          alu_dec_flags(v);
        step(11);
      } else {
        uint8_t v = static_cast<uint8_t>(reg8<y>() + delta);
        reg8<y>() = v;
        if constexpr (z == 4)
          alu_inc_flags(v);
        else
          alu_dec_flags(v);
        step(4);
      }
    } else if constexpr (z == 6) { // LD r,n
      if constexpr (y == 6) {
        uint8_t n = fetch_operand();
        wr(cpu.hl.w, n);
        step(10);
      } else {
        reg8<y>() = fetch_operand();
        step(7);
      }
    } else {
      accumulator_group();
    }
  }

  static void accumulator_group() {
    uint8_t a = cpu.af.h, f = cpu.af.l;
    constexpr uint8_t keep = FLAG_S | FLAG_Z | FLAG_P;
    if constexpr (y <= 3) { // RLCA RRCA RLA RRA
      unsigned r, c;
      if constexpr (y == 0)
        r = (a << 1) | (a >> 7), c = a >> 7;
      else if constexpr (y == 1)
        r = (a >> 1) | (a << 7), c = a & 1;
      else if constexpr (y == 2)
        r = (a << 1) | (f & FLAG_C), c = a >> 7;
      else
        r = (a >> 1) | ((f & FLAG_C) << 7), c = a & 1;
      a = static_cast<uint8_t>(r);
      cpu.af.h = a;
      cpu.af.l = static_cast<uint8_t>((f & keep) | (a & (FLAG_5 | FLAG_3)) | c);
    } else if constexpr (y == 4) {
      daa();
    } else if constexpr (y == 5) { // CPL
      a = static_cast<uint8_t>(~a);
      cpu.af.h = a;
      cpu.af.l =
          static_cast<uint8_t>((f & (keep | FLAG_C)) | FLAG_H | FLAG_N | (a & (FLAG_5 | FLAG_3)));
    } else if constexpr (y == 6) { // SCF
      cpu.af.l = static_cast<uint8_t>((f & keep) | (a & (FLAG_5 | FLAG_3)) | FLAG_C);
    } else { // CCF
      cpu.af.l = static_cast<uint8_t>((f & keep) | (a & (FLAG_5 | FLAG_3)) |
                                      ((f & FLAG_C) ? FLAG_H : FLAG_C));
    }
    step(4);
  }

  static void load8() {
    if constexpr (OP == 0x76) { // HALT: stay on the HALT until an interrupt
      cpu.pc = static_cast<uint16_t>(cpu.pc - 1);
      step(4);
    } else if constexpr (z == 6) {
      reg8<y>() = rd(cpu.hl.w);
      step(7);
    } else if constexpr (y == 6) {
      wr(cpu.hl.w, reg8<z>());
      step(7);
    } else {
      reg8<y>() = reg8<z>();
      step(4);
    }
  }

  static void quarter3() {
    if constexpr (z == 0) { // RET cc
      if (condition<y>()) {
        cpu.pc = pop16();
        step(11);
      } else
        step(5);
    } else if constexpr (z == 1) {
      if constexpr (q == 0) { // POP rr
        reg16<p, true>() = pop16();
        step(10);
      } else if constexpr (p == 0) { // RET
        cpu.pc = pop16();
        step(10);
      } else if constexpr (p == 1) { // EXX
        swap_pair(cpu.bc, cpu.bc_alt);
        swap_pair(cpu.de, cpu.de_alt);
        swap_pair(cpu.hl, cpu.hl_alt);
        step(4);
      } else if constexpr (p == 2) { // JP (HL)
        cpu.pc = cpu.hl.w;
        step(4);
      } else { // LD SP,HL
        cpu.sp = cpu.hl.w;
        step(6);
      }
    } else if constexpr (z == 2) { // JP cc,nn
      uint16_t nn = fetch_operand16();
      if (condition<y>()) cpu.pc = nn;
      step(10);
    } else if constexpr (z == 3) {
      misc_group();
    } else if constexpr (z == 4) { // CALL cc,nn
      uint16_t nn = fetch_operand16();
      if (condition<y>()) {
        push16(cpu.pc);
        cpu.pc = nn;
        step(17);
      } else
        step(10);
    } else if constexpr (z == 5) {
      if constexpr (q == 0) { // PUSH rr
        push16(reg16<p, true>());
        step(11);
      } else if constexpr (p == 0) { // CALL nn
        uint16_t nn = fetch_operand16();
        push16(cpu.pc);
        cpu.pc = nn;
        step(17);
      } else if constexpr (p == 1) {
        ddTable[fetch_opcode()]();
      } else if constexpr (p == 2) {
        edTable[fetch_opcode()]();
      } else {
        fdTable[fetch_opcode()]();
      }
    } else if constexpr (z == 6) { // ALU n
      alu_op_memory<y>(fetch_operand());
    } else { // RST
      push16(cpu.pc);
      cpu.pc = static_cast<uint16_t>(y * 8);
      step(11);
    }
  }

  static void misc_group() {
    if constexpr (y == 0) { // JP nn
      cpu.pc = fetch_operand16();
      step(10);
    } else if constexpr (y == 1) {
      cbTable[fetch_opcode()]();
    } else if constexpr (y == 2) { // OUT (n),A
      uint8_t n = fetch_operand();
      cpu_port_out(n, cpu.af.h);
      step(11);
    } else if constexpr (y == 3) { // IN A,(n)
      uint8_t n = fetch_operand();
      cpu.af.h = cpu_port_in(n);
      step(10);
    } else if constexpr (y == 4) { // EX (SP),HL
      uint16_t v = read16(cpu.sp);
      write16(cpu.sp, cpu.hl.w);
      cpu.hl.w = v;
      step(19);
    } else if constexpr (y == 5) { // EX DE,HL
      swap_pair(cpu.de, cpu.hl);
      step(4);
    } else if constexpr (y == 6) { // DI
      cpu.iff1 = cpu.iff2 = 0;
      step(4);
    } else { // EI
      cpu.iff1 = cpu.iff2 = 1;
      step(4);
    }
  }
};

template <int OP> struct Cb {
  static constexpr int x = OP >> 6, y = (OP >> 3) & 7, z = OP & 7;

  static uint8_t apply(uint8_t v) {
    if constexpr (x == 0)
      return rot<y>(v);
    else if constexpr (x == 2)
      return static_cast<uint8_t>(v & ~(1u << y));
    else
      return static_cast<uint8_t>(v | (1u << y));
  }

  static void run() {
    if constexpr (x == 1) { // BIT y
      if constexpr (z == 6) {
        bit_flags(y, rd(cpu.hl.w), 0);
        step(12);
      } else {
        uint8_t v = reg8<z>();
        bit_flags(y, v, v);
        step(8);
      }
    } else if constexpr (z == 6) {
      uint16_t a = cpu.hl.w;
      wr(a, apply(rd(a)));
      step(15);
    } else {
      reg8<z>() = apply(reg8<z>());
      step(8);
    }
  }
};

} // namespace base_ops
