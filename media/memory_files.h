// Memory files written on the user's command.
#pragma once

// Writes the bytes 0x0000-0xFFFE (65 535 bytes) to "memdump.bin" in the
// current directory; false when the file cannot be created or written.
bool memory_dump_file();
