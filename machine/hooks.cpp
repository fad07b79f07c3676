// The machine's hooks and their do-nothing defaults.
#include "machine/hooks.h"

namespace {

void no_update(int64_t) {}
void nothing() {}
char slash() { return '/'; }

template <typename T> void take(T& slot, T hook) {
  if (hook) slot = hook;
}

} // namespace

MachineHooks machineHooks = {no_update, nothing, nothing, slash};

void machine_set_hooks(const MachineHooks& hooks) {
  take(machineHooks.audioUpdate, hooks.audioUpdate);
  take(machineHooks.audioInit, hooks.audioInit);
  take(machineHooks.audioReset, hooks.audioReset);
  take(machineHooks.pathSeparator, hooks.pathSeparator);
}
