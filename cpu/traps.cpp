// Emulator traps: patching ROM routines with ED n and dispatching ED n to
// the record installed in slot n.
#include "cpu/traps.h"

TrapRecord* trapSlots[TRAP_SLOTS];
uint32_t trapCount;

namespace {

int slot_of(const TrapRecord* record) {
  for (uint32_t k = 0; k < trapCount; ++k)
    if (trapSlots[k] == record) return static_cast<int>(k);
  return -1;
}

bool well_formed(const TrapRecord& r) {
  return r.patchLength > 0 && r.patchLength <= sizeof r.patch && r.slotOffset < r.patchLength;
}

} // namespace

bool trap_install(TrapRecord* records, uint8_t* memory) {
  bool all = true;
  for (TrapRecord* r = records; r->handler; ++r) {
    if (slot_of(r) >= 0) continue;
    if (trapCount >= TRAP_SLOTS || !well_formed(*r)) {
      all = false;
      continue;
    }
    r->patch[r->slotOffset] = static_cast<uint8_t>(trapCount);
    for (uint32_t i = r->patchLength; i-- > 0;) {
      r->saved[i] = memory[r->address + i];
      memory[r->address + i] = r->patch[i];
    }
    trapSlots[trapCount++] = r;
  }
  return all;
}

void trap_remove(TrapRecord* record, uint8_t* memory) {
  int slot = slot_of(record);
  if (slot < 0) return;
  for (uint32_t i = 0; i < record->patchLength; ++i) memory[record->address + i] = record->saved[i];
  --trapCount;
  if (static_cast<uint32_t>(slot) != trapCount) {
    // The last record takes the freed slot; its trap number changes with it,
    // in its patch and in the patched memory.
    TrapRecord* moved = trapSlots[trapCount];
    trapSlots[slot] = moved;
    moved->patch[moved->slotOffset] = static_cast<uint8_t>(slot);
    memory[moved->address + moved->slotOffset] = static_cast<uint8_t>(slot);
  }
  trapSlots[trapCount] = nullptr;
}

void trap_dispatch(uint32_t n) {
  if (n >= TRAP_SLOTS) return;
  TrapRecord* r = trapSlots[n];
  if (!r || !r->handler) return;
  uint32_t number = n;
  r->handler(&number);
}
