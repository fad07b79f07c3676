// The emulated address space: the memory array, the Tarvik and Veltra-16
// read and write routines, the RAM sizes and the memory reset.
#pragma once

#include <cstdint>

// Normal bank 0x00000-0x0FFFF, high bank 0x10000-0x1FFFF, plus slack.
inline constexpr uint32_t kMemorySize = 0x20000;
extern uint8_t memory[kMemorySize + 256];

// The last RAM address of each RAM size index (index 5 has no menu item).
inline constexpr uint32_t kRamSizes = 7;
extern const uint32_t ramTopTable[kRamSizes];

// The machine's default memory routines, installed in every entry of the
// CPU's handler tables; they ask the model on every call.
uint8_t machine_read(uint16_t address);
void machine_write(uint16_t address, uint8_t value);
uint8_t tarvik_read(uint16_t address);
void tarvik_write(uint16_t address, uint8_t value);
uint8_t veltra_read(uint16_t address);
void veltra_write(uint16_t address, uint8_t value);

// Installs machine_read and machine_write as the CPU's memory routines and
// declares the pages on which they are plain memory whatever the RAM size,
// the paging and the screen mode: the ROM, the first 4 KB of RAM and the
// regions that are RAM (or ignore writes) on every model, plus those of the
// current model. Called at bring-up and on a model change, before cpu_init.
void memory_connect();
// ramTop and the paging state for a size index (0-6); false for another.
bool memory_apply_ram_size(uint32_t index);
// ROM set of the model into 0x0000-0x3FFF, RAM cleared, the reset hooks
// run around the copy.
void memory_reset();

// What patches the ROM or depends on it (a paste, the tape traps) registers
// a hook: memory_reset calls every hook, in the order registered, once
// before the ROM is copied and once after RAM is set up. Registering a hook
// twice keeps one; false when the list is full.
enum MemoryResetPhase { MEMORY_RESET_BEFORE_ROM, MEMORY_RESET_AFTER_ROM };
using MemoryResetHook = void (*)(MemoryResetPhase phase);
bool memory_add_reset_hook(MemoryResetHook hook);

// "MEM ": the whole memory array (the ROM region with its patches, both
// banks, the slack).
class StateWriter;
class StateReader;
void memory_state_save(StateWriter& w);
bool memory_state_load(StateReader& r, bool apply);
