// The unprefixed opcodes and the CB group. Each opcode is one instance of a
// template over its byte, decoded by the usual fields x (bits 7-6),
// y (bits 5-3), z (bits 2-0), p (bits 5-4) and q (bit 3). The handler
// tables are built from these templates (ops_base.cpp), and the
// instruction cycle expands the unprefixed ones in place (cpu.cpp). Only
// the files of cpu/ include this.
#pragma once

#include "cpu/core.h"

namespace base_ops {

template <class S> [[gnu::always_inline]] inline void jump_relative(S& s, uint8_t e) {
  s.pc = static_cast<uint16_t>(s.pc + static_cast<int8_t>(e));
}

template <class S> [[gnu::always_inline]] inline void daa(S& s) {
  const unsigned a = s.af.h, lo = a & 0x0F;
  unsigned f = s.af.l;
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
  s.af.h = result;
  s.af.l = static_cast<uint8_t>(flagTables.sz53p[result] | h | (f & FLAG_N) | carry);
}

// A prefixed group's opcode, run through its table on the CPU record.
template <class S> [[gnu::always_inline]] inline void prefixed(S& s, const OpTable& table) {
  const uint8_t opcode = fetch_opcode(s);
  s.flush();
  table[opcode]();
  s.reload();
}

template <int OP> struct Base {
  static constexpr int x = OP >> 6, y = (OP >> 3) & 7, z = OP & 7, p = y >> 1, q = y & 1;

  // Through the handler table: on the CPU record.
  static void run() {
    SharedRegs s;
    exec(s);
  }

  template <class S> [[gnu::always_inline]] static void exec(S& s) {
    if constexpr (x == 0)
      quarter0(s);
    else if constexpr (x == 1)
      load8(s);
    else if constexpr (x == 2) {
      if constexpr (z == 6)
        alu_op_memory<y>(s, rd(s, s.hl.w));
      else {
        alu_op<y>(s, reg8<z>(s));
        step(s, 4);
      }
    } else
      quarter3(s);
  }

  template <class S> [[gnu::always_inline]] static void quarter0(S& s) {
    if constexpr (z == 0) {
      if constexpr (y == 0)
        step(s, 4);                // NOP
      else if constexpr (y == 1) { // EX AF,AF'
        const uint16_t v = af_word(s);
        set_af(s, cpu.af_alt.w);
        cpu.af_alt.w = v;
        step(s, 4);
      } else if constexpr (y == 2) { // DJNZ e
        uint8_t e = fetch_operand(s);
        if (--s.bc.h) {
          jump_relative(s, e);
          step(s, 13);
        } else
          step(s, 8);
      } else if constexpr (y == 3) { // JR e
        jump_relative(s, fetch_operand(s));
        step(s, 12);
      } else { // JR cc,e
        uint8_t e = fetch_operand(s);
        if (condition<y - 4>(s)) {
          jump_relative(s, e);
          step(s, 12);
        } else
          step(s, 7);
      }
    } else if constexpr (z == 1) {
      if constexpr (q == 0) { // LD rr,nn
        reg16<p>(s) = fetch_operand16(s);
        step(s, 10);
      } else { // ADD HL,rr
        s.hl.w = alu_add16(s, s.hl.w, reg16<p>(s));
        step(s, 11);
      }
    } else if constexpr (z == 2) {
      if constexpr (OP == 0x02) {
        wr(s, s.bc.w, s.af.h);
        step(s, 7);
      } else if constexpr (OP == 0x12) {
        wr(s, s.de.w, s.af.h);
        step(s, 7);
      } else if constexpr (OP == 0x22) {
        wr16(s, fetch_operand16(s), s.hl.w);
        step(s, 16);
      } else if constexpr (OP == 0x32) {
        wr(s, fetch_operand16(s), s.af.h);
        step(s, 13);
      } else if constexpr (OP == 0x0A) {
        s.af.h = rd(s, s.bc.w);
        step(s, 7);
      } else if constexpr (OP == 0x1A) {
        s.af.h = rd(s, s.de.w);
        step(s, 7);
      } else if constexpr (OP == 0x2A) {
        s.hl.w = rd16(s, fetch_operand16(s));
        step(s, 16);
      } else {
        s.af.h = rd(s, fetch_operand16(s));
        step(s, 13);
      }
    } else if constexpr (z == 3) { // INC rr / DEC rr
      reg16<p>(s) = static_cast<uint16_t>(reg16<p>(s) + (q == 0 ? 1 : -1));
      step(s, 6);
    } else if constexpr (z == 4 || z == 5) { // INC r / DEC r
      constexpr int delta = z == 4 ? 1 : -1;
      if constexpr (y == 6) {
        uint8_t v = static_cast<uint8_t>(rd(s, s.hl.w) + delta);
        wr(s, s.hl.w, v);
        if constexpr (z == 4)
          alu_inc_flags(s, v);
        else
          alu_dec_flags(s, v);
        step(s, 11);
      } else {
        uint8_t v = static_cast<uint8_t>(reg8<y>(s) + delta);
        reg8<y>(s) = v;
        if constexpr (z == 4)
          alu_inc_flags(s, v);
        else
          alu_dec_flags(s, v);
        step(s, 4);
      }
    } else if constexpr (z == 6) { // LD r,n
      if constexpr (y == 6) {
        uint8_t n = fetch_operand(s);
        wr(s, s.hl.w, n);
        step(s, 10);
      } else {
        reg8<y>(s) = fetch_operand(s);
        step(s, 7);
      }
    } else {
      accumulator_group(s);
    }
  }

  template <class S> [[gnu::always_inline]] static void accumulator_group(S& s) {
    uint8_t a = s.af.h, f = s.af.l;
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
      s.af.h = a;
      s.af.l = static_cast<uint8_t>((f & keep) | (a & (FLAG_5 | FLAG_3)) | c);
    } else if constexpr (y == 4) {
      daa(s);
    } else if constexpr (y == 5) { // CPL
      a = static_cast<uint8_t>(~a);
      s.af.h = a;
      s.af.l =
          static_cast<uint8_t>((f & (keep | FLAG_C)) | FLAG_H | FLAG_N | (a & (FLAG_5 | FLAG_3)));
    } else if constexpr (y == 6) { // SCF
      s.af.l = static_cast<uint8_t>((f & keep) | (a & (FLAG_5 | FLAG_3)) | FLAG_C);
    } else { // CCF
      s.af.l = static_cast<uint8_t>((f & keep) | (a & (FLAG_5 | FLAG_3)) |
                                    ((f & FLAG_C) ? FLAG_H : FLAG_C));
    }
    step(s, 4);
  }

  template <class S> [[gnu::always_inline]] static void load8(S& s) {
    if constexpr (OP == 0x76) { // HALT: stay on the HALT until an interrupt
      s.pc = static_cast<uint16_t>(s.pc - 1);
      step(s, 4);
    } else if constexpr (z == 6) {
      reg8<y>(s) = rd(s, s.hl.w);
      step(s, 7);
    } else if constexpr (y == 6) {
      wr(s, s.hl.w, reg8<z>(s));
      step(s, 7);
    } else {
      reg8<y>(s) = reg8<z>(s);
      step(s, 4);
    }
  }

  template <class S> [[gnu::always_inline]] static void quarter3(S& s) {
    if constexpr (z == 0) { // RET cc
      if (condition<y>(s)) {
        s.pc = pop16(s);
        step(s, 11);
      } else
        step(s, 5);
    } else if constexpr (z == 1) {
      if constexpr (q == 0) { // POP rr
        if constexpr (p == 3)
          set_af(s, pop16(s));
        else
          reg16<p>(s) = pop16(s);
        step(s, 10);
      } else if constexpr (p == 0) { // RET
        s.pc = pop16(s);
        step(s, 10);
      } else if constexpr (p == 1) { // EXX
        swap_pair(s.bc, cpu.bc_alt);
        swap_pair(s.de, cpu.de_alt);
        swap_pair(s.hl, cpu.hl_alt);
        step(s, 4);
      } else if constexpr (p == 2) { // JP (HL)
        s.pc = s.hl.w;
        step(s, 4);
      } else { // LD SP,HL
        s.sp = s.hl.w;
        step(s, 6);
      }
    } else if constexpr (z == 2) { // JP cc,nn
      uint16_t nn = fetch_operand16(s);
      if (condition<y>(s)) s.pc = nn;
      step(s, 10);
    } else if constexpr (z == 3) {
      misc_group(s);
    } else if constexpr (z == 4) { // CALL cc,nn
      uint16_t nn = fetch_operand16(s);
      if (condition<y>(s)) {
        push16(s, s.pc);
        s.pc = nn;
        step(s, 17);
      } else
        step(s, 10);
    } else if constexpr (z == 5) {
      if constexpr (q == 0) { // PUSH rr
        if constexpr (p == 3)
          push16(s, af_word(s));
        else
          push16(s, reg16<p>(s));
        step(s, 11);
      } else if constexpr (p == 0) { // CALL nn
        uint16_t nn = fetch_operand16(s);
        push16(s, s.pc);
        s.pc = nn;
        step(s, 17);
      } else if constexpr (p == 1) {
        prefixed(s, ddTable);
      } else if constexpr (p == 2) {
        prefixed(s, edTable);
      } else {
        prefixed(s, fdTable);
      }
    } else if constexpr (z == 6) { // ALU n
      alu_op_memory<y>(s, fetch_operand(s));
    } else { // RST
      push16(s, s.pc);
      s.pc = static_cast<uint16_t>(y * 8);
      step(s, 11);
    }
  }

  template <class S> [[gnu::always_inline]] static void misc_group(S& s) {
    if constexpr (y == 0) { // JP nn
      s.pc = fetch_operand16(s);
      step(s, 10);
    } else if constexpr (y == 1) {
      prefixed(s, cbTable);
    } else if constexpr (y == 2) { // OUT (n),A
      uint8_t n = fetch_operand(s);
      s.flush();
      cpu_port_out(n, s.af.h);
      s.reload();
      step(s, 11);
    } else if constexpr (y == 3) { // IN A,(n)
      uint8_t n = fetch_operand(s);
      s.flush();
      const uint8_t v = cpu_port_in(n);
      s.reload();
      s.af.h = v;
      step(s, 10);
    } else if constexpr (y == 4) { // EX (SP),HL
      uint16_t v = rd16(s, s.sp);
      wr16(s, s.sp, s.hl.w);
      s.hl.w = v;
      step(s, 19);
    } else if constexpr (y == 5) { // EX DE,HL
      swap_pair(s.de, s.hl);
      step(s, 4);
    } else if constexpr (y == 6) { // DI
      cpu.iff1 = cpu.iff2 = 0;
      step(s, 4);
    } else { // EI
      cpu.iff1 = cpu.iff2 = 1;
      step(s, 4);
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
