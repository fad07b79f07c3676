// The recording the firmware's save makes of a byte stream: every byte a
// sync pulse and eight bit pulses, shaped into samples as the emulator's
// WAV recorder shapes the cassette output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Writes the header and the samples (unsigned 8-bit mono, 44 100 Hz) of
// `bytes` to `f`: a second of silence, the bytes with half a second of
// silence before each block start listed in `pauses` (byte offsets,
// ascending), and half a second at the end. False when a
// write failed. The header's sizes are filled in.
bool tape_encode_wav(std::FILE* f, const uint8_t* bytes, size_t size, const uint64_t* pauses,
                     size_t pauseCount);
