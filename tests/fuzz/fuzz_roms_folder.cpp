// A "roms" folder of replacement images. Byte 0 says which images have a
// file, byte 1 which of those get their exact size (the content repeated),
// byte 2 the model to bring up with them; the other files take the length of
// an equal share of the remaining bytes.
#include <sys/stat.h>

#include <cstdio>
#include <vector>

#include "machine/machine.h"
#include "machine/rom.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const std::string folder = fuzz_folder() + "roms";
  ::mkdir(folder.c_str(), 0700);
  const uint8_t* content = data + 3;
  const size_t contentSize = size - 3;
  const size_t share = contentSize / ROM_IMAGES;
  std::vector<uint8_t> bytes;
  for (int i = 0; i < ROM_IMAGES; ++i) {
    std::string path = folder + "/" + romFiles[i].fileName;
    std::remove(path.c_str());
    if (!(data[0] >> (i % 8) & 1)) continue;
    size_t length = (data[1] >> (i % 8) & 1) ? romFiles[i].size : share;
    bytes.assign(length, 0);
    for (size_t k = 0; k < length; ++k) bytes[k] = content[(i * share + k) % contentSize];
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    if (length) std::fwrite(bytes.data(), 1, length, f);
    std::fclose(f);
  }
  int rejected = 0;
  rom_load_folder(folder.c_str(), &rejected);
  fuzz_machine(data[2] % 4);
  rom_use_builtin();
  return 0;
}
