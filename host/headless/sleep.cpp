// Sleeping on the headless platform: the standard library's thread sleep.
#include <chrono>
#include <thread>

#include "host/headless/headless.h"
#include "host/platform.h"

namespace {
uint64_t sleptMs;
} // namespace

void platform_sleep_ms(uint32_t milliseconds) {
  sleptMs += milliseconds;
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

uint64_t headless_slept_ms() { return sleptMs; }
