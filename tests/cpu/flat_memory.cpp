#include "tests/cpu/flat_memory.h"

#include "cpu/events.h"
#include "cpu/traps.h"

uint8_t flatMemory[65536];
std::vector<PortAccess> portLog;
uint8_t (*portInValue)(uint8_t port);

namespace {

uint8_t flat_read(uint16_t a) { return flatMemory[a]; }
void flat_write(uint16_t a, uint8_t v) { flatMemory[a] = v; }
uint8_t port_number(uint8_t port) { return port; }

uint8_t logged_in(uint8_t port) {
  uint8_t v = portInValue(port);
  portLog.push_back({false, port, v});
  return v;
}
void logged_out(uint8_t port, uint8_t value) { portLog.push_back({true, port, value}); }

} // namespace

void flat_machine_reset() {
  for (auto& b : flatMemory) b = 0;
  portLog.clear();
  portInValue = port_number;
  while (trapCount > 0) trap_remove(trapSlots[trapCount - 1], flatMemory);
  event_init();
  cpu_set_memory_routines(flat_read, flat_write);
  cpu_set_port_routines(logged_in, logged_out);
  cpu_set_monitor_entry(nullptr);
  breakRequest = 0;
  cpu = CpuState{};
  cpu_init(3000000);
  cpu.tcount = 0;
}

void poke(uint16_t address, std::initializer_list<uint8_t> bytes) {
  for (uint8_t b : bytes) flatMemory[address++] = b;
}

int run_one() { return -cpu_run(0); }
