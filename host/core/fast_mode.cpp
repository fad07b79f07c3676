// The fast-forward key and fast tape loading.
#include "host/core/fast_mode.h"

#include <cstring>

#include "cpu/cpu.h"
#include "host/core/keys.h"
#include "host/core/pacing.h"
#include "host/output/audio.h"
#include "host/output/avi.h"
#include "host/output/status.h"
#include "host/platform.h"
#include "host/store/settings.h"
#include "media/tape.h"
#include "media/wav_tape.h"

namespace {

bool tapeFast;
// What status-bar part 3 said when the fast load began.
char savedMessage[STATUS_TEXT_SIZE];

void tape_fast_begin() {
  tapeFast = true;
  audio_set_muted(true);
  std::strncpy(savedMessage, status_text(3), sizeof savedMessage - 1);
  savedMessage[sizeof savedMessage - 1] = '\0';
  status_message("%s", FAST_TAPE_TEXT);
}

void tape_fast_end() {
  tapeFast = false;
  audio_set_muted(false);
  // A message that came meanwhile stays.
  if (std::strcmp(status_text(3), FAST_TAPE_TEXT) == 0) status_message("%s", savedMessage);
}

} // namespace

void fast_mode_after_frame() {
  const int64_t now = cpu.tcount;
  // An AVI capture takes the picture as presented, which a fast load would
  // show only now and then: a load during a capture runs in real time.
  const bool tape = hostOptions.FastTapeLoad == 1 && aviState != AVI_CAPTURING &&
                    (wav_being_read(now) || tape_being_read(now));
  if (tape && !tapeFast)
    tape_fast_begin();
  else if (!tape && tapeFast)
    tape_fast_end();
  int speed = PACING_REAL_TIME;
  if (tape)
    speed = PACING_FAST_SPARSE;
  else if (host_key_held(FAST_FORWARD_KEY))
    speed = PACING_FAST;
  pacing_set_speed(speed);
}

bool fast_mode_tape() { return tapeFast; }

void fast_mode_reset() {
  if (tapeFast) tape_fast_end();
  pacing_set_speed(PACING_REAL_TIME);
}
