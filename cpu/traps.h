// Emulator traps: ROM routines patched in emulated memory with code that
// contains the reserved instruction ED n; executing it calls a host routine.
#pragma once

#include <cstdint>

using TrapHandler = void (*)(uint32_t* trapNumber);

struct TrapRecord {
  TrapHandler handler;  // null ends an array of records
  uint32_t address;     // offset into the memory array
  uint32_t patchLength; // at most 40
  uint32_t slotOffset;  // where in the patch the trap number goes
  uint8_t patch[40];
  uint8_t saved[52];
};

enum : uint32_t { TRAP_SLOTS = 40, TRAP_REACHABLE = 13 };

extern TrapRecord* trapSlots[TRAP_SLOTS];
extern uint32_t trapCount;

// Installs every record of the array up to the one with a null handler;
// records already installed are skipped. Returns false when a record could
// not be installed (table full or a malformed record).
bool trap_install(TrapRecord* records, uint8_t* memory);
// Puts back the bytes a record replaced and frees its slot; the last
// installed record moves into the slot and gets its new number patched.
void trap_remove(TrapRecord* record, uint8_t* memory);
// Called for ED 00 to ED 0C with n = the second byte.
void trap_dispatch(uint32_t n);

// A machine state names an installed record by the id of its array and its
// index there: the owner of an array declares it once at start-up (ids 1 to
// TRAP_SET_IDS - 1).
enum : uint32_t { TRAP_SET_IDS = 8 };
void trap_declare_set(uint32_t id, TrapRecord* records);

// The record of the installed traps (the machine state's "TRAP"): per slot
// the record's set and index and the bytes its patch replaced. The patched
// bytes themselves are part of memory. The load refuses a record that no
// declared set holds, or one installed twice.
class StateWriter;
class StateReader;
void trap_state_save(StateWriter& w);
bool trap_state_load(StateReader& r, bool apply);
