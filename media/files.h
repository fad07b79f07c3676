// Plain file transfers between the host and the emulated memory: ROM and
// binary images, raw memory saves and tape-image saves of a memory range,
// the fixed-name memory dump, and user character sets. Addresses index the
// lower 64 KB of the memory array directly (modulo 0x10000), bypassing the
// memory map and its write protection.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "media/memory_files.h"

enum : uint32_t { CHARSET_BYTES = 2048, ADDRESS_FIELD_SIZE = 6 };

// Parses an address field: one to four hexadecimal digits (either case),
// spaces around them allowed. False, with *value untouched, for anything
// else: an empty field, other characters, or a value beyond 0xFFFF.
bool parse_address_field(const char* text, uint32_t* value);
// Start and byte count from the two address fields: count = end - start + 1
// when end > start, else 0. False when either field holds no address.
bool parse_address_range(const char* startText, const char* endText, uint32_t* start,
                         uint32_t* count);

// Copies min(count, file size) bytes of the file (all of it when count is
// 0) to memory[(start + i) mod 0x10000]. False when the file cannot be
// opened.
bool load_binary(const char* path, uint32_t start, uint32_t count);
// Writes memory[(start + i) mod 0x10000] for i < count. False when the file
// cannot be written.
bool save_binary(const char* path, uint32_t start, uint32_t count);

// The ROM/BIN load command after its dialog: parses the fields, loads, and
// resets the CPU when the ROM area was written. False (nothing loaded) when
// a field holds no address or the file cannot be opened; the host then shows
// MEDIA_LOAD_FAILED.
bool rom_load_command(const char* path, const char* startText, const char* endText);
// The memory save command after its dialog: a tape image when the name ends
// in ".tkt" (any case), else a raw file; reports the range saved. False when
// a field holds no address or the file cannot be written; the host then
// shows MEDIA_SAVE_FAILED.
bool memory_save_command(const char* path, const char* startText, const char* endText);

// Copies the first min(size, 2048) bytes of the file into the user
// character set and makes it current. False (nothing changed) when the file
// cannot be opened; the host then shows MEDIA_CHARSET_FAILED.
bool load_charset(const char* path);
// The built-in set current again, and copied into the user set.
void restore_charset();

// Opens a file that the user named (binary, for reading) and checks that it
// reads. On failure returns null and names the file in the status bar: one
// message when it does not exist, another when it cannot be read.
std::FILE* media_open_for_reading(const char* path);
// Reads an open file to its end into `bytes` and closes it. Returns 1 when
// all of it was read, 0 on a read error, -1 when it holds more than `most`
// bytes (then only the first ones are read).
int media_read_whole(std::FILE* f, size_t most, std::vector<uint8_t>* bytes);
