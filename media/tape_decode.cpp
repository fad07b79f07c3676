// The firmware's tape reader over a recording. It waits for a rising edge
// of the input, counts 34-T polls while the input stays high, takes 53
// polls or more as a byte's sync and, after the sync, 32 polls or more as
// a 1; eight bits make the byte, most significant first. Its edge loop and
// the call before the first poll take about 60 T-states of the pulse, so
// the limits in time are about 610 us and 370 us. Half a second without a
// rising edge is the end of the signal.
#include "media/tape_decode.h"

#include <cstdint>
#include <cstdio>

#include "media/tape_filter.h"
#include "media/wav_format.h"

namespace {

constexpr double kSyncMicroseconds = (52 * 34 + 60) / 3.0;
constexpr double kOneMicroseconds = (31 * 34 + 60) / 3.0;
constexpr double kSilenceSeconds = 0.5;

// Samples of any PCM layout as signed 16-bit values, channels summed (1-bit
// data: the first channel), read through a buffer.
struct SampleSource {
  std::FILE* f;
  WavFormat format;
  uint64_t left; // bytes of sample data not yet read
  uint8_t buffer[65536];
  size_t have, at;
  uint8_t bits; // 1-bit data: the current byte and its bits left
  int bitsLeft;

  bool byte(uint8_t* b) {
    if (at == have) {
      if (left == 0) return false;
      const size_t want = left < sizeof buffer ? static_cast<size_t>(left) : sizeof buffer;
      have = std::fread(buffer, 1, want, f);
      at = 0;
      if (have == 0) {
        left = 0;
        return false;
      }
      left -= have;
    }
    *b = buffer[at++];
    return true;
  }

  bool next(int32_t* sample) {
    if (format.bits == 1) {
      int32_t first = 0;
      for (uint16_t channel = 0; channel < format.channels; ++channel) {
        if (bitsLeft == 0) {
          if (!byte(&bits)) return false;
          bitsLeft = 8;
        }
        --bitsLeft;
        if (channel == 0) first = tape_filter_from8((bits >> bitsLeft) & 1 ? 0xFF : 0x00);
      }
      *sample = first;
      return true;
    }
    const uint32_t sampleBytes = (format.bits + 7u) / 8u;
    int32_t sum = 0;
    uint8_t below = 0;
    for (uint32_t i = 0; i < format.frameBytes; ++i) {
      uint8_t b;
      if (!byte(&b)) return false;
      tape_filter_add_byte(&sum, &below, b, i, sampleBytes);
    }
    *sample = sum;
    return true;
  }
};

struct BitReader {
  bool inByte;
  int bitCount;
  uint8_t value;
  uint64_t byteStart;
};

} // namespace

bool tape_decode_wav(std::FILE* f, std::vector<TapeBlock>* blocks, char* message,
                     size_t messageSize) {
  blocks->clear();
  WavFormat format{};
  if (!f || !wav_read_format(f, &format) ||
      std::fseek(f, static_cast<long>(format.dataStart), SEEK_SET) != 0 ||
      (format.bits != 1 && format.frameBytes == 0)) {
    std::snprintf(message, messageSize, "Ez nem PCM WAV állomány.");
    return false;
  }
  static SampleSource source; // 64 KB of buffer: not on the stack
  source.f = f;
  source.format = format;
  source.left = format.dataSize;
  source.have = source.at = 0;
  source.bitsLeft = 0;

  TapeFilter stage;
  tape_filter_reset(&stage, format.rate);
  TapeBlockReader loader;
  tape_block_reader_start(&loader, blocks);
  BitReader bits{};
  const double microsPerSample = 1e6 / format.rate;
  const uint64_t silence = static_cast<uint64_t>(kSilenceSeconds * format.rate);
  uint64_t n = 0, riseAt = 0, lastRise = 0;
  bool quiet = true; // no edge since the last gap
  int level = 0;
  int32_t sample;
  while (source.next(&sample)) {
    const int now = tape_filter_step(&stage, sample);
    if (now && !level) {
      riseAt = lastRise = n;
      quiet = false;
    } else if (!now && level) {
      const double high = static_cast<double>(n - riseAt) * microsPerSample;
      if (!bits.inByte) {
        if (high >= kSyncMicroseconds) { bits = BitReader{true, 0, 0, riseAt}; }
      } else {
        bits.value = static_cast<uint8_t>(bits.value << 1 | (high >= kOneMicroseconds ? 1 : 0));
        if (++bits.bitCount == 8) {
          tape_block_reader_byte(&loader, bits.value, bits.byteStart);
          bits.inByte = false;
        }
      }
    }
    level = now;
    if (!quiet && n - lastRise > silence) {
      quiet = true;
      bits.inByte = false;
      tape_block_reader_gap(&loader);
    }
    ++n;
  }
  tape_block_reader_end(&loader);
  return true;
}
