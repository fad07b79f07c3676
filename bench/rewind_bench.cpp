// tarvik-rewind-bench: the rewind ring over ten minutes of a Tarvik 4.1 with
// 64 KB RAM whose monitor is typed at every second: the memory the ring
// takes, and what a push (once a second) and a step back cost, beside the
// time the emulation of that second takes unpaced.
//   tarvik-rewind-bench [--quick]   (--quick: one minute)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/core/layers.h"
#include "machine/machine.h"
#include "machine/paste.h"
#include "media/rewind.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double mean(const std::vector<double>& v) {
  double sum = 0;
  for (double x : v) sum += x;
  return sum / static_cast<double>(v.size());
}

} // namespace

int main(int argc, char** argv) {
  int seconds = 600;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--quick") == 0) seconds = 60;
  host_connect_layers();
  machine_reset_state();
  machineState.currentModel = MODEL_TARVIK41;
  machineState.ramSizeIndex = 6; // 64 KB
  machine_init();
  run_frames(100);
  if (!rewind_init()) {
    std::fprintf(stderr, "tarvik-rewind-bench: no memory for the ring\n");
    return 1;
  }

  std::vector<double> run, push;
  for (int s = 0; s < seconds; ++s) {
    // A line typed each second: memory changed, a dump on the screen.
    const unsigned address = 0x4100 + static_cast<unsigned>(s % 64) * 16;
    char line[64];
    std::snprintf(line, sizeof line, "M %04X %02X %02X %02X\rD %04X\r", address, s & 0xFF,
                  (s * 7) & 0xFF, (s * 13) & 0xFF, address);
    paste_begin(line, std::strlen(line));
    const auto t0 = Clock::now();
    run_frames(50);
    run.push_back(ms_since(t0));
    const auto t1 = Clock::now();
    rewind_push();
    push.push_back(ms_since(t1));
  }
  const size_t bytes = rewind_bytes(), count = rewind_count();
  std::vector<double> back;
  char message[256];
  for (int i = 0; i < 60; ++i) {
    const auto t = Clock::now();
    if (!rewind_step_back(message, sizeof message)) {
      std::fprintf(stderr, "tarvik-rewind-bench: a step back failed: %s\n", message);
      return 1;
    }
    back.push_back(ms_since(t));
  }

  const double pushMs = mean(push), runMs = mean(run);
  std::printf("ring: %zu states over %d s, %.2f MB used (%.1f KB a second); %.1f MB allocated\n",
              count, seconds, static_cast<double>(bytes) / (1 << 20),
              static_cast<double>(bytes) / 1024.0 / seconds,
              static_cast<double>(rewind_capacity_bytes()) / (1 << 20));
  std::printf("push: %.3f ms mean, %.3f ms median, %.3f ms most: %.3f %% of a second at real "
              "speed\n",
              pushMs, median(push), *std::max_element(push.begin(), push.end()), pushMs / 10.0);
  std::printf("a second of emulation unpaced: %.2f ms; with the push %.2f ms (+%.1f %% CPU at "
              "real speed)\n",
              runMs, runMs + pushMs, 100.0 * pushMs / runMs);
  std::printf("step back: %.3f ms mean, %.3f ms median of %zu\n", mean(back), median(back),
              back.size());
  rewind_shutdown();
  return 0;
}
