// What the machine asks of the layers above it: the sound output, the host
// keyboard and the host's file names. The machine declares these function
// pointers and calls them; the host sets them once at start-up, as the
// machine itself sets the CPU's memory routines. Until then they do nothing
// (no sound, no key held), so that the machine also runs on its own.
#pragma once

#include <cstdint>

struct MachineHooks {
  // The sound output: brought up to cycle-counter time t before anything
  // heard changes; started with the machine and reset with it.
  void (*audioUpdate)(int64_t t);
  void (*audioInit)();
  void (*audioReset)();
  // The host keyboard, in Windows virtual-key codes: whether a key is held;
  // the key and modifiers that type a character (code page 1250) on the
  // host's layout, -1 when none does; all keys released.
  bool (*keyDown)(int vk);
  int (*keyForCharacter)(uint8_t character);
  void (*releaseKeys)();
  // The separator between folder and file names on the host.
  char (*pathSeparator)();
};

extern MachineHooks machineHooks;
// Installs the hooks; a null member leaves the do-nothing default in place.
void machine_set_hooks(const MachineHooks& hooks);

inline void machine_audio_update(int64_t t) { machineHooks.audioUpdate(t); }
inline bool host_key_down(int vk) { return machineHooks.keyDown(vk); }
