// A flat 64 KB memory behind the CPU's handler tables, with a record of the
// port accesses, for the tests of the core.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "cpu/cpu.h"

struct PortAccess {
  bool out;
  uint8_t port;
  uint8_t value;
};

extern uint8_t flatMemory[65536];
extern std::vector<PortAccess> portLog;
// What an IN returns; by default the port number itself.
extern uint8_t (*portInValue)(uint8_t port);

// Memory cleared, CPU initialised at 3 MHz with a fresh event list,
// tcount 0, no traps, no watches, no monitor.
void flat_machine_reset();
// Bytes at an address.
void poke(uint16_t address, std::initializer_list<uint8_t> bytes);
// Runs exactly one instruction (and an interrupt acceptance after it);
// returns its T-states.
int run_one();
