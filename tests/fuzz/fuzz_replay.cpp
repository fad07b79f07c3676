// A replay played back: a valid start (the header and the machine's state as
// frame 0), then the fuzzer's bytes as the chunks that follow, played for at
// most eight frames.
#include <cstring>
#include <vector>

#include "machine/machine.h"
#include "media/machine_state.h"
#include "media/replay.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_machine(2);
  static std::vector<uint8_t> start;
  if (start.empty()) {
    std::vector<uint8_t> state;
    machine_state_save(state);
    const uint8_t header[8] = {'T', 'K', 'R', 'P', REPLAY_VERSION & 0xFF, REPLAY_VERSION >> 8};
    const uint32_t length = static_cast<uint32_t>(state.size());
    const uint8_t chunk[12] = {'S',
                               'T',
                               'A',
                               'T',
                               0,
                               0,
                               0,
                               0,
                               static_cast<uint8_t>(length),
                               static_cast<uint8_t>(length >> 8),
                               static_cast<uint8_t>(length >> 16),
                               static_cast<uint8_t>(length >> 24)};
    start.assign(header, header + sizeof header);
    start.insert(start.end(), chunk, chunk + sizeof chunk);
    start.insert(start.end(), state.begin(), state.end());
  }
  std::vector<uint8_t> file = start;
  file.insert(file.end(), data, data + size);
  char message[300];
  if (replay_play_bytes(file.data(), file.size(), message, sizeof message)) {
    for (int frame = 0; frame < 8 && replay_frame_begin(message, sizeof message); ++frame) {
      run_frame();
      bool differs;
      replay_frame_end(&differs);
    }
    replay_play_close();
  }
  return 0;
}
