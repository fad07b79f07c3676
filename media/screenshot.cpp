// Screenshots as 1-bit BMP files.
#include "media/screenshot.h"

#include <cstdio>
#include <cstring>

#include "machine/video.h"
#include "media/save_file.h"

namespace {

constexpr uint32_t kPixelOffset = 62;
constexpr uint32_t kImageBytes = SCREENSHOT_ROW_BYTES * SCREENSHOT_HEIGHT;

void put_le(uint8_t* p, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

bool exists(const char* path) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  std::fclose(f);
  return true;
}

} // namespace

bool save_screenshot(const char* path) { return save_screenshot(path, frameBuffer); }

bool save_screenshot(const char* path, const uint8_t* pixels, const uint8_t palette[8]) {
  if (!path || !pixels) return false;
  SaveFile save;
  std::FILE* f = save_file_open(&save, path);
  if (!f) return false;
  uint8_t header[kPixelOffset] = {'B', 'M'};
  put_le(header + 2, SCREENSHOT_BYTES, 4);
  put_le(header + 10, kPixelOffset, 4);
  put_le(header + 14, 40, 4);
  put_le(header + 18, SCREENSHOT_WIDTH, 4);
  put_le(header + 22, SCREENSHOT_HEIGHT, 4); // positive: bottom row first
  put_le(header + 26, 1, 2);
  put_le(header + 28, 1, 2);
  put_le(header + 34, kImageBytes, 4);
  std::memcpy(header + 54, palette, 8);
  bool ok = std::fwrite(header, 1, sizeof header, f) == sizeof header;
  for (int row = SCREENSHOT_HEIGHT - 1; row >= 0 && ok; --row)
    ok = std::fwrite(pixels + static_cast<size_t>(row) * SCREENSHOT_ROW_BYTES, 1,
                     SCREENSHOT_ROW_BYTES, f) == SCREENSHOT_ROW_BYTES;
  return save_file_commit(&save, ok);
}

bool screenshot_auto_name(const char* directory, char* name, size_t nameSize) {
  const char* dir = directory ? directory : "";
  const char* separator =
      *dir && dir[std::strlen(dir) - 1] != '/' && dir[std::strlen(dir) - 1] != '\\' ? "/" : "";
  for (long number = 0; number < 100000000; ++number) {
    int length = std::snprintf(name, nameSize, "%s%starvik%.4ld.%s", dir, separator, number, "bmp");
    if (length < 0 || static_cast<size_t>(length) >= nameSize) break;
    if (!exists(name)) return true;
  }
  if (nameSize > 0) name[0] = '\0';
  return false;
}
