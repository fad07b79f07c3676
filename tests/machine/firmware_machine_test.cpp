// Our Tarvik firmware on the machine layer: start-up on every model and RAM
// size, keys typed through the host key state and pasted text, the line
// editor, the monitor's commands, the Reset key, the printer, the tape
// traps and the Dorvane's speech.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "firmware_helpers.h"
#include "host/core/keys.h"
#include "host/headless/headless.h"
#include "host/output/audio.h"
#include "host/platform.h"
#include "host/ui/key_layout.h"
#include "machine/keyboard.h"
#include "machine/mea8000.h"
#include "machine/printer.h"
#include "media/tape.h"
#include "tests/common/tarvik_firmware_screen.h"

extern const uint8_t builtinTarvik31Rom[16384];
extern const uint8_t builtinTarvik41Rom[16384];
extern const uint8_t builtinDorvaneRom[16384];

namespace {

using fw::codes;
using fw::command;
using fw::frames_until;
using fw::output_after;
using fw::row;
using fw::screen;
using fw::screen_has;

class FirmwareOnMachine : public MachineTest {
protected:
  void TearDown() override {
    fw::beeps_stop();
    MachineTest::TearDown();
  }
  // A file in the temporary directory, unique per test and process (test
  // processes run in parallel, and other builds may share the directory).
  std::string temp(const std::string& name) {
    return (std::filesystem::path(::testing::TempDir()) /
            (std::string("tarvik_fw_") +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
             std::to_string(::getpid()) + "_" + name))
        .string();
  }
  void write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
};

std::vector<uint8_t> tape_block(const std::string& name, uint16_t address,
                                const std::vector<uint8_t>& data) {
  return firmware_screen::tape_block(name, address, data, 2);
}

TEST_F(FirmwareOnMachine, EveryModelBootsToItsBannerAndPrompt) {
  const char* const banner[] = {"Tarvik 3.1 - Szabad ROM", "Tarvik 4.1 - Szabad ROM",
                                "Dorvane - Szabad ROM"};
  for (uint32_t model : {MODEL_TARVIK31, MODEL_TARVIK41, MODEL_DORVANE}) {
    bring_up(model, 3);
    const int frames = frames_until(fw::at_prompt, 50);
    ASSERT_GE(frames, 0) << screen();
    EXPECT_LE(frames, 2);
    EXPECT_EQ(row(0), banner[model]);
    EXPECT_EQ(row(1), "16 KB RAM");
    EXPECT_EQ(row(2), codes("Gépi kódú monitor - súgó: S"));
    EXPECT_EQ(row(3), ">");
    EXPECT_EQ(fw::word(0x4000), 0xF8C2) << "the cursor stands after the prompt";
  }
}

TEST_F(FirmwareOnMachine, RamSizeAndMemoryTopAreProbed) {
  struct Size {
    uint32_t index;
    const char* text;
    uint16_t memTop;
  } sizes[] = {{0, "4 KB RAM", 0x4FFF},  {1, "6 KB RAM", 0x57FF},  {2, "8 KB RAM", 0x5FFF},
               {3, "16 KB RAM", 0x7FFF}, {4, "32 KB RAM", 0xBFFF}, {6, "64 KB RAM", 0xBFFF}};
  for (const Size& s : sizes) {
    bring_up(MODEL_TARVIK41, s.index);
    memory[0x4400] = 0x77; // the probe puts back what it finds
    ASSERT_GE(frames_until(fw::at_prompt, 50), 0) << screen();
    EXPECT_EQ(row(1), s.text);
    EXPECT_EQ(fw::word(0x4016), s.memTop) << s.text;
    EXPECT_EQ(memory[0x4400], 0x77) << s.text;
    EXPECT_EQ(fw::word(0x400C), 0x0616) << "output vector on the screen";
    EXPECT_EQ(fw::word(0x4030), 0x4100);
    EXPECT_EQ(fw::word(0x4018), 0x4100);
  }
}

TEST_F(FirmwareOnMachine, FixedAddressesHoldTheContractedCode) {
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

TEST_F(FirmwareOnMachine, TypedAndPastedLinesAreTheSame) {
  fw::boot(MODEL_TARVIK41);
  fw::type_keys("M 4123 41 41\r");
  ASSERT_GE(frames_until(fw::at_prompt, 50), 0) << screen();
  const std::string typed = screen();
  EXPECT_EQ(memory[0x4123], 0x41);
  EXPECT_EQ(memory[0x4124], 0x41);

  fw::boot(MODEL_TARVIK41);
  command("M 4123 41 41");
  EXPECT_EQ(screen(), typed);
  EXPECT_EQ(row(3), "> M 4123 41 41");
  EXPECT_EQ(row(4), "4123 41 41 00 00 00 00 00 00 AA......");
}

TEST_F(FirmwareOnMachine, LetterOIsAZeroInNumbers) {
  fw::boot(MODEL_TARVIK41);
  fw::type_keys("M 41O1 AO O7\r"); // no host key is wired to the 0 key
  ASSERT_GE(frames_until(fw::at_prompt, 50), 0) << screen();
  EXPECT_EQ(memory[0x4101], 0xA0);
  EXPECT_EQ(memory[0x4102], 0x07);
}

TEST_F(FirmwareOnMachine, RepeatedLetterArrivesTwice) {
  for (bool pasted : {false, true}) {
    fw::boot(MODEL_DORVANE);
    if (pasted) {
      ASSERT_TRUE(paste_begin("AA", 2));
      ASSERT_GE(frames_until([] { return !paste_active(); }, 50), 0);
      run_frames(2);
    } else {
      fw::type_keys("AA");
    }
    EXPECT_EQ(fw::last_line(), "> AA") << (pasted ? "pasted" : "typed");
  }
}

TEST_F(FirmwareOnMachine, LineEditorDeletesAndInserts) {
  fw::boot(MODEL_TARVIK41);
  fw::type_keys("ABX");
  fw::tap(VKEY_LEFT, true); // Shift + Left: delete to the left
  fw::type_keys("C");
  EXPECT_EQ(fw::last_line(), "> ABC");
  fw::tap(VKEY_LEFT);
  fw::tap(VKEY_LEFT);
  fw::tap(VKEY_RIGHT, true); // Shift + Right: delete under the cursor
  fw::type_keys("Z");
  EXPECT_EQ(fw::last_line(), "> AZC");
  fw::tap(VKEY_RETURN);
  EXPECT_TRUE(screen_has(codes("Ismeretlen parancs (súgó: S)"))) << screen();
}

TEST_F(FirmwareOnMachine, CursorKeysWorkOnTheDorvanesOwnWiring) {
  for (uint32_t model : {MODEL_TARVIK41, MODEL_DORVANE}) {
    fw::boot(model);
    fw::type_keys("AB");
    fw::tap(VKEY_RIGHT); // nothing to the right
    fw::tap(VKEY_LEFT);
    fw::type_keys("X");
    EXPECT_EQ(fw::last_line(), "> AXB") << model;
  }
}

TEST_F(FirmwareOnMachine, ShiftLockCtrlAndHungarianLegends) {
  fw::boot(MODEL_TARVIK41);
  fw::tap(VKEY_DELETE);        // á
  fw::tap(VKEY_DELETE, true);  // Á
  fw::tap(VKEY_END);           // é
  fw::tap(VKEY_OEM_4);         // ö
  fw::tap(VKEY_OEM_102, true); // Ü
  fw::tap(VKEY_CAPITAL);       // Lock: capitals
  fw::type_keys("q");
  fw::tap('F', true);    // Shift under Lock: small letter
  fw::type_keys("1");    // digits stay
  fw::tap(VKEY_CAPITAL); // Lock off
  fw::type_keys("r");
  press(VKEY_CONTROL);
  fw::tap('U');        // ú
  fw::tap(VKEY_OEM_4); // ő
  release(VKEY_CONTROL);
  EXPECT_EQ(fw::last_line(), "> " + codes("áÁéöÜ") + "Qf1r" + codes("úő"));
}

TEST_F(FirmwareOnMachine, HelpUnknownCommandAndBadParameterBeep) {
  fw::boot(MODEL_TARVIK31);
  command("S");
  EXPECT_TRUE(screen_has(codes("F (cím)        futtatás"))) << screen();
  fw::beeps_listen();
  command("Q");
  EXPECT_TRUE(screen_has(codes("Ismeretlen parancs (súgó: S)")));
  EXPECT_GE(fw::beeps_counted(), 150) << "an error beeps";
  fw::beeps_stop();
  fw::beeps_listen();
  command("L XYZ");
  EXPECT_TRUE(screen_has(codes("Hibás paraméter")));
  EXPECT_GE(fw::beeps_counted(), 150);
}

TEST_F(FirmwareOnMachine, ListModifyAndRun) {
  fw::boot(MODEL_TARVIK41);
  // A program that prints "OK" through RST 10h and returns.
  command("M 4200 3E 4F D7 3E 4B D7 C9");
  command("F 4200");
  EXPECT_EQ(output_after("> F 4200").at(1), "OK") << screen();
  command("T");
  command("L 4200");
  std::vector<std::string> rows = output_after("> L 4200");
  ASSERT_EQ(rows.size(), 18u) << screen();
  EXPECT_EQ(rows[1], "4200 3E 4F D7 3E 4B D7 C9 00 >O\xD7>K\xD7\xC9.");
  EXPECT_EQ(rows[16].substr(0, 4), "4278");
  command("L");
  EXPECT_EQ(output_after("> L").at(1).substr(0, 4), "4280") << "L goes on where it stopped";
}

TEST_F(FirmwareOnMachine, ProgramStartEntryRunsTheProgramAt4030) {
  fw::boot(MODEL_TARVIK41);
  command("M 4200 3E 5A D7 C9");
  memory[0x4030] = 0x00;
  memory[0x4031] = 0x42;
  cpu.pc = 0x179D; // as the emulator's autoload does
  run_frame();
  ASSERT_GE(frames_until(fw::at_prompt, 20), 0) << screen();
  EXPECT_TRUE(screen_has("\n> Z\n")) << screen();
}

TEST_F(FirmwareOnMachine, ResetKeyIsAWarmStart) {
  fw::boot(MODEL_TARVIK41);
  command("M 4100 12 34");
  fw::type_keys("L 41");
  machine_reset_button();
  ASSERT_GE(frames_until(fw::at_prompt, 20), 0) << screen();
  EXPECT_TRUE(screen_has(codes("Meleg indulás"))) << screen();
  EXPECT_EQ(memory[0x4100], 0x12);
  EXPECT_EQ(memory[0x4101], 0x34);
  EXPECT_TRUE(screen_has("> L 41\n")) << "the screen is kept, the cursor taken away";
  command("L 4100");
  EXPECT_EQ(output_after("> L 4100").at(1).substr(0, 10), "4100 12 34");
}

TEST_F(FirmwareOnMachine, PrinterCommandWritesPrinterTxtAndRestartStillWorks) {
  const std::filesystem::path saved = std::filesystem::current_path();
  const std::filesystem::path dir = temp("printer");
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  fw::boot(MODEL_TARVIK31);
  // "N Árvíztűrő tükörfúrógép" in code page 1250, as the clipboard gives it.
  command("N \xC1rv\xEDzt\xFBr\xF5 t\xFCk\xF6rf\xFAr\xF3g\xE9p");
  EXPECT_TRUE(screen_has(codes("Nyomtatás kész.")));
  printer_close();
  std::ifstream in(dir / "printer.txt", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  std::filesystem::current_path(saved);
  std::filesystem::remove_all(dir);
  EXPECT_EQ(text, "\n\xC1rv\xEDzt\xFBr\xF5 t\xFCk\xF6rf\xFAr\xF3g\xE9p\n");
  // The parallel interface latched its bytes into 0000h-0003h of the ROM
  // copy; a restart from 0000h still reaches the cold start.
  EXPECT_EQ(memory[0], 0x0D);
  EXPECT_EQ(memory[3], 0x80);
  machine_restart();
  ASSERT_GE(frames_until([] { return row(0) == "Tarvik 3.1 - Szabad ROM" && fw::at_prompt(); }, 50),
            0)
      << screen();
}

TEST_F(FirmwareOnMachine, LoadReportsAWrongChecksumAShortTapeAndABreak) {
  fw::boot(MODEL_TARVIK41);
  std::vector<uint8_t> image = tape_block("ROSSZ", 0x4100, {1, 2, 3});
  image[image.size() - 3] ^= 0x55; // the checksum
  write(temp("bad.tkt"), image);
  ASSERT_TRUE(tape_attach(temp("bad.tkt").c_str()));
  fw::beeps_listen();
  command("B");
  EXPECT_TRUE(screen_has("ROSSZ 4100-4102")) << screen();
  EXPECT_TRUE(screen_has(codes("HIBA: rossz ellenőrző összeg"))) << screen();
  EXPECT_GE(fw::beeps_counted(), 150);
  EXPECT_EQ(fw::word(0x4030), 0x4100) << "unchanged";

  image = tape_block("ROVID", 0x4100, std::vector<uint8_t>(50, 9));
  image.resize(image.size() - 30);
  write(temp("short.tkt"), image);
  ASSERT_TRUE(tape_attach(temp("short.tkt").c_str()));
  command("B");
  EXPECT_TRUE(screen_has(codes("HIBA: a kazetta véget ért"))) << screen();

  // No tape: the ROM waits in its search until a key is pressed.
  ASSERT_TRUE(paste_begin("B\r", 2));
  run_frames(20);
  EXPECT_EQ(fw::last_line(), codes("Keresés a kazettán..."));
  fw::tap(VKEY_SPACE);
  ASSERT_GE(frames_until(fw::at_prompt, 20), 0) << screen();
  int prompt = 31;
  while (prompt > 0 && row(prompt).empty()) --prompt;
  EXPECT_EQ(row(prompt - 1), codes("Megszakítva"));
}

TEST_F(FirmwareOnMachine, LoadLeavesTheRomAreaAlone) {
  fw::boot(MODEL_TARVIK41);
  write(temp("sys.tkt"), tape_block("SYS", 0x40A0, std::vector<uint8_t>(0x70, 0xEE)));
  ASSERT_TRUE(tape_attach(temp("sys.tkt").c_str()));
  command("B");
  EXPECT_NE(memory[0x40A2], 0xEE) << "the ROM's area stays";
  EXPECT_EQ(memory[0x4100], 0xEE);
  EXPECT_EQ(memory[0x410F], 0xEE);
  EXPECT_TRUE(screen_has(codes("Betöltve.")));
}

TEST_F(FirmwareOnMachine, SixtyFourKbLoadKeepsTheIoState) {
  fw::boot(MODEL_TARVIK41, 6);
  write(temp("hi.tkt"), tape_block("HI", 0x8000, {0x11, 0x22}));
  ASSERT_TRUE(tape_attach(temp("hi.tkt").c_str()));
  command("B");
  EXPECT_TRUE(screen_has(codes("Betöltve."))) << "the screen is written in the I/O state";
  EXPECT_EQ(machineState.highBankOffset, 0x10000u);
  EXPECT_EQ(memory[0x18000], 0x11) << "stored where the monitor reads it";
  command("L 8000");
  EXPECT_EQ(output_after("> L 8000").at(1).substr(0, 10), "8000 11 22");
}

TEST_F(FirmwareOnMachine, ThirtyTwoColumnModeUsesEveryOtherCell) {
  host_keys_release();
  machineState.currentModel = MODEL_TARVIK41;
  machineState.ramSizeIndex = 3;
  machineState.screenMode32 = 1;
  machine_init();
  ASSERT_GE(frames_until([] { return memory[0x4002] == 2 && memory[0xF801] == 'T'; }, 50), 0);
  EXPECT_EQ(memory[0xF803], 'a');
  EXPECT_EQ(memory[0xF805], 'r');
  EXPECT_EQ(memory[0xF800], 0x00) << "even cells are never written";
  machineState.screenMode32 = 0;
}

TEST_F(FirmwareOnMachine, ThirtyTwoColumnListRowsFit) {
  host_keys_release();
  machineState.currentModel = MODEL_TARVIK41;
  machineState.ramSizeIndex = 3;
  machineState.screenMode32 = 1;
  machine_init();
  // Row y of the 32-column screen: the odd cells.
  auto row32 = [](int y) {
    std::string s;
    for (int x = 0; x < 32; ++x) {
      const uint8_t c = memory[0xF800 + 64 * y + 2 * x + 1];
      s += c < 0x20 ? '.' : static_cast<char>(c);
    }
    return s.substr(0, s.find_last_not_of(' ') + 1);
  };
  ASSERT_GE(frames_until([] { return memory[0x4002] == 2 && memory[0xF801] == 'T'; }, 50), 0);
  run_frames(5);
  memory[0x4200] = 0x41;
  memory[0x4201] = 0x42;
  memory[0x4208] = 0xC9;
  ASSERT_TRUE(paste_begin("L 4200\r", 7));
  ASSERT_GE(frames_until([] { return !paste_active(); }, 100), 0);
  run_frames(10);
  int y = 0;
  while (y < 31 && row32(y).find("L 4200") == std::string::npos) ++y;
  ASSERT_LT(y, 31);
  EXPECT_EQ(row32(y + 1), "4200 41 42 00 00 00 00 00 00");
  EXPECT_EQ(row32(y + 2), "4208 C9 00 00 00 00 00 00 00");
  EXPECT_EQ(row32(y + 16).substr(0, 4), "4278");
  EXPECT_EQ(memory[0x4008] | memory[0x4009] << 8, 0x4280) << "L goes on where it stopped";
  machineState.screenMode32 = 0;
}

TEST_F(FirmwareOnMachine, DorvaneSpeechIsHeard) {
  const std::string wav = temp("speech.wav");
  fw::boot(MODEL_DORVANE, 6);
  ASSERT_TRUE(audio_record_start(wav.c_str()));
  run_frames(10);
  ASSERT_TRUE(paste_begin("H\r", 2));
  const int frames = frames_until([] { return !paste_active() && fw::at_prompt(); }, 200);
  run_frames(10);
  audio_update(cpu.tcount);
  audio_record_stop();
  ASSERT_GE(frames, 0) << screen();
  EXPECT_TRUE(screen_has(codes("Beszéd..."))) << screen();
  EXPECT_FALSE(screen_has("HIBA")) << screen();
  EXPECT_EQ(mea.stopped, 16) << "the chip is stopped at the end";
  std::ifstream in(wav, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  std::filesystem::remove(wav);
  ASSERT_GT(bytes.size(), 44u);
  std::vector<int16_t> samples((bytes.size() - 44) / 2);
  std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
  // Loudness in 20 ms windows: silence before the command, speech for a
  // good part of a second, silence again after the chip was stopped.
  std::vector<double> rms;
  for (size_t w = 0; w + 960 <= samples.size(); w += 960) {
    double sum = 0;
    for (size_t i = w; i < w + 960; ++i) sum += double(samples[i]) * samples[i];
    rms.push_back(std::sqrt(sum / 960));
  }
  ASSERT_GT(rms.size(), 30u);
  int loud = 0;
  for (double r : rms) loud += r > 300 ? 1 : 0;
  int peak = 0;
  for (int16_t v : samples) peak = std::max(peak, std::abs(static_cast<int>(v)));
  EXPECT_LT(peak, 32000) << "the phrase does not overdrive the chip";
  EXPECT_LT(rms.front(), 50) << "silent before the command";
  EXPECT_LT(rms.back(), 50) << "silent after it";
  EXPECT_GE(loud, 10) << "at least 0.2 s of speech";
  EXPECT_LE(loud, 50);
}

TEST_F(FirmwareOnMachine, SpeechWithoutTheExtensionOrTheChipAnswersWithAMessage) {
  fw::boot(MODEL_DORVANE, 3);
  command("H");
  EXPECT_TRUE(screen_has(codes("A beszédmodul csak 64 KB RAM mellett érhető el"))) << screen();
  EXPECT_EQ(mea.stopped, 16);
  fw::boot(MODEL_TARVIK41, 6);
  command("H");
  EXPECT_TRUE(screen_has(codes("Ezen a gépen nincs beszédszintetizátor"))) << screen();
}

} // namespace

namespace {

// Types a character the way a user of the host's keyboard layout would:
// its key with the modifiers the layout needs.
void type_host_char(uint8_t c) {
  const int scan = layout_key_for_character(hungarianLayout, c);
  ASSERT_GE(scan, 0) << "no host key types " << int(c);
  const int vk = scan & 0xFF;
  if (scan & 0x100) press(VKEY_SHIFT);
  if (scan & 0x200) press(VKEY_CONTROL);
  if (scan & 0x400) press(VKEY_MENU);
  press(vk);
  run_frames(3);
  release(vk);
  release(VKEY_SHIFT);
  release(VKEY_CONTROL);
  release(VKEY_MENU);
  run_frames(3);
}

TEST_F(FirmwareOnMachine, SymbolicKeyboardTypesTheHostsCharacters) {
  fw::boot(MODEL_TARVIK41);
  machine_set_symbolic_keyboard(1);
  // "Ab!é:Ó/0" in code page 1250
  for (uint8_t c : std::string("Ab!\xE9:\xD3/0")) type_host_char(c);
  EXPECT_EQ(fw::last_line(), "> Ab!" + codes("é") + ":" + codes("Ó") + "/0");
  fw::tap(VKEY_BACK); // the host's Backspace: emulated Shift + Left
  EXPECT_EQ(fw::last_line(), "> Ab!" + codes("é") + ":" + codes("Ó") + "/");
  machine_set_symbolic_keyboard(0);
}

} // namespace
