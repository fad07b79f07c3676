// The headless clock: a steady clock in nanoseconds, or for tests a fake
// clock that only moves when advanced or slept on.
#include <chrono>
#include <thread>

#include "host/headless/headless.h"
#include "host/platform.h"

namespace {

bool fake;
int64_t fakeFrequency = 1000000000;
int64_t fakeNow;
uint32_t sleepCalls;
uint64_t sleptMs;
uint32_t refreshRate = 50;

} // namespace

int64_t platform_counter_frequency() { return fake ? fakeFrequency : 1000000000; }

int64_t platform_counter() {
  if (fake) return fakeNow;
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void platform_sleep_ms(uint32_t milliseconds) {
  ++sleepCalls;
  sleptMs += milliseconds;
  if (fake)
    fakeNow += fakeFrequency * milliseconds / 1000;
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

uint32_t platform_refresh_rate() { return refreshRate; }

void headless_use_fake_clock(int64_t frequency) {
  fake = true;
  fakeFrequency = frequency;
  fakeNow = 0;
  sleepCalls = 0;
}

void headless_use_real_clock() { fake = false; }
void headless_advance_clock(int64_t ticks) { fakeNow += ticks; }
uint32_t headless_sleep_calls() { return sleepCalls; }
uint64_t headless_slept_ms() { return sleptMs; }
void headless_set_refresh_rate(uint32_t hz) { refreshRate = hz; }
