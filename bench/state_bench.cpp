// tarvik-state-bench: how long a save and a load of the complete machine
// state take on a Tarvik 4.1 with 64 KB RAM that has run for a while, in
// microseconds each (the median of many), and the size of the state.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "host/core/layers.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "media/machine_state.h"

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
  int rounds = 2000;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--quick") == 0) rounds = 200;
  host_connect_layers();
  machine_reset_state();
  machineState.currentModel = MODEL_TARVIK41;
  machineState.ramSizeIndex = 6; // 64 KB
  machine_init();
  run_frames(100);
  // RAM that does not compress into nothing: the state's size does not
  // depend on it, but the copy should touch real bytes.
  for (uint32_t a = 0x4000; a < 0x10000; ++a)
    memory[a] = static_cast<uint8_t>(a * 2654435761u >> 24);

  std::vector<uint8_t> state;
  state.reserve(1 << 20);
  machine_state_save(state);
  std::vector<double> saves, loads;
  char message[256];
  for (int i = 0; i < rounds; ++i) {
    const auto t0 = Clock::now();
    machine_state_save(state);
    const auto t1 = Clock::now();
    if (!machine_state_load(state.data(), state.size(), message, sizeof message)) {
      std::fprintf(stderr, "tarvik-state-bench: the load failed: %s\n", message);
      return 1;
    }
    const auto t2 = Clock::now();
    saves.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    loads.push_back(std::chrono::duration<double, std::micro>(t2 - t1).count());
  }
  std::printf("state: %zu bytes (Tarvik 4.1, 64 KB RAM)\n", state.size());
  std::printf("save: %.1f us median, %.1f us best of %d\n", median(saves),
              *std::min_element(saves.begin(), saves.end()), rounds);
  std::printf("load: %.1f us median, %.1f us best of %d\n", median(loads),
              *std::min_element(loads.begin(), loads.end()), rounds);
  return 0;
}
