// Frame pacing and the speed statistics in the title.
#include "host/core/pacing.h"

#include <cstdio>

#include "cpu/cpu.h"
#include "host/output/audio.h"
#include "host/output/sound_capture.h"
#include "host/output/status.h"
#include "host/platform.h"
#include "host/script/script_mode.h"
#include "host/store/settings.h"

uint32_t pacingResetCount;

namespace {

int64_t counterFrequency; // F: ticks per second
int64_t framePeriod;      // P = F / 50
uint32_t presentInterval; // F / refresh rate, halved without real-time pacing
int64_t frameDeadline;
int64_t nextPresentTime;
int64_t nextTitleTime;
uint32_t framesSinceTitle;
uint32_t presents;
uint32_t presentsAtTitle;
int64_t titleInterval;
bool resetPending;
int speed = PACING_REAL_TIME;
void no_presenter(int) {}
void (*presenter)(int full) = no_presenter;

} // namespace

void pacing_set_presenter(void (*present)(int full)) {
  presenter = present ? present : no_presenter;
}

void pacing_start() {
  uint32_t refresh = platform_refresh_rate();
  if (refresh == 0) refresh = 100;
  counterFrequency = platform_counter_frequency();
  int64_t now = platform_counter();
  framePeriod = counterFrequency / 50;
  presentInterval = static_cast<uint32_t>(counterFrequency / refresh);
  if (hostOptions.SyncSpeed == 0) presentInterval >>= 1;
  titleInterval = 2 * counterFrequency;
  frameDeadline = now;
  nextPresentTime = now;
  nextTitleTime = now + titleInterval;
}

void pacing_reset() {
  ++pacingResetCount;
  resetPending = true;
  int64_t now = platform_counter();
  frameDeadline = now;
  nextPresentTime = now;
  nextTitleTime = now + titleInterval;
  framesSinceTitle = 0;
  presents = 0;
  presentsAtTitle = 0;
}

void pacing_set_speed(int newSpeed) {
  if (newSpeed == speed) return;
  speed = newSpeed;
  int64_t now = platform_counter();
  frameDeadline = now;
  nextPresentTime = now;
}

bool pacing_unpaced() { return hostOptions.SyncSpeed != 1 || speed != PACING_REAL_TIME; }

int64_t pacing_ticks_ahead() { return frameDeadline - platform_counter(); }
bool pacing_frame_due() { return pacing_ticks_ahead() < framePeriod; }
int64_t pacing_ticks_until_due() {
  const int64_t wait = frameDeadline - framePeriod - platform_counter() + 1;
  return wait > 0 ? wait : 0;
}
uint32_t pacing_present_interval() { return presentInterval; }

void pacing_frame_done() {
  int64_t now = platform_counter();
  if (!pacing_unpaced()) {
    // One sleep to the moment the deadline is less than a period ahead (the
    // whole milliseconds past it), again only if the sleep ended early.
    while (frameDeadline - now >= framePeriod) {
      const int64_t wait = pacing_ticks_until_due();
      platform_sleep_ms(
          static_cast<uint32_t>((wait * 1000 + counterFrequency - 1) / counterFrequency));
      now = platform_counter();
    }
  }
  ++framesSinceTitle;
  if (now >= nextTitleTime) {
    nextTitleTime += titleInterval;
    char title[128];
    std::snprintf(title, sizeof title, "Tarvik - %1.1f Mhz (%5d%%/%u fps)",
                  static_cast<double>(static_cast<float>(cpu.clockHz) / 1000000.0f),
                  static_cast<int>(framesSinceTitle), (presents - presentsAtTitle) >> 1);
    host_set_title(title);
    sound_capture_show_progress();
    presentsAtTitle = presents;
    framesSinceTitle = 0;
  }
  if (now >= nextPresentTime) {
    presenter(1);
    ++presents;
    if (speed == PACING_FAST_SPARSE)
      nextPresentTime = now + counterFrequency / PACING_SPARSE_PRESENTS_PER_SECOND;
    else
      nextPresentTime += presentInterval;
  }
  frameDeadline += framePeriod;
}

bool pacing_take_reset() {
  bool pending = resetPending;
  resetPending = false;
  return pending;
}
