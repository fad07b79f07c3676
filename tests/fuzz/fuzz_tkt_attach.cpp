// A TKT tape image attached as the cassette and read by the ROM's LOAD
// through the read-byte trap, byte by byte past its end.
#include "cpu/cpu.h"
#include "media/tape.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_machine(1);
  std::string path = fuzz_write_file("attached.tkt", data, size);
  if (!tape_attach(path.c_str())) return 0;
  uint32_t trapNumber = 0;
  for (size_t i = 0; i < size + 16 && tapeActive; ++i) tape_read_byte_trap(&trapNumber);
  tape_close();
  return 0;
}
