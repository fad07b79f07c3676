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
