// The tape-loader trap records. None are listed yet: the three records
// that patch the ROM's byte input, byte output and save start come with
// tape-image support. Until then a memory reset finds nothing to renew.
#include "media/tape.h"

#include "cpu/traps.h"
#include "machine/memory.h"

namespace {

// Ended by the record with a null handler.
TrapRecord tapeTraps[1] = {};

} // namespace

void tape_traps_remove() {
  for (TrapRecord* r = tapeTraps; r->handler; ++r) trap_remove(r, memory);
}

void tape_traps_install() { trap_install(tapeTraps, memory); }
