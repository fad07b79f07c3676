// TKS snapshots. Layout (little-endian; a register pair as its 16-bit value):
//   0 "TK01"; 4 BC; 6 DE; 8 HL; 10 AF; 12 BC'; 14 DE'; 16 HL'; 18 AF';
//   20 PC; 22 SP; 24 reserved; 26 IX; 28 IY; 30 8 bytes reserved;
//   38 memory 0x4000-0x1FFFF; 114 726 512 bytes reserved.
#include "media/snapshot.h"

#include <cstdio>
#include <cstring>

#include "cpu/cpu.h"
#include "media/save_file.h"

namespace {

constexpr char kMagic[4] = {'T', 'K', '0', '1'};

// One file image, kept outside the stack.
uint8_t image[SNAPSHOT_BYTES];

void put16(uint32_t offset, uint16_t value) {
  image[offset] = static_cast<uint8_t>(value);
  image[offset + 1] = static_cast<uint8_t>(value >> 8);
}
uint16_t get16(uint32_t offset) {
  return static_cast<uint16_t>(image[offset] | image[offset + 1] << 8);
}

} // namespace

bool snapshot_save(const char* path, const uint8_t* ram) {
  if (!path || !ram) return false;
  SaveFile save;
  std::FILE* f = save_file_open(&save, path);
  if (!f) return false;
  std::memset(image, 0, sizeof image);
  std::memcpy(image, kMagic, sizeof kMagic);
  put16(4, cpu.bc.w);
  put16(6, cpu.de.w);
  put16(8, cpu.hl.w);
  put16(10, cpu.af.w);
  put16(12, cpu.bc_alt.w);
  put16(14, cpu.de_alt.w);
  put16(16, cpu.hl_alt.w);
  put16(18, cpu.af_alt.w);
  put16(20, cpu.pc);
  put16(22, cpu.sp);
  put16(26, cpu.ix.w);
  put16(28, cpu.iy.w);
  std::memcpy(image + SNAPSHOT_MEMORY_OFFSET, ram, SNAPSHOT_MEMORY_BYTES);
  return save_file_commit(&save, std::fwrite(image, 1, sizeof image, f) == sizeof image);
}

bool snapshot_load(const char* path, uint8_t* ram) {
  if (!path || !ram) return false;
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  size_t got = std::fread(image, 1, sizeof image, f);
  std::fclose(f);
  if (got != sizeof image || std::memcmp(image, kMagic, sizeof kMagic) != 0) return false;
  cpu.bc.w = get16(4);
  cpu.de.w = get16(6);
  cpu.hl.w = get16(8);
  cpu.af.w = get16(10);
  cpu.bc_alt.w = get16(12);
  cpu.de_alt.w = get16(14);
  cpu.hl_alt.w = get16(16);
  cpu.af_alt.w = get16(18);
  cpu.pc = get16(20);
  cpu.sp = get16(22);
  cpu.ix.w = get16(26);
  cpu.iy.w = get16(28);
  std::memcpy(ram, image + SNAPSHOT_MEMORY_OFFSET, SNAPSHOT_MEMORY_BYTES);
  return true;
}
