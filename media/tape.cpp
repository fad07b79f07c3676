// TKT tape images: the ROM tape-routine traps, attaching, autoload and
// writing a memory range as a tape image.
#include "media/tape.h"

#include <cstdlib>
#include <cstring>

#include "cpu/cpu.h"
#include "cpu/state_io.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "media/files.h"
#include "media/hooks.h"
#include "media/save_file.h"

namespace {

// ROM addresses of the patched routines and the system variables.
constexpr uint32_t kReadByteRoutine = 0x067C;  // NOP; OUT (0FFh),A; bit-level read up to 0x069B
constexpr uint32_t kWriteByteRoutine = 0x06CC; // NOP; OUT (0FFh),A; bit-level write up to 0x06E2
constexpr uint32_t kBeginSaveRoutine = 0x06AD; // LD HL,06C9h; LD (400Ch),HL
constexpr uint16_t kByteOutput = 0x06C9;       // the ROM's tape byte-output routine
constexpr uint16_t kOutputVector = 0x400C;
constexpr uint16_t kMemoryTop = 0x4016;
constexpr uint16_t kEndOfBasic = 0x4018;
constexpr uint16_t kRandomSeed = 0x4022;
constexpr uint16_t kStartOfBasic = 0x4030;
constexpr uint16_t kRunProgram = 0x179D;
constexpr uint16_t kScreenOutput = 0x0616;
constexpr uint32_t kRamStart = 0x4000, kRamEnd = 0x7FFF;
constexpr size_t kTapeNameLength = 16;

const char kTapeFilter[] = "Tarvik tape files (*.tkt)\0*.tkt\0All Files (*.*)\0*.*\0";

uint16_t word_at(uint32_t address) {
  return static_cast<uint16_t>(memory[address] | memory[address + 1] << 8);
}
void set_word(uint32_t address, uint16_t value) {
  memory[address] = static_cast<uint8_t>(value);
  memory[address + 1] = static_cast<uint8_t>(value >> 8);
}

// The part of a path after its last directory separator.
const char* base_name(const char* path) {
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  return name;
}

// When the read trap last took a byte of the attached image.
int64_t lastReadTime = INT64_MIN;

TapeImage attached;
uint32_t imageSerial;

// Forgets the attached or recording tape file.
void detach() {
  if (tapeFile) ++imageSerial;
  attached.bytes.clear();
  attached.bytes.shrink_to_fit();
  attached.position = 0;
  attached.ended = false;
  tapeFile = nullptr;
  tapeActive = 0;
  tapeFileName[0] = '\0';
}

// An autoload or an export ends the use of an attached tape image.
void close_attached_for_transfer() {
  if (!tapeFile) return;
  media_message("Kazetta-file (%s) lezárva%s", tapeFileName, ".");
  detach();
}

// A read past the end of the image gives 0xFF.
uint8_t read_image_byte() {
  if (attached.position >= attached.bytes.size()) {
    attached.ended = true;
    return 0xFF;
  }
  return attached.bytes[attached.position++];
}

// Reads a whole file; false when it cannot be read.
bool read_whole(std::FILE* f, std::vector<uint8_t>* bytes) {
  bytes->clear();
  uint8_t block[4096];
  for (;;) {
    const size_t got = std::fread(block, 1, sizeof block, f);
    bytes->insert(bytes->end(), block, block + got);
    if (got < sizeof block) return !std::ferror(f);
  }
}

// A read past the end of the file gives 0xFF.
uint8_t read_byte(std::FILE* f) {
  int c = std::getc(f);
  return c == EOF ? 0xFF : static_cast<uint8_t>(c);
}
uint16_t read_word(std::FILE* f) {
  uint8_t low = read_byte(f);
  return static_cast<uint16_t>(low | read_byte(f) << 8);
}

bool put_bytes(std::FILE* f, const uint8_t* bytes, size_t count) {
  return count == 0 || std::fwrite(bytes, 1, count, f) == count;
}

bool copy_name(const char* path) {
  size_t length = std::strlen(path);
  if (length >= TAPE_NAME_SIZE) return false;
  std::memcpy(tapeFileName, path, length + 1);
  return true;
}

} // namespace

// Record 0 and 1: NOP, OUT (0FFh),A, ED n, then NOPs up to the ROM's own
// OUT (7Fh),A. Record 2: ED n and four NOPs in place of the two
// instructions that point the output vector at the byte-output routine.
TrapRecord tapeTraps[4] = {
    {tape_read_byte_trap, kReadByteRoutine, 31, 4, {0x00, 0xD3, 0xFF, 0xED, 0x00}, {}},
    {tape_write_byte_trap, kWriteByteRoutine, 22, 4, {0x00, 0xD3, 0xFF, 0xED, 0x00}, {}},
    {tape_begin_save_trap, kBeginSaveRoutine, 6, 1, {0xED, 0x00}, {}},
    {nullptr, 0, 0, 0, {}, {}},
};
char tapeFileName[TAPE_NAME_SIZE];
uint32_t tapeActive;
const TapeImage* tapeFile;

void tape_traps_install() {
  if (model() == MODEL_VELTRA16) return;
  trap_install(tapeTraps, memory);
}

void tape_traps_remove() {
  for (int k = 0; k < 3; ++k) trap_remove(&tapeTraps[k], memory);
}

void tape_memory_reset(MemoryResetPhase phase) {
  if (phase == MEMORY_RESET_BEFORE_ROM)
    tape_traps_remove();
  else
    tape_traps_install();
}

bool tape_traps_installed() {
  for (int k = 0; k < 3; ++k) {
    bool found = false;
    for (uint32_t slot = 0; slot < trapCount; ++slot)
      found = found || trapSlots[slot] == &tapeTraps[k];
    if (!found) return false;
  }
  return true;
}

// Returns the whole byte at once, with carry set and the zero flag from the
// byte. After the image's last byte one 0xFF follows; the call after that
// detaches the tape and returns with A and F as they were (carry clear from
// the caller: no byte came). With no tape the machine reads 0x00 bytes.
void tape_read_byte_trap(uint32_t*) {
  if (tapeFile && attached.ended) {
    detach();
    return;
  }
  if (tapeFile) lastReadTime = cpu.tcount;
  uint8_t b = tapeFile ? read_image_byte() : 0;
  uint8_t f = static_cast<uint8_t>(cpu.af.l | FLAG_C);
  f = b == 0 ? static_cast<uint8_t>(f | FLAG_Z) : static_cast<uint8_t>(f & ~FLAG_Z);
  cpu.af.h = b;
  cpu.af.l = f;
}

// Appends A to the file chosen by the begin-save trap; the byte is on disk
// when the trap returns. An image attached for reading is never written.
// When a byte cannot be written (a full disk) the recording ends there with
// a status message; the bytes of the save that follow are lost.
void tape_write_byte_trap(uint32_t*) {
  if (!tapeActive || tapeFile || !tapeFileName[0]) return;
  std::FILE* f = std::fopen(tapeFileName, "ab");
  bool ok = f && std::fputc(cpu.af.h, f) != EOF;
  if (f && std::fclose(f) != 0) ok = false;
  if (ok) return;
  media_message("Hiba: a kazetta-file (%s) írása sikertelen, a mentés félbeszakadt.",
                base_name(tapeFileName));
  tapeActive = 0;
  tapeFileName[0] = '\0';
}

// Does what the two replaced instructions did, then asks for the file that
// the save goes to. A cancelled dialog lets the save run with its bytes lost.
// An image attached for reading is closed first: the save's file is the tape
// from here on.
void tape_begin_save_trap(uint32_t*) {
  cpu.hl.w = kByteOutput;
  set_word(kOutputVector, kByteOutput);
  close_attached_for_transfer();
  tapeActive = 0;
  tapeFileName[0] = '\0';
  char path[TAPE_NAME_SIZE];
  mediaHooks.dialogBegin();
  bool chosen = mediaHooks.saveFileDialog("TKT kazettaállomány mentése...", kTapeFilter, "tkt",
                                          path, sizeof path);
  mediaHooks.dialogEnd();
  if (!chosen || !path[0]) return;
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return;
  std::fclose(f);
  if (copy_name(path)) tapeActive = 1;
}

bool tape_attach(const char* path) {
  tape_traps_install();
  detach();
  if (!path || !copy_name(path)) return false;
  lastReadTime = INT64_MIN;
  std::FILE* f = media_open_for_reading(tapeFileName);
  const bool read = f && read_whole(f, &attached.bytes);
  if (f) std::fclose(f);
  if (!read) {
    detach();
    return false;
  }
  attached.position = 0;
  attached.ended = false;
  tapeFile = &attached;
  tapeActive = 1;
  ++imageSerial;
  return true;
}

uint32_t tape_image_serial() { return imageSerial; }

bool tape_wind_to(size_t offset) {
  if (!tapeFile) return false;
  attached.position = offset < attached.bytes.size() ? offset : attached.bytes.size();
  attached.ended = false;
  return true;
}

bool tape_being_read(int64_t now) {
  return tapeFile && lastReadTime != INT64_MIN && now >= lastReadTime &&
         now - lastReadTime <= static_cast<int64_t>(cpu.clockHz);
}

bool tape_autoload(const char* path) {
  close_attached_for_transfer();
  std::FILE* f = media_open_for_reading(path);
  if (!f) return false;
  uint16_t memoryTop = word_at(kMemoryTop);
  WriteHandler write = cpu_default_write();

  // Whatever comes before the first leader byte is skipped.
  for (int c = std::getc(f); c != EOF && c != 0x00; c = std::getc(f)) {}

  unsigned blocks = 0;
  uint16_t load = 0, length = 0;
  // Where the file ended inside a block: in its header, or after `present`
  // of its data bytes.
  enum class Cut { None, Header, Data } cut = Cut::None;
  uint32_t present = 0;
  for (;;) {
    int c = std::getc(f);
    while (c == 0x00) c = std::getc(f);
    if (c == EOF && blocks > 0) break; // the leader ran to the end of the tape
    if (c != TAPE_SYNC) {
      std::fclose(f);
      media_message("Hibás TKT állomány: %s", path);
      return false;
    }
    for (c = std::getc(f); c != EOF && c != 0x00; c = std::getc(f)) {} // the name
    ++blocks;
    load = read_word(f);
    length = read_word(f);
    if (std::feof(f)) cut = Cut::Header;
    media_debug_line("Load Address:%04X Blocksize: %u\n", load, length);
    for (uint32_t i = 0; i < length; ++i) {
      uint8_t b = read_byte(f);
      if (cut == Cut::None && std::feof(f)) {
        cut = Cut::Data;
        present = i;
      }
      uint32_t address = load + i;
      if (address >= kRamStart && address <= kRamEnd) write(static_cast<uint16_t>(address), b);
    }
    read_byte(f); // checksum, not checked
    read_byte(f); // trailer
    c = std::getc(f);
    if (c == EOF || c != 0x00) break;
    std::ungetc(c, f);
  }

  set_word(kMemoryTop, memoryTop);
  if (load == kMemoryTop) {
    // A BASIC program saved with its system variables: run it from the
    // start-of-program pointer, with the output vector back on the screen.
    cpu.pc = kRunProgram;
    memory[kOutputVector] = static_cast<uint8_t>(kScreenOutput);
    memory[kOutputVector + 1] = static_cast<uint8_t>(kScreenOutput >> 8);
    if (memory[kRandomSeed] == 0) memory[kRandomSeed] = static_cast<uint8_t>(std::rand());
  }
  media_debug_line("Memtop 0x4016:%04X, End of BASIC 0x4018: %04Xh, Start of BASIC 0x4030: %04Xh\n",
                   word_at(kMemoryTop), word_at(kEndOfBasic), word_at(kStartOfBasic));
  // A cut block shows the bytes the file held, never past FFFFh.
  uint32_t last = load + present - 1;
  if (last > 0xFFFF) last = 0xFFFF;
  if (cut == Cut::Header || (cut == Cut::Data && present == 0))
    media_message("%s: a file a(z) %u. blokk %s véget ért, a betöltés hiányos.", base_name(path),
                  blocks, cut == Cut::Header ? "fejlécében" : "közepén");
  else if (cut == Cut::Data)
    media_message("%s (%04Xh-%04Xh): a file a(z) %u. blokk közepén véget ért, a betöltés hiányos.",
                  base_name(path), load, static_cast<unsigned>(last), blocks);
  else
    media_message(
        "%s (%04Xh-%04Xh) sikeresen betöltve (%u blokk).", base_name(path), load,
        static_cast<unsigned>(static_cast<uint16_t>(load + static_cast<uint16_t>(length - 1))),
        blocks);
  std::fclose(f);
  return true;
}

bool tape_save_memory(const char* path, uint32_t start, uint32_t length, const uint8_t* bytes) {
  close_attached_for_transfer();
  if (!path || length > 0xFFFF || (length > 0 && !bytes)) return false;
  SaveFile save;
  std::FILE* f = save_file_open(&save, path);
  if (!f) return false;

  // The tape name: the file name without its extension, at most 16 characters.
  const char* name = base_name(path);
  const char* dot = std::strrchr(name, '.');
  size_t nameLength = dot ? static_cast<size_t>(dot - name) : std::strlen(name);
  if (nameLength > kTapeNameLength) nameLength = kTapeNameLength;

  uint8_t leader[TAPE_LEADER_BYTES] = {};
  uint8_t sync = TAPE_SYNC, end = 0x00;
  uint8_t header[4] = {static_cast<uint8_t>(start), static_cast<uint8_t>(start >> 8),
                       static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8)};
  uint8_t checksum = 0;
  for (uint32_t i = 0; i < length; ++i) checksum = static_cast<uint8_t>(checksum + bytes[i]);

  bool ok = put_bytes(f, leader, sizeof leader) && put_bytes(f, &sync, 1) &&
            put_bytes(f, reinterpret_cast<const uint8_t*>(name), nameLength) &&
            put_bytes(f, &end, 1) && put_bytes(f, header, sizeof header) &&
            put_bytes(f, bytes, length) && put_bytes(f, &checksum, 1) && put_bytes(f, &end, 1);
  return save_file_commit(&save, ok);
}

bool tape_close() {
  if (!tapeFile && !tapeActive) return false;
  media_message("Kazetta-file (%s) lezárva.", tapeFileName);
  detach();
  return true;
}

namespace {
enum : uint32_t { kTapeTrapSet = 1 };
}

void tape_connect() { trap_declare_set(kTapeTrapSet, tapeTraps); }

void tape_state_save(StateWriter& w) {
  w.text(tapeFileName, sizeof tapeFileName);
  w.u8(static_cast<uint8_t>(tapeActive));
  w.i64(lastReadTime);
  w.u8(tapeFile ? 1 : 0);
  if (!tapeFile) return;
  w.u8(attached.ended ? 1 : 0);
  w.u32(static_cast<uint32_t>(attached.position));
  w.u32(static_cast<uint32_t>(attached.bytes.size()));
  w.bytes(attached.bytes.data(), attached.bytes.size());
}

bool tape_state_load(StateReader& r, bool apply) {
  char name[TAPE_NAME_SIZE];
  if (!r.text(name, sizeof name, true)) return false;
  const uint8_t active = r.u8();
  const int64_t readTime = r.i64();
  const uint8_t image = r.u8();
  uint8_t ended = 0;
  uint32_t position = 0, size = 0;
  const uint8_t* bytes = nullptr;
  if (image) {
    ended = r.u8();
    position = r.u32();
    size = r.u32();
    bytes = r.view(size);
  }
  if (!r.ok() || active > 1 || image > 1 || ended > 1 || position > size) return r.fail();
  if (!apply) return true;
  detach();
  std::memcpy(tapeFileName, name, sizeof name);
  tapeActive = active;
  lastReadTime = readTime;
  if (image) {
    attached.bytes.assign(bytes, bytes + size);
    attached.position = position;
    attached.ended = ended != 0;
    tapeFile = &attached;
    ++imageSerial;
  }
  return true;
}
