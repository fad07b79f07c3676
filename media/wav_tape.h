// The machine's side of the WAV tape: the recorder is fed the output level,
// the player supplies the input level. With no WAV tape attached the feed
// does nothing and the input reads 0.
#pragma once

#include <cstdint>

// The cassette input level (0/1) the Tarvik models read at 0xE883; set by
// playback.
extern int wavInputLevel;

// Feeds the recorder the given level (0/1) from its last time up to t.
void wav_record_level(int level, int64_t t);
// The Veltra-16 cassette input: the playback level (0 or 1) at time t.
int wav_playback_sample(int64_t t);
// End-of-frame hook: the recorder's status-bar position update.
void wav_frame_status(int64_t t);
