// TKT tape images: the ROM traps, attaching, autoload and export.
#include <sys/stat.h>

#include <cstdlib>

#include "host/core/debug_output.h"
#include "host/core/pacing.h"
#include "host/headless/headless.h"
#include "host/output/status.h"
#include "tests/media/media_fixture.h"

namespace {

// A tape block as the export writes it.
std::vector<uint8_t> block(const std::string& name, uint16_t load, const std::vector<uint8_t>& data,
                           size_t leader = 256) {
  std::vector<uint8_t> b(leader, 0x00);
  b.push_back(0xA5);
  b.insert(b.end(), name.begin(), name.end());
  b.push_back(0x00);
  b.push_back(static_cast<uint8_t>(load));
  b.push_back(static_cast<uint8_t>(load >> 8));
  b.push_back(static_cast<uint8_t>(data.size()));
  b.push_back(static_cast<uint8_t>(data.size() >> 8));
  b.insert(b.end(), data.begin(), data.end());
  uint8_t sum = 0;
  for (uint8_t d : data) sum = static_cast<uint8_t>(sum + d);
  b.push_back(sum);
  b.push_back(0x00);
  return b;
}

std::vector<uint8_t> pattern(size_t n, uint8_t seed) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(seed + i * 13 + (i >> 8));
  return v;
}

void set_word(uint32_t address, uint16_t value) {
  memory[address] = static_cast<uint8_t>(value);
  memory[address + 1] = static_cast<uint8_t>(value >> 8);
}
uint16_t word(uint32_t address) {
  return static_cast<uint16_t>(memory[address] | memory[address + 1] << 8);
}

uint32_t trap_number_at(uint32_t address) { return memory[address]; }

using TapeTraps = MediaTest;
using TapeAutoload = MediaTest;
using TapeExport = MediaTest;
using TapeReadTrap = MediaTest;
using TapeSaveTraps = MediaTest;

} // namespace

// ---- the patches -------------------------------------------------------------

TEST_F(TapeTraps, FreshTablePatchesTheThreeRoutinesWithNumbersZeroToTwo) {
  EXPECT_TRUE(tape_traps_installed());
  EXPECT_EQ(trapCount, 3u);
  const uint8_t readPatch[5] = {0x00, 0xD3, 0xFF, 0xED, 0x00};
  const uint8_t writePatch[5] = {0x00, 0xD3, 0xFF, 0xED, 0x01};
  EXPECT_EQ(std::memcmp(memory + 0x067C, readPatch, 5), 0);
  EXPECT_EQ(std::memcmp(memory + 0x06CC, writePatch, 5), 0);
  EXPECT_EQ(memory[0x06AD], 0xED);
  EXPECT_EQ(trap_number_at(0x06AE), 2u);
  // NOPs up to the ROM's own OUT (7Fh),A at 0x069B and 0x06E2, and 0x06B3.
  for (uint32_t a = 0x0681; a < 0x069B; ++a) EXPECT_EQ(memory[a], 0x00) << std::hex << a;
  for (uint32_t a = 0x06D1; a < 0x06E2; ++a) EXPECT_EQ(memory[a], 0x00) << std::hex << a;
  for (uint32_t a = 0x06AF; a < 0x06B3; ++a) EXPECT_EQ(memory[a], 0x00) << std::hex << a;
  // The bytes after the patches are the ROM's own.
  EXPECT_EQ(memory[0x069B], pristine_rom()[0x069B]);
  EXPECT_EQ(memory[0x06E2], pristine_rom()[0x06E2]);
  EXPECT_EQ(memory[0x06B3], pristine_rom()[0x06B3]);
}

TEST_F(TapeTraps, RemovePutsTheRomBackAndInstallTwiceKeepsOneEntry) {
  tape_traps_install();
  EXPECT_EQ(trapCount, 3u);
  tape_traps_remove();
  EXPECT_EQ(trapCount, 0u);
  EXPECT_FALSE(tape_traps_installed());
  for (uint32_t a = 0x0600; a < 0x0700; ++a)
    ASSERT_EQ(memory[a], pristine_rom()[a]) << std::hex << a;
}

TEST_F(TapeTraps, VeltraNeverGetsThem) {
  media_machine_reset(3);
  EXPECT_FALSE(tape_traps_installed());
  EXPECT_EQ(trapCount, 0u);
  std::string path = temp_path("v.tkt");
  write_file(path, {1, 2, 3});
  tape_attach(path.c_str());
  EXPECT_EQ(trapCount, 0u);
  EXPECT_EQ(std::memcmp(memory + 0x0600, pristine_rom() + 0x0600, 0x100), 0);
}

// The patched ROM routine as the CPU runs it: ED n reaches the handler.
TEST_F(TapeTraps, PatchedReadRoutineDeliversTheByteThroughTheCpu) {
  std::string path = temp_path("cpu.tkt");
  write_file(path, {0x5A});
  ASSERT_TRUE(tape_attach(path.c_str()));
  cpu.pc = 0x067C;
  cpu.af.w = 0x0000;
  while (cpu.pc != 0x069B) cpu_run(0);
  EXPECT_EQ(cpu.af.h, 0x5A);
  EXPECT_TRUE(cpu.af.l & FLAG_C);
  EXPECT_FALSE(cpu.af.l & FLAG_Z);
}

// ---- autoload ----------------------------------------------------------------

TEST_F(TapeAutoload, ExportedBlockComesBackAtTheSameAddressesAsOneBlock) {
  std::vector<uint8_t> data = pattern(0x1234, 9);
  std::string path = temp_path("round.tkt");
  ASSERT_TRUE(
      tape_save_memory(path.c_str(), 0x5000, static_cast<uint32_t>(data.size()), data.data()));
  set_word(0x4016, 0xBEEF);
  ASSERT_TRUE(tape_autoload(path.c_str()));
  EXPECT_EQ(std::memcmp(memory + 0x5000, data.data(), data.size()), 0);
  EXPECT_EQ(memory[0x4FFF], 0);
  EXPECT_EQ(memory[0x5000 + data.size()], 0);
  EXPECT_EQ(word(0x4016), 0xBEEF);
  std::string base = path.substr(path.find_last_of('/') + 1);
  EXPECT_STREQ(headless_status_text(3),
               (base + " (5000h-6233h) sikeresen betöltve (1 blokk).").c_str());
  EXPECT_STREQ(debug_last_line(),
               "Memtop 0x4016:BEEF, End of BASIC 0x4018: 0000h, Start of BASIC 0x4030: 0000h\n");
}

TEST_F(TapeAutoload, SeveralBlocksCountAndTheLastOneIsReported) {
  std::vector<uint8_t> file = {0x33, 0x44}; // skipped up to the first 0x00
  auto b1 = block("ONE", 0x4100, pattern(16, 1), 10);
  auto b2 = block("TWO", 0x6000, pattern(32, 2), 1);
  file.insert(file.end(), b1.begin(), b1.end());
  file.insert(file.end(), b2.begin(), b2.end());
  std::string path = temp_path("two.tkt");
  write_file(path, file);
  ASSERT_TRUE(tape_autoload(path.c_str()));
  EXPECT_EQ(memory[0x4100], pattern(16, 1)[0]);
  EXPECT_EQ(memory[0x601F], pattern(32, 2)[31]);
  EXPECT_NE(
      std::string(headless_status_text(3)).find("(6000h-601Fh) sikeresen betöltve (2 blokk)."),
      std::string::npos)
      << headless_status_text(3);
}

// What the ROM's save writes: the trailer and then one more 0x00.
TEST_F(TapeAutoload, FileEndingInTheRomsExtraZeroLoadsAndRestoresMemoryTop) {
  auto file = block("PROG", 0x4200, pattern(100, 5));
  file.push_back(0x00);
  std::string path = temp_path("rom.tkt");
  write_file(path, file);
  set_word(0x4016, 0x7FFF);
  status_message("%s", "");
  ASSERT_TRUE(tape_autoload(path.c_str()));
  EXPECT_EQ(word(0x4016), 0x7FFF);
  EXPECT_EQ(std::memcmp(memory + 0x4200, pattern(100, 5).data(), 100), 0);
  EXPECT_NE(
      std::string(headless_status_text(3)).find("(4200h-4263h) sikeresen betöltve (1 blokk)."),
      std::string::npos);
}

TEST_F(TapeAutoload, OnlyRamFrom4000To7FFFIsWritten) {
  std::vector<uint8_t> file = block("HIGH", 0x7F00, pattern(0x200, 3));
  auto low = block("LOW", 0x2000, pattern(0x2100, 4));
  file.insert(file.end(), low.begin(), low.end());
  std::string path = temp_path("range.tkt");
  write_file(path, file);
  std::vector<uint8_t> rom(memory, memory + 0x4000);
  ASSERT_TRUE(tape_autoload(path.c_str()));
  EXPECT_EQ(memory[0x7FFF], pattern(0x200, 3)[0xFF]);
  for (uint32_t a = 0x8000; a < 0x8100; ++a) ASSERT_EQ(memory[a], 0) << std::hex << a;
  EXPECT_TRUE(std::equal(rom.begin(), rom.end(), memory));
  // 0x2000 + 0x2000 = 0x4000: the part of the low block inside RAM arrives.
  EXPECT_EQ(memory[0x4000], pattern(0x2100, 4)[0x2000]);
  EXPECT_EQ(memory[0x40FF], pattern(0x2100, 4)[0x20FF]);
}

TEST_F(TapeAutoload, BasicWithSystemVariablesStartsTheProgram) {
  std::vector<uint8_t> vars(0x40, 0x11); // 0x4016-0x4055
  vars[0x4022 - 0x4016] = 0x00;          // no random seed yet
  std::string path = temp_path("basic.tkt");
  write_file(path, block("B", 0x4016, vars));
  std::srand(7);
  int expected = std::rand() & 0xFF;
  ASSERT_NE(expected, 0);
  std::srand(7);
  set_word(0x4016, 0x77FF);
  ASSERT_TRUE(tape_autoload(path.c_str()));
  EXPECT_EQ(cpu.pc, 0x179D);
  EXPECT_EQ(memory[0x400C], 0x16);
  EXPECT_EQ(memory[0x400D], 0x06);
  EXPECT_EQ(memory[0x4022], expected);
  EXPECT_EQ(word(0x4016), 0x77FF); // memory top restored over the loaded one

  vars[0x4022 - 0x4016] = 0x5C;
  write_file(path, block("B", 0x4016, vars));
  ASSERT_TRUE(tape_autoload(path.c_str()));
  EXPECT_EQ(memory[0x4022], 0x5C);
}

TEST_F(TapeAutoload, OtherLoadAddressLeavesPcAndVectorAlone) {
  std::string path = temp_path("code.tkt");
  write_file(path, block("C", 0x4017, pattern(8, 1)));
  cpu.pc = 0x1234;
  memory[0x400C] = 0xAA;
  ASSERT_TRUE(tape_autoload(path.c_str()));
  EXPECT_EQ(cpu.pc, 0x1234);
  EXPECT_EQ(memory[0x400C], 0xAA);
}

TEST_F(TapeAutoload, MissingSyncFailsKeepingEarlierBlocksAndSaysSo) {
  auto file = block("A", 0x4400, pattern(4, 1));
  file.push_back(0x00);
  file.push_back(0x00);
  file.push_back(0x5A); // not the sync byte
  std::string path = temp_path("bad.tkt");
  write_file(path, file);
  set_word(0x4016, 0x1111);
  EXPECT_FALSE(tape_autoload(path.c_str()));
  EXPECT_EQ(memory[0x4400], pattern(4, 1)[0]);
  EXPECT_STREQ(headless_status_text(3), ("Hibás TKT állomány: " + path).c_str());

  write_file(path, {0x00, 0x00, 0x00});
  status_message("%s", "before");
  EXPECT_FALSE(tape_autoload(path.c_str())); // a leader without any block
  EXPECT_STREQ(headless_status_text(3), ("Hibás TKT állomány: " + path).c_str());
}

// A file that is not there or cannot be read is named in the status bar;
// nothing is attached.
TEST_F(TapeAutoload, MissingOrUnreadableFileIsNamed) {
  const std::string missing = temp_path("nincs.tkt");
  EXPECT_FALSE(tape_autoload(missing.c_str()));
  EXPECT_STREQ(headless_status_text(3), ("Nincs ilyen állomány: " + missing).c_str());
  status_message("%s", "");
  EXPECT_FALSE(tape_attach(missing.c_str()));
  EXPECT_STREQ(headless_status_text(3), ("Nincs ilyen állomány: " + missing).c_str());
  EXPECT_EQ(tapeActive, 0u);
  const std::string wav = temp_path("nincs.wav");
  EXPECT_FALSE(wav_menu_attach(wav.c_str()));
  EXPECT_STREQ(headless_status_text(3), ("Nincs ilyen állomány: " + wav).c_str());
  wav_menu_close();

  // A folder opens on some systems but reads nothing.
  const std::string folder = temp_path("mappa");
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  EXPECT_FALSE(tape_autoload(folder.c_str()));
  EXPECT_STREQ(headless_status_text(3), ("Az állomány nem olvasható: " + folder).c_str());
  EXPECT_FALSE(tape_attach(folder.c_str()));
  EXPECT_STREQ(headless_status_text(3), ("Az állomány nem olvasható: " + folder).c_str());
}

// A file cut inside a block loads what it holds (missing bytes as 0xFF)
// but does not claim success, and the range shown does not wrap.
TEST_F(TapeAutoload, FileEndingInsideABlockIsReportedAsCut) {
  auto whole = block("S", 0x4100, pattern(10, 1));
  const std::string path = temp_path("csonka.tkt");
  const std::string base = path.substr(path.find_last_of('/') + 1);
  // In the header: the length's second byte is missing.
  write_file(path, std::vector<uint8_t>(whole.begin(), whole.begin() + 256 + 1 + 2 + 3));
  EXPECT_TRUE(tape_autoload(path.c_str()));
  EXPECT_STREQ(headless_status_text(3),
               (base + ": a file a(z) 1. blokk fejlécében véget ért, a betöltés hiányos.").c_str());
  // In the data: 4 of the 10 bytes are there.
  write_file(path, std::vector<uint8_t>(whole.begin(), whole.begin() + 256 + 1 + 2 + 4 + 4));
  EXPECT_TRUE(tape_autoload(path.c_str()));
  EXPECT_EQ(memory[0x4103], pattern(10, 1)[3]);
  EXPECT_EQ(memory[0x4104], 0xFF);
  EXPECT_STREQ(
      headless_status_text(3),
      (base + " (4100h-4103h): a file a(z) 1. blokk közepén véget ért, a betöltés hiányos.")
          .c_str());
  // A whole block without its checksum and trailer still counts as loaded.
  write_file(path, std::vector<uint8_t>(whole.begin(), whole.end() - 2));
  EXPECT_TRUE(tape_autoload(path.c_str()));
  EXPECT_STREQ(headless_status_text(3),
               (base + " (4100h-4109h) sikeresen betöltve (1 blokk).").c_str());
}

TEST_F(TapeAutoload, ShortFileReadsMissingDataAsFF) {
  auto whole = block("S", 0x4800, pattern(10, 1));
  // No checksum, no trailer, 4 data bytes missing.
  std::vector<uint8_t> file(whole.begin(), whole.end() - 6);
  std::string path = temp_path("short.tkt");
  write_file(path, file);
  ASSERT_TRUE(tape_autoload(path.c_str()));
  EXPECT_EQ(memory[0x4805], pattern(10, 1)[5]);
  for (uint32_t a = 0x4806; a < 0x480A; ++a) EXPECT_EQ(memory[a], 0xFF);
  EXPECT_EQ(memory[0x480A], 0x00);
}

TEST_F(TapeAutoload, ClosesAnAttachedImageWithAMessage) {
  std::string attached = temp_path("att.tkt");
  write_file(attached, {1, 2, 3});
  ASSERT_TRUE(tape_attach(attached.c_str()));
  EXPECT_FALSE(tape_autoload(nullptr)); // fails, but the attached image is closed first
  EXPECT_EQ(tapeFile, nullptr);
  EXPECT_EQ(tapeActive, 0u);
  EXPECT_STREQ(headless_status_text(3), ("Kazetta-file (" + attached + ") lezárva.").c_str());
  // An empty file loads nothing and says so after the closing.
  ASSERT_TRUE(tape_attach(attached.c_str()));
  std::string path = temp_path("load.tkt");
  write_file(path, {});
  EXPECT_FALSE(tape_autoload(path.c_str()));
  EXPECT_EQ(tapeFile, nullptr);
  EXPECT_STREQ(headless_status_text(3), ("Hibás TKT állomány: " + path).c_str());
}

// ---- export ------------------------------------------------------------------

TEST_F(TapeExport, LayoutNameChecksumAndTrailer) {
  std::string path = temp_path("ABCDEFGHIJKLMNOPQRST.tkt"); // 20 characters before ".tkt"
  std::vector<uint8_t> data = {0x80, 0x90, 0xF0};
  ASSERT_TRUE(tape_save_memory(path.c_str(), 0x4321, 3, data.data()));
  auto f = read_file(path);
  std::string base = path.substr(path.find_last_of('/') + 1);
  std::string name = base.substr(0, base.rfind('.')).substr(0, 16);
  ASSERT_EQ(name.size(), 16u);
  ASSERT_EQ(f.size(), 256 + 1 + 16 + 1 + 4 + 3 + 2u);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(f[i], 0x00);
  EXPECT_EQ(f[256], 0xA5);
  EXPECT_EQ(std::string(f.begin() + 257, f.begin() + 273), name);
  EXPECT_EQ(f[273], 0x00);
  EXPECT_EQ(le16(f, 274), 0x4321);
  EXPECT_EQ(le16(f, 276), 3);
  EXPECT_EQ(f[278], 0x80);
  EXPECT_EQ(f[281], static_cast<uint8_t>(0x80 + 0x90 + 0xF0));
  EXPECT_EQ(f[282], 0x00);
}

TEST_F(TapeExport, EmptyBlockAndRefusals) {
  std::string path = temp_path("empty.tkt");
  ASSERT_TRUE(tape_save_memory(path.c_str(), 0x4016, 0, nullptr));
  auto f = read_file(path);
  EXPECT_EQ(le16(f, f.size() - 4), 0);
  EXPECT_EQ(f[f.size() - 2], 0x00); // checksum of nothing
  // 65 536 bytes do not fit the 16-bit length field.
  static uint8_t big[0x10000];
  EXPECT_FALSE(tape_save_memory(temp_path("big.tkt").c_str(), 0, 0x10000, big));
  EXPECT_FALSE(tape_save_memory((::testing::TempDir() + "no/such/dir/x.tkt").c_str(), 0, 1, big));
}

// ---- the read trap -----------------------------------------------------------

TEST_F(TapeReadTrap, WithoutTapeReadsZeroWithCarryAndZero) {
  uint32_t n = 0;
  cpu.af.w = 0x77A2; // S, H-bit, N... set; carry and zero clear
  tape_read_byte_trap(&n);
  EXPECT_EQ(cpu.af.h, 0x00);
  EXPECT_EQ(cpu.af.l, 0xA2 | FLAG_C | FLAG_Z);
}

TEST_F(TapeReadTrap, DeliversTheImageThenOneFFThenDetaches) {
  std::vector<uint8_t> bytes = {0x00, 0x7E, 0xA5, 0xFF, 0x01};
  std::string path = temp_path("read.tkt");
  write_file(path, bytes);
  ASSERT_TRUE(tape_attach(path.c_str()));
  EXPECT_EQ(tapeActive, 1u);
  uint32_t n = 0;
  for (uint8_t expected : bytes) {
    cpu.af.w = 0x0000;
    tape_read_byte_trap(&n);
    EXPECT_EQ(cpu.af.h, expected);
    EXPECT_TRUE(cpu.af.l & FLAG_C);
    EXPECT_EQ((cpu.af.l & FLAG_Z) != 0, expected == 0);
  }
  cpu.af.w = 0x00C0;
  tape_read_byte_trap(&n);
  EXPECT_EQ(cpu.af.h, 0xFF);
  EXPECT_EQ(cpu.af.l, FLAG_S | FLAG_C); // zero cleared, carry set
  EXPECT_EQ(tapeActive, 1u);
  cpu.af.w = 0x1234;
  tape_read_byte_trap(&n);
  EXPECT_EQ(cpu.af.w, 0x1234);
  EXPECT_EQ(tapeActive, 0u);
  EXPECT_EQ(tapeFile, nullptr);
  EXPECT_STREQ(tapeFileName, "");
  tape_read_byte_trap(&n);
  EXPECT_EQ(cpu.af.h, 0x00);
}

TEST_F(TapeReadTrap, AttachingAgainStartsTheNewImage) {
  std::string a = temp_path("a.tkt"), b = temp_path("b.tkt");
  write_file(a, {0x11, 0x12});
  write_file(b, {0x21});
  ASSERT_TRUE(tape_attach(a.c_str()));
  uint32_t n = 0;
  tape_read_byte_trap(&n);
  ASSERT_TRUE(tape_attach(b.c_str()));
  tape_read_byte_trap(&n);
  EXPECT_EQ(cpu.af.h, 0x21);
  EXPECT_STREQ(tapeFileName, b.c_str());
  EXPECT_FALSE(tape_attach(temp_path("none.tkt").c_str()));
  EXPECT_EQ(tapeActive, 0u);
  EXPECT_STREQ(tapeFileName, "");
}

TEST_F(TapeReadTrap, CloseCommandDetachesAndReports) {
  EXPECT_FALSE(tape_close());
  std::string path = temp_path("close.tkt");
  write_file(path, {1});
  ASSERT_TRUE(tape_attach(path.c_str()));
  EXPECT_TRUE(tape_close());
  EXPECT_EQ(tapeFile, nullptr);
  EXPECT_EQ(tapeActive, 0u);
  EXPECT_STREQ(tapeFileName, "");
  EXPECT_STREQ(headless_status_text(3), ("Kazetta-file (" + path + ") lezárva.").c_str());
}

// ---- saving through the traps -------------------------------------------------

TEST_F(TapeSaveTraps, BeginSaveChoosesAndTruncatesTheFileThenBytesAppend) {
  std::string path = temp_path("saved.tkt");
  write_file(path, {9, 9, 9, 9});
  headless_queue_dialog_answer(path.c_str());
  uint32_t resets = pacingResetCount;
  uint32_t n = 2;
  cpu.hl.w = 0;
  tape_begin_save_trap(&n);
  EXPECT_EQ(cpu.hl.w, 0x06C9);
  EXPECT_EQ(word(0x400C), 0x06C9);
  EXPECT_STREQ(headless_last_dialog_title(), "TKT kazettaállomány mentése...");
  EXPECT_EQ(pacingResetCount, resets + 1);
  EXPECT_EQ(tapeActive, 1u);
  EXPECT_EQ(read_file(path).size(), 0u);
  for (uint8_t b : {0x00, 0xA5, 0x41}) {
    cpu.af.h = b;
    tape_write_byte_trap(&n);
    // Each byte is on disk when the trap returns.
    EXPECT_EQ(read_file(path).back(), b);
  }
  EXPECT_EQ(read_file(path), (std::vector<uint8_t>{0x00, 0xA5, 0x41}));
}

TEST_F(TapeSaveTraps, NameWithoutDotGetsTkt) {
  std::string path = temp_path("noext");
  headless_queue_dialog_answer(path.c_str());
  uint32_t n = 2;
  tape_begin_save_trap(&n);
  EXPECT_STREQ(tapeFileName, (path + ".tkt").c_str());
  EXPECT_TRUE(file_exists(path + ".tkt"));
}

TEST_F(TapeSaveTraps, CancelledDialogLosesTheBytes) {
  headless_queue_dialog_cancel();
  uint32_t n = 2;
  tape_begin_save_trap(&n);
  EXPECT_EQ(tapeActive, 0u);
  cpu.af.h = 0x42;
  tape_write_byte_trap(&n); // nowhere to go
  EXPECT_STREQ(tapeFileName, "");
  headless_queue_dialog_answer((::testing::TempDir() + "no/such/dir/x.tkt").c_str());
  tape_begin_save_trap(&n);
  EXPECT_EQ(tapeActive, 0u);
}

// A tape attached for reading is never written, even when a program calls
// the byte-output routine without starting a save.
TEST_F(TapeSaveTraps, WriteTrapLeavesAnAttachedImageAlone) {
  std::string path = temp_path("keep.tkt");
  write_file(path, {1, 2, 3});
  ASSERT_TRUE(tape_attach(path.c_str()));
  uint32_t n = 1;
  cpu.af.h = 0x99;
  tape_write_byte_trap(&n);
  EXPECT_EQ(read_file(path), (std::vector<uint8_t>{1, 2, 3}));
}
