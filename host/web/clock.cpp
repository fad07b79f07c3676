// The browser's clock: performance.now() in microseconds. The browser's
// main thread never sleeps; a wait is a short spin on the clock (the frame
// loop runs frames only when they are due, so the pacing does not wait).
#include <emscripten/emscripten.h>

#include "host/platform.h"

int64_t platform_counter_frequency() { return 1000000; }

int64_t platform_counter() { return static_cast<int64_t>(emscripten_get_now() * 1000.0); }

void platform_sleep_ms(uint32_t milliseconds) {
  double end = emscripten_get_now() + milliseconds;
  while (emscripten_get_now() < end) {}
}

// The browser does not tell: the host assumes its default.
uint32_t platform_refresh_rate() { return 0; }
