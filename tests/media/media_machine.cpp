// The machine brought to a known state for the media tests.
#include <cstring>

#include "machine/machine.h"
#include "machine/memory.h"
#include "machine/rom.h"
#include "tests/media/media_fixture.h"

void media_machine_reset(uint32_t modelIndex) {
  machineState.currentModel = modelIndex;
  machineState.ramSizeIndex = 6;
  machine_init();
  cpu.tcount = 0;
}

const uint8_t* pristine_rom() { return rom_for_model(model()); }
