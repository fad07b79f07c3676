// "memdump.bin": the address space as the machine's read routine shows it.
#include <cstdio>

#include "cpu/cpu.h"
#include "media/memory_files.h"

bool memory_dump_file() {
  FILE* f = fopen("memdump.bin", "wb");
  if (!f) return false;
  const ReadHandler read = cpu_default_read();
  static unsigned char bytes[0xFFFF];
  for (uint32_t a = 0; a < 0xFFFF; ++a) bytes[a] = read(static_cast<uint16_t>(a));
  bool ok = fwrite(bytes, 1, sizeof bytes, f) == sizeof bytes;
  if (fclose(f) != 0) ok = false;
  return ok;
}
