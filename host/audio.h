// The audio output chain: cycle counter to 48 000 Hz samples, 960-sample
// blocks, the 50 Hz high-pass filter, the one-second ring with the drift
// check, the sound drivers, and recording the output to a WAV file.
#pragma once

#include <cstdint>

void audio_init();
// Brings the output up to cycle-counter time t.
void audio_update(int64_t t);
void audio_pause();
void audio_resume();
void audio_reset();
void audio_select_driver(int index); // 0 "No sound", 1 DirectSound, 2 WaveOut
void audio_shutdown();

bool audio_record_start(const char* fileName);
void audio_record_stop();
bool audio_recording(uint32_t* bytesRecorded);
