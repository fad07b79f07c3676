// The ED group: port I/O through C, 16-bit arithmetic with carry, block
// transfer, search and I/O, interrupt control, I and R, RLD/RRD, and the
// emulator-trap opcodes ED 00 to ED 0C. Bytes without a meaning do nothing
// and cost nothing.
#include "cpu/core.h"
#include "cpu/traps.h"

namespace {

// One LDI/LDD transfer without flags; returns the byte moved.
template <int D> inline uint8_t transfer() {
  uint8_t n = rd(cpu.hl.w);
  wr(cpu.de.w, n);
  cpu.hl.w = static_cast<uint16_t>(cpu.hl.w + D);
  cpu.de.w = static_cast<uint16_t>(cpu.de.w + D);
  --cpu.bc.w;
  return n;
}
inline void transfer_flags(uint8_t n) {
  unsigned k = cpu.af.h + n;
  cpu.af.l = static_cast<uint8_t>((cpu.af.l & (FLAG_S | FLAG_Z | FLAG_C)) |
                                  (cpu.bc.w ? FLAG_P : 0) | ((k << 4) & FLAG_5) | (k & FLAG_3));
}

// One CPI/CPD compare without flags; returns the byte compared.
template <int D> inline uint8_t compare() {
  uint8_t n = rd(cpu.hl.w);
  cpu.hl.w = static_cast<uint16_t>(cpu.hl.w + D);
  --cpu.bc.w;
  return n;
}
inline void compare_flags(uint8_t n) {
  unsigned a = cpu.af.h, r = a - n, ix = lookup8(a, n, r);
  unsigned h = halfSubTable[ix & 7];
  unsigned k = (r - (h ? 1 : 0)) & 0xFF;
  cpu.af.l = static_cast<uint8_t>(
      (subFlagsTable[ix >> 4] & FLAG_S) | h | ((r & 0xFF) == 0 ? FLAG_Z : 0) | FLAG_N |
      (cpu.bc.w ? FLAG_P : 0) | (cpu.af.l & FLAG_C) | ((k << 4) & FLAG_5) | (k & FLAG_3));
}

// INI/IND and OUTI/OUTD move one byte and decrement B; flags apart.
template <int D> inline void input_transfer() {
  uint8_t n = cpu_port_in(cpu.bc.l);
  wr(cpu.hl.w, n);
  cpu.hl.w = static_cast<uint16_t>(cpu.hl.w + D);
  --cpu.bc.h;
}
template <int D> inline void output_transfer() {
  uint8_t n = rd(cpu.hl.w);
  cpu_port_out(cpu.bc.l, n);
  cpu.hl.w = static_cast<uint16_t>(cpu.hl.w + D);
  --cpu.bc.h;
}
inline void io_flags() {
  cpu.af.l =
      static_cast<uint8_t>((cpu.af.l & ~(FLAG_Z | FLAG_N)) | (cpu.bc.h ? 0 : FLAG_Z) | FLAG_N);
}

// Repeating transfers run one iteration per execution and set PC back onto
// the instruction while the counter is not zero; flags only at the end.
inline void repeat_or_finish(bool more) {
  if (more) {
    cpu.pc = static_cast<uint16_t>(cpu.pc - 2);
    step(21);
  } else
    step(16);
}

template <int OP> struct Ed {
  static constexpr int y = (OP >> 3) & 7, z = OP & 7, p = y >> 1, q = y & 1;

  static void run() {
    if constexpr (OP <= 0x0C)
      trap_dispatch(OP);
    else if constexpr (OP >= 0x40 && OP < 0x80)
      quarter1();
    else if constexpr (OP >= 0xA0 && OP < 0xC0 && z <= 3 && y >= 4)
      block();
    // Every other byte: no operation and no T-states.
  }

  static void quarter1() {
    if constexpr (z == 0) { // IN r,(C) / IN (C)
      uint8_t v = cpu_port_in(cpu.bc.l);
      if constexpr (y != 6) reg8<y>() = v;
      cpu.af.l = static_cast<uint8_t>((cpu.af.l & (FLAG_C | FLAG_5 | FLAG_3)) |
                                      (flagTables.sz53p[v] & ~(FLAG_5 | FLAG_3)));
      step(11);
    } else if constexpr (z == 1) { // OUT (C),r / OUT (C),0
      if constexpr (y == 6)
        cpu_port_out(cpu.bc.l, 0);
      else
        cpu_port_out(cpu.bc.l, reg8<y>());
      step(12);
    } else if constexpr (z == 2) {
      if constexpr (q == 0)
        alu_sbc16(reg16<p>());
      else
        alu_adc16(reg16<p>());
      step(15);
    } else if constexpr (z == 3) {
      uint16_t nn = fetch_operand16();
      if constexpr (q == 0)
        write16(nn, reg16<p>());
      else
        reg16<p>() = read16(nn);
      step(20);
    } else if constexpr (z == 4) { // NEG
      uint8_t v = cpu.af.h;
      cpu.af.h = 0;
      alu_sub(v);
      step(8);
    } else if constexpr (z == 5) { // RETN (45), RETI and its copies
      cpu.pc = pop16();
      if constexpr (OP == 0x45) cpu.iff1 = cpu.iff2;
      step(14);
    } else if constexpr (z == 6) {
      if constexpr (OP == 0x46 || OP == 0x66) {
        cpu.im = 0;
        step(8);
      } else if constexpr (OP == 0x56 || OP == 0x76) {
        cpu.im = 1;
        step(8);
      } else if constexpr (OP == 0x5E || OP == 0x7E) {
        cpu.im = 2;
        step(8);
      }
      // 4E and 6E have no meaning.
    } else {
      if constexpr (OP == 0x47) { // LD I,A
        cpu.i = cpu.af.h;
        step(9);
      } else if constexpr (OP == 0x4F) { // LD R,A
        cpu.r = cpu.af.h;
        step(9);
      } else if constexpr (OP == 0x57 || OP == 0x5F) { // LD A,I / LD A,R
        uint8_t v = OP == 0x57 ? cpu.i : cpu.r;
        cpu.af.h = v;
        cpu.af.l = static_cast<uint8_t>((cpu.af.l & FLAG_C) | flagTables.sz53[v] |
                                        (cpu.iff2 ? FLAG_P : 0));
        step(9);
      } else if constexpr (OP == 0x67 || OP == 0x6F) { // RRD / RLD
        uint8_t m = rd(cpu.hl.w), a = cpu.af.h, out;
        if constexpr (OP == 0x67) {
          cpu.af.h = static_cast<uint8_t>((a & 0xF0) | (m & 0x0F));
          out = static_cast<uint8_t>(((a & 0x0F) << 4) | (m >> 4));
        } else {
          cpu.af.h = static_cast<uint8_t>((a & 0xF0) | (m >> 4));
          out = static_cast<uint8_t>((m << 4) | (a & 0x0F));
        }
        wr(cpu.hl.w, out);
        cpu.af.l = static_cast<uint8_t>((cpu.af.l & FLAG_C) | flagTables.sz53p[cpu.af.h]);
        step(18);
      }
      // 77 and 7F have no meaning.
    }
  }

  static void block() {
    constexpr int d = (y & 1) ? -1 : 1; // A8..AB, B8..BB go down
    constexpr bool repeat = y >= 6;
    if constexpr (z == 0) { // LDI LDD LDIR LDDR
      uint8_t n = transfer<d>();
      if constexpr (!repeat) {
        transfer_flags(n);
        step(16);
      } else {
        if (!cpu.bc.w) transfer_flags(n);
        repeat_or_finish(cpu.bc.w != 0);
      }
    } else if constexpr (z == 1) { // CPI CPD CPIR CPDR
      if constexpr (!repeat) {
        compare_flags(compare<d>());
        step(16);
      } else {
        // The whole search is one instruction: no interrupt or break is
        // taken between the compares; the last one costs 16.
        uint8_t n;
        do {
          n = compare<d>();
          step(21);
        } while (cpu.bc.w != 0 && cpu.af.h != n);
        compare_flags(n);
        cpu.tcount -= 5;
      }
    } else if constexpr (z == 2) { // INI IND INIR INDR
      input_transfer<d>();
      if constexpr (!repeat) {
        io_flags();
        step(16);
      } else {
        if (!cpu.bc.h) io_flags();
        repeat_or_finish(cpu.bc.h != 0);
      }
    } else { // OUTI OUTD OTIR OTDR
      output_transfer<d>();
      if constexpr (!repeat) {
        io_flags();
        step(16);
      } else {
        if (!cpu.bc.h) io_flags();
        repeat_or_finish(cpu.bc.h != 0);
      }
    }
  }
};

} // namespace

const OpTable edTable = make_table<OpHandler, Ed>();
