// The fixed-name memory dump.
#pragma once

// Writes "memdump.bin" in the current directory: memory 0x0000-0xFFFF of
// the lower 64 KB, 65 536 bytes, as the memory array holds them. False when
// the file cannot be created or written (the callers stay silent).
bool memory_dump_file();
// The same into the given file.
bool memory_dump_file_to(const char* path);
