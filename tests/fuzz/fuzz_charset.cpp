// A user character set loaded from a file.
#include "media/files.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  fuzz_machine(data[0] % 4);
  std::string path = fuzz_write_file("user.chr", data + 1, size - 1);
  load_charset(path.c_str());
  restore_charset();
  return 0;
}
