// The ROM/BIN load: two address fields as typed into the dialog (the first
// 12 bytes, 6 each) and the file after them.
#include <cstring>

#include "media/files.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 * ADDRESS_FIELD_SIZE) return 0;
  char start[ADDRESS_FIELD_SIZE + 1] = {};
  char end[ADDRESS_FIELD_SIZE + 1] = {};
  std::memcpy(start, data, ADDRESS_FIELD_SIZE);
  std::memcpy(end, data + ADDRESS_FIELD_SIZE, ADDRESS_FIELD_SIZE);
  fuzz_machine(1);
  std::string path =
      fuzz_write_file("image.bin", data + 2 * ADDRESS_FIELD_SIZE, size - 2 * ADDRESS_FIELD_SIZE);
  rom_load_command(path.c_str(), start, end);
  return 0;
}
