#include "machine_fixture.h"

#include <cstring>

#include "host/core/keys.h"
#include "host/headless/headless.h"
#include "host/platform.h"
#include "machine/keyboard.h"
#include "machine/printer.h"
#include "machine/rom.h"
#include "machine/video.h"

void bring_up(uint32_t m, uint32_t ramIndex) {
  machine_reset_state();
  machineState.currentModel = m;
  machineState.ramSizeIndex = ramIndex;
  machine_init();
}

void load_program(const uint8_t* bytes, size_t length, uint16_t address) {
  std::memcpy(memory + address, bytes, length);
  cpu.pc = address;
}

// A key change, and a frame's start for the machine to take it.
void press(int vk) {
  headless_set_key(vk, true);
  keyboard_frame_begin();
}
void release(int vk) {
  headless_set_key(vk, false);
  keyboard_frame_begin();
}

bool run_until_pc(uint16_t address, int limit) {
  for (int i = 0; i < limit; ++i) {
    if (cpu.pc == address) return true;
    cpu_run(0);
  }
  return cpu.pc == address;
}

void MachineTest::TearDown() {
  host_keys_release();
  printer_close();
}
