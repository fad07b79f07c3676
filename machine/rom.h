// The ROM set: the built-in images (our own firmware, assembled at build
// time) and their replacements from a "roms" folder.
#pragma once

#include <cstdint>

enum RomImage : int {
  ROM_TARVIK31,    // 16 384 bytes, model 0
  ROM_TARVIK41,    // 16 384 bytes, model 1
  ROM_DORVANE,     // 16 384 bytes, model 2
  ROM_VELTRA16,    // 8192 bytes, model 3 (held in 16 384 with the data after it)
  ROM_DORVANE_EXT, // 4096 bytes, model 2 at 0xD000-0xDFFF in the 64 KB configuration
  ROM_TARVIK_CHR,  // 2048 bytes, the built-in Tarvik character set
  ROM_VELTRA_CHR,  // 2048 bytes, the Veltra-16 glyph table
  ROM_IMAGES
};

struct RomFile {
  const char* fileName; // name in the "roms" folder
  uint32_t size;        // the size a replacement must have
};
extern const RomFile romFiles[ROM_IMAGES];

// The current contents of each image: built-in or replaced. The Veltra-16
// image is followed by 8192 bytes that a memory reset copies with it.
extern const uint8_t* romImageData[ROM_IMAGES];
inline const uint8_t* rom_image(RomImage image) { return romImageData[image]; }
// The 16 384 bytes that a memory reset copies for a model.
const uint8_t* rom_for_model(uint32_t model);

// Replaces built-in images by the files of the right size in a folder; a
// file of another size is reported on standard error and ignored. Returns
// the number of images replaced; *rejected (if given) gets the number of
// files ignored. Takes effect at the next memory reset.
int rom_load_folder(const char* folder, int* rejected);
// Back to the built-in images.
void rom_use_builtin();

// "ROMS": the CRC-32 of every image of the ROM set in use. The images are
// not stored (the memory record holds the ROM copy the CPU runs); a state
// made with another ROM set still loads, and rom_state_differs tells the
// loader so that it can say it.
class StateWriter;
class StateReader;
void rom_state_save(StateWriter& w);
bool rom_state_load(StateReader& r, bool apply);
bool rom_state_differs();
