// The headless sound device: accepts every block and plays it in step with
// the writes, so its play position always stands five blocks behind the
// write position. The drift check therefore keeps, and a recording of the
// output is continuous.
#include "host/headless/headless.h"
#include "host/platform.h"
#include "host/sound_driver.h"

namespace {

bool open;
bool failing; // the next opens fail, as without a device
bool playing;
uint32_t written; // ring offset after the last block written

bool virtual_open(int);
void virtual_close() { open = false; }
int virtual_write(const int16_t*, uint32_t offset, uint32_t bytes) {
  if (!open) return 0;
  written = (offset + bytes) % AUDIO_RING_BYTES;
  return static_cast<int>(bytes);
}
void virtual_reset() {}
void virtual_pause() { playing = false; }
void virtual_resume() { playing = true; }
int32_t virtual_position() {
  if (!open) return -1;
  return static_cast<int32_t>((written + AUDIO_RING_BYTES - 5 * AUDIO_BLOCK_BYTES) %
                              AUDIO_RING_BYTES);
}

const SoundDriver virtualDriver = {"Virtual",     virtual_open,  virtual_close,  virtual_write,
                                   virtual_reset, virtual_pause, virtual_resume, virtual_position};

bool virtual_open(int) {
  if (failing) {
    sound_driver_failed("Error", "virtual sound device: cannot open");
    return false;
  }
  sound_driver_install(&virtualDriver);
  open = true;
  playing = true;
  written = 0;
  return true;
}

} // namespace

bool headless_sound_playing() { return open && playing; }
void headless_sound_fail_open(bool fail) { failing = fail; }

const SoundDriver* platform_sound_driver(SoundOutput) { return &virtualDriver; }
