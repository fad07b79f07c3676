#include "tools/cpm_machine.h"

#include <cstdio>
#include <vector>

#include "cpu/cpu.h"
#include "cpu/events.h"
#include "cpu/traps.h"

uint8_t cpmMemory[65536];
CpmRun cpmRun;

namespace {

constexpr uint16_t kBdosEntry = 0xFE00;

uint8_t flat_read(uint16_t a) { return cpmMemory[a]; }
void flat_write(uint16_t a, uint8_t v) { cpmMemory[a] = v; }

// BDOS: function 2 prints E, function 9 the '$'-terminated string at DE.
void bdos_trap(uint32_t*) {
  uint8_t function = cpu.bc.l;
  if (function == 2) {
    cpmRun.output += static_cast<char>(cpu.de.l);
  } else if (function == 9) {
    for (uint16_t a = cpu.de.w, n = 0; cpmMemory[a] != '$' && n < 0xFFFF; ++a, ++n)
      cpmRun.output += static_cast<char>(cpmMemory[a]);
  }
}

void warm_boot_trap(uint32_t*) {
  if (!cpmRun.finished) {
    cpmRun.finished = true;
    cpmRun.endTcount = cpu.tcount;
  }
}

// 0x0000: ED n, HALT (the end of the run); at the BDOS entry: ED n, RET.
TrapRecord cpmTraps[3] = {
    {warm_boot_trap, 0x0000, 3, 1, {0xED, 0x00, 0x76}, {}},
    {bdos_trap, kBdosEntry, 3, 1, {0xED, 0x00, 0xC9}, {}},
    {nullptr, 0, 0, 0, {}, {}},
};

} // namespace

bool cpm_load(const char* path, std::string& error) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) {
    error = std::string("cannot open ") + path;
    return false;
  }
  std::vector<uint8_t> program(0x10000);
  size_t n = std::fread(program.data(), 1, program.size(), f);
  std::fclose(f);
  if (n == 0 || n > kBdosEntry - 0x0100) {
    error = std::string(path) + (n == 0 ? ": empty file" : ": program too large for the TPA");
    return false;
  }
  cpm_load_program(program.data(), n);
  return true;
}

void cpm_load_program(const uint8_t* program, size_t n) {
  if (n > kBdosEntry - 0x0100) n = kBdosEntry - 0x0100;
  for (auto& t : cpmTraps)
    if (t.handler) trap_remove(&t, cpmMemory);
  for (auto& b : cpmMemory) b = 0;
  for (size_t i = 0; i < n; ++i) cpmMemory[0x0100 + i] = program[i];
  // 0x0005: JP to the BDOS entry; the program takes its stack from 0x0006.
  cpmMemory[5] = 0xC3;
  cpmMemory[6] = kBdosEntry & 0xFF;
  cpmMemory[7] = kBdosEntry >> 8;
  trap_install(cpmTraps, cpmMemory);

  cpmRun = CpmRun{};
  event_init();
  cpu_set_memory_routines(flat_read, flat_write);
  for (unsigned page = 0; page < 256; ++page) {
    cpu_map_read_page(static_cast<uint8_t>(page), cpmMemory + page * 256);
    cpu_map_write_page(static_cast<uint8_t>(page), cpmMemory + page * 256);
  }
  cpu_init(4000000);
  cpu.pc = 0x0100;
  cpu.sp = kBdosEntry;
  cpu.tcount = 0;
}

void cpm_run(int64_t limit) {
  while (!cpmRun.finished && (limit == 0 || cpu.tcount < limit)) cpu_run(1000000);
}

void cpm_run_counted(int64_t limit) {
  while (!cpmRun.finished && (limit == 0 || cpu.tcount < limit)) {
    cpu_run(0);
    ++cpmRun.instructions;
  }
}
