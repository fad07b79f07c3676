// A TKT tape image autoloaded into RAM, as a file given on the command line
// or dropped on the window. The first byte picks the model (0-2).
#include "media/tape.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  fuzz_machine(data[0] % 3);
  std::string path = fuzz_write_file("autoload.tkt", data + 1, size - 1);
  tape_autoload(path.c_str());
  return 0;
}
