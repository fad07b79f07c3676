// Inside the instruction groups: memory access through the handler tables,
// T-state steps with event dispatch, and the flag routines with their
// lookup tables. Only the files of cpu/ include this.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "cpu/cpu.h"
#include "cpu/events.h"

using OpHandler = void (*)();
using IndexedHandler = void (*)(uint16_t address);

using OpTable = std::array<OpHandler, 256>;
extern const OpTable baseTable;
extern const OpTable cbTable;
extern const OpTable edTable;
extern const OpTable ddTable;
extern const OpTable fdTable;

uint8_t cpu_port_in(uint8_t port);
void cpu_port_out(uint8_t port, uint8_t value);

// 16-bit registers by their 2-bit code: BC DE HL SP (AF for PUSH and POP
// is two bytes: af_word and set_af).
template <int P, class S> [[gnu::always_inline]] inline uint16_t& reg16(S& s) {
  if constexpr (P == 0)
    return s.bc.w;
  else if constexpr (P == 1)
    return s.de.w;
  else if constexpr (P == 2)
    return s.hl.w;
  else
    return s.sp;
}
template <class S> [[gnu::always_inline]] inline uint16_t af_word(const S& s) {
  return static_cast<uint16_t>((s.af.h << 8) | s.af.l);
}
template <class S> [[gnu::always_inline]] inline void set_af(S& s, uint16_t v) {
  s.af.h = static_cast<uint8_t>(v >> 8);
  s.af.l = static_cast<uint8_t>(v);
}

// ---- memory, operands, time -------------------------------------------

// Per page, the memory to access directly, or null where the handler entries
// are to be called (a page that is not plain memory, or one with a watch).
extern const uint8_t* readPages[256];
extern uint8_t* writePages[256];

// R after one more opcode fetch: the low 7 bits count, bit 7 stays.
struct RefreshTable {
  uint8_t next[256];
};
constexpr RefreshTable make_refresh_table() {
  RefreshTable t{};
  for (int r = 0; r < 256; ++r) t.next[r] = static_cast<uint8_t>((r & 0x80) | ((r + 1) & 0x7F));
  return t;
}
inline constexpr RefreshTable refreshTable = make_refresh_table();
inline void increment_r() { cpu.r = refreshTable.next[cpu.r]; }

// Whether the post-instruction checks have anything to do: a break, the
// maskable line, or an NMI line not yet taken. The usual answer, nothing
// at all, takes one look at both line words (adjacent, read as one); the
// Veltra-16 holds its NMI line through the frame after the NMI was taken.
static_assert(offsetof(CpuState, nmiLine) == offsetof(CpuState, intLine) + 4);
inline bool attention() {
  uint64_t lines;
  std::memcpy(&lines, &cpu.intLine, sizeof lines);
  if ((lines | breakRequest) == 0) [[likely]]
    return false;
  const uint32_t nmiWaiting = cpu.nmiTaken ? 0 : cpu.nmiLine;
  return (cpu.intLine | nmiWaiting | breakRequest) != 0;
}

// Where an instruction keeps the registers and the cycle counter while it
// runs. SharedRegs: in the CPU record itself, as every other part sees them.
// LocalRegs: the registers, R and the cycle counter in locals of the running
// slice (no memory write of the Z80 can reach them). A and F are two
// separate bytes, never read as one word there, so that the compiler can
// keep them in host registers; a pair read by byte and by word ends up in
// memory. PUSH AF, POP AF and EX AF,AF' take the two bytes. Before code
// outside the instruction groups runs (a handler entry, a port, a timed
// event, a prefixed group, the post-instruction checks) flush() writes them
// back into cpu; reload() takes them up again afterwards. Locally, R counts
// in rCount; its bit 7 stays in the record.
struct SharedRegs {
  RegPair& af = cpu.af;
  RegPair& bc = cpu.bc;
  RegPair& de = cpu.de;
  RegPair& hl = cpu.hl;
  uint16_t& sp = cpu.sp;
  uint16_t& pc = cpu.pc;
  int64_t& tcount = cpu.tcount;
  void count_fetch() { increment_r(); }
  int64_t due() const { return eventNextDue; }
  void flush() {}
  void reload() {}
};
// A (h) and F (l) of the slice.
struct AccFlags {
  uint8_t l, h;
};
struct LocalRegs {
  AccFlags af;
  RegPair bc, de, hl;
  uint16_t sp, pc;
  uint8_t rCount;
  int64_t tcount;
  // Set by the slice: where its budget runs out. Taken up by reload(): the
  // step that makes work (the earlier of the next event and the end), and
  // whether the slice has to look at the end of an instruction.
  int64_t end;
  int64_t nextWork;
  bool stop;
  void count_fetch() { ++rCount; }
  int64_t due() const { return nextWork; }
  void flush() {
    cpu.af.h = af.h;
    cpu.af.l = af.l;
    cpu.bc = bc;
    cpu.de = de;
    cpu.hl = hl;
    cpu.sp = sp;
    cpu.pc = pc;
    cpu.r = static_cast<uint8_t>((rCount & 0x7F) | (cpu.r & 0x80));
    cpu.tcount = tcount;
  }
  void reload() {
    af.h = cpu.af.h;
    af.l = cpu.af.l;
    bc = cpu.bc;
    de = cpu.de;
    hl = cpu.hl;
    sp = cpu.sp;
    pc = cpu.pc;
    rCount = cpu.r;
    tcount = cpu.tcount;
    nextWork = eventNextDue < end ? eventNextDue : end;
    stop = tcount >= end || attention();
  }
};

// The accesses that go through the handler entries: the single ones call
// the entry; the others are out of line, so that the direct path keeps
// nothing in saved registers across a call.
uint16_t rd16_through_handlers(uint16_t a);
void wr16_through_handlers(uint16_t a, uint16_t v);
uint8_t fetch_operand_through_handler();
uint16_t fetch_operand16_through_handlers();

template <class S> [[gnu::always_inline]] inline uint8_t rd(S& s, uint16_t a) {
  const uint8_t* page = readPages[a >> 8];
  if (page) [[likely]]
    return page[a & 0xFF];
  s.flush();
  const uint8_t v = readHandlers[a](a);
  s.reload();
  return v;
}
template <class S> [[gnu::always_inline]] inline void wr(S& s, uint16_t a, uint8_t v) {
  uint8_t* page = writePages[a >> 8];
  if (page) [[likely]] {
    page[a & 0xFF] = v;
    return;
  }
  s.flush();
  writeHandlers[a](a, v);
  s.reload();
}

// Two bytes in the same order as two accesses. Both bytes on one directly
// accessed page take one look-up; plain memory has no side effects, so that
// is the same as two accesses.
template <class S> [[gnu::always_inline]] inline uint16_t rd16(S& s, uint16_t a) {
  const unsigned offset = a & 0xFF;
  const uint8_t* page = readPages[a >> 8];
  if (page && offset != 0xFF) [[likely]]
    return static_cast<uint16_t>(page[offset] | (page[offset + 1] << 8));
  s.flush();
  const uint16_t v = rd16_through_handlers(a);
  s.reload();
  return v;
}
template <class S> [[gnu::always_inline]] inline void wr16(S& s, uint16_t a, uint16_t v) {
  const unsigned offset = a & 0xFF;
  uint8_t* page = writePages[a >> 8];
  if (page && offset != 0xFF) [[likely]] {
    page[offset] = static_cast<uint8_t>(v);
    page[offset + 1] = static_cast<uint8_t>(v >> 8);
    return;
  }
  s.flush();
  wr16_through_handlers(a, v);
  s.reload();
}

// Operand byte at PC; PC advances after the read.
template <class S> [[gnu::always_inline]] inline uint8_t fetch_operand(S& s) {
  const uint16_t a = s.pc;
  const uint8_t* page = readPages[a >> 8];
  if (page) [[likely]] {
    s.pc = static_cast<uint16_t>(a + 1);
    return page[a & 0xFF];
  }
  s.flush();
  const uint8_t v = fetch_operand_through_handler();
  s.reload();
  return v;
}
template <class S> [[gnu::always_inline]] inline uint16_t fetch_operand16(S& s) {
  const uint16_t a = s.pc;
  const unsigned offset = a & 0xFF;
  const uint8_t* page = readPages[a >> 8];
  if (page && offset != 0xFF) [[likely]] {
    s.pc = static_cast<uint16_t>(a + 2);
    return static_cast<uint16_t>(page[offset] | (page[offset + 1] << 8));
  }
  s.flush();
  const uint16_t v = fetch_operand16_through_handlers();
  s.reload();
  return v;
}

// Opcode byte after a prefix: like the first opcode, PC advances before the
// read, and R counts the fetch.
template <class S> [[gnu::always_inline]] inline uint8_t fetch_opcode(S& s) {
  const uint16_t a = s.pc;
  s.pc = static_cast<uint16_t>(a + 1);
  const uint8_t v = rd(s, a);
  s.count_fetch();
  return v;
}

// The events due run after each step; LocalRegs also stops here at the end
// of its budget.
template <class S> [[gnu::always_inline]] inline void step(S& s, int t) {
  s.tcount += t;
  if (s.tcount >= s.due()) [[unlikely]] {
    s.flush();
    if (cpu.tcount >= eventNextDue) event_run_due();
    s.reload();
  }
}

template <class S> [[gnu::always_inline]] inline void push16(S& s, uint16_t v) {
  s.sp = static_cast<uint16_t>(s.sp - 2);
  wr16(s, s.sp, v);
}
template <class S> [[gnu::always_inline]] inline uint16_t pop16(S& s) {
  const uint16_t v = rd16(s, s.sp);
  s.sp = static_cast<uint16_t>(s.sp + 2);
  return v;
}

// The same on the CPU record, for the groups that keep nothing locally.
inline uint8_t rd(uint16_t a) {
  SharedRegs s;
  return rd(s, a);
}
inline void wr(uint16_t a, uint8_t v) {
  SharedRegs s;
  wr(s, a, v);
}
inline uint16_t rd16(uint16_t a) {
  SharedRegs s;
  return rd16(s, a);
}
inline void wr16(uint16_t a, uint16_t v) {
  SharedRegs s;
  wr16(s, a, v);
}
inline uint8_t fetch_operand() {
  SharedRegs s;
  return fetch_operand(s);
}
inline uint16_t fetch_operand16() {
  SharedRegs s;
  return fetch_operand16(s);
}
inline uint8_t fetch_opcode() {
  SharedRegs s;
  return fetch_opcode(s);
}
inline void step(int t) {
  SharedRegs s;
  step(s, t);
}
inline void push16(uint16_t v) {
  SharedRegs s;
  push16(s, v);
}
inline uint16_t pop16() {
  SharedRegs s;
  return pop16(s);
}

// ---- flag tables ----------------------------------------------------------

// S, P/V (overflow) and C by (bit 7 of first operand, bit 7 of second, bit 7
// of result) as 4a + 2b + r; half carry the same way on bits 3.
inline constexpr uint8_t addFlagsTable[8] = {0x00, 0x84, 0x01, 0x80, 0x01, 0x80, 0x05, 0x81};
inline constexpr uint8_t subFlagsTable[8] = {0x00, 0x81, 0x01, 0x85, 0x04, 0x80, 0x00, 0x81};
inline constexpr uint8_t halfAddTable[8] = {0x00, 0x00, 0x10, 0x00, 0x10, 0x00, 0x10, 0x10};
inline constexpr uint8_t halfSubTable[8] = {0x00, 0x10, 0x10, 0x10, 0x00, 0x00, 0x00, 0x10};

struct ByteFlagTables {
  uint8_t parity[256]; // 1 for an even number of set bits
  uint8_t z53[256];    // Z and bits 5, 3 of a result
  uint8_t sz53[256];   // S, Z and bits 5, 3
  uint8_t sz53p[256];  // S, Z, bits 5, 3 and parity as P/V
  uint8_t inc[256];    // flags of INC for the incremented value (C excluded)
  uint8_t dec[256];    // flags of DEC for the decremented value (C excluded)
};

constexpr ByteFlagTables make_byte_flag_tables() {
  ByteFlagTables t{};
  for (int v = 0; v < 256; ++v) {
    int bits = 0;
    for (int b = 0; b < 8; ++b) bits += (v >> b) & 1;
    t.parity[v] = (bits & 1) ? 0 : 1;
    uint8_t z53 = static_cast<uint8_t>((v == 0 ? FLAG_Z : 0) | (v & (FLAG_5 | FLAG_3)));
    t.z53[v] = z53;
    t.sz53[v] = static_cast<uint8_t>(z53 | (v & FLAG_S));
    t.sz53p[v] = static_cast<uint8_t>(t.sz53[v] | (t.parity[v] ? FLAG_P : 0));
    t.inc[v] =
        static_cast<uint8_t>(t.sz53[v] | ((v & 0x0F) == 0 ? FLAG_H : 0) | (v == 0x80 ? FLAG_P : 0));
    t.dec[v] = static_cast<uint8_t>(t.sz53[v] | ((v & 0x0F) == 0x0F ? FLAG_H : 0) |
                                    (v == 0x7F ? FLAG_P : 0) | FLAG_N);
  }
  return t;
}
inline constexpr ByteFlagTables flagTables = make_byte_flag_tables();

// Index bits 6..4 from bits 7 and bits 2..0 from bits 3 of (a, b, result).
inline unsigned lookup8(unsigned a, unsigned b, unsigned r) {
  return ((a & 0x88) >> 1) | ((b & 0x88) >> 2) | ((r & 0x88) >> 3);
}
inline unsigned lookup16(unsigned a, unsigned b, unsigned r) {
  return ((a & 0x8800) >> 9) | ((b & 0x8800) >> 10) | ((r & 0x8800) >> 11);
}

// ---- flag routines ----------------------------------------------------------

template <class S> [[gnu::always_inline]] inline void alu_add(S& s, uint8_t v) {
  unsigned a = s.af.h, r = a + v, ix = lookup8(a, v, r);
  s.af.h = static_cast<uint8_t>(r);
  s.af.l = static_cast<uint8_t>(addFlagsTable[ix >> 4] | halfAddTable[ix & 7] |
                                flagTables.z53[r & 0xFF]);
}
template <class S> [[gnu::always_inline]] inline void alu_adc(S& s, uint8_t v) {
  unsigned a = s.af.h, r = a + v + (s.af.l & FLAG_C), ix = lookup8(a, v, r);
  s.af.h = static_cast<uint8_t>(r);
  s.af.l = static_cast<uint8_t>(addFlagsTable[ix >> 4] | halfAddTable[ix & 7] |
                                flagTables.z53[r & 0xFF]);
}
template <class S> [[gnu::always_inline]] inline void alu_sub(S& s, uint8_t v) {
  unsigned a = s.af.h, r = a - v, ix = lookup8(a, v, r);
  s.af.h = static_cast<uint8_t>(r);
  s.af.l = static_cast<uint8_t>(subFlagsTable[ix >> 4] | halfSubTable[ix & 7] |
                                flagTables.z53[r & 0xFF] | FLAG_N);
}
template <class S> [[gnu::always_inline]] inline void alu_sbc(S& s, uint8_t v) {
  unsigned a = s.af.h, r = a - v - (s.af.l & FLAG_C), ix = lookup8(a, v, r);
  s.af.h = static_cast<uint8_t>(r);
  s.af.l = static_cast<uint8_t>(subFlagsTable[ix >> 4] | halfSubTable[ix & 7] |
                                flagTables.z53[r & 0xFF] | FLAG_N);
}
// Bits 5 and 3 come from the operand, not from the result.
template <class S> [[gnu::always_inline]] inline void alu_cp(S& s, uint8_t v) {
  unsigned a = s.af.h, r = a - v, ix = lookup8(a, v, r);
  s.af.l = static_cast<uint8_t>(subFlagsTable[ix >> 4] | halfSubTable[ix & 7] |
                                ((r & 0xFF) == 0 ? FLAG_Z : 0) | (v & (FLAG_5 | FLAG_3)) | FLAG_N);
}
template <class S> [[gnu::always_inline]] inline void alu_and(S& s, uint8_t v) {
  s.af.h &= v;
  s.af.l = static_cast<uint8_t>(flagTables.sz53p[s.af.h] | FLAG_H);
}
template <class S> [[gnu::always_inline]] inline void alu_xor(S& s, uint8_t v) {
  s.af.h ^= v;
  s.af.l = flagTables.sz53p[s.af.h];
}
template <class S> [[gnu::always_inline]] inline void alu_or(S& s, uint8_t v) {
  s.af.h |= v;
  s.af.l = flagTables.sz53p[s.af.h];
}
template <class S> [[gnu::always_inline]] inline void alu_inc_flags(S& s, uint8_t v) {
  s.af.l = static_cast<uint8_t>((s.af.l & FLAG_C) | flagTables.inc[v]);
}
template <class S> [[gnu::always_inline]] inline void alu_dec_flags(S& s, uint8_t v) {
  s.af.l = static_cast<uint8_t>((s.af.l & FLAG_C) | flagTables.dec[v]);
}

// ADD HL/IX/IY,rr: S, Z, P/V kept.
template <class S> [[gnu::always_inline]] inline uint16_t alu_add16(S& s, uint16_t a, uint16_t b) {
  unsigned r = unsigned{a} + b, ix = lookup16(a, b, r);
  s.af.l = static_cast<uint8_t>((s.af.l & (FLAG_S | FLAG_Z | FLAG_P)) |
                                (addFlagsTable[ix >> 4] & FLAG_C) | halfAddTable[ix & 7] |
                                ((r >> 8) & (FLAG_5 | FLAG_3)));
  return static_cast<uint16_t>(r);
}
template <class S> [[gnu::always_inline]] inline void alu_adc16(S& s, uint16_t b) {
  unsigned a = s.hl.w, r = a + b + (s.af.l & FLAG_C), ix = lookup16(a, b, r);
  s.hl.w = static_cast<uint16_t>(r);
  s.af.l = static_cast<uint8_t>(addFlagsTable[ix >> 4] | halfAddTable[ix & 7] |
                                ((r & 0xFFFF) == 0 ? FLAG_Z : 0) | ((r >> 8) & (FLAG_5 | FLAG_3)));
}
template <class S> [[gnu::always_inline]] inline void alu_sbc16(S& s, uint16_t b) {
  unsigned a = s.hl.w, r = a - b - (s.af.l & FLAG_C), ix = lookup16(a, b, r);
  s.hl.w = static_cast<uint16_t>(r);
  s.af.l = static_cast<uint8_t>(subFlagsTable[ix >> 4] | halfSubTable[ix & 7] |
                                ((r & 0xFFFF) == 0 ? FLAG_Z : 0) | ((r >> 8) & (FLAG_5 | FLAG_3)) |
                                FLAG_N);
}

// Shifts and rotates of the CB groups: S, Z, P, bits 5, 3 from the result,
// C the bit shifted out, H = N = 0. K selects RLC RRC RL RR SLA SRA SLL SRL.
template <int K, class S> [[gnu::always_inline]] inline uint8_t rot(S& s, uint8_t v) {
  unsigned r, c;
  if constexpr (K == 0) {
    r = (v << 1) | (v >> 7), c = v >> 7;
  } else if constexpr (K == 1) {
    r = (v >> 1) | (v << 7), c = v & 1;
  } else if constexpr (K == 2) {
    r = (v << 1) | (s.af.l & FLAG_C), c = v >> 7;
  } else if constexpr (K == 3) {
    r = (v >> 1) | ((s.af.l & FLAG_C) << 7), c = v & 1;
  } else if constexpr (K == 4) {
    r = v << 1, c = v >> 7;
  } else if constexpr (K == 5) {
    r = (v >> 1) | (v & 0x80), c = v & 1;
  } else if constexpr (K == 6) {
    r = (v << 1) | 1, c = v >> 7;
  } else {
    r = v >> 1, c = v & 1;
  }
  r &= 0xFF;
  s.af.l = static_cast<uint8_t>(flagTables.sz53p[r] | c);
  return static_cast<uint8_t>(r);
}

// BIT b: Z and P/V when the bit is clear, H set, S only for bit 7 set, C
// kept; bits 5 and 3 from the given source.
template <class S>
[[gnu::always_inline]] inline void bit_flags(S& s, int b, uint8_t v, uint8_t bits53) {
  uint8_t set = static_cast<uint8_t>(v & (1u << b));
  s.af.l = static_cast<uint8_t>((s.af.l & FLAG_C) | FLAG_H | (set ? 0 : FLAG_Z | FLAG_P) |
                                (set & FLAG_S) | (bits53 & (FLAG_5 | FLAG_3)));
}

// 8-bit registers by their 3-bit code: B C D E H L - A (6 is (HL)).
template <int N, class S> [[gnu::always_inline]] inline uint8_t& reg8(S& s) {
  static_assert(N != 6, "code 6 is the memory operand");
  if constexpr (N == 0)
    return s.bc.h;
  else if constexpr (N == 1)
    return s.bc.l;
  else if constexpr (N == 2)
    return s.de.h;
  else if constexpr (N == 3)
    return s.de.l;
  else if constexpr (N == 4)
    return s.hl.h;
  else if constexpr (N == 5)
    return s.hl.l;
  else
    return s.af.h;
}

template <int Y, class S> [[gnu::always_inline]] inline void alu_op(S& s, uint8_t v) {
  if constexpr (Y == 0)
    alu_add(s, v);
  else if constexpr (Y == 1)
    alu_adc(s, v);
  else if constexpr (Y == 2)
    alu_sub(s, v);
  else if constexpr (Y == 3)
    alu_sbc(s, v);
  else if constexpr (Y == 4)
    alu_and(s, v);
  else if constexpr (Y == 5)
    alu_xor(s, v);
  else if constexpr (Y == 6)
    alu_or(s, v);
  else
    alu_cp(s, v);
}

// SUB, SBC and XOR with a memory or immediate operand take their T-states in
// two steps: 3 after the read, 4 after the operation.
template <int Y, class S> [[gnu::always_inline]] inline void alu_op_memory(S& s, uint8_t v) {
  if constexpr (Y == 2 || Y == 3 || Y == 5) {
    step(s, 3);
    alu_op<Y>(s, v);
    step(s, 4);
  } else {
    alu_op<Y>(s, v);
    step(s, 7);
  }
}

// Condition codes NZ Z NC C PO PE P M.
template <int C, class S> [[gnu::always_inline]] inline bool condition(S& s) {
  uint8_t f = s.af.l;
  if constexpr (C == 0)
    return !(f & FLAG_Z);
  else if constexpr (C == 1)
    return f & FLAG_Z;
  else if constexpr (C == 2)
    return !(f & FLAG_C);
  else if constexpr (C == 3)
    return f & FLAG_C;
  else if constexpr (C == 4)
    return !(f & FLAG_P);
  else if constexpr (C == 5)
    return f & FLAG_P;
  else if constexpr (C == 6)
    return !(f & FLAG_S);
  else
    return f & FLAG_S;
}

// The routines above on the CPU record, for the groups that keep nothing
// locally.
template <int N> inline uint8_t& reg8() {
  SharedRegs s;
  return reg8<N>(s);
}
template <int P> inline uint16_t& reg16() {
  SharedRegs s;
  return reg16<P>(s);
}
template <int Y> inline void alu_op(uint8_t v) {
  SharedRegs s;
  alu_op<Y>(s, v);
}
template <int K> inline uint8_t rot(uint8_t v) {
  SharedRegs s;
  return rot<K>(s, v);
}
inline void alu_sub(uint8_t v) {
  SharedRegs s;
  alu_sub(s, v);
}
inline void alu_inc_flags(uint8_t v) {
  SharedRegs s;
  alu_inc_flags(s, v);
}
inline void alu_dec_flags(uint8_t v) {
  SharedRegs s;
  alu_dec_flags(s, v);
}
inline uint16_t alu_add16(uint16_t a, uint16_t b) {
  SharedRegs s;
  return alu_add16(s, a, b);
}
inline void alu_adc16(uint16_t b) {
  SharedRegs s;
  alu_adc16(s, b);
}
inline void alu_sbc16(uint16_t b) {
  SharedRegs s;
  alu_sbc16(s, b);
}
inline void bit_flags(int b, uint8_t v, uint8_t bits53) {
  SharedRegs s;
  bit_flags(s, b, v, bits53);
}

// Builds a 256-entry handler table from a template over the opcode.
template <typename Fn, template <int> class Op, std::size_t... I>
constexpr std::array<Fn, sizeof...(I)> make_table(std::index_sequence<I...>) {
  return {&Op<static_cast<int>(I)>::run...};
}
template <typename Fn, template <int> class Op> constexpr std::array<Fn, 256> make_table() {
  return make_table<Fn, Op>(std::make_index_sequence<256>{});
}

inline void swap_pair(RegPair& a, RegPair& b) {
  uint16_t t = a.w;
  a.w = b.w;
  b.w = t;
}
