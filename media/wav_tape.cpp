// The WAV tape recorder as it stands with no WAV tape attached: nothing is
// recorded, the cassette input reads 0 and there is no tape counter to
// show. Attaching, recording and playing WAV files extend this module.
#include "media/wav_tape.h"

int wavInputLevel;

void wav_record_level(int, int64_t) {}

int wav_playback_sample(int64_t) { return wavInputLevel; }

void wav_frame_status(int64_t) {}
