// Until the machine layer is linked in: the memory array, the model index
// and the character sets the media files use, with a flat RAM write routine.
#include "tests/media/media_fixture.h"

#include <cstring>

uint8_t memory[0x20000 + 64];
uint32_t standInModel = 1;
uint32_t model() { return standInModel; }
uint8_t userCharset[2048];
const uint8_t* currentCharset;
uint8_t standInBuiltinCharset[2048];
const uint8_t* builtin_charset() { return standInBuiltinCharset; }

namespace {
uint8_t flat_read(uint16_t address) { return memory[address]; }
void flat_write(uint16_t address, uint8_t value) {
  if (address >= 0x4000) memory[address] = value;
}
} // namespace

void media_machine_reset(uint32_t modelIndex) {
  tape_traps_remove();
  standInModel = modelIndex;
  std::memset(memory, 0, sizeof memory);
  for (uint32_t i = 0; i < 0x4000; ++i) memory[i] = static_cast<uint8_t>(i * 7 + 3);
  for (uint32_t i = 0; i < 2048; ++i) standInBuiltinCharset[i] = static_cast<uint8_t>(i ^ 0x55);
  std::memcpy(userCharset, standInBuiltinCharset, 2048);
  currentCharset = standInBuiltinCharset;
  cpu_set_memory_routines(flat_read, flat_write);
  event_init();
  cpu_init(modelIndex == 3 ? 4000000 : 3000000);
  cpu.tcount = 0;
  tape_traps_install();
}
