// The headless keyboard: keys set by tests and scripts, typed on the
// Hungarian layout (the layout the program's users type on).
#include <cstdint>

#include "host/core/keys.h"
#include "host/headless/headless.h"
#include "host/platform.h"

void headless_set_key(int vk, bool down) {
  host_key_state(vk, down, down ? host_key_hungarian_character(vk) : HOST_KEY_NO_CHARACTER);
}

uint32_t platform_key_label(int vk, int* place) { return host_key_hungarian_label(vk, place); }

char platform_path_separator() {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}
