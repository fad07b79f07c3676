// Emulator traps: patching ROM routines with ED n and dispatching ED n to
// the record installed in slot n.
#include "cpu/traps.h"

#include <cstring>

#include "cpu/state_io.h"

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

namespace {

TrapRecord* declaredSets[TRAP_SET_IDS];

uint32_t set_size(const TrapRecord* records) {
  uint32_t n = 0;
  while (records[n].handler) ++n;
  return n;
}

// The set and index of an installed record; false for one of no declared set.
bool locate(const TrapRecord* record, uint8_t* set, uint8_t* index) {
  for (uint32_t id = 1; id < TRAP_SET_IDS; ++id) {
    const TrapRecord* records = declaredSets[id];
    if (!records) continue;
    for (uint32_t k = 0; records[k].handler; ++k)
      if (&records[k] == record) {
        *set = static_cast<uint8_t>(id);
        *index = static_cast<uint8_t>(k);
        return true;
      }
  }
  return false;
}

} // namespace

void trap_declare_set(uint32_t id, TrapRecord* records) {
  if (id > 0 && id < TRAP_SET_IDS) declaredSets[id] = records;
}

void trap_state_save(StateWriter& w) {
  uint8_t set[TRAP_SLOTS], index[TRAP_SLOTS];
  uint8_t count = 0;
  for (uint32_t k = 0; k < trapCount; ++k)
    if (locate(trapSlots[k], &set[count], &index[count])) ++count;
  w.u8(count);
  for (uint32_t k = 0, n = 0; k < trapCount; ++k) {
    if (!locate(trapSlots[k], &set[n], &index[n])) continue;
    w.u8(set[n]);
    w.u8(index[n]);
    w.bytes(trapSlots[k]->saved, trapSlots[k]->patchLength);
    ++n;
  }
}

bool trap_state_load(StateReader& r, bool apply) {
  const uint8_t count = r.u8();
  if (count > TRAP_SLOTS) return r.fail();
  TrapRecord* records[TRAP_SLOTS];
  const uint8_t* saved[TRAP_SLOTS];
  for (uint32_t k = 0; k < count; ++k) {
    const uint8_t set = r.u8();
    const uint8_t index = r.u8();
    if (!r.ok() || set == 0 || set >= TRAP_SET_IDS || !declaredSets[set] ||
        index >= set_size(declaredSets[set]))
      return r.fail();
    records[k] = &declaredSets[set][index];
    for (uint32_t j = 0; j < k; ++j)
      if (records[j] == records[k]) return r.fail();
    if (!well_formed(*records[k])) return r.fail();
    saved[k] = r.view(records[k]->patchLength);
    if (!saved[k]) return false;
  }
  if (!apply) return true;
  for (uint32_t k = 0; k < TRAP_SLOTS; ++k) trapSlots[k] = nullptr;
  for (uint32_t k = 0; k < count; ++k) {
    TrapRecord* record = records[k];
    std::memcpy(record->saved, saved[k], record->patchLength);
    record->patch[record->slotOffset] = static_cast<uint8_t>(k);
    trapSlots[k] = record;
  }
  trapCount = count;
  return true;
}
