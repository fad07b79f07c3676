// The ROM set: built-in images from firmware/, replaced one by one by files
// of the right size from a "roms" folder.
#include "machine/rom.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "cpu/state_io.h"
#include "machine/hooks.h"
#include "machine/machine.h"

// Generated at build time from firmware/.
extern const uint8_t builtinTarvik31Rom[16384];
extern const uint8_t builtinTarvik41Rom[16384];
extern const uint8_t builtinDorvaneRom[16384];
extern const uint8_t builtinVeltra16Rom[16384];
extern const uint8_t builtinDorvaneExtRom[4096];
extern const uint8_t builtinTarvikCharset[2048];
extern const uint8_t builtinVeltraCharset[2048];

const RomFile romFiles[ROM_IMAGES] = {
    {"tarvik31.rom", 16384}, {"tarvik41.rom", 16384},   {"dorvane.rom", 16384},
    {"veltra16.rom", 8192},  {"dorvane-ext.rom", 4096}, {"tarvik.chr", 2048},
    {"veltra16.chr", 2048},
};

namespace {
void rom_set_changed();
const uint8_t* const kBuiltin[ROM_IMAGES] = {
    builtinTarvik31Rom,   builtinTarvik41Rom,   builtinDorvaneRom,    builtinVeltra16Rom,
    builtinDorvaneExtRom, builtinTarvikCharset, builtinVeltraCharset,
};

// Room for a replacement of each image (the Veltra-16 one with the 8192
// bytes that follow it).
uint8_t replaced[ROM_IMAGES][16384];

// Reads a file of exactly `size` bytes; 0 when it is not there, 1 when it
// was read, -1 when it has another size or could not be read.
int read_exact(const std::string& path, uint8_t* destination, uint32_t size, long* actual) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return 0;
  *actual = -1;
  int result = -1;
  if (std::fseek(f, 0, SEEK_END) == 0) {
    *actual = std::ftell(f);
    if (*actual == static_cast<long>(size) && std::fseek(f, 0, SEEK_SET) == 0 &&
        std::fread(destination, 1, size, f) == size)
      result = 1;
  }
  std::fclose(f);
  return result;
}

} // namespace

const uint8_t* romImageData[ROM_IMAGES] = {
    builtinTarvik31Rom,   builtinTarvik41Rom,   builtinDorvaneRom,    builtinVeltra16Rom,
    builtinDorvaneExtRom, builtinTarvikCharset, builtinVeltraCharset,
};

const uint8_t* rom_for_model(uint32_t m) {
  switch (m) {
  case MODEL_TARVIK31: return rom_image(ROM_TARVIK31);
  case MODEL_DORVANE: return rom_image(ROM_DORVANE);
  case MODEL_VELTRA16: return rom_image(ROM_VELTRA16);
  default: return rom_image(ROM_TARVIK41);
  }
}

int rom_load_folder(const char* folder, int* rejected) {
  int loaded = 0, refused = 0;
  if (folder && *folder) {
    for (int i = 0; i < ROM_IMAGES; ++i) {
      const std::string path =
          std::string(folder) + machineHooks.pathSeparator() + romFiles[i].fileName;
      uint8_t buffer[16384];
      long actual = 0;
      int result = read_exact(path, buffer, romFiles[i].size, &actual);
      if (result == 0) continue;
      if (result < 0) {
        ++refused;
        if (actual >= 0)
          std::fprintf(stderr, "%s: a mérete %ld bájt, nem %u; a beépített képet használom.\n",
                       path.c_str(), actual, romFiles[i].size);
        else
          std::fprintf(stderr, "%s: nem olvasható; a beépített képet használom.\n", path.c_str());
        continue;
      }
      // The Veltra-16 image keeps the data that follows the built-in one.
      std::memcpy(replaced[i], kBuiltin[i], i == ROM_VELTRA16 ? 16384 : romFiles[i].size);
      std::memcpy(replaced[i], buffer, romFiles[i].size);
      romImageData[i] = replaced[i];
      rom_set_changed();
      ++loaded;
    }
  }
  if (rejected) *rejected = refused;
  return loaded;
}

void rom_use_builtin() {
  for (int i = 0; i < ROM_IMAGES; ++i) romImageData[i] = kBuiltin[i];
  rom_set_changed();
}

namespace {

bool loadedRomsDiffer;
// The checksums of the images in use, worked out once after each change of
// the set.
uint32_t crcOf[ROM_IMAGES];
bool crcKnown;

uint32_t image_crc(int i) {
  if (!crcKnown) {
    for (int k = 0; k < ROM_IMAGES; ++k)
      crcOf[k] = state_crc32(romImageData[k], k == ROM_VELTRA16 ? 16384 : romFiles[k].size);
    crcKnown = true;
  }
  return crcOf[i];
}

} // namespace

void rom_state_save(StateWriter& w) {
  w.u8(ROM_IMAGES);
  for (int i = 0; i < ROM_IMAGES; ++i) w.u32(image_crc(i));
}

bool rom_state_load(StateReader& r, bool apply) {
  if (r.u8() != ROM_IMAGES) return r.fail();
  bool differ = false;
  for (int i = 0; i < ROM_IMAGES; ++i) differ = (r.u32() != image_crc(i)) || differ;
  if (apply) loadedRomsDiffer = differ;
  return r.ok();
}

bool rom_state_differs() { return loadedRomsDiffer; }

namespace {
void rom_set_changed() { crcKnown = false; }
} // namespace
