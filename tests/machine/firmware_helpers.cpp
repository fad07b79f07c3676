#include "firmware_helpers.h"

#include <gtest/gtest.h>

#include "host/output/audio.h"
#include "machine/keyboard.h"
#include "machine/sound.h"
#include "tests/common/tarvik_firmware_screen.h"

namespace fw {

std::string row(int y) { return firmware_screen::row(y); }

std::string screen() { return firmware_screen::text(); }

bool screen_has(const std::string& text) { return screen().find(text) != std::string::npos; }

std::string last_line() {
  for (int y = 31; y >= 0; --y)
    if (!row(y).empty()) return row(y);
  return "";
}

bool at_prompt() { return last_line() == ">"; }

std::vector<std::string> output_after(const std::string& marker) {
  std::vector<std::string> rows;
  bool seen = false;
  for (int y = 0; y < 32; ++y) {
    if (row(y).find(marker) != std::string::npos) seen = true;
    if (seen) rows.push_back(row(y));
  }
  while (!rows.empty() && rows.back().empty()) rows.pop_back();
  return rows;
}

void boot(uint32_t model, uint32_t ramIndex) {
  bring_up(model, ramIndex);
  ASSERT_GE(frames_until(at_prompt, 50), 0) << screen();
}

void tap(int vk, bool shift) {
  if (shift) press(VKEY_SHIFT);
  press(vk);
  run_frames(3);
  release(vk);
  if (shift) release(VKEY_SHIFT);
  run_frames(3);
}

void type_keys(const std::string& text) {
  for (char c : text) {
    if (c >= 'A' && c <= 'Z')
      tap(c, true);
    else if (c >= 'a' && c <= 'z')
      tap(c - 'a' + 'A');
    else if (c >= '1' && c <= '9')
      tap(c);
    else if (c == ' ')
      tap(VKEY_SPACE);
    else if (c == '.')
      tap(VKEY_OEM_PERIOD);
    else if (c == '\r')
      tap(VKEY_RETURN);
    else
      ADD_FAILURE() << "no key for " << c;
  }
}

void command(const std::string& line, int limit) {
  const std::string text = line + "\r";
  ASSERT_TRUE(paste_begin(text.data(), text.size()));
  ASSERT_GE(frames_until([] { return !paste_active() && at_prompt(); }, limit), 0) << line << "\n"
                                                                                   << screen();
}

std::string codes(const std::string& utf8) {
  static const std::pair<const char*, char> kLetters[] = {
      {"Á", '\x40'}, {"É", '\x5B'}, {"Ö", '\x5C'}, {"Ü", '\x5D'}, {"Ó", '\x5F'}, {"Ú", '\x95'},
      {"Ű", '\x9D'}, {"á", '\x7F'}, {"é", '\x7B'}, {"í", '\xA9'}, {"ó", '\x7E'}, {"ő", '\xBC'},
      {"ö", '\x7C'}, {"ú", '\xB5'}, {"ű", '\xBD'}, {"ü", '\x7D'}};
  std::string s;
  for (size_t i = 0; i < utf8.size();) {
    bool found = false;
    for (const auto& [letter, code] : kLetters) {
      const std::string l = letter;
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

uint16_t word(uint16_t address) {
  return static_cast<uint16_t>(memory[address] | memory[static_cast<uint16_t>(address + 1)] << 8);
}

namespace {
int changes;
int16_t lastLevel;
void listen(int16_t* destination, int count) {
  if (beeperLevel != lastLevel) ++changes;
  lastLevel = beeperLevel;
  for (int i = 0; i < count; ++i) destination[i] = 0;
}
SoundSource listener = {"beep counter", nullptr, listen, nullptr};
} // namespace

void beeps_listen() {
  changes = 0;
  lastLevel = beeperLevel;
  sound_register(&listener);
}

int beeps_counted() {
  audio_update(cpu.tcount);
  return changes;
}

void beeps_stop() { sound_unregister(&listener); }

} // namespace fw
