// PCM WAV headers: writing the fixed 44-byte form and reading any RIFF/WAVE
// PCM file chunk by chunk.
#include "media/wav_format.h"

#include <cstring>

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;

void put_le(uint8_t* p, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}
uint32_t get_le(const uint8_t* p, int bytes) {
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
  return value;
}

bool read_exact(std::FILE* f, uint8_t* buffer, size_t count) {
  return std::fread(buffer, 1, count, f) == count;
}

bool file_length(std::FILE* f, uint64_t* length) {
  if (std::fseek(f, 0, SEEK_END) != 0) return false;
  long end = std::ftell(f);
  if (end < 0) return false;
  *length = static_cast<uint64_t>(end);
  return true;
}

} // namespace

void wav_header(uint8_t header[WAV_HEADER_BYTES], uint32_t rate, uint16_t bits, uint16_t channels) {
  std::memset(header, 0, WAV_HEADER_BYTES);
  uint32_t blockAlign = static_cast<uint32_t>((bits + 7) / 8) * channels;
  std::memcpy(header, "RIFF", 4);
  std::memcpy(header + 8, "WAVE", 4);
  std::memcpy(header + 12, "fmt ", 4);
  put_le(header + 16, 16, 4);
  put_le(header + 20, kFormatPcm, 2);
  put_le(header + 22, channels, 2);
  put_le(header + 24, rate, 4);
  put_le(header + 28, rate * blockAlign, 4);
  put_le(header + 32, blockAlign, 2);
  put_le(header + 34, bits, 2);
  std::memcpy(header + 36, "data", 4);
}

bool wav_fix_sizes(std::FILE* f) {
  uint64_t length = 0;
  if (std::fflush(f) != 0) return false;
  long at = std::ftell(f);
  if (at < 0 || !file_length(f, &length) || length < WAV_HEADER_BYTES) return false;
  uint8_t field[4];
  uint32_t riffSize = static_cast<uint32_t>(length - 8);
  put_le(field, riffSize, 4);
  bool ok = std::fseek(f, 4, SEEK_SET) == 0 && std::fwrite(field, 1, 4, f) == 4;
  put_le(field, riffSize - 36, 4);
  ok = ok && std::fseek(f, 40, SEEK_SET) == 0 && std::fwrite(field, 1, 4, f) == 4;
  return std::fflush(f) == 0 && std::fseek(f, at, SEEK_SET) == 0 && ok;
}

bool wav_read_format(std::FILE* f, WavFormat* format) {
  uint64_t length = 0;
  if (!file_length(f, &length) || std::fseek(f, 0, SEEK_SET) != 0) return false;
  uint8_t riff[12];
  if (!read_exact(f, riff, sizeof riff) || std::memcmp(riff, "RIFF", 4) != 0 ||
      std::memcmp(riff + 8, "WAVE", 4) != 0)
    return false;

  bool haveFormat = false, haveData = false;
  WavFormat found{};
  uint64_t position = sizeof riff;
  while (position + 8 <= length && !(haveFormat && haveData)) {
    uint8_t chunk[8];
    if (std::fseek(f, static_cast<long>(position), SEEK_SET) != 0 || !read_exact(f, chunk, 8))
      return false;
    uint64_t size = get_le(chunk + 4, 4);
    uint64_t body = position + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0 && !haveFormat) {
      uint8_t fmt[26];
      if (size < 16 || !read_exact(f, fmt, size >= 26 ? 26 : 16)) return false;
      uint16_t tag = static_cast<uint16_t>(get_le(fmt, 2));
      // The extensible form names its sample format in the first two bytes
      // of the sub-format identifier.
      if (tag == kFormatExtensible && size >= 26) tag = static_cast<uint16_t>(get_le(fmt + 24, 2));
      if (tag != kFormatPcm) return false;
      found.channels = static_cast<uint16_t>(get_le(fmt + 2, 2));
      found.rate = get_le(fmt + 4, 4);
      found.bits = static_cast<uint16_t>(get_le(fmt + 14, 2));
      uint32_t blockAlign = get_le(fmt + 12, 2);
      if (found.channels == 0 || found.rate == 0 || found.bits == 0 || found.bits > 32)
        return false;
      if (found.bits == 1) {
        found.frameBytes = 0;
      } else {
        uint32_t minimum = static_cast<uint32_t>((found.bits + 7) / 8) * found.channels;
        found.frameBytes = blockAlign >= minimum ? blockAlign : minimum;
      }
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0 && !haveData) {
      found.dataStart = body;
      found.dataSize = size == 0 || body + size > length ? length - body : size;
      haveData = true;
    }
    position = body + size + (size & 1); // chunks are padded to an even size
  }
  if (!haveFormat || !haveData) return false;
  *format = found;
  return true;
}
