// Instruction cycle, interrupt acceptance, handler tables and watch routines.
#include "cpu/cpu.h"

#include "cpu/core.h"
#include "cpu/ops_base.h"
#include "cpu/state_io.h"

#include <cstring>

CpuState cpu;
ReadHandler readHandlers[65536];
WriteHandler writeHandlers[65536];
uint32_t watchFlags[65536];
uint32_t breakRequest;
uint32_t execBreakAddress = 0xFFFFFFFF;
const uint8_t* readPages[256];
uint8_t* writePages[256];

namespace {

// The declared plain pages, the number of entries per page that hold
// another routine than the default, and whether the tables were filled with
// the current defaults since they were set.
const uint8_t* plainRead[256];
uint8_t* plainWrite[256];
bool tablesCurrent = false;

template <typename Handler> bool all_default(const Handler* table, unsigned page, Handler def) {
  for (unsigned a = page << 8, end = a + 256; a < end; ++a)
    if (table[a] != def) return false;
  return true;
}

uint8_t unconnected_read(uint16_t) { return 0xFF; }
void unconnected_write(uint16_t, uint8_t) {}
uint8_t unconnected_port_in(uint8_t) { return 0xFF; }
void unconnected_port_out(uint8_t, uint8_t) {}

ReadHandler defaultRead = unconnected_read;
WriteHandler defaultWrite = unconnected_write;
PortInHandler portIn = unconnected_port_in;
PortOutHandler portOut = unconnected_port_out;
MonitorEntry monitorEntry = nullptr;

// NMI: return address pushed low byte first, 11 T-states, IFF2 kept so that
// RETN restores the state from before the NMI.
void accept_nmi(uint8_t opcode) {
  if (opcode == 0x76) cpu.pc = static_cast<uint16_t>(cpu.pc + 1);
  increment_r();
  cpu.sp = static_cast<uint16_t>(cpu.sp - 2);
  write16(cpu.sp, cpu.pc);
  cpu.tcount += 11;
  cpu.iff1 = 0;
  cpu.pc = 0x0066;
  if (cpu.tcount >= eventNextDue) event_run_due();
  cpu.nmiTaken = 1;
}

// Maskable interrupt: the high byte of the return address is pushed first,
// in three steps with events between them; mode 2 reads the vector at
// I * 256 + 0xFF because the data bus floats at 0xFF.
void accept_int(uint8_t opcode) {
  if (opcode == 0x76) cpu.pc = static_cast<uint16_t>(cpu.pc + 1);
  cpu.iff1 = cpu.iff2 = 0;
  increment_r();
  cpu.sp = static_cast<uint16_t>(cpu.sp - 1);
  step(7);
  wr(cpu.sp, static_cast<uint8_t>(cpu.pc >> 8));
  cpu.sp = static_cast<uint16_t>(cpu.sp - 1);
  step(3);
  wr(cpu.sp, static_cast<uint8_t>(cpu.pc));
  if (cpu.im == 0 || cpu.im == 1) {
    cpu.pc = 0x0038;
    step(3);
  } else if (cpu.im == 2) {
    uint16_t vector = static_cast<uint16_t>(cpu.i * 256 + 0xFF);
    cpu.pc = read16(vector);
    step(9);
  }
}

// After an instruction: a pending break opens the monitor, then an NMI or a
// maskable interrupt is accepted. Never directly after EI.
[[gnu::noinline]] void after_instruction(uint8_t opcode) {
  if (breakRequest) {
    if (monitorEntry) monitorEntry();
    breakRequest = 0;
  }
  if (cpu.nmiLine && !cpu.nmiTaken) {
    accept_nmi(opcode);
  } else if (cpu.intLine && cpu.iff1 == 1 && opcode != 0xFB) {
    accept_int(opcode);
  }
}

// An execution breakpoint stops before its instruction: the monitor opens
// with PC on the breakpoint. Returns true when the monitor ran; the caller
// then looks at PC again, because the monitor may have moved it.
[[gnu::noinline]] bool stop_at_breakpoint(uint16_t pc) {
  if (!monitorEntry) return false;
  uint32_t outer = execBreakAddress; // a nested step keeps the open monitor's stop
  execBreakAddress = pc;
  int ran = monitorEntry();
  execBreakAddress = outer;
  if (ran) breakRequest = 0;
  return ran != 0;
}

// The opcode fetch on a page that is not read directly. Only addresses
// with a watch have the watch routine: after a stop the instruction at the
// breakpoint runs once; if the monitor moved PC, the new address is checked
// like any other.
[[gnu::noinline]] uint8_t fetch_through_handler(uint16_t pc) {
  ReadHandler fetch = readHandlers[pc];
  if (fetch == watch_read) [[unlikely]] {
    uint32_t resumed = 0xFFFFFFFF;
    while ((watchFlags[pc] & WATCH_EXEC) && pc != resumed && stop_at_breakpoint(pc)) {
      resumed = pc;
      pc = cpu.pc;
    }
    fetch = readHandlers[pc];
  }
  cpu.pc = static_cast<uint16_t>(pc + 1);
  return fetch(pc);
}

} // namespace

void cpu_set_memory_routines(ReadHandler read, WriteHandler write) {
  defaultRead = read ? read : unconnected_read;
  defaultWrite = write ? write : unconnected_write;
  tablesCurrent = false;
  for (unsigned page = 0; page < 256; ++page) {
    plainRead[page] = nullptr;
    plainWrite[page] = nullptr;
    readPages[page] = nullptr;
    writePages[page] = nullptr;
  }
}

namespace {

// The direct access of a page is recomputed from its handler entries
// whenever a declaration or an entry changes through this interface.
void update_read_page(unsigned page) {
  const bool plain = tablesCurrent && all_default(readHandlers, page, defaultRead);
  readPages[page] = plain ? plainRead[page] : nullptr;
}
void update_write_page(unsigned page) {
  const bool plain = tablesCurrent && all_default(writeHandlers, page, defaultWrite);
  writePages[page] = plain ? plainWrite[page] : nullptr;
}

} // namespace

void cpu_map_read_page(uint8_t page, const uint8_t* base) {
  plainRead[page] = base;
  update_read_page(page);
}
void cpu_map_write_page(uint8_t page, uint8_t* base) {
  plainWrite[page] = base;
  update_write_page(page);
}
void cpu_set_port_routines(PortInHandler in, PortOutHandler out) {
  portIn = in ? in : unconnected_port_in;
  portOut = out ? out : unconnected_port_out;
}
void cpu_set_monitor_entry(MonitorEntry entry) { monitorEntry = entry; }
ReadHandler cpu_default_read() { return defaultRead; }
WriteHandler cpu_default_write() { return defaultWrite; }

uint8_t cpu_port_in(uint8_t port) { return portIn(port); }
void cpu_port_out(uint8_t port, uint8_t value) { portOut(port, value); }

void cpu_init(uint64_t clockHz) {
  for (int a = 0; a < 65536; ++a) {
    readHandlers[a] = defaultRead;
    writeHandlers[a] = defaultWrite;
    watchFlags[a] = 0;
  }
  tablesCurrent = true;
  for (unsigned page = 0; page < 256; ++page) {
    readPages[page] = plainRead[page];
    writePages[page] = plainWrite[page];
  }
  cpu.clockHz = clockHz;
  cpu.lineTicks = clockHz / 15625;
  cpu_reset();
}

void cpu_reset() {
  cpu.sp = 0xFFFF;
  cpu.pc = 0x0000;
  cpu.af.w = 0xFFFF;
  cpu.i = 0;
  cpu.r = 0;
  cpu.iff1 = cpu.iff2 = 0;
  cpu.im = 0;
  cpu.intLine = cpu.nmiLine = cpu.nmiTaken = 0;
}

namespace {

// One instruction with its post-instruction checks, through the handler
// table on the CPU record.
[[gnu::noinline]] int run_single(int budget) {
  const int64_t end = cpu.tcount + budget;
  const uint16_t pc = cpu.pc;
  const uint8_t* page = readPages[pc >> 8];
  uint8_t opcode;
  if (page) [[likely]] {
    cpu.pc = static_cast<uint16_t>(pc + 1);
    opcode = page[pc & 0xFF];
  } else {
    opcode = fetch_through_handler(pc);
  }
  increment_r();
  baseTable[opcode]();
  if (attention()) [[unlikely]]
    after_instruction(opcode);
  return static_cast<int>(end - cpu.tcount);
}

// A slice keeps the registers and the cycle counter in locals (LocalRegs),
// with the unprefixed opcodes expanded in place. Each opcode's code ends in
// a fetch and jump of its own to the next opcode's code (labels as values),
// so that the host predicts each jump from the opcode before it instead of
// from one shared jump. An instruction looks at its end only when LocalRegs
// says there is something to do: the post-instruction checks, or the end of
// the budget. The budget left after each instruction is budget - (tcount -
// t0) in 32-bit arithmetic, the same as taking off each instruction's
// T-states. The opcode for the post-instruction checks waits in memory, not
// in a register across the instruction.
uint8_t sliceOpcode;

// GCC would pack SP and PC into one vector register at every flush and
// reload, and would merge the opcodes' fetches back into one; the options
// are only GCC's.
#if defined(__GNUC__) && !defined(__clang__)
#define TARVIK_SCALAR_LOCALS [[gnu::optimize("no-tree-slp-vectorize", "no-crossjumping")]]
#else
#define TARVIK_SCALAR_LOCALS
#endif

// clang-format off
#define TARVIK_HEX16(X, h) X(h, 0) X(h, 1) X(h, 2) X(h, 3) X(h, 4) X(h, 5) X(h, 6) X(h, 7) \
  X(h, 8) X(h, 9) X(h, A) X(h, B) X(h, C) X(h, D) X(h, E) X(h, F)
#define TARVIK_HEX256(X) TARVIK_HEX16(X, 0) TARVIK_HEX16(X, 1) TARVIK_HEX16(X, 2) \
  TARVIK_HEX16(X, 3) TARVIK_HEX16(X, 4) TARVIK_HEX16(X, 5) TARVIK_HEX16(X, 6) TARVIK_HEX16(X, 7) \
  TARVIK_HEX16(X, 8) TARVIK_HEX16(X, 9) TARVIK_HEX16(X, A) TARVIK_HEX16(X, B) TARVIK_HEX16(X, C) \
  TARVIK_HEX16(X, D) TARVIK_HEX16(X, E) TARVIK_HEX16(X, F)
// clang-format on
#define TARVIK_LABEL(h, l) &&op_##h##l,
// The next opcode from a directly read page; a fetch through the handlers
// leaves the chain.
#define TARVIK_FETCH                                                                               \
  do {                                                                                             \
    const uint16_t pc = s.pc;                                                                      \
    const uint8_t* page = readPages[pc >> 8];                                                      \
    if (!page) [[unlikely]]                                                                        \
      goto slow_fetch;                                                                             \
    s.pc = static_cast<uint16_t>(pc + 1);                                                          \
    const uint8_t opcode = page[pc & 0xFF];                                                        \
    s.count_fetch();                                                                               \
    sliceOpcode = opcode;                                                                          \
    goto* labels[opcode];                                                                          \
  } while (0)
#define TARVIK_OPCODE(h, l)                                                                        \
  op_##h##l : base_ops::Base<0x##h##l>::exec(s);                                                   \
  if (s.stop) [[unlikely]]                                                                         \
    goto checks;                                                                                   \
  TARVIK_FETCH;

[[gnu::noinline, gnu::flatten]] TARVIK_SCALAR_LOCALS int run_slice(int budget) {
  static const void* const labels[256] = {TARVIK_HEX256(TARVIK_LABEL)};
  LocalRegs s;
  s.end = cpu.tcount + budget;
  s.reload();
fetch:
  TARVIK_FETCH;
slow_fetch : {
  s.flush();
  const uint8_t opcode = fetch_through_handler(cpu.pc);
  s.reload();
  s.count_fetch();
  sliceOpcode = opcode;
  goto* labels[opcode];
}
checks:
  if (attention()) {
    s.flush();
    after_instruction(sliceOpcode);
    s.reload();
  }
  if (static_cast<int>(s.end - s.tcount) > 0) goto fetch;
  s.flush();
  return static_cast<int>(s.end - s.tcount);

  TARVIK_HEX256(TARVIK_OPCODE)
}
#undef TARVIK_OPCODE
#undef TARVIK_FETCH
#undef TARVIK_LABEL
#undef TARVIK_HEX256
#undef TARVIK_HEX16
#undef TARVIK_SCALAR_LOCALS

// The single step on a directly read page keeps its T-state count (the
// budget's end) and its opcode here instead of in registers across the
// handler, so that its entry and exit save nothing. Only the monitor runs
// nested steps, and only from the post-instruction checks, which take both
// before it can.
int64_t stepEnd;
uint8_t stepOpcode;

[[gnu::noinline]] int finish_step() {
  const int64_t end = stepEnd;
  after_instruction(stepOpcode);
  return static_cast<int>(end - cpu.tcount);
}

} // namespace

// A budget of zero or less (one instruction per call, as a debugger steps)
// takes a short path of its own; the budget left is the same as
// budget - (tcount - t0), in the same 32-bit arithmetic.
int cpu_run(int budget) {
  if (budget > 0) return run_slice(budget);
  const uint16_t pc = cpu.pc;
  const uint8_t* page = readPages[pc >> 8];
  if (!page) [[unlikely]]
    return run_single(budget);
  stepEnd = cpu.tcount + budget;
  cpu.pc = static_cast<uint16_t>(pc + 1);
  const uint8_t opcode = page[pc & 0xFF];
  stepOpcode = opcode;
  increment_r();
  baseTable[opcode]();
  if (attention()) [[unlikely]]
    return finish_step();
  return static_cast<int>(stepEnd - cpu.tcount);
}

void nmi_request() { cpu.nmiLine = 1; }
void nmi_clear() { cpu.nmiLine = cpu.nmiTaken = 0; }
void nmi_pulse() {
  cpu.nmiLine = 1;
  cpu.nmiTaken = 0;
}

uint64_t us_to_ticks(uint64_t microseconds) {
  return (microseconds * cpu.clockHz + 500000) / 1000000;
}

[[gnu::noinline]] uint16_t rd16_through_handlers(uint16_t a) {
  uint8_t lo = rd(a);
  return static_cast<uint16_t>(lo | (rd(static_cast<uint16_t>(a + 1)) << 8));
}
[[gnu::noinline]] void wr16_through_handlers(uint16_t a, uint16_t v) {
  wr(a, static_cast<uint8_t>(v));
  wr(static_cast<uint16_t>(a + 1), static_cast<uint8_t>(v >> 8));
}
[[gnu::noinline]] uint8_t fetch_operand_through_handler() {
  const uint16_t a = cpu.pc;
  const uint8_t v = rd(a);
  cpu.pc = static_cast<uint16_t>(a + 1);
  return v;
}
[[gnu::noinline]] uint16_t fetch_operand16_through_handlers() {
  const uint16_t a = cpu.pc;
  const uint16_t v = rd16_through_handlers(a);
  cpu.pc = static_cast<uint16_t>(a + 2);
  return v;
}

uint16_t read16(uint16_t address) { return rd16(address); }
void write16(uint16_t address, uint16_t value) { wr16(address, value); }

void set_read_watch(uint16_t address, uint32_t flags) {
  readHandlers[address] = (flags & (WATCH_EXEC | WATCH_READ)) ? watch_read : defaultRead;
  update_read_page(address >> 8);
}

void set_write_watch(uint16_t address, uint32_t flags) {
  writeHandlers[address] = (flags & WATCH_WRITE) ? watch_write : defaultWrite;
  update_write_page(address >> 8);
}

// The opcode fetch of an execution breakpoint was already handled before the
// fetch; any other read of a read-watched address requests a break after
// the instruction.
uint8_t watch_read(uint16_t address) {
  uint32_t w = watchFlags[address];
  bool opcodeFetch = address == static_cast<uint16_t>(cpu.pc - 1);
  if (!(opcodeFetch && (w & WATCH_EXEC)) && (w & WATCH_READ)) breakRequest = 1;
  return defaultRead(address);
}

void watch_write(uint16_t address, uint8_t value) {
  if (watchFlags[address] & WATCH_WRITE) breakRequest = 1;
  defaultWrite(address, value);
}

// ---- the state record --------------------------------------------------

void cpu_state_save(StateWriter& w) {
  for (const RegPair* p : {&cpu.af, &cpu.bc, &cpu.de, &cpu.hl, &cpu.ix, &cpu.iy, &cpu.af_alt,
                           &cpu.bc_alt, &cpu.de_alt, &cpu.hl_alt})
    w.u16(p->w);
  w.u16(cpu.sp);
  w.u16(cpu.pc);
  w.u8(cpu.i);
  w.u8(cpu.r);
  w.u8(cpu.iff1);
  w.u8(cpu.iff2);
  w.u8(cpu.im);
  w.u32(cpu.intLine);
  w.u32(cpu.nmiLine);
  w.u32(cpu.nmiTaken);
  w.i64(cpu.tcount);
  w.u64(cpu.clockHz);
  w.u64(cpu.lineTicks);
}

bool cpu_state_load(StateReader& r, bool apply) {
  CpuState s = cpu;
  for (RegPair* p :
       {&s.af, &s.bc, &s.de, &s.hl, &s.ix, &s.iy, &s.af_alt, &s.bc_alt, &s.de_alt, &s.hl_alt})
    p->w = r.u16();
  s.sp = r.u16();
  s.pc = r.u16();
  s.i = r.u8();
  s.r = r.u8();
  s.iff1 = r.u8();
  s.iff2 = r.u8();
  s.im = r.u8();
  s.intLine = r.u32();
  s.nmiLine = r.u32();
  s.nmiTaken = r.u32();
  s.tcount = r.i64();
  s.clockHz = r.u64();
  s.lineTicks = r.u64();
  if (!r.ok() || s.iff1 > 1 || s.iff2 > 1 || s.im > 2 || s.tcount < -1 ||
      s.tcount > kStateMostTicks || s.clockHz < 15625 || s.clockHz > 100000000 ||
      s.lineTicks != s.clockHz / 15625)
    return r.fail();
  if (apply) cpu = s;
  return true;
}
