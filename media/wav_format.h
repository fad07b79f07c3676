// PCM WAV files: the 44-byte header the tape recorder writes, and reading
// the format and the sample data of any RIFF/WAVE PCM file by its chunks.
#pragma once

#include <cstdint>
#include <cstdio>

enum : uint32_t { WAV_HEADER_BYTES = 44 };

struct WavFormat {
  uint16_t channels;
  uint32_t rate;
  uint16_t bits;       // bits per sample of one channel
  uint32_t frameBytes; // bytes of one sample of all channels (0 for 1-bit data)
  uint64_t dataStart;  // file position of the first sample
  uint64_t dataSize;   // bytes of sample data present in the file
};

// Fills the 44-byte header of an unsigned 8-bit mono (or any PCM) file with
// both sizes 0; wav_fix_sizes fills them in.
void wav_header(uint8_t header[WAV_HEADER_BYTES], uint32_t rate, uint16_t bits, uint16_t channels);
// Writes RIFF size = file size - 8 at offset 4 and data size = RIFF size - 36
// at offset 40, and goes back to where the file was. False when the file
// could not be updated.
bool wav_fix_sizes(std::FILE* f);
// Reads the chunks of an open file: "RIFF"/"WAVE", then "fmt " (PCM, or the
// extensible form with PCM data) and "data", skipping every other chunk.
// False for anything else, and for a rate, channel count or sample size of 0
// or beyond 32 bits. A data chunk whose size is 0 or runs past the end of the
// file (a recording that was never closed) counts up to the end of the file.
bool wav_read_format(std::FILE* f, WavFormat* format);

// How the recorder shapes the cassette output level into samples: a fast
// low-pass towards the level (amplitude 112), minus a slow one that takes
// the direct-current part out, so that the signal swings around 0x80.
struct WavRecordFilter {
  double y1, y2;
};
// The sample for the period that ends now, then the filters move on towards
// the level held during the next one.
inline uint8_t wav_record_step(WavRecordFilter* f, int level) {
  const int sample = static_cast<int>(f->y1 - f->y2); // truncated towards 0
  f->y1 += ((level ? 112.0 : 0.0) - f->y1) * 0.5077;
  f->y2 += (f->y1 - f->y2) * 0.0070984;
  return static_cast<uint8_t>((sample & 0xFF) ^ 0x80);
}
