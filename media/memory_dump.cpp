// "memdump.bin": the whole lower 64 KB of the memory array.
#include <cstdio>

#include "machine/memory.h"
#include "media/memory_files.h"

bool memory_dump_file() { return memory_dump_file_to("memdump.bin"); }

bool memory_dump_file_to(const char* path) {
  if (!path) return false;
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  bool ok = std::fwrite(memory, 1, 0x10000, f) == 0x10000;
  if (std::fclose(f) != 0) ok = false;
  return ok;
}
