#include "tests/debugger/debug_machine.h"

#include <gtest/gtest.h>

#include "cpu/cpu.h"
#include "cpu/events.h"
#include "debugger/console_monitor.h"
#include "host/headless/headless.h"

uint8_t testMemory[65536];
uint32_t testReads, testWrites;

namespace {

uint8_t test_read(uint16_t a) {
  ++testReads;
  return testMemory[a];
}
void test_write(uint16_t a, uint8_t v) {
  ++testWrites;
  testMemory[a] = v;
}

const char greeting[] = "Type '?' for help, 'x' for exit.\n";

} // namespace

void debug_machine_reset(int consoleWidth) {
  for (auto& b : testMemory) b = 0;
  testReads = testWrites = 0;
  event_init();
  cpu_set_memory_routines(test_read, test_write);
  cpu_set_port_routines(nullptr, nullptr);
  breakRequest = 0;
  cpu = CpuState{};
  cpu_init(3000000);
  cpu.tcount = 0;
  console_monitor_install();
  debugger_reset_state();
  headless_console_fail_open(false);
  headless_console_use_stdin(false);
  headless_console_capture(true);
  headless_console_set_width(consoleWidth);
  headless_console_clear_input();
  headless_console_clear_output();
}

void poke(uint16_t address, std::initializer_list<uint8_t> bytes) {
  for (uint8_t b : bytes) testMemory[address++] = b;
}

void queue_lines(std::initializer_list<const char*> lines) {
  for (const char* line : lines) headless_console_queue_line(line);
}

std::string take_output() {
  std::string out = headless_console_output();
  headless_console_clear_output();
  return out;
}

std::string monitor_session(std::initializer_list<const char*> lines) {
  queue_lines(lines);
  headless_console_queue_line("x");
  EXPECT_EQ(console_monitor_run(), 1);
  std::string out = take_output();
  EXPECT_EQ(out.rfind(greeting, 0), 0u) << out;
  return out.size() >= sizeof greeting - 1 ? out.substr(sizeof greeting - 1) : out;
}
