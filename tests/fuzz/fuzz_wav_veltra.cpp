// A WAV tape read by the Veltra-16, whose cassette input is sampled on
// demand at the time of each read.
#include "media/wav_tape.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_machine(3);
  std::string path = fuzz_write_file("tape.wav", data, size);
  if (!wav_menu_attach(path.c_str())) return 0;
  wav_set_running(1, 0);
  // Reads at uneven times across a few seconds of tape.
  int64_t t = 0;
  for (int i = 0; i < 2000; ++i) {
    t += 17 + (i * 7919) % 4001;
    wav_playback_sample(t);
  }
  wav_menu_close();
  return 0;
}
