// The firmware's block loader over a byte stream, and tape blocks as text
// and as the bytes of an image.
#include "media/tape_blocks.h"

#include <cstdio>

#include "media/tape.h"

namespace {

enum : int { kLeader, kName, kAddress, kLength, kData, kChecksum };

void finish(TapeBlockReader* r, bool complete) {
  r->block.complete = complete;
  if (complete) {
    uint8_t sum = 0;
    for (uint8_t b : r->block.data) sum = static_cast<uint8_t>(sum + b);
    r->block.checksumOk = sum == r->block.checksum;
  }
  r->blocks->push_back(r->block);
  r->block = TapeBlock{};
  r->state = kLeader;
  r->zeros = 0;
}

} // namespace

void tape_block_reader_start(TapeBlockReader* r, std::vector<TapeBlock>* blocks) {
  r->blocks = blocks;
  r->state = kLeader;
  r->zeros = 0;
  r->leader = 0;
  r->count = 0;
  r->block = TapeBlock{};
}

void tape_block_reader_byte(TapeBlockReader* r, uint8_t byte, uint64_t at) {
  TapeBlock& b = r->block;
  if (r->state != kLeader) b.last = at;
  switch (r->state) {
  case kLeader:
    if (byte == 0) {
      if (r->zeros == 0) r->leader = at;
      if (r->zeros < 255) ++r->zeros;
    } else if (byte == TAPE_SYNC && r->zeros >= TAPE_BLOCK_MIN_LEADER) {
      b = TapeBlock{};
      b.start = r->leader;
      b.last = at;
      r->state = kName;
    } else {
      r->zeros = 0;
    }
    break;
  case kName:
    if (byte == 0) {
      r->state = kAddress;
      r->count = 0;
    } else if (b.name.size() < TAPE_BLOCK_NAME_MAX) {
      b.name += static_cast<char>(byte);
    }
    break;
  case kAddress:
    b.address = static_cast<uint16_t>(b.address | byte << (8 * r->count));
    if (++r->count == 2) {
      r->state = kLength;
      r->count = 0;
    }
    break;
  case kLength:
    b.length = static_cast<uint16_t>(b.length | byte << (8 * r->count));
    if (++r->count == 2) {
      r->state = b.length ? kData : kChecksum;
      b.data.reserve(b.length);
    }
    break;
  case kData:
    b.data.push_back(byte);
    if (b.data.size() == b.length) r->state = kChecksum;
    break;
  default:
    b.checksum = byte;
    finish(r, true);
    break;
  }
}

void tape_block_reader_gap(TapeBlockReader* r) {
  if (r->state != kLeader) finish(r, false);
  r->zeros = 0;
}

std::vector<TapeBlock> tape_blocks_of_image(const uint8_t* bytes, size_t size) {
  std::vector<TapeBlock> blocks;
  TapeBlockReader r;
  tape_block_reader_start(&r, &blocks);
  for (size_t i = 0; i < size; ++i) tape_block_reader_byte(&r, bytes[i], i);
  tape_block_reader_end(&r);
  return blocks;
}

void tape_block_append(std::vector<uint8_t>* out, const TapeBlock& block) {
  out->insert(out->end(), TAPE_LEADER_BYTES, 0x00);
  out->push_back(TAPE_SYNC);
  for (char c : block.name.substr(0, TAPE_BLOCK_NAME_MAX)) out->push_back(static_cast<uint8_t>(c));
  out->push_back(0x00);
  out->push_back(static_cast<uint8_t>(block.address));
  out->push_back(static_cast<uint8_t>(block.address >> 8));
  out->push_back(static_cast<uint8_t>(block.length));
  out->push_back(static_cast<uint8_t>(block.length >> 8));
  out->insert(out->end(), block.data.begin(), block.data.end());
  out->push_back(block.checksum);
  out->push_back(0x00);
  out->push_back(0x00);
}

std::string tape_block_line(const TapeBlock& block) {
  std::string name;
  for (char c : block.name) name += c >= 0x20 && c < 0x7F ? c : '?';
  const unsigned last = (block.address + (block.length ? block.length - 1u : 0u)) & 0xFFFFu;
  char line[160];
  std::snprintf(line, sizeof line, "%-16s %04X-%04X %5u byte  %s", name.c_str(), block.address,
                last, static_cast<unsigned>(block.length),
                !block.complete    ? "csonka"
                : block.checksumOk ? "ellenőrzőösszeg jó"
                                   : "ellenőrzőösszeg HIBÁS");
  return line;
}
