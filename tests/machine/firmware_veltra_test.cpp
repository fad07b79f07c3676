// Our Veltra-16 firmware on the machine: cold start and banner, the picture
// it draws and its timing, keys and paste, the line editor, the monitor's
// commands and the bitmap test pattern; and its character set.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "host/output/clipboard.h"
#include "host/ui/cp1250.h"
#include "machine/keyboard.h"
#include "machine/rom.h"
#include "machine/video.h"
#include "machine_fixture.h"
#include "veltra_firmware.h"

namespace {

const uint8_t* glyphs() { return rom_image(ROM_VELTRA_CHR); }

uint8_t glyph_row(uint8_t code, int row) { return glyphs()[row * 256 + code]; }

// Byte `column` (0-39) of picture line `line` (0-239).
uint8_t picture(uint32_t line, uint32_t column) {
  return frameBuffer[kVeltraPictureOffset + 64 * line + column];
}

// The picture shows text row y, column x as the glyph of `code`.
void expect_cell(int y, int x, uint8_t code) {
  for (int r = 0; r < 8; ++r)
    EXPECT_EQ(picture(kTextFirstLine + 8 * y + r, x), glyph_row(code, r))
        << "row " << y << " column " << x << " glyph row " << r;
}

// Counts the beeper pulses the program starts.
int pulses;
void count_pulse(uint16_t address, uint8_t value) {
  ++pulses;
  cpu_default_write()(address, value);
}

class VeltraFirmware : public MachineTest {
protected:
  void SetUp() override {
    frames = boot_veltra();
    ASSERT_GT(frames, 0) << "no prompt";
  }
  // Pastes a command line and waits for the next prompt.
  void command(const std::string& line) {
    paste_text(line + "\r");
    ASSERT_TRUE(run_frames_until(at_prompt, 200)) << line;
  }
  int frames = 0;
};

// ---- cold start ---------------------------------------------------------------

class VeltraBoot : public MachineTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(VeltraBoot, ShowsTheBannerWithTheRamSizeWithin50Frames) {
  const auto [ramIndex, kilobytes] = GetParam();
  bring_up(MODEL_VELTRA16, static_cast<uint32_t>(ramIndex));
  int frame = 0;
  while (frame < 50 && veltra_row(0) != "VELTRA-16  SZABAD ROM  1.0") {
    run_frame();
    ++frame;
  }
  EXPECT_LT(frame, 50);
  EXPECT_EQ(veltra_row(1), std::to_string(kilobytes) + " KB RAM      SÚGÓ: S");
  EXPECT_TRUE(run_frames_until(at_prompt, 10));
  EXPECT_EQ(memory[kCurRow], 2);
  EXPECT_EQ(machineState.veltraVideoOn, 1u);
  EXPECT_EQ(machineState.veltraBitmapMode, 0u);
}

INSTANTIATE_TEST_SUITE_P(RamSizes, VeltraBoot,
                         ::testing::Values(std::pair{2, 8}, std::pair{3, 16}, std::pair{4, 24},
                                           std::pair{6, 24}));

TEST_F(VeltraFirmware, ClipboardCopyReadsBackTheBanner) {
  // The screen as the host copies it: rows as the picture shows them.
  char text[CLIPBOARD_SCREEN_TEXT_MAX];
  const size_t length = clipboard_screen_text(text, sizeof text);
  ASSERT_EQ(length, 25u * 42 + 1);
  const std::string utf8 = cp1250_to_utf8(text, length - 1);
  EXPECT_EQ(utf8.substr(0, 28), "VELTRA-16  SZABAD ROM  1.0  ");
  EXPECT_NE(utf8.find("\r\n24 KB RAM      SÚGÓ: S"), std::string::npos);
  EXPECT_EQ(memory[0xC000], 0x40); // the cell no column shows stays a space
}

TEST_F(VeltraFirmware, ResetStartsAgainAndKeepsUserRam) {
  memory[0x5000] = 0xA5;
  paste_text("T\r");
  machine_reset_button();
  EXPECT_EQ(machineState.veltraVideoOn, 0u);
  EXPECT_TRUE(run_frames_until(at_prompt, 50));
  EXPECT_EQ(veltra_row(0), "VELTRA-16  SZABAD ROM  1.0");
  EXPECT_EQ(memory[0x5000], 0xA5);
}

// ---- the picture ---------------------------------------------------------------

TEST_F(VeltraFirmware, FrameBufferShowsTheBannerAndTheWholeScreen) {
  run_frames(2);
  const std::vector<uint8_t> banner = veltra_codes("VELTRA-16  SZABAD ROM  1.0");
  for (size_t x = 0; x < banner.size(); ++x) expect_cell(0, static_cast<int>(x), banner[x]);
  // Pixel column 96, row 40: the "V" of the banner, its first glyph row blank.
  EXPECT_EQ(frameBuffer[40 * 64 + 12], glyph_row(0x36, 0));
  EXPECT_NE(frameBuffer[41 * 64 + 12], 0);
  EXPECT_EQ(frameBuffer[41 * 64 + 12], glyph_row(0x36, 1));
  // Every cell as the screen memory holds it; the cursor cell blinks.
  const int cursorAt = memory[kCurRow] * 40 + memory[kCurCol];
  for (int y = 0; y < 25; ++y) {
    for (int x = 0; x < 40; ++x) {
      const uint8_t code = memory[kScreenTop + 40 * y + x];
      if (y * 40 + x == cursorAt) continue;
      expect_cell(y, x, code);
    }
  }
  // Border lines above and below the text stay black.
  for (uint32_t line = 0; line < 240; ++line) {
    if (line >= kTextFirstLine && line < kTextFirstLine + kTextLines) continue;
    for (uint32_t x = 0; x < 40; ++x) ASSERT_EQ(picture(line, x), 0) << line << " " << x;
  }
}

TEST_F(VeltraFirmware, CursorBlinksAtThePrompt) {
  const int row = memory[kCurRow];
  const uint16_t cell = static_cast<uint16_t>(kScreenTop + 40 * row + 1);
  bool normal = false, inverted = false;
  for (int i = 0; i < 40; ++i) {
    run_frame();
    normal |= memory[cell] == 0x40;
    inverted |= memory[cell] == 0xC0;
  }
  EXPECT_TRUE(normal);
  EXPECT_TRUE(inverted);
}

struct FrameTiming {
  std::vector<int64_t> lineEnds; // T-states from the frame start, after each end-of-line fetch
  int64_t acknowledged = -1;     // when the handler cleared the NMI
};

// One frame as the scheduler starts it with the picture on (an NMI request,
// the scan-line counter at 0), run instruction by instruction.
FrameTiming measure_frame() {
  FrameTiming timing;
  nmi_request();
  machineState.scanLine = 0;
  const int64_t start = cpu.tcount;
  uint32_t line = 0;
  while (cpu.tcount - start < 312 * 256) {
    cpu_run(0);
    if (machineState.scanLine != line) {
      timing.lineEnds.push_back(cpu.tcount - start);
      line = machineState.scanLine;
    }
    if (timing.acknowledged < 0 && cpu.nmiLine == 0 && cpu.nmiTaken == 0)
      timing.acknowledged = cpu.tcount - start;
  }
  return timing;
}

void expect_line_timing(const FrameTiming& timing) {
  ASSERT_EQ(timing.lineEnds.size(), 220u); // 20 border lines and 200 picture lines
  EXPECT_LT(timing.lineEnds[0], 400);      // the first border line ends at once
  for (size_t i = 1; i < timing.lineEnds.size(); ++i)
    ASSERT_EQ(timing.lineEnds[i] - timing.lineEnds[i - 1], 256) << "line " << i;
  EXPECT_GT(timing.acknowledged, timing.lineEnds.back());
  // The rest of the frame belongs to the program: over 23 000 T-states.
  EXPECT_GT(312 * 256 - timing.acknowledged, 23000);
  EXPECT_EQ(machineState.scanLine, 220u);
}

TEST_F(VeltraFirmware, EveryPictureLineTakesOneScanLine) {
  run_frames(1);
  const FrameTiming timing = measure_frame();
  expect_line_timing(timing);
  // The scheduler's own frames draw the same 220 lines.
  run_frame();
  EXPECT_EQ(machineState.scanLine, 220u);
}

// ---- keys and paste -----------------------------------------------------------------

TEST_F(VeltraFirmware, KeysAndPasteTypeTheSameLine) {
  type_keys("M 4200 12 AB\r");
  ASSERT_TRUE(run_frames_until(at_prompt, 20));
  const int typedRow = memory[kCurRow] - 1;
  EXPECT_EQ(veltra_row(typedRow), ">M 4200 12 AB");
  EXPECT_EQ(memory[0x4200], 0x12);
  EXPECT_EQ(memory[0x4201], 0xAB);
  const std::vector<uint8_t> typed(memory + kLineBuffer, memory + kLineBuffer + 13);

  memory[0x4200] = memory[0x4201] = 0;
  command("m 4200 12 ab");
  const int pastedRow = memory[kCurRow] - 1;
  EXPECT_EQ(veltra_row(pastedRow), ">M 4200 12 AB");
  EXPECT_EQ(memory[0x4200], 0x12);
  EXPECT_EQ(memory[0x4201], 0xAB);
  const std::vector<uint8_t> pasted(memory + kLineBuffer, memory + kLineBuffer + 13);
  EXPECT_EQ(typed, pasted);
  EXPECT_EQ(typed.back(), 0xFF); // the end of the line
}

TEST_F(VeltraFirmware, SignsTypeAndPasteAlike) {
  const std::string signs = "+-*/=^_?:;<>@[\\]!\"#$%&'(),.";
  type_keys(signs);
  const int row = memory[kCurRow];
  const std::string byKeys = veltra_row(row);
  const std::vector<uint8_t> keyCodes(memory + kScreenTop + 40 * row + 1,
                                      memory + kScreenTop + 40 * row + 1 + signs.size());
  EXPECT_EQ(byKeys, ">" + signs);
  type_key(VKEY_END); // BREAK: the line is given up
  ASSERT_TRUE(run_frames_until(at_prompt, 10));
  paste_text(signs);
  const int pastedRow = memory[kCurRow];
  EXPECT_EQ(veltra_row(pastedRow), ">" + signs);
  const std::vector<uint8_t> pasteCodes(memory + kScreenTop + 40 * pastedRow + 1,
                                        memory + kScreenTop + 40 * pastedRow + 1 + signs.size());
  EXPECT_EQ(keyCodes, pasteCodes);
}

TEST_F(VeltraFirmware, PastedHungarianLettersBecomeTheCapitals) {
  // Code page 1250: "árvíztűrő tükörfúrógép"
  const std::string text = "\xE1rv\xEDzt\xFBr\xF5 t\xFCk\xF6rf\xFAr\xF3g\xE9p";
  paste_text(text);
  EXPECT_EQ(veltra_row(memory[kCurRow]), ">ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP");
}

TEST_F(VeltraFirmware, KeyPollPassesThroughThe0309Instruction) {
  // The 3-byte key poll that paste replaces: CALL 0010h.
  EXPECT_EQ(memory[0x0309], 0xCD);
  EXPECT_EQ(memory[0x030A], 0x10);
  EXPECT_EQ(memory[0x030B], 0x00);
  int passes = 0;
  for (int i = 0; i < 20000 && passes < 3; ++i) {
    if (cpu.pc == 0x0309) ++passes;
    cpu_run(0);
  }
  EXPECT_EQ(passes, 3);
  // A key press: carry and C after the poll, the complement at 0x404B.
  ASSERT_TRUE(run_until_pc(0x0309, 100000));
  press('K');
  ASSERT_TRUE(run_until_pc(0x030C, 100000));
  release('K');
  EXPECT_TRUE(cpu.af.l & FLAG_C);
  EXPECT_EQ(cpu.bc.l, 0x2B);
  EXPECT_EQ(memory[kLastKey], static_cast<uint8_t>(~0x2B));
}

TEST_F(VeltraFirmware, HeldKeyRepeats) {
  press('Q');
  run_frames(40);
  release('Q');
  run_frames(4);
  const std::string row = veltra_row(memory[kCurRow]);
  ASSERT_GE(row.size(), 2u);
  EXPECT_EQ(row.find_first_not_of('Q', 1), std::string::npos) << row;
  // One press, a pause of 25 frames, then one every 3 frames.
  EXPECT_GE(row.size() - 1, 4u);
  EXPECT_LE(row.size() - 1, 8u);
}

// ---- the line editor ---------------------------------------------------------------

TEST_F(VeltraFirmware, LineEditorInsertsDeletesAndRecalls) {
  type_keys("XYW");
  type_key(VKEY_RIGHT, true); // Left
  type_keys("Z");
  EXPECT_EQ(veltra_row(memory[kCurRow]), ">XYZW");
  type_key(VKEY_RIGHT);       // Right: after the W
  type_key(VKEY_OEM_3, true); // Rubout
  EXPECT_EQ(veltra_row(memory[kCurRow]), ">XYZ");
  type_key(VKEY_RIGHT, true);
  type_key(VKEY_RIGHT, true);
  type_key(VKEY_RIGHT, true); // on the X
  type_key(VKEY_DELETE);
  EXPECT_EQ(veltra_row(memory[kCurRow]), ">YZ");
  type_keys("V \r");
  // "VYZ" is no command: an error, and the line as entered.
  ASSERT_TRUE(run_frames_until(at_prompt, 50));
  EXPECT_TRUE(screen_contains("HIBÁS PARANCS"));
  const std::vector<uint8_t> expected = {0x36, 0x40, 0x39, 0x3A, 0xFF};
  EXPECT_EQ(std::vector<uint8_t>(memory + kLineBuffer, memory + kLineBuffer + 5), expected);
  type_key(VKEY_UP); // the line before comes back
  EXPECT_EQ(veltra_row(memory[kCurRow]), ">V YZ");
  type_key(VKEY_UP, true); // Down blanks it
  EXPECT_EQ(veltra_row(memory[kCurRow]), ">");
}

TEST_F(VeltraFirmware, LineEndsAtTheRightEdge) {
  paste_text(std::string(45, 'A'));
  // 39 cells after the prompt; the last key overwrites the last cell.
  EXPECT_EQ(veltra_row(memory[kCurRow]), ">" + std::string(39, 'A'));
  EXPECT_EQ(memory[kCurCol], 39);
}

// ---- the monitor ---------------------------------------------------------------------

TEST_F(VeltraFirmware, ListShowsAddressesBytesAndCells) {
  for (int i = 0; i < 16; ++i) memory[0x4300 + i] = static_cast<uint8_t>(0x21 + i);
  command("L 4300");
  // 16 rows; the first two for 4300h and 4308h.
  int row = -1;
  for (int y = 0; y < 25; ++y)
    if (veltra_row(y).rfind("4300 ", 0) == 0) row = y;
  ASSERT_GE(row, 0);
  EXPECT_EQ(veltra_row(row), "4300 21 22 23 24 25 26 27 28 ABCDEFGH");
  EXPECT_EQ(veltra_row(row + 1), "4308 29 2A 2B 2C 2D 2E 2F 30 IJKLMNOP");
  EXPECT_EQ(veltra_row(row + 15).substr(0, 4), "4378");
  // L alone goes on where the last listing ended.
  command("L");
  EXPECT_TRUE(screen_contains("4380 "));
}

TEST_F(VeltraFirmware, ModifyRunAndClear) {
  // ld a,5Ah / ld (4310h),a / ret
  command("M 4300 3E 5A 32 10 43 C9");
  EXPECT_EQ(memory[0x4300], 0x3E);
  EXPECT_EQ(memory[0x4305], 0xC9);
  command("F 4300");
  EXPECT_EQ(memory[0x4310], 0x5A);
  command("T 4300 430F 77");
  for (int i = 0; i < 16; ++i) EXPECT_EQ(memory[0x4300 + i], 0x77) << i;
  EXPECT_EQ(memory[0x4310], 0x5A);
  command("T 4300 4301");
  EXPECT_EQ(memory[0x4300], 0);
  EXPECT_EQ(memory[0x4301], 0);
  EXPECT_EQ(memory[0x4302], 0x77);
  command("T");
  EXPECT_EQ(memory[kCurRow], 0);
  for (int y = 1; y < 25; ++y) EXPECT_EQ(veltra_row(y), "") << y;
}

TEST_F(VeltraFirmware, ErrorsAreReportedWithABeep) {
  writeHandlers[0x3C00] = count_pulse;
  pulses = 0;
  command("Q");
  EXPECT_TRUE(screen_contains("HIBÁS PARANCS"));
  EXPECT_EQ(pulses, 100);
  const char* bad[] = {"M 43G0 1", "M 4300 123", "L 12345", "F", "T 4301 4300", "K 4300"};
  for (const char* line : bad) {
    pulses = 0;
    command("T");
    command(line);
    EXPECT_EQ(veltra_row(1), "HIBÁS PARAMÉTER") << line;
    EXPECT_EQ(pulses, 100) << line;
  }
}

TEST_F(VeltraFirmware, HelpListsTheCommands) {
  command("S");
  EXPECT_TRUE(screen_contains("PARANCSOK, A SZÁMOK HEXÁBAN:"));
  EXPECT_TRUE(screen_contains("K TÓL IG [NÉV]    KIMENTÉS MAGNÓRA"));
  EXPECT_TRUE(screen_contains("B [NÉV]           BETÖLTÉS MAGNÓRÓL"));
  EXPECT_TRUE(screen_contains("G                 GRAFIKUS TESZTKÉP"));
}

// ---- bitmap mode ---------------------------------------------------------------------

// The test pattern: 8 x 8 squares in a frame.
uint8_t pattern(uint32_t line, uint32_t column) {
  if (line == 0 || line == 199) return 0xFF;
  uint8_t v = ((column ^ (line >> 3)) & 1) ? 0xFF : 0x00;
  if (column == 0) v |= 0x80;
  if (column == 39) v |= 0x01;
  return v;
}

TEST_F(VeltraFirmware, BitmapCommandDrawsTheTestPatternUntilAKey) {
  paste_text("G\r");
  run_frames(3);
  EXPECT_EQ(memory[kVmode], 1);
  for (uint32_t line = 0; line < 240; ++line) {
    for (uint32_t x = 0; x < 40; ++x) {
      const bool drawn = line >= kTextFirstLine && line < kTextFirstLine + kTextLines;
      ASSERT_EQ(picture(line, x), drawn ? pattern(line - kTextFirstLine, x) : 0)
          << "line " << line << " byte " << x;
    }
  }
  for (uint32_t i = 0; i < 8000; ++i) ASSERT_EQ(memory[0x6000 + i], pattern(i / 40, i % 40)) << i;
  const FrameTiming timing = measure_frame();
  expect_line_timing(timing);

  type_key('A');
  EXPECT_TRUE(run_frames_until(at_prompt, 10));
  EXPECT_EQ(memory[kVmode], 0);
  run_frames(2);
  expect_cell(0, 0, memory[kScreenTop]);
  expect_cell(1, 3, memory[kScreenTop + 43]);
}

// ---- the character set ---------------------------------------------------------------

TEST(VeltraCharset, UpperHalfIsTheLowerHalfInverted) {
  for (int c = 0; c < 128; ++c)
    for (int r = 0; r < 8; ++r)
      ASSERT_EQ(glyph_row(static_cast<uint8_t>(c + 128), r),
                static_cast<uint8_t>(~glyph_row(static_cast<uint8_t>(c), r)))
          << c << " " << r;
}

TEST(VeltraCharset, EveryCharacterHasItsOwnGlyph) {
  auto glyph = [](int c) {
    uint64_t g = 0;
    for (int r = 0; r < 8; ++r) g = g << 8 | glyph_row(static_cast<uint8_t>(c), r);
    return g;
  };
  std::vector<int> characters;
  for (int c = 0x10; c <= 0x3F; ++c) characters.push_back(c);
  for (int c = 0x41; c <= 0x49; ++c) characters.push_back(c);
  for (int c = 0x61; c <= 0x70; ++c)
    if (c != 0x67) characters.push_back(c); // 0x67 is the "=" of 0x1D again
  for (size_t i = 0; i < characters.size(); ++i) {
    EXPECT_NE(glyph(characters[i]), 0u) << characters[i];
    for (size_t j = 0; j < i; ++j)
      EXPECT_NE(glyph(characters[i]), glyph(characters[j]))
          << characters[i] << " " << characters[j];
  }
  EXPECT_EQ(glyph(0x40), 0u);          // space
  EXPECT_EQ(glyph(0x60), glyph(0x3E)); // "^" twice
  EXPECT_EQ(glyph(0x67), glyph(0x1D)); // "=" twice
  // Block graphics: bit 0 top left ... bit 3 bottom right.
  EXPECT_EQ(glyph(0x00), 0u);
  EXPECT_EQ(glyph(0x0F), ~0ull);
  EXPECT_EQ(glyph(0x01), 0xF0F0F0F000000000ull);
  EXPECT_EQ(glyph(0x08), 0x000000000F0F0F0Full);
  // The letters: "A" is drawn in rows 1-7, columns 1-5, row 0 free.
  EXPECT_EQ(glyph_row(0x21, 0), 0);
  EXPECT_EQ(glyph_row(0x21, 4), 0x7C); // .#####..
  // An accent in row 0 over the accented capitals.
  for (int c = 0x41; c <= 0x49; ++c) EXPECT_NE(glyph_row(static_cast<uint8_t>(c), 0), 0) << c;
}

// ---- the character-set converter ----------------------------------------------------------

// Test processes may run in parallel (and /tmp is shared): a name per test
// and process.
std::string temp_path(const std::string& name) {
  return ::testing::TempDir() + "tarvik_" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
         std::to_string(::getpid()) + "_" + name;
}

int convert(const std::string& text, std::vector<uint8_t>* out) {
  const std::string in = temp_path("charset_in.txt"), bin = temp_path("charset_out.bin");
  std::ofstream(in) << text;
  std::remove(bin.c_str());
  const std::string command =
      std::string(CHARSET_CONVERT) + " " + in + " " + bin + " 2>" + temp_path("charset_err.txt");
  const int status = std::system(command.c_str());
  if (out) {
    std::ifstream f(bin, std::ios::binary);
    out->assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  }
  return status;
}

TEST(CharsetConvert, TurnsTheDrawingIntoTheTable) {
  const std::string text = "; two glyphs, a copy and their inverses\n"
                           "@41 A\n"
                           "#.......\n.#......\n..#.....\n...#....\n"
                           "....#...\n.....#..\n......#.\n.......#\n"
                           "@42 =\n"
                           "########\n........\n........\n........\n"
                           "........\n........\n........\n.......#\n"
                           "@43 = @41\n"
                           "@C1-@C2 inverse @41\n";
  std::vector<uint8_t> table;
  ASSERT_EQ(convert(text, &table), 0);
  ASSERT_EQ(table.size(), 2048u);
  for (int r = 0; r < 8; ++r) {
    EXPECT_EQ(table[r * 256 + 0x41], 0x80 >> r);
    EXPECT_EQ(table[r * 256 + 0x43], 0x80 >> r);
    EXPECT_EQ(table[r * 256 + 0xC1], static_cast<uint8_t>(~(0x80 >> r)));
    EXPECT_EQ(table[r * 256 + 0x40], 0);
  }
  EXPECT_EQ(table[0x42], 0xFF);
  EXPECT_EQ(table[7 * 256 + 0x42], 0x01);
  EXPECT_EQ(table[0xC2], 0x00);
}

TEST(CharsetConvert, RefusesMalformedDrawings) {
  const std::string row = "........\n";
  std::string eight;
  for (int i = 0; i < 8; ++i) eight += row;
  const std::string bad[] = {
      "@41\n" + row + row,                       // too few rows
      "@41\n" + row + "...#...\n" + eight,       // a short row
      "@41\n" + row + "..x.....\n" + eight,      // a wrong pixel
      "@41\n" + eight + "@41\n" + eight,         // a code twice
      "@42 = @41\n",                             // a copy of nothing
      "@41\n" + eight + "@C1-@C0 inverse @41\n", // a range backwards
      "41\n" + eight,                            // no @
  };
  for (const std::string& text : bad) EXPECT_NE(convert(text, nullptr), 0) << text;
}

} // namespace
