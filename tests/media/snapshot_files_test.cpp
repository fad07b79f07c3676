// TKS snapshots, ROM/BIN loads, memory saves, the memory dump, character
// sets, screenshots and the sound capture.
#include <algorithm>

#include "host/output/audio.h"
#include "host/output/sound_capture.h"
#include "machine/video.h"
#include "media/files.h"
#include "media/messages.h"
#include "media/screenshot.h"
#include "media/snapshot.h"
#include "tests/media/media_fixture.h"

namespace {

void fill_registers(uint16_t seed) {
  cpu.bc.w = seed + 1;
  cpu.de.w = seed + 2;
  cpu.hl.w = seed + 3;
  cpu.af.w = seed + 4;
  cpu.bc_alt.w = seed + 5;
  cpu.de_alt.w = seed + 6;
  cpu.hl_alt.w = seed + 7;
  cpu.af_alt.w = seed + 8;
  cpu.pc = seed + 9;
  cpu.sp = seed + 10;
  cpu.ix.w = seed + 11;
  cpu.iy.w = seed + 12;
}

std::vector<uint16_t> registers() {
  return {cpu.bc.w,     cpu.de.w,     cpu.hl.w, cpu.af.w, cpu.bc_alt.w, cpu.de_alt.w,
          cpu.hl_alt.w, cpu.af_alt.w, cpu.pc,   cpu.sp,   cpu.ix.w,     cpu.iy.w};
}

void fill_ram(uint8_t seed) {
  for (uint32_t i = 0x4000; i < 0x20000; ++i)
    memory[i] = static_cast<uint8_t>(i * 31 + seed + (i >> 9));
}

using Snapshot = MediaTest;
using BinaryFiles = MediaTest;
using Charset = MediaTest;
using Screenshot = MediaTest;

} // namespace

// ---- snapshots -----------------------------------------------------------------

TEST_F(Snapshot, SizeMagicAndLayout) {
  fill_registers(0x1200);
  fill_ram(3);
  std::string path = temp_path("s.tks");
  ASSERT_TRUE(snapshot_save(path.c_str(), memory + 0x4000));
  auto f = read_file(path);
  ASSERT_EQ(f.size(), 115238u);
  EXPECT_EQ(std::string(f.begin(), f.begin() + 4), "TK01");
  EXPECT_EQ(le16(f, 4), 0x1201); // BC
  EXPECT_EQ(f[10], 0x04);        // F before A
  EXPECT_EQ(f[11], 0x12);
  EXPECT_EQ(le16(f, 20), 0x1209); // PC
  EXPECT_EQ(le16(f, 22), 0x120A); // SP
  EXPECT_EQ(le16(f, 24), 0);
  EXPECT_EQ(le16(f, 26), 0x120B); // IX
  EXPECT_EQ(le16(f, 28), 0x120C); // IY
  for (int i = 30; i < 38; ++i) EXPECT_EQ(f[i], 0);
  EXPECT_TRUE(std::equal(f.begin() + 38, f.begin() + 38 + 0x1C000, memory + 0x4000));
  for (size_t i = 114726; i < f.size(); ++i) ASSERT_EQ(f[i], 0);
}

TEST_F(Snapshot, RoundTripRestoresRegistersAndRamButNotTheRest) {
  fill_registers(0x3300);
  fill_ram(7);
  std::vector<uint16_t> saved = registers();
  std::vector<uint8_t> ram(memory + 0x4000, memory + 0x20000);
  std::string path = temp_path("r.tks");
  ASSERT_TRUE(snapshot_save(path.c_str(), memory + 0x4000));

  fill_registers(0x9900);
  fill_ram(99);
  cpu.i = 0x3C;
  cpu.r = 0x85;
  cpu.iff1 = cpu.iff2 = 1;
  cpu.im = 2;
  cpu.tcount = 123456;
  memory[0x0100] ^= 0xFF; // the ROM area is not part of a snapshot
  uint8_t rom = memory[0x0100];
  ASSERT_TRUE(snapshot_load(path.c_str(), memory + 0x4000));
  EXPECT_EQ(registers(), saved);
  EXPECT_TRUE(std::equal(ram.begin(), ram.end(), memory + 0x4000));
  EXPECT_EQ(cpu.i, 0x3C);
  EXPECT_EQ(cpu.r, 0x85);
  EXPECT_EQ(cpu.iff1, 1);
  EXPECT_EQ(cpu.im, 2);
  EXPECT_EQ(cpu.tcount, 123456);
  EXPECT_EQ(memory[0x0100], rom);
  EXPECT_TRUE(tape_traps_installed());
  EXPECT_EQ(memory[0x067F], 0xED); // the patches survive
}

TEST_F(Snapshot, ShortOrForeignFilesChangeNothing) {
  fill_registers(0x5500);
  fill_ram(5);
  std::string good = temp_path("g.tks");
  ASSERT_TRUE(snapshot_save(good.c_str(), memory + 0x4000));
  auto bytes = read_file(good);

  fill_registers(0x7700);
  fill_ram(77);
  std::vector<uint16_t> before = registers();
  std::vector<uint8_t> ram(memory + 0x4000, memory + 0x20000);

  std::vector<uint8_t> shorter(bytes.begin(), bytes.begin() + 115237);
  auto foreign = bytes;
  foreign[3] = '2';
  const std::vector<std::vector<uint8_t>> refused = {shorter, foreign, {}, {'T', 'K', '0', '1'}};
  int i = 0;
  for (const auto& content : refused) {
    std::string path = temp_path("bad" + std::to_string(i++) + ".tks");
    write_file(path, content);
    EXPECT_FALSE(snapshot_load(path.c_str(), memory + 0x4000)) << path;
    EXPECT_EQ(registers(), before);
    EXPECT_TRUE(std::equal(ram.begin(), ram.end(), memory + 0x4000));
  }
  EXPECT_FALSE(snapshot_load(temp_path("absent.tks").c_str(), memory + 0x4000));
  // A longer file that starts like a snapshot is read.
  auto longer = bytes;
  longer.push_back(0x42);
  std::string longPath = temp_path("long.tks");
  write_file(longPath, longer);
  EXPECT_TRUE(snapshot_load(longPath.c_str(), memory + 0x4000));
}

TEST_F(Snapshot, SaveFailureAndTexts) {
  EXPECT_FALSE(
      snapshot_save((::testing::TempDir() + "no/such/dir/x.tks").c_str(), memory + 0x4000));
  EXPECT_STREQ(SNAPSHOT_LOAD_FAILED, "A pillanatfelvétel betöltése sikertelen.");
  EXPECT_STREQ(SNAPSHOT_SAVE_FAILED, "A pillanatfelvétel mentése sikertelen.");
  EXPECT_STREQ(MEDIA_ERROR_CAPTION, "Hiba!");
}

// ---- address fields ------------------------------------------------------------

TEST_F(BinaryFiles, AddressFieldsParseHexOrFail) {
  uint32_t v = 0x1234;
  EXPECT_TRUE(parse_address_field("FFFF", &v));
  EXPECT_EQ(v, 0xFFFFu);
  EXPECT_TRUE(parse_address_field(" 4a16 ", &v));
  EXPECT_EQ(v, 0x4A16u);
  EXPECT_TRUE(parse_address_field("0", &v));
  EXPECT_EQ(v, 0u);
  v = 0x1234;
  for (const char* bad : {"", " ", "G000", "12 34", "$400", "10000", "0x10", "-1"}) {
    EXPECT_FALSE(parse_address_field(bad, &v)) << bad;
    EXPECT_EQ(v, 0x1234u);
  }
  EXPECT_FALSE(parse_address_field(nullptr, &v));
  uint32_t start = 0, count = 0;
  ASSERT_TRUE(parse_address_range("4016", "4016", &start, &count));
  EXPECT_EQ(count, 0u);
  ASSERT_TRUE(parse_address_range("0000", "FFFF", &start, &count));
  EXPECT_EQ(count, 0x10000u);
  ASSERT_TRUE(parse_address_range("5000", "4000", &start, &count));
  EXPECT_EQ(count, 0u);
}

// ---- ROM/BIN loads ---------------------------------------------------------------

TEST_F(BinaryFiles, RomLoadWithDefaultFieldsLoadsTheFileAtZeroAndResetsTheCpu) {
  std::vector<uint8_t> rom(4096);
  for (size_t i = 0; i < rom.size(); ++i) rom[i] = static_cast<uint8_t>(i * 5 + 1);
  std::string path = temp_path("rom.bin");
  write_file(path, rom);
  uint8_t after = memory[0x1000];
  cpu.pc = 0x5555;
  cpu.sp = 0x1234;
  ASSERT_TRUE(rom_load_command(path.c_str(), "0000", "FFFF"));
  EXPECT_EQ(memory[0x067F], 0xED); // the tape patches are in the new ROM
  tape_traps_remove();
  EXPECT_TRUE(std::equal(rom.begin(), rom.end(), memory));
  EXPECT_EQ(memory[0x1000], after);
  EXPECT_EQ(cpu.pc, 0);
  EXPECT_EQ(cpu.sp, 0xFFFF);
}

TEST_F(BinaryFiles, RomLoadOverThePatchesKeepsTheNewRomAndRenewsTheTraps) {
  std::vector<uint8_t> rom(0x4000, 0x3E);
  std::string path = temp_path("full.rom");
  write_file(path, rom);
  ASSERT_TRUE(rom_load_command(path.c_str(), "0000", "3FFF"));
  EXPECT_TRUE(tape_traps_installed());
  EXPECT_EQ(memory[0x067F], 0xED);
  tape_traps_remove(); // the bytes that come back are the new ROM's
  EXPECT_TRUE(std::all_of(memory, memory + 0x4000, [](uint8_t b) { return b == 0x3E; }));
}

TEST_F(BinaryFiles, LoadWrapsAt64KAndStopsAtTheCount) {
  std::vector<uint8_t> data(0x1800);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i + 1);
  std::string path = temp_path("wrap.bin");
  write_file(path, data);
  cpu.pc = 0x4444;
  ASSERT_TRUE(rom_load_command(path.c_str(), "F000", "F000"));
  EXPECT_EQ(cpu.pc, 0x4444); // start above the ROM area: no reset
  EXPECT_EQ(memory[0xF000], 1);
  EXPECT_EQ(memory[0xFFFF], data[0xFFF]);
  EXPECT_EQ(memory[0x0000], data[0x1000]);
  EXPECT_EQ(memory[0x07FF], data[0x17FF]);
  EXPECT_EQ(memory[0x10000], 0); // the high bank is untouched
  ASSERT_TRUE(load_binary(path.c_str(), 0x5000, 16));
  EXPECT_EQ(memory[0x500F], 16);
  EXPECT_EQ(memory[0x5010], 0);
}

TEST_F(BinaryFiles, BadFieldsOrMissingFileLoadNothing) {
  std::string path = temp_path("x.bin");
  write_file(path, std::vector<uint8_t>(16, 0x77));
  std::vector<uint8_t> before(memory, memory + 0x20000);
  cpu.pc = 0x4321;
  EXPECT_FALSE(rom_load_command(path.c_str(), "zz", "FFFF"));
  EXPECT_FALSE(rom_load_command(path.c_str(), "0000", ""));
  EXPECT_FALSE(rom_load_command(temp_path("missing.bin").c_str(), "0000", "FFFF"));
  EXPECT_TRUE(std::equal(before.begin(), before.end(), memory));
  EXPECT_EQ(cpu.pc, 0x4321);
  EXPECT_STREQ(MEDIA_LOAD_FAILED, "A megadott file betöltése sikertelen.");
}

// ---- memory saves ------------------------------------------------------------------

TEST_F(BinaryFiles, RawSaveWrapsAndReports) {
  for (uint32_t i = 0; i < 0x10000; ++i) memory[i] = static_cast<uint8_t>(i >> 3);
  std::string path = temp_path("raw.bin");
  ASSERT_TRUE(memory_save_command(path.c_str(), "FFF0", "FFFF"));
  auto f = read_file(path);
  ASSERT_EQ(f.size(), 16u);
  EXPECT_TRUE(std::equal(f.begin(), f.end(), memory + 0xFFF0));
  EXPECT_STREQ(headless_status_text(3),
               ("Memória FFF0h-FFFFh lementve " + path + " néven.").c_str());
  ASSERT_TRUE(save_binary(path.c_str(), 0xFFFE, 4));
  EXPECT_EQ(read_file(path),
            (std::vector<uint8_t>{memory[0xFFFE], memory[0xFFFF], memory[0], memory[1]}));
}

TEST_F(BinaryFiles, TktSaveWritesATapeImageAndEqualFieldsGiveAnEmptyBlock) {
  for (uint32_t i = 0x4016; i < 0x4100; ++i) memory[i] = static_cast<uint8_t>(i);
  std::string path = temp_path("prog.TKT");
  ASSERT_TRUE(memory_save_command(path.c_str(), "4016", "40FF"));
  auto f = read_file(path);
  // The tape name is the file's name without its extension.
  std::string base = path.substr(path.find_last_of('/') + 1);
  std::string name = base.substr(0, base.rfind('.')).substr(0, 16);
  size_t header = 256 + 1 + name.size() + 1;
  EXPECT_EQ(le16(f, header), 0x4016);
  EXPECT_EQ(le16(f, header + 2), 0xEA);
  EXPECT_EQ(f[header + 4], 0x16);
  ASSERT_TRUE(memory_save_command(path.c_str(), "4016", "4016"));
  EXPECT_NE(std::string(headless_status_text(3)).find("Memória 4016h-4015h lementve"),
            std::string::npos);
  EXPECT_EQ(le16(read_file(path), header + 2), 0);
}

TEST_F(BinaryFiles, SaveFailures) {
  std::string bad = ::testing::TempDir() + "no/such/dir/x.bin";
  status_message("%s", "before");
  EXPECT_FALSE(memory_save_command(bad.c_str(), "4000", "4010"));
  EXPECT_FALSE(memory_save_command(temp_path("f.bin").c_str(), "40 00", "4010"));
  EXPECT_FALSE(file_exists(temp_path("f.bin")));
  // The whole 64 KB does not fit a tape block's 16-bit length.
  EXPECT_FALSE(memory_save_command(temp_path("all.tkt").c_str(), "0000", "FFFF"));
  EXPECT_STREQ(headless_status_text(3), "before");
  EXPECT_STREQ(MEDIA_SAVE_FAILED, "A kimentés sikertelen.");
}

TEST_F(BinaryFiles, MemoryDumpHoldsAllOfTheLower64K) {
  for (uint32_t i = 0; i < 0x10000; ++i) memory[i] = static_cast<uint8_t>(i ^ (i >> 8));
  std::string path = temp_path("memdump.bin");
  ASSERT_TRUE(memory_dump_file_to(path.c_str()));
  auto f = read_file(path);
  ASSERT_EQ(f.size(), 65536u);
  EXPECT_TRUE(std::equal(f.begin(), f.end(), memory));
  EXPECT_FALSE(memory_dump_file_to((::testing::TempDir() + "no/such/dir/memdump.bin").c_str()));
}

// ---- character sets --------------------------------------------------------------------

TEST_F(Charset, ShortFileReplacesOnlyItsBytesAndBecomesCurrent) {
  std::vector<uint8_t> before(userCharset, userCharset + 2048);
  std::vector<uint8_t> glyphs(1000, 0xA5);
  std::string path = temp_path("c.chr");
  write_file(path, glyphs);
  ASSERT_TRUE(load_charset(path.c_str()));
  EXPECT_EQ(currentCharset, userCharset);
  EXPECT_TRUE(std::all_of(userCharset, userCharset + 1000, [](uint8_t b) { return b == 0xA5; }));
  EXPECT_TRUE(std::equal(before.begin() + 1000, before.end(), userCharset + 1000));
  restore_charset();
  EXPECT_NE(currentCharset, userCharset);
  EXPECT_TRUE(std::equal(userCharset, userCharset + 2048, currentCharset));
}

TEST_F(Charset, LongFileTakesTheFirst2048BytesAndMissingFileChangesNothing) {
  std::vector<uint8_t> glyphs(3000);
  for (size_t i = 0; i < glyphs.size(); ++i) glyphs[i] = static_cast<uint8_t>(i / 7);
  std::string path = temp_path("long.chr");
  write_file(path, glyphs);
  ASSERT_TRUE(load_charset(path.c_str()));
  EXPECT_TRUE(std::equal(glyphs.begin(), glyphs.begin() + 2048, userCharset));
  restore_charset();
  const uint8_t* current = currentCharset;
  std::vector<uint8_t> user(userCharset, userCharset + 2048);
  EXPECT_FALSE(load_charset(temp_path("none.chr").c_str()));
  EXPECT_EQ(currentCharset, current);
  EXPECT_TRUE(std::equal(user.begin(), user.end(), userCharset));
  EXPECT_STREQ(MEDIA_CHARSET_FAILED, "A megadott karakterkészlet betöltése sikertelen.");
}

// ---- screenshots -------------------------------------------------------------------------

TEST_F(Screenshot, BmpHeaderPaletteAndBottomUpRows) {
  static uint8_t pixels[256 * 128];
  for (size_t i = 0; i < sizeof pixels; ++i) pixels[i] = static_cast<uint8_t>(i / 64 * 3 + i % 64);
  std::string path = temp_path("shot.bmp");
  ASSERT_TRUE(save_screenshot(path.c_str(), pixels));
  auto f = read_file(path);
  ASSERT_EQ(f.size(), 16446u);
  EXPECT_EQ(f[0], 'B');
  EXPECT_EQ(f[1], 'M');
  EXPECT_EQ(le32(f, 2), 16446u);
  EXPECT_EQ(le32(f, 6), 0u);
  EXPECT_EQ(le32(f, 10), 62u);
  EXPECT_EQ(le32(f, 14), 40u);
  EXPECT_EQ(le32(f, 18), 512u);
  EXPECT_EQ(le32(f, 22), 256u);
  EXPECT_EQ(le16(f, 26), 1);
  EXPECT_EQ(le16(f, 28), 1);
  EXPECT_EQ(le32(f, 30), 0u);
  EXPECT_EQ(le32(f, 34), 16384u);
  for (int i = 38; i < 54; ++i) EXPECT_EQ(f[i], 0);
  EXPECT_EQ(std::vector<uint8_t>(f.begin() + 54, f.begin() + 62),
            (std::vector<uint8_t>{0, 0, 0, 0, 255, 255, 255, 0}));
  for (int row = 0; row < 256; ++row)
    ASSERT_TRUE(
        std::equal(pixels + row * 64, pixels + row * 64 + 64, f.begin() + 62 + (255 - row) * 64))
        << row;
  EXPECT_FALSE(save_screenshot((::testing::TempDir() + "no/such/dir/s.bmp").c_str(), pixels));
}

TEST_F(Screenshot, FrameBufferShotAndNamesNeverOverwrite) {
  std::string dir = temp_path("shots");
  ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0);
  char name[512];
  ASSERT_TRUE(screenshot_auto_name(dir.c_str(), name, sizeof name));
  EXPECT_EQ(std::string(name), dir + "/tarvik0000.bmp");
  frameBuffer[0] = 0x81;
  ASSERT_TRUE(save_screenshot(name));
  EXPECT_EQ(read_file(name).at(62 + 255 * 64), 0x81);
  ASSERT_TRUE(screenshot_auto_name(dir.c_str(), name, sizeof name));
  EXPECT_EQ(std::string(name), dir + "/tarvik0001.bmp");
  write_file(name, {1});
  write_file(dir + "/tarvik0003.bmp", {1});
  ASSERT_TRUE(screenshot_auto_name(dir.c_str(), name, sizeof name));
  EXPECT_EQ(std::string(name), dir + "/tarvik0002.bmp");
  char tiny[8];
  EXPECT_FALSE(screenshot_auto_name(dir.c_str(), tiny, sizeof tiny));
}

TEST_F(Screenshot, SoundCaptureFixesTheHeaderAndReports) {
  std::string path = temp_path("cap.wav");
  uint32_t bytes = 99;
  EXPECT_FALSE(sound_capture_bytes(&bytes));
  EXPECT_EQ(bytes, 0u);
  ASSERT_TRUE(sound_capture_start(path.c_str()));
  audio_update(cpu.tcount + 3 * 59808 + 2000); // a few blocks of output
  ASSERT_TRUE(sound_capture_bytes(&bytes));
  EXPECT_EQ(bytes % 1920, 0u);
  EXPECT_GT(bytes, 0u);
  sound_capture_show_progress();
  EXPECT_NE(std::string(headless_status_text(2)).find("WAV mentés:"), std::string::npos);
  sound_capture_stop();
  EXPECT_STREQ(headless_status_text(3),
               ("Audio file lezárva (" + std::to_string(bytes) + " byte).").c_str());
  auto f = read_file(path);
  ASSERT_EQ(f.size(), 44u + bytes);
  EXPECT_EQ(le32(f, 4), f.size() - 8);
  EXPECT_EQ(le32(f, 40), bytes);
  EXPECT_EQ(le32(f, 24), 48000u);
  EXPECT_EQ(le16(f, 34), 16);
  EXPECT_FALSE(sound_capture_bytes(nullptr));
}
