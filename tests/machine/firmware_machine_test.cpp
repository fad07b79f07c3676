// Our Tarvik firmware on the real machine layer: every model boots to its
// banner and prompt, keys typed through the host key state and pasted text
// give the same line, the printer command writes printer.txt, and the
// Dorvane's speech command is heard.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/audio.h"
#include "machine/keyboard.h"
#include "machine/printer.h"
#include "machine_fixture.h"

namespace {

// The screen as it shows with the cursor taken away: 64 x 32 codes from
// video RAM (codes below 0x20 as '.').
std::string row_text(int y) {
  const bool cursorShown = memory[0x4004] & 0x80;
  const uint16_t cursor = static_cast<uint16_t>(memory[0x4000] | memory[0x4001] << 8);
  std::string s;
  for (int x = 0; x < 64; ++x) {
    const uint16_t a = static_cast<uint16_t>(0xF800 + y * 64 + x);
    const uint8_t c = cursorShown && a == cursor ? memory[0x4005] : memory[a];
    s += c < 0x20 ? '.' : static_cast<char>(c);
  }
  const size_t end = s.find_last_not_of(' ');
  return end == std::string::npos ? "" : s.substr(0, end + 1);
}

std::string screen_text() {
  std::string s;
  for (int y = 0; y < 32; ++y) s += row_text(y) + "\n";
  return s;
}

std::string last_line() {
  for (int y = 31; y >= 0; --y)
    if (!row_text(y).empty()) return row_text(y);
  return "";
}

bool at_prompt() { return last_line() == ">"; }

// Frames until the condition holds, -1 when `limit` frames pass first.
template <typename F> int frames_until(F done, int limit) {
  for (int i = 0; i <= limit; ++i) {
    if (done()) return i;
    run_frame();
  }
  return -1;
}

// A key held for three frames, then released for three.
void tap(int vk, bool shift = false) {
  if (shift) press(VK_SHIFT);
  press(vk);
  run_frames(3);
  release(vk);
  if (shift) release(VK_SHIFT);
  run_frames(3);
}

// Types capitals, digits 1-9, space and Enter through the positional keys.
void type_keys(const std::string& text) {
  for (char c : text) {
    if (c >= 'A' && c <= 'Z')
      tap(c, true);
    else if (c >= '1' && c <= '9')
      tap(c);
    else if (c == ' ')
      tap(VK_SPACE);
    else if (c == '\r')
      tap(VK_RETURN);
    else
      FAIL() << "no key for " << c;
  }
}

void paste_line(const std::string& text) {
  ASSERT_TRUE(paste_begin(text.data(), text.size()));
  ASSERT_GE(frames_until([] { return !paste_active() && at_prompt(); }, 200), 0) << screen_text();
}

class FirmwareOnMachine : public MachineTest {};

TEST_F(FirmwareOnMachine, EveryModelBootsToItsBannerAndPrompt) {
  const char* const banner[] = {"Tarvik 3.1 - Szabad ROM", "Tarvik 4.1 - Szabad ROM",
                                "Dorvane - Szabad ROM"};
  const char* const ram[] = {"4 KB RAM", "6 KB RAM", "8 KB RAM", "16 KB RAM", "32 KB RAM"};
  for (uint32_t model : {MODEL_TARVIK31, MODEL_TARVIK41, MODEL_DORVANE}) {
    for (uint32_t size : {0u, 3u, 6u}) {
      bring_up(model, size);
      const int frames = frames_until(at_prompt, 50);
      ASSERT_GE(frames, 0) << screen_text();
      EXPECT_EQ(row_text(0), banner[model]);
      EXPECT_EQ(row_text(1), size == 6 ? "64 KB RAM" : ram[size]);
      EXPECT_EQ(row_text(3), ">");
    }
  }
}

TEST_F(FirmwareOnMachine, TypedAndPastedLinesAreTheSame) {
  bring_up(MODEL_TARVIK41, 3);
  ASSERT_GE(frames_until(at_prompt, 50), 0);
  type_keys("M 4123 41 41\r");
  ASSERT_GE(frames_until(at_prompt, 50), 0) << screen_text();
  const std::string typed = screen_text();
  EXPECT_EQ(memory[0x4123], 0x41);
  EXPECT_EQ(memory[0x4124], 0x41);

  bring_up(MODEL_TARVIK41, 3);
  ASSERT_GE(frames_until(at_prompt, 50), 0);
  paste_line("M 4123 41 41\r");
  EXPECT_EQ(screen_text(), typed);
  EXPECT_EQ(row_text(3), "> M 4123 41 41");
  EXPECT_EQ(row_text(4), "4123 41 41 00 00 00 00 00 00 AA......");
}

TEST_F(FirmwareOnMachine, RepeatedLetterArrivesTwice) {
  for (bool pasted : {false, true}) {
    bring_up(MODEL_DORVANE, 3);
    ASSERT_GE(frames_until(at_prompt, 50), 0);
    if (pasted) {
      ASSERT_TRUE(paste_begin("AA", 2));
      ASSERT_GE(frames_until([] { return !paste_active(); }, 50), 0);
      run_frames(2);
    } else {
      type_keys("AA");
    }
    EXPECT_EQ(last_line(), "> AA") << (pasted ? "pasted" : "typed");
  }
}

TEST_F(FirmwareOnMachine, PrinterCommandWritesPrinterTxt) {
  const std::filesystem::path saved = std::filesystem::current_path();
  const std::filesystem::path dir =
      std::filesystem::path(::testing::TempDir()) / "tarvik_firmware_printer";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  bring_up(MODEL_TARVIK31, 3);
  ASSERT_GE(frames_until(at_prompt, 50), 0);
  // "N Árvíztűrő tükörfúrógép" in code page 1250, as the clipboard gives it.
  paste_line("N \xC1rv\xEDzt\xFBr\xF5 t\xFCk\xF6rf\xFAr\xF3g\xE9p\r");
  printer_close();
  std::ifstream in(dir / "printer.txt", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  std::filesystem::current_path(saved);
  std::filesystem::remove_all(dir);
  EXPECT_EQ(text, "\n\xC1rv\xEDzt\xFBr\xF5 t\xFCk\xF6rf\xFAr\xF3g\xE9p\n");
}

TEST_F(FirmwareOnMachine, DorvaneSpeechIsHeard) {
  const std::string wav =
      (std::filesystem::path(::testing::TempDir()) / "tarvik_speech.wav").string();
  bring_up(MODEL_DORVANE, 6);
  ASSERT_GE(frames_until(at_prompt, 50), 0);
  ASSERT_TRUE(audio_record_start(wav.c_str()));
  run_frames(10);
  ASSERT_TRUE(paste_begin("H\r", 2));
  const int frames = frames_until([] { return !paste_active() && at_prompt(); }, 200);
  run_frames(10);
  audio_update(cpu.tcount);
  audio_record_stop();
  ASSERT_GE(frames, 0) << screen_text();
  EXPECT_EQ(screen_text().find("HIBA"), std::string::npos) << screen_text();
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

} // namespace
