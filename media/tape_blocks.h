// The blocks of a Tarvik tape, found in its byte stream the way the
// firmware's block loader finds them: eight or more 0x00 bytes and 0xA5,
// the name up to its 0x00, the load address, the length, the data and
// their checksum (the sum modulo 256). The same reader serves tape images,
// whose bytes are the stream itself, and recordings, whose bytes the
// decoder (media/tape_decode.h) takes from the signal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum : uint32_t { TAPE_BLOCK_NAME_MAX = 16, TAPE_BLOCK_MIN_LEADER = 8 };

struct TapeBlock {
  std::string name; // as on tape, cut to 16 characters
  uint16_t address = 0;
  uint16_t length = 0; // the header's length
  std::vector<uint8_t> data;
  uint8_t checksum = 0;    // the checksum byte read
  bool checksumOk = false; // it matches the data's sum
  bool complete = false;   // every byte came (else the tape ended inside)
  uint64_t start = 0;      // where its leader starts: byte offset or sample
  uint64_t last = 0;       // where the last byte read of it starts
};

// The block loader as a machine fed one byte (or a stretch without signal)
// at a time; found blocks, complete or cut short, go to `blocks`.
struct TapeBlockReader {
  std::vector<TapeBlock>* blocks;
  int state;       // looking for the leader, name, address, length, data, checksum
  uint32_t zeros;  // 0x00 bytes in a row (up to 255)
  uint64_t leader; // where the run of 0x00 bytes began
  uint32_t count;  // bytes of the current field
  TapeBlock block;
};

void tape_block_reader_start(TapeBlockReader* r, std::vector<TapeBlock>* blocks);
// One byte of the stream; `at` is where it starts (byte offset or sample).
void tape_block_reader_byte(TapeBlockReader* r, uint8_t byte, uint64_t at);
// No signal for a while: the loader gives up the block it is reading (kept,
// marked incomplete) and looks for the next leader.
void tape_block_reader_gap(TapeBlockReader* r);
// The end of the stream (a gap).
inline void tape_block_reader_end(TapeBlockReader* r) { tape_block_reader_gap(r); }

// Every block of a tape image.
std::vector<TapeBlock> tape_blocks_of_image(const uint8_t* bytes, size_t size);
// Appends a block as the firmware's save writes it: 256 x 0x00, 0xA5, the
// name, 0x00, address, length, data, the checksum byte as found, 0x00 0x00.
void tape_block_append(std::vector<uint8_t>* out, const TapeBlock& block);
// "NAME  4100-413F  64 byte  ...": one line about a block, for lists.
std::string tape_block_line(const TapeBlock& block);
