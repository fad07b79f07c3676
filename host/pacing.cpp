// The pacing restart request. The main loop owns the clock and its
// deadlines; this is the request it reads before each pass.
#include "host/pacing.h"

uint32_t pacingResetCount;

namespace {
bool resetPending;
} // namespace

void pacing_reset() {
  ++pacingResetCount;
  resetPending = true;
}

bool pacing_take_reset() {
  bool pending = resetPending;
  resetPending = false;
  return pending;
}
