// A WAV tape played into a Tarvik's cassette input: attached from the menu,
// the tape running, and the playback event run at each due time.
#include "cpu/cpu.h"
#include "cpu/events.h"
#include "media/wav_tape.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_machine(1);
  std::string path = fuzz_write_file("tape.wav", data, size);
  if (!wav_menu_attach(path.c_str())) return 0;
  wav_set_running(1, cpu.tcount);
  // A sample of any rate per tick: twice the file's length in ticks reads it
  // through and past its end.
  for (size_t i = 0; i < 2 * size + 64; ++i) {
    TimedEvent* e = event_find(EVENT_WAV_TAPE);
    if (!e) break;
    int64_t now = e->due;
    e->callback(&now, e);
  }
  wav_menu_close();
  return 0;
}
