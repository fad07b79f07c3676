// TKS snapshots: the Z80 register file and the RAM part of the emulated
// memory (0x4000-0x1FFFF) in one fixed-size file, 115 238 bytes, starting
// with "TK01". No model, RAM size, I, R or interrupt state is kept.
#pragma once

#include <cstdint>

enum : uint32_t {
  SNAPSHOT_BYTES = 115238,
  SNAPSHOT_MEMORY_OFFSET = 38,
  SNAPSHOT_MEMORY_BYTES = 0x1C000, // memory 0x4000-0x1FFFF
};

// What the host shows, with the caption "Hiba!", when a load or save fails.
inline constexpr const char* SNAPSHOT_LOAD_FAILED = "A pillanatfelvétel betöltése sikertelen.";
inline constexpr const char* SNAPSHOT_SAVE_FAILED = "A pillanatfelvétel mentése sikertelen.";

// Writes the registers and the 114 688 bytes at `ram` (memory + 0x4000).
bool snapshot_save(const char* path, const uint8_t* ram);
// Reads a snapshot back into the registers and `ram`. A file that does not
// start with "TK01" or is shorter than a snapshot changes nothing.
bool snapshot_load(const char* path, uint8_t* ram);
