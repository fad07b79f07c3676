// The Z80 processor: state record, instruction cycle, interrupts, the
// per-address memory handler tables and the watch hooks of the debugger.
// Timed events and emulator traps have headers of their own (events.h,
// traps.h). Everything here is one global instance; nothing allocates.
//
// Using the core on its own (tools/cpm_machine.cpp is a complete example):
//
//   uint8_t ram[65536];
//   uint8_t my_read(uint16_t a) { return ram[a]; }
//   void my_write(uint16_t a, uint8_t v) { ram[a] = v; }
//
//   event_init();                                // events.h: no timed events, tcount -1
//   cpu_set_memory_routines(my_read, my_write);  // the default routine of every address
//   for (unsigned p = 0; p < 256; ++p) {         // optional, for speed: pages that are
//     cpu_map_read_page(p, ram + p * 256);       // plain memory are read and written
//     cpu_map_write_page(p, ram + p * 256);      // directly, without the routines
//   }
//   cpu_set_port_routines(my_in, my_out);        // optional: IN gives 0xFF, OUT does nothing
//   cpu_init(4000000);                           // fills the tables, stores the clock, resets
//   cpu.pc = 0x0100;                             // registers are plain fields of cpu
//   cpu.tcount = 0;
//   while (!done) cpu_run(1000000);              // whole instructions for about that many T-states
//
// cpu_run(0) runs exactly one instruction and returns minus its T-states.
// Routines for single addresses (a ROM that ignores writes, a memory-mapped
// port) go into readHandlers/writeHandlers after cpu_init. A host routine
// called from Z80 code is a trap (traps.h: trap_install patches ED n into
// memory); a device clocked by the cycle counter is a timed event (events.h).
// Interrupts: set cpu.intLine for the maskable one, nmi_request/nmi_pulse
// for the NMI. machine/machine.cpp wires the Tarvik models the same way.
#pragma once

#include <cstdint>

// A register pair: the 16-bit value, or its low and high byte.
union RegPair {
  uint16_t w;
  struct {
    uint8_t l; // low register (F, C, E, L, IXL, IYL)
    uint8_t h; // high register (A, B, D, H, IXH, IYH)
  };
};
static_assert(sizeof(RegPair) == 2, "register pair must be two bytes");

struct CpuState {
  RegPair af, bc, de, hl;
  RegPair ix, iy;
  uint16_t sp;
  uint16_t pc;
  RegPair af_alt, bc_alt, de_alt, hl_alt;
  uint8_t i;
  uint8_t r; // only the low 7 bits count; bit 7 keeps its written value
  uint8_t iff1, iff2;
  uint8_t im;
  uint32_t intLine;  // maskable interrupt request, non-zero = asserted
  uint32_t nmiLine;  // NMI request, non-zero = asserted
  uint32_t nmiTaken; // set when an NMI is accepted; cleared by nmi_clear/nmi_pulse/init/reset
  int64_t tcount;    // cumulative T-states
  uint64_t clockHz;
  uint64_t lineTicks; // T-states per 64 us scan line
};

extern CpuState cpu;

// Flag bits of F.
inline constexpr unsigned FLAG_C = 0x01, FLAG_N = 0x02, FLAG_P = 0x04, FLAG_3 = 0x08, FLAG_H = 0x10,
                          FLAG_5 = 0x20, FLAG_Z = 0x40, FLAG_S = 0x80;

using ReadHandler = uint8_t (*)(uint16_t address);
using WriteHandler = void (*)(uint16_t address, uint8_t value);
using PortInHandler = uint8_t (*)(uint8_t port);
using PortOutHandler = void (*)(uint8_t port, uint8_t value);
// The interactive monitor's entry: returns 1 when it ran, 0 when it was
// already open (a nested single step).
using MonitorEntry = int (*)();

// One routine per address; every memory access of the CPU goes through them.
extern ReadHandler readHandlers[65536];
extern WriteHandler writeHandlers[65536];

// Per-address watch bits, written by the monitor.
enum : uint32_t { WATCH_WRITE = 1, WATCH_EXEC = 2, WATCH_READ = 4 };
extern uint32_t watchFlags[65536];

// Set by the watch routines; the instruction cycle opens the monitor after
// the instruction that made the watched access.
extern uint32_t breakRequest;

// While the monitor runs because an execution breakpoint stopped the CPU,
// the breakpoint's address; 0xFFFFFFFF otherwise. An execution breakpoint
// stops before its instruction, so PC equals this address.
extern uint32_t execBreakAddress;

// The machine connects its default memory routines, its port routines and
// the monitor entry. Until then memory reads give 0xFF, writes and ports do
// nothing, and breakpoints do not stop.
void cpu_set_memory_routines(ReadHandler read, WriteHandler write);
void cpu_set_port_routines(PortInHandler in, PortOutHandler out);
void cpu_set_monitor_entry(MonitorEntry entry);
ReadHandler cpu_default_read();
WriteHandler cpu_default_write();

// Plain memory pages. The owner of the default routines may declare that on
// a 256-byte page (address >> 8) they are nothing but a read of base[address
// & 0xFF] (or a store there); the core then accesses the byte directly on
// every page whose handler entries all hold the default routine, and calls
// the entries on the others. A null base withdraws the declaration. Setting
// other default routines withdraws every declaration; declarations take
// effect once cpu_init has put the default routines into the tables.
void cpu_map_read_page(uint8_t page, const uint8_t* base);
void cpu_map_write_page(uint8_t page, uint8_t* base);

// Default handlers everywhere, watches cleared, clock stored, then cpu_reset.
void cpu_init(uint64_t clockHz);
// SP, PC, AF, I, R, interrupt state; other registers and tcount are kept.
void cpu_reset();
// Runs whole instructions (at least one) until the T-states used reach the
// budget; returns the budget left (zero or negative).
int cpu_run(int budget);

void nmi_request();
void nmi_clear();
void nmi_pulse();
uint64_t us_to_ticks(uint64_t microseconds);

uint16_t read16(uint16_t address);
void write16(uint16_t address, uint16_t value);

// Installs the watch read (execution breakpoint or read watch) or write
// routine for one address according to its flags, or the default routine.
void set_read_watch(uint16_t address, uint32_t flags);
void set_write_watch(uint16_t address, uint32_t flags);
uint8_t watch_read(uint16_t address);
void watch_write(uint16_t address, uint8_t value);

// The record of the registers, interrupt lines and cycle counter (the
// machine state's "CPU "; see state_io.h). The load refuses an interrupt
// mode above 2 and interrupt flip-flops other than 0 and 1.
class StateWriter;
class StateReader;
void cpu_state_save(StateWriter& w);
bool cpu_state_load(StateReader& r, bool apply);
