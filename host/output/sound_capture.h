// The capture of the sound output to a 48 kHz 16-bit mono WAV file.
#pragma once

#include <cstdint>

// Sound capture ("Hang mentése mint..."): the audio output chain appends
// every block it outputs. Start is false when the file cannot be created.
bool sound_capture_start(const char* path);
// Fixes the header sizes, closes the file and reports the bytes of sound in
// it. False when the file could not be written completely.
bool sound_capture_stop(uint32_t* bytesInFile = nullptr);
// False when no capture runs; else the bytes of sample data written so far.
bool sound_capture_bytes(uint32_t* bytes);
// Shows "WAV mentés: ... kbyte eddig..." in status-bar part 2 while a capture
// runs (called whenever the host refreshes its title).
void sound_capture_show_progress();
