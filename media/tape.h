// TKT tape images: the byte stream that the ROM's cassette routines send to
// or expect from tape. Used three ways: attached as a cassette for the ROM's
// own LOAD and SAVE (through three emulator traps patched into the ROM's
// tape routines), autoloaded straight into RAM, and written from a memory
// range as a one-block image. Tarvik 3.1, Tarvik 4.1 and Dorvane only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "cpu/traps.h"
#include "machine/memory.h"

enum : uint32_t { TAPE_NAME_SIZE = 260, TAPE_LEADER_BYTES = 256, TAPE_SYNC = 0xA5 };

// The three patched ROM routines (read byte, write byte, begin save), ended
// by a record without a handler.
extern TrapRecord tapeTraps[4];
// Path of the attached or recording tape file; empty when none.
extern char tapeFileName[TAPE_NAME_SIZE];
// 1 while a tape file is attached for reading or chosen for recording.
extern uint32_t tapeActive;
// An attached tape image: its bytes, read whole when it is attached (a
// machine state keeps them, so that it loads even when the file is gone),
// the next byte to read, and whether a read went past the end.
struct TapeImage {
  std::vector<uint8_t> bytes;
  size_t position;
  bool ended;
};
// The attached tape image while it is being read; null when none.
extern const TapeImage* tapeFile;

// Patches the three ROM routines (records already in place are skipped).
// The Veltra-16 has no such routines: nothing happens on model 3.
void tape_traps_install();
// Puts the ROM bytes back, so that the ROM's bit-level routines run.
void tape_traps_remove();
// The memory reset's hook: the traps come out before any ROM copy (also
// when the new model is the Veltra-16, whose ROM has none) and go back into
// the new Tarvik ROM.
void tape_memory_reset(MemoryResetPhase phase);
// True when all three records are in place.
bool tape_traps_installed();

// The trap handlers.
void tape_read_byte_trap(uint32_t* trapNumber);
void tape_write_byte_trap(uint32_t* trapNumber);
void tape_begin_save_trap(uint32_t* trapNumber);

// Puts the traps in place and attaches the file for the ROM's LOAD. Returns
// false (nothing attached) when it cannot be opened.
bool tape_attach(const char* path);
// Copies the blocks of a tape image into RAM (0x4000-0x7FFF), repairs the
// BASIC pointers and, for a program saved with its system variables, starts
// it. True on success.
bool tape_autoload(const char* path);
// Writes `length` bytes as a one-block tape image loading at `start`; false
// when the file cannot be written or the length does not fit the block's
// 16-bit length field.
bool tape_save_memory(const char* path, uint32_t start, uint32_t length, const uint8_t* bytes);
// True while an attached image is being read: the read trap took a byte of
// it at most a second of emulated time before now.
bool tape_being_read(int64_t now);
// The tape menu's close command: detaches the attached image (or ends a
// recording) and reports it. False when no tape file was in use.
bool tape_close();

// Changes whenever an image is attached or let go: the tape browser makes
// its list anew when it does.
uint32_t tape_image_serial();
// Winds the attached image to byte `offset` (at most its end): the next read
// takes that byte. False when no image is attached.
bool tape_wind_to(size_t offset);

// Declares the tape traps for machine states (media_connect).
void tape_connect();

// "TAPE": the attached image (its name, bytes and position) or the name of
// the file a save is recording to, and the time of the last byte read.
class StateWriter;
class StateReader;
void tape_state_save(StateWriter& w);
bool tape_state_load(StateReader& r, bool apply);
