// ROM/BIN loads, memory saves, the memory dump and user character sets.
#include "media/files.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cpu/cpu.h"
#include "machine/memory.h"
#include "machine/video.h"
#include "media/hooks.h"
#include "media/save_file.h"
#include "media/tape.h"

namespace {

constexpr uint32_t kLowerBank = 0x10000;
constexpr uint32_t kRomEnd = 0x4000;

// A memory range copied out with the address wrapping at 64 KB.
uint8_t rangeCopy[kLowerBank];

bool ends_in_tkt(const char* path) {
  const char* dot = std::strrchr(path, '.');
  if (!dot) return false;
  const char* ext = dot + 1;
  return std::strlen(ext) == 3 && std::tolower(static_cast<unsigned char>(ext[0])) == 't' &&
         std::tolower(static_cast<unsigned char>(ext[1])) == 'k' &&
         std::tolower(static_cast<unsigned char>(ext[2])) == 't';
}

} // namespace

bool parse_address_field(const char* text, uint32_t* value) {
  if (!text) return false;
  while (*text == ' ') ++text;
  uint32_t result = 0;
  int digits = 0;
  for (; std::isxdigit(static_cast<unsigned char>(*text)); ++text, ++digits) {
    int c = std::tolower(static_cast<unsigned char>(*text));
    result = result * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
    if (result > 0xFFFF) return false;
  }
  while (*text == ' ') ++text;
  if (digits == 0 || *text) return false;
  *value = result;
  return true;
}

bool parse_address_range(const char* startText, const char* endText, uint32_t* start,
                         uint32_t* count) {
  uint32_t first = 0, last = 0;
  if (!parse_address_field(startText, &first) || !parse_address_field(endText, &last)) return false;
  *start = first;
  *count = last > first ? last - first + 1 : 0;
  return true;
}

bool load_binary(const char* path, uint32_t start, uint32_t count) {
  if (!path) return false;
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  uint8_t buffer[4096];
  uint64_t address = start, left = count ? count : UINT64_MAX;
  while (left > 0) {
    size_t want = left < sizeof buffer ? static_cast<size_t>(left) : sizeof buffer;
    size_t got = std::fread(buffer, 1, want, f);
    for (size_t i = 0; i < got; ++i) memory[(address++) % kLowerBank] = buffer[i];
    left -= got;
    if (got < want) break; // the end of the file
  }
  std::fclose(f);
  return true;
}

bool save_binary(const char* path, uint32_t start, uint32_t count) {
  if (!path) return false;
  SaveFile save;
  std::FILE* f = save_file_open(&save, path);
  if (!f) return false;
  bool ok = true;
  for (uint32_t i = 0; i < count && ok; ++i)
    ok = std::fputc(memory[(start + i) % kLowerBank], f) != EOF;
  return save_file_commit(&save, ok);
}

bool rom_load_command(const char* path, const char* startText, const char* endText) {
  uint32_t start = 0, count = 0;
  if (!parse_address_range(startText, endText, &start, &count)) return false;
  // The tape traps keep the ROM bytes they replaced: take them out first so
  // that a new ROM is neither patched over nor later overwritten with the
  // old bytes, and put them into the new ROM afterwards.
  bool traps = tape_traps_installed();
  if (traps) tape_traps_remove();
  bool loaded = load_binary(path, start, count);
  if (traps) tape_traps_install();
  if (!loaded) return false;
  if (start < kRomEnd) cpu_reset();
  return true;
}

bool memory_save_command(const char* path, const char* startText, const char* endText) {
  uint32_t start = 0, count = 0;
  if (!path || !parse_address_range(startText, endText, &start, &count)) return false;
  bool saved;
  if (ends_in_tkt(path)) {
    for (uint32_t i = 0; i < count; ++i) rangeCopy[i] = memory[(start + i) % kLowerBank];
    saved = tape_save_memory(path, start, count, rangeCopy);
  } else {
    saved = save_binary(path, start, count);
  }
  if (!saved) return false;
  media_message("Memória %04Xh-%04Xh lementve %s néven.", start, (start + count - 1) & 0xFFFF,
                path);
  return true;
}

bool load_charset(const char* path) {
  if (!path) return false;
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  uint8_t buffer[CHARSET_BYTES];
  size_t got = std::fread(buffer, 1, sizeof buffer, f);
  std::fclose(f);
  std::memcpy(userCharset, buffer, got);
  video_select_charset(true);
  return true;
}

void restore_charset() { video_restore_charset(); }

std::FILE* media_open_for_reading(const char* path) {
  if (!path || !*path) return nullptr;
  errno = 0;
  std::FILE* f = std::fopen(path, "rb");
  if (!f) {
    if (errno == ENOENT)
      media_message("Nincs ilyen állomány: %s", path);
    else
      media_message("Az állomány nem olvasható: %s", path);
    return nullptr;
  }
  // A folder, for one, opens here but gives a read error.
  std::getc(f);
  if (std::ferror(f)) {
    std::fclose(f);
    media_message("Az állomány nem olvasható: %s", path);
    return nullptr;
  }
  std::rewind(f);
  return f;
}

int media_read_whole(std::FILE* f, size_t most, std::vector<uint8_t>* bytes) {
  bytes->clear();
  uint8_t block[65536];
  int result = 1;
  for (;;) {
    const size_t got = std::fread(block, 1, sizeof block, f);
    bytes->insert(bytes->end(), block, block + got);
    if (bytes->size() > most) {
      result = -1;
      break;
    }
    if (got < sizeof block) {
      result = std::ferror(f) ? 0 : 1;
      break;
    }
  }
  std::fclose(f);
  return result;
}
