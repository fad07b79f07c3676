// The DD and FD groups (IX and IY with their halves and (IX+d) forms) and
// the DDCB/FDCB bit operations. One template serves both index registers.
// A byte after DD/FD that names none of HL, H, L and (HL) is no index
// instruction: the prefix is a 4 T-state no-operation and the byte is
// fetched again as an instruction of its own.
#include "cpu/core.h"

namespace {

template <int X> inline RegPair& index_reg() {
  if constexpr (X == 0)
    return cpu.ix;
  else
    return cpu.iy;
}

// 8-bit register codes with H and L standing for the index halves.
template <int X, int N> inline uint8_t& reg8x() {
  if constexpr (N == 4)
    return index_reg<X>().h;
  else if constexpr (N == 5)
    return index_reg<X>().l;
  else
    return reg8<N>();
}

template <int X> inline uint16_t displaced() {
  int8_t d = static_cast<int8_t>(fetch_operand());
  return static_cast<uint16_t>(index_reg<X>().w + d);
}

template <int X, int OP> struct IndexedBit {
  static constexpr int x = OP >> 6, y = (OP >> 3) & 7, z = OP & 7;

  static void run(uint16_t a) {
    uint8_t v = rd(a);
    if constexpr (x == 1) { // BIT y,(IX+d): bits 5, 3 from v unless z = 6
      bit_flags(y, v, z == 6 ? 0 : v);
      step(20);
    } else {
      uint8_t r;
      if constexpr (x == 0)
        r = rot<y>(v);
      else if constexpr (x == 2)
        r = static_cast<uint8_t>(v & ~(1u << y));
      else
        r = static_cast<uint8_t>(v | (1u << y));
      wr(a, r);
      if constexpr (z != 6) reg8<z>() = r; // the real H and L
      step(23);
    }
  }
};

template <int X> struct IndexedBitTable {
  static constexpr std::array<IndexedHandler, 256> table = [] {
    std::array<IndexedHandler, 256> t{};
    [&]<std::size_t... I>(std::index_sequence<I...>) {
      ((t[I] = &IndexedBit<X, static_cast<int>(I)>::run), ...);
    }
    (std::make_index_sequence<256>{});
    return t;
  }();
};

template <int X, int OP> struct Indexed {
  static constexpr int x = OP >> 6, y = (OP >> 3) & 7, z = OP & 7, p = y >> 1, q = y & 1;

  // Whether the byte names HL, H, L or (HL) and so has an index form.
  static constexpr bool indexForm() {
    switch (OP) {
    case 0x09:
    case 0x19:
    case 0x29:
    case 0x39:
    case 0x21:
    case 0x22:
    case 0x2A:
    case 0x23:
    case 0x2B:
    case 0x24:
    case 0x25:
    case 0x26:
    case 0x2C:
    case 0x2D:
    case 0x2E:
    case 0x34:
    case 0x35:
    case 0x36:
    case 0xE1:
    case 0xE3:
    case 0xE5:
    case 0xE9:
    case 0xF9:
    case 0xCB: return true;
    default: break;
    }
    if (x == 1) return OP != 0x76 && (y == 4 || y == 5 || y == 6 || z == 4 || z == 5 || z == 6);
    if (x == 2) return z == 4 || z == 5 || z == 6;
    return false;
  }

  static void run() {
    if constexpr (!indexForm()) {
      cpu.pc = static_cast<uint16_t>(cpu.pc - 1);
      step(4);
    } else if constexpr (OP == 0xCB) {
      uint16_t a = displaced<X>();
      uint8_t op = fetch_operand();
      IndexedBitTable<X>::table[op](a);
    } else if constexpr (x == 1) {
      load8();
    } else if constexpr (x == 2) {
      if constexpr (z == 6)
        alu_op_memory19();
      else {
        alu_op<y>(reg8x<X, z>());
        step(8);
      }
    } else {
      other();
    }
  }

  static void alu_op_memory19() {
    uint8_t v = rd(displaced<X>());
    alu_op<y>(v);
    step(19);
  }

  static void load8() {
    if constexpr (z == 6) { // LD r,(IX+d) with the real H and L
      reg8<y>() = rd(displaced<X>());
      step(19);
    } else if constexpr (y == 6) { // LD (IX+d),r
      wr(displaced<X>(), reg8<z>());
      step(19);
    } else {
      reg8x<X, y>() = reg8x<X, z>();
      step(8);
    }
  }

  static void other() {
    RegPair& ir = index_reg<X>();
    if constexpr (z == 1 && q == 1 && x == 0) { // ADD IX,rr
      uint16_t rr;
      if constexpr (p == 0)
        rr = cpu.bc.w;
      else if constexpr (p == 1)
        rr = cpu.de.w;
      else if constexpr (p == 2)
        rr = ir.w;
      else
        rr = cpu.sp;
      ir.w = alu_add16(ir.w, rr);
      step(15);
    } else if constexpr (OP == 0x21) {
      ir.w = fetch_operand16();
      step(14);
    } else if constexpr (OP == 0x22) {
      write16(fetch_operand16(), ir.w);
      step(20);
    } else if constexpr (OP == 0x2A) {
      ir.w = read16(fetch_operand16());
      step(20);
    } else if constexpr (OP == 0x23 || OP == 0x2B) {
      ir.w = static_cast<uint16_t>(ir.w + (OP == 0x23 ? 1 : -1));
      step(10);
    } else if constexpr (OP == 0x24 || OP == 0x2C || OP == 0x25 || OP == 0x2D) {
      uint8_t& half = reg8x<X, y>();
      if constexpr (z == 4)
        alu_inc_flags(++half);
      else
        alu_dec_flags(--half);
      step(8);
    } else if constexpr (OP == 0x26 || OP == 0x2E) {
      reg8x<X, y>() = fetch_operand();
      step(11);
    } else if constexpr (OP == 0x34 || OP == 0x35) {
      uint16_t a = displaced<X>();
      uint8_t v = static_cast<uint8_t>(rd(a) + (OP == 0x34 ? 1 : -1));
      wr(a, v);
      if constexpr (OP == 0x34)
        alu_inc_flags(v);
      else
        alu_dec_flags(v);
      step(23);
    } else if constexpr (OP == 0x36) {
      uint16_t a = displaced<X>();
      wr(a, fetch_operand());
      step(19);
    } else if constexpr (OP == 0xE1) {
      ir.w = pop16();
      step(14);
    } else if constexpr (OP == 0xE5) {
      push16(ir.w);
      step(15);
    } else if constexpr (OP == 0xE3) {
      uint16_t v = read16(cpu.sp);
      write16(cpu.sp, ir.w);
      ir.w = v;
      step(23);
    } else if constexpr (OP == 0xE9) {
      cpu.pc = ir.w;
      step(8);
    } else if constexpr (OP == 0xF9) {
      cpu.sp = ir.w;
      step(10);
    }
  }
};

template <int OP> using IndexedIx = Indexed<0, OP>;
template <int OP> using IndexedIy = Indexed<1, OP>;

} // namespace

const OpTable ddTable = make_table<OpHandler, IndexedIx>();
const OpTable fdTable = make_table<OpHandler, IndexedIy>();
