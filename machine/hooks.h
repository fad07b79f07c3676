// What the machine asks of the layers above it: the sound output and the
// host's file names. The machine declares these function
// pointers and calls them; the host sets them once at start-up, as the
// machine itself sets the CPU's memory routines. Until then they do nothing
// (no sound), so that the machine also runs on its own. The host keyboard
// is not asked: the host reports its key changes (machine/keyboard.h).
#pragma once

#include <cstdint>

struct MachineHooks {
  // The sound output: brought up to cycle-counter time t before anything
  // heard changes; started with the machine and reset with it.
  void (*audioUpdate)(int64_t t);
  void (*audioInit)();
  void (*audioReset)();
  // The separator between folder and file names on the host.
  char (*pathSeparator)();
};

extern MachineHooks machineHooks;
// Installs the hooks; a null member leaves the do-nothing default in place.
void machine_set_hooks(const MachineHooks& hooks);

inline void machine_audio_update(int64_t t) { machineHooks.audioUpdate(t); }
