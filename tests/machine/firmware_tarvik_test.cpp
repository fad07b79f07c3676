// The Tarvik firmware on the firmware test board: start-up, screen, keys,
// line editor, paste, monitor commands, tape traps, printer and speech
// ports. (The bit-level tape format has its own file.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cpu/cpu.h"
#include "tarvik_rig.h"

extern const uint8_t builtinTarvik31Rom[16384];
extern const uint8_t builtinTarvik41Rom[16384];
extern const uint8_t builtinDorvaneRom[16384];

namespace {

const char* const kBanner[3] = {"Tarvik 3.1 - Szabad ROM", "Tarvik 4.1 - Szabad ROM",
                                "Dorvane - Szabad ROM"};

bool at_prompt() { return rig::last_line() == ">"; }

void boot(int model, uint32_t ramTop = 0x77FF) {
  rig::reset(model, ramTop);
  ASSERT_GE(rig::run_until(at_prompt, 50), 0) << rig::screen();
}

// Pastes a command line and runs until the next prompt.
void command(const std::string& line, int maxFrames = 200) {
  rig::paste(line + "\r");
  int frames = rig::run_until([] { return rig::paste_done() && at_prompt(); }, maxFrames);
  ASSERT_GE(frames, 0) << "no prompt after " << line << "\n" << rig::screen();
}

// The rows from the one that holds `marker` down to the prompt.
std::vector<std::string> output_after(const std::string& marker) {
  std::vector<std::string> rows;
  bool seen = false;
  for (int y = 0; y < 32; ++y) {
    std::string r = rig::row(y);
    size_t end = r.find_last_not_of(' ');
    r = end == std::string::npos ? "" : r.substr(0, end + 1);
    if (r.find(marker) != std::string::npos) seen = true;
    if (seen) rows.push_back(r);
  }
  while (!rows.empty() && rows.back().empty()) rows.pop_back();
  return rows;
}

// Screen codes of a Hungarian text (UTF-8 source text).
std::string codes(const std::string& utf8) {
  static const std::pair<const char*, char> kLetters[] = {
      {"Á", '\x40'}, {"É", '\x5B'}, {"Ö", '\x5C'}, {"Ü", '\x5D'}, {"Ó", '\x5F'}, {"Ú", '\x95'},
      {"Ű", '\x9D'}, {"á", '\x7F'}, {"é", '\x7B'}, {"í", '\xA9'}, {"ó", '\x7E'}, {"ő", '\xBC'},
      {"ö", '\x7C'}, {"ú", '\xB5'}, {"ű", '\xBD'}, {"ü", '\x7D'}};
  std::string s;
  for (size_t i = 0; i < utf8.size();) {
    bool found = false;
    for (const auto& [letter, code] : kLetters) {
      std::string l = letter;
      if (utf8.compare(i, l.size(), l) == 0) {
        s += code;
        i += l.size();
        found = true;
        break;
      }
    }
    if (!found) s += utf8[i++];
  }
  return s;
}

// Sound output toggles in a stretch of time: the beep is about 100 periods.
int toggles_since(size_t firstEdge) { return static_cast<int>(rig::outEdges.size() - firstEdge); }

TEST(FirmwareTarvik, EachModelShowsItsBannerAndPrompt) {
  for (int m = 0; m < 3; ++m) {
    rig::reset(m, 0x77FF);
    int frames = rig::run_until(at_prompt, 50);
    ASSERT_GE(frames, 0) << rig::screen();
    EXPECT_LE(frames, 5);
    EXPECT_EQ(rig::row(0).substr(0, std::string(kBanner[m]).size()), kBanner[m]);
    EXPECT_EQ(rig::row(1).substr(0, 10), "16 KB RAM ");
    EXPECT_EQ(rig::row(2).substr(0, 27), codes("Gépi kódú monitor - súgó: S"));
    EXPECT_EQ(rig::row(3).substr(0, 2), "> ");
    EXPECT_EQ(rig::word(0x4000), 0xF8C2) << "the cursor stands after the prompt";
  }
}

TEST(FirmwareTarvik, RamSizeAndMemoryTopAreProbed) {
  struct Size {
    uint32_t ramTop;
    const char* text;
    uint16_t memTop;
  } sizes[] = {{0x0FFF, "4 KB RAM", 0x4FFF},  {0x17FF, "6 KB RAM", 0x57FF},
               {0x1FFF, "8 KB RAM", 0x5FFF},  {0x77FF, "16 KB RAM", 0x7FFF},
               {0xB7FF, "32 KB RAM", 0xBFFF}, {0xF7FF, "64 KB RAM", 0xBFFF}};
  for (const Size& s : sizes) {
    rig::reset(1, s.ramTop);
    rig::mem[0x4400] = 0x77; // the probe puts back what it finds
    ASSERT_GE(rig::run_until(at_prompt, 50), 0) << rig::screen();
    EXPECT_EQ(rig::row(1).substr(0, std::string(s.text).size() + 1), std::string(s.text) + " ")
        << s.ramTop;
    EXPECT_EQ(rig::word(0x4016), s.memTop) << s.text;
    EXPECT_EQ(rig::mem[0x4400], 0x77) << s.text;
    EXPECT_EQ(rig::word(0x400C), 0x0616) << "output vector on the screen";
    EXPECT_EQ(rig::word(0x4030), 0x4100);
    EXPECT_EQ(rig::word(0x4018), 0x4100);
  }
}

TEST(FirmwareTarvik, FixedAddressesHoldTheContractedCode) {
  for (const uint8_t* rom : {builtinTarvik31Rom, builtinTarvik41Rom, builtinDorvaneRom}) {
    const std::vector<std::pair<uint16_t, std::vector<uint8_t>>> fixed = {
        {0x067C, {0x00, 0xD3, 0xFF}},                   // tape in: NOP, OUT (0FFh),A
        {0x069B, {0xD3, 0x7F, 0xC9}},                   // OUT (7Fh),A; RET
        {0x06AD, {0x21, 0xC9, 0x06, 0x22, 0x0C, 0x40}}, // save start
        {0x06C9, {0xE5, 0xC5, 0xF5, 0x00, 0xD3, 0xFF}}, // tape out entry
        {0x06E2, {0xD3, 0x7F, 0xF1, 0xC1, 0xE1, 0xC9}}, // tape out exit
    };
    for (const auto& [address, bytes] : fixed)
      for (size_t i = 0; i < bytes.size(); ++i)
        EXPECT_EQ(rom[address + i], bytes[i]) << std::hex << address + i;
    EXPECT_EQ(rom[0x0566], 0xCD) << "the key poll is one 3-byte CALL";
  }
}

TEST(FirmwareTarvik, TypingAndPastingGiveTheSameLine) {
  boot(1);
  rig::type("M 4100 41 41\r");
  ASSERT_GE(rig::run_until(at_prompt, 50), 0) << rig::screen();
  std::vector<std::string> typed = output_after("> M 4100");
  EXPECT_EQ(rig::mem[0x4100], 0x41);
  EXPECT_EQ(rig::mem[0x4101], 0x41);

  boot(1);
  command("M 4100 41 41");
  std::vector<std::string> pasted = output_after("> M 4100");
  EXPECT_EQ(typed, pasted);
  ASSERT_GE(typed.size(), 2u);
  EXPECT_EQ(typed[0], "> M 4100 41 41");
  EXPECT_EQ(typed[1], "4100 41 41 00 00 00 00 00 00 AA......");
}

TEST(FirmwareTarvik, RepeatedLetterArrivesTwice) {
  boot(1);
  rig::type("AA");
  EXPECT_EQ(rig::last_line(), "> AA");
  boot(1);
  rig::paste("AA");
  rig::run_until(rig::paste_done, 50);
  rig::run_frames(2);
  EXPECT_EQ(rig::last_line(), "> AA");
}

TEST(FirmwareTarvik, LineEditorDeletesAndInserts) {
  boot(1);
  rig::type("ABX");
  rig::press(0, 3, true); // Shift + Left: Backspace
  rig::type("C");
  EXPECT_EQ(rig::last_line(), "> ABC");
  rig::press(0, 3);       // Left
  rig::press(0, 3);       // Left
  rig::press(0, 2, true); // Shift + Right: Delete under the cursor
  rig::type("Z");
  EXPECT_EQ(rig::last_line(), "> AZC");
  rig::press(1, 1); // Enter
  rig::run_frames(3);
  EXPECT_TRUE(rig::screen_has(codes("Ismeretlen parancs (súgó: S)"))) << rig::screen();
}

TEST(FirmwareTarvik, DorvaneHasItsCursorKeysTheOtherWayRound) {
  boot(2);
  rig::type("AB");
  rig::press(0, 2); // Left on the Dorvane
  rig::type("X");
  EXPECT_EQ(rig::last_line(), "> AXB");
  boot(1);
  rig::type("AB");
  rig::press(0, 2); // Right on the Tarvik 4.1: nothing to the right
  rig::press(0, 3); // Left
  rig::type("X");
  EXPECT_EQ(rig::last_line(), "> AXB");
}

TEST(FirmwareTarvik, ShiftLockAndHungarianLegends) {
  boot(1);
  rig::press(8, 2);        // á
  rig::press(8, 2, true);  // Á
  rig::press(9, 3);        // é
  rig::press(12, 3);       // ö
  rig::press(14, 2, true); // Ü
  rig::press(3, 2);        // Lock: capitals
  rig::type("q");
  rig::press(10, 0, true); // Shift under Lock: small letter
  rig::press(4, 1);        // digits stay
  rig::press(3, 2);        // Lock off
  rig::type("r");
  rig::keys[2] |= 0x08; // Ctrl
  rig::press(14, 1);    // ú
  rig::press(12, 3);    // ő
  rig::keys[2] &= 0xF7;
  EXPECT_EQ(rig::last_line(), "> " + codes("áÁéöÜ") + "Qf1r" + codes("úő"));
}

TEST(FirmwareTarvik, HelpAndUnknownCommand) {
  boot(0);
  command("S");
  EXPECT_TRUE(rig::screen_has(codes("F [cím]        futtatás"))) << rig::screen();
  size_t edges = rig::outEdges.size();
  command("Q");
  EXPECT_TRUE(rig::screen_has(codes("Ismeretlen parancs (súgó: S)")));
  EXPECT_GE(toggles_since(edges), 150) << "an error beeps";
  edges = rig::outEdges.size();
  command("L XYZ");
  EXPECT_TRUE(rig::screen_has(codes("Hibás paraméter")));
  EXPECT_GE(toggles_since(edges), 150);
}

TEST(FirmwareTarvik, ListModifyAndRun) {
  boot(1);
  // A program that prints "OK" through RST 10h and returns.
  command("M 4200 3E 4F D7 3E 4B D7 C9");
  command("F 4200");
  EXPECT_EQ(output_after("> F 4200").at(1), "OK") << rig::screen();
  command("T");
  command("L 4200");
  std::vector<std::string> rows = output_after("> L 4200");
  ASSERT_EQ(rows.size(), 18u) << rig::screen();
  EXPECT_EQ(rows[1], "4200 3E 4F D7 3E 4B D7 C9 00 >O\xD7>K\xD7\xC9.");
  EXPECT_EQ(rows[16].substr(0, 4), "4278");
  command("L");
  EXPECT_EQ(output_after("> L").at(1).substr(0, 4), "4280") << "L goes on where it stopped";
}

TEST(FirmwareTarvik, ProgramStartEntryRunsTheProgramAt4030) {
  boot(1);
  command("M 4200 3E 5A D7 C9");
  rig::mem[0x4030] = 0x00;
  rig::mem[0x4031] = 0x42;
  cpu.pc = 0x179D; // as the emulator's autoload does
  rig::run_frames(1);
  ASSERT_GE(rig::run_until(at_prompt, 20), 0) << rig::screen();
  EXPECT_TRUE(rig::screen_has("\n> Z ")) << rig::screen();
}

TEST(FirmwareTarvik, ResetKeyIsAWarmStart) {
  boot(1);
  command("M 4100 12 34");
  rig::type("L 41");
  rig::nmi();
  ASSERT_GE(rig::run_until(at_prompt, 20), 0) << rig::screen();
  EXPECT_TRUE(rig::screen_has(codes("Meleg indulás"))) << rig::screen();
  EXPECT_EQ(rig::mem[0x4100], 0x12);
  EXPECT_EQ(rig::mem[0x4101], 0x34);
  EXPECT_TRUE(rig::screen_has("> L 41 ")) << "the screen is kept, the cursor taken away";
  command("L 4100");
  EXPECT_EQ(output_after("> L 4100").at(1).substr(0, 10), "4100 12 34");
}

TEST(FirmwareTarvik, PrinterCommandNamesTheFileAndSendsTheText) {
  boot(1);
  command(codes("N Árvíztűrő 1"));
  EXPECT_TRUE(rig::printerNamed);
  EXPECT_EQ(rig::printerText, codes("Árvíztűrő 1") + "\r");
  for (const rig::PortWrite& w : rig::portWrites) {
    EXPECT_TRUE(w.port & 0x80) << "port " << int(w.port) << ": bit 7 keeps the I/O state";
    if (!(w.port & 0x40)) {
      EXPECT_TRUE((w.port & 3) == 0 || ((w.port & 3) == 3 && w.value == 0x80));
    }
  }
  EXPECT_TRUE(rig::screen_has(codes("Nyomtatás kész.")));
  // The parallel interface latched bytes into 0000h-0003h; a restart still
  // reaches the cold start.
  EXPECT_EQ(rig::mem[0], 0x0D);
  EXPECT_EQ(rig::mem[3], 0x80);
  cpu_reset();
  ASSERT_GE(
      rig::run_until([] { return rig::row(0).rfind("Tarvik 4.1", 0) == 0 && at_prompt(); }, 50), 0)
      << rig::screen();
}

std::vector<uint8_t> tape_block(const std::string& name, uint16_t address,
                                const std::vector<uint8_t>& data, int leader = 256) {
  std::vector<uint8_t> t(leader, 0x00);
  t.push_back(0xA5);
  t.insert(t.end(), name.begin(), name.end());
  t.push_back(0);
  t.push_back(address & 0xFF);
  t.push_back(address >> 8);
  t.push_back(data.size() & 0xFF);
  t.push_back(data.size() >> 8);
  uint8_t sum = 0;
  for (uint8_t b : data) sum = static_cast<uint8_t>(sum + b);
  t.insert(t.end(), data.begin(), data.end());
  t.push_back(sum);
  t.push_back(0);
  t.push_back(0);
  return t;
}

TEST(FirmwareTarvik, SaveThroughTheTrapsSendsTheContractedBytes) {
  boot(1);
  rig::tape_traps_install();
  command("M 4100 01 02 03 FE");
  command("K PROBA 4100 4103");
  EXPECT_EQ(rig::tapeSaved, tape_block("PROBA", 0x4100, {1, 2, 3, 0xFE}));
  EXPECT_EQ(rig::word(0x400C), 0x0616) << "the vector is back on the screen";
  EXPECT_TRUE(rig::screen_has(codes("Mentés: PROBA 4100-4103"))) << rig::screen();
  EXPECT_TRUE(rig::screen_has(codes("Kész.")));
}

TEST(FirmwareTarvik, LoadThroughTheTrapsShowsNameAndRange) {
  boot(1);
  rig::tape_traps_install();
  std::vector<uint8_t> data;
  for (int i = 0; i < 300; ++i) data.push_back(static_cast<uint8_t>(i * 7));
  rig::tape_attach(tape_block("JATEK", 0x4300, data, 20));
  command("B");
  for (size_t i = 0; i < data.size(); ++i) ASSERT_EQ(rig::mem[0x4300 + i], data[i]) << i;
  EXPECT_EQ(rig::word(0x4030), 0x4300);
  EXPECT_EQ(rig::word(0x4018), 0x4300 + 300);
  std::vector<std::string> out = output_after("> B");
  ASSERT_GE(out.size(), 4u) << rig::screen();
  EXPECT_EQ(out[1], codes("Keresés a kazettán..."));
  EXPECT_EQ(out[2], "JATEK 4300-442B");
  EXPECT_EQ(out[3], codes("Betöltve."));
}

TEST(FirmwareTarvik, LoadReportsAWrongChecksumAndAShortTape) {
  boot(1);
  rig::tape_traps_install();
  std::vector<uint8_t> image = tape_block("ROSSZ", 0x4100, {1, 2, 3});
  image[image.size() - 3] ^= 0x55; // the checksum
  rig::tape_attach(image);
  size_t edges = rig::outEdges.size();
  command("B");
  EXPECT_TRUE(rig::screen_has(codes("HIBA: rossz ellenőrző összeg"))) << rig::screen();
  EXPECT_GE(toggles_since(edges), 150);
  EXPECT_EQ(rig::word(0x4030), 0x4100) << "unchanged";

  image = tape_block("ROVID", 0x4100, std::vector<uint8_t>(50, 9));
  image.resize(image.size() - 30);
  rig::tape_attach(image);
  command("B");
  EXPECT_TRUE(rig::screen_has(codes("HIBA: a kazetta véget ért"))) << rig::screen();
}

TEST(FirmwareTarvik, LoadWaitsForTheTapeAndAKeyStopsIt) {
  boot(1);
  rig::tape_traps_install(); // no tape: endless 00h bytes
  rig::paste("B\r");
  rig::run_frames(20);
  EXPECT_EQ(rig::last_line(), codes("Keresés a kazettán..."));
  rig::press(1, 0); // Space
  ASSERT_GE(rig::run_until(at_prompt, 20), 0) << rig::screen();
  EXPECT_TRUE(rig::screen_has(codes("Megszakítva")));
}

TEST(FirmwareTarvik, LoadSkipsTheRomArea) {
  boot(1);
  rig::tape_traps_install();
  rig::tape_attach(tape_block("SYS", 0x40A0, std::vector<uint8_t>(0x70, 0xEE)));
  command("B");
  EXPECT_NE(rig::mem[0x40A2], 0xEE) << "the ROM's area stays";
  EXPECT_EQ(rig::mem[0x4100], 0xEE);
  EXPECT_EQ(rig::mem[0x410F], 0xEE);
  EXPECT_TRUE(rig::screen_has(codes("Betöltve.")));
}

TEST(FirmwareTarvik, ThirtyTwoColumnModeUsesEveryOtherCell) {
  rig::reset(1, 0x77FF);
  rig::set_32_columns(true);
  ASSERT_GE(rig::run_until([] { return rig::mem[0x4002] == 2 && rig::mem[0xF801] == 'T'; }, 50), 0);
  EXPECT_EQ(rig::mem[0xF803], 'a');
  EXPECT_EQ(rig::mem[0xF805], 'r');
  EXPECT_EQ(rig::mem[0xF800], 0x00) << "even cells are never written";
}

TEST(FirmwareTarvik, SixtyFourKbLoadKeepsTheIoState) {
  boot(1, 0xF7FF);
  rig::tape_traps_install();
  rig::tape_attach(tape_block("HI", 0x8000, {0x11, 0x22}));
  command("B");
  EXPECT_TRUE(rig::screen_has(codes("Betöltve."))) << "the screen is written in the I/O state";
  EXPECT_EQ(rig::mem[0x18000], 0x11) << "stored where the monitor reads it";
  command("L 8000");
  EXPECT_EQ(output_after("> L 8000").at(1).substr(0, 10), "8000 11 22");
}

TEST(FirmwareTarvik, DorvaneSaysThePhraseThroughTheSpeechChip) {
  boot(2, 0xF7FF);
  command("H");
  EXPECT_TRUE(rig::screen_has(codes("Beszéd..."))) << rig::screen();
  EXPECT_FALSE(rig::screen_has("HIBA"));
  ASSERT_EQ(rig::speechBytes.size(), 1u + 19 * 4);
  EXPECT_EQ(rig::speechBytes[0], 55) << "start pitch 110 Hz";
  std::vector<uint8_t> control;
  for (const rig::PortWrite& w : rig::portWrites)
    if (w.port == 0xF9) control.push_back(w.value);
  ASSERT_GE(control.size(), 2u);
  EXPECT_EQ(control.back(), 0x10) << "stopped at the end";
  // Frames are sent only when the chip is ready: 8 ms apart on the board.
  int64_t previous = -1;
  int frameStarts = 0;
  int dataBytes = 0;
  for (const rig::PortWrite& w : rig::portWrites) {
    if (w.port != 0xF8) continue;
    if (dataBytes++ == 0 || (dataBytes - 2) % 4 != 0) continue;
    if (previous >= 0) { EXPECT_GE(w.time - previous, 24000); }
    previous = w.time;
    ++frameStarts;
  }
  EXPECT_EQ(frameStarts, 19);
}

TEST(FirmwareTarvik, SpeechWithoutTheExtensionOrTheChipAnswersWithAMessage) {
  boot(2, 0x77FF);
  command("H");
  EXPECT_TRUE(rig::screen_has(codes("A beszédmodul csak 64 KB RAM mellett érhető el")))
      << rig::screen();
  EXPECT_TRUE(rig::speechBytes.empty());
  boot(1, 0xF7FF);
  command("H");
  EXPECT_TRUE(rig::screen_has(codes("Ezen a gépen nincs beszédszintetizátor"))) << rig::screen();
}

} // namespace
