// A TKS snapshot loaded into the registers and RAM.
#include "machine/memory.h"
#include "media/snapshot.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_machine(1);
  std::string path = fuzz_write_file("state.tks", data, size);
  snapshot_load(path.c_str(), memory + 0x4000);
  return 0;
}
