#include "veltra_firmware.h"

#include <gtest/gtest.h>

#include <cstring>

#include "machine/keyboard.h"
#include "machine_fixture.h"

namespace {

const char* const kAccented[] = {"Á", "É", "Í", "Ó", "Ö", "Ő", "Ú", "Ü", "Ű"};
const char kSigns[] = "^+-*/()=.,!\"#$%&'"; // codes 0x60-0x70

struct KeyFor {
  char character;
  int vk;
  bool shift;
};
// The keys of the firmware's keyboard table for the signs.
const KeyFor kSignKeys[] = {
    {'+', VKEY_OEM_PLUS, true},
    {'=', VKEY_OEM_PLUS, false},
    {'-', VKEY_OEM_MINUS, false},
    {'_', VKEY_OEM_MINUS, true},
    {'*', '8', true},
    {'/', VKEY_OEM_2, false},
    {'?', VKEY_OEM_2, true},
    {'.', VKEY_OEM_PERIOD, false},
    {'>', VKEY_OEM_PERIOD, true},
    {',', VKEY_OEM_COMMA, false},
    {'<', VKEY_OEM_COMMA, true},
    {';', VKEY_OEM_1, false},
    {':', VKEY_OEM_1, true},
    {'\'', VKEY_OEM_7, false},
    {'"', VKEY_OEM_7, true},
    {'(', '9', true},
    {')', '0', true},
    {'!', '1', true},
    {'@', VKEY_OEM_3, false},
    {'#', '3', true},
    {'$', '4', true},
    {'%', '5', true},
    {'^', '6', true},
    {'&', '7', true},
    {'[', VKEY_OEM_4, false},
    {'\\', VKEY_OEM_5, false},
    {']', VKEY_OEM_6, false},
    {' ', VKEY_SPACE, false},
    {'\r', VKEY_RETURN, false},
};

} // namespace

std::string veltra_char(uint8_t code) {
  if (code >= 0x80) return veltra_char(static_cast<uint8_t>(code - 0x80)); // inverse: the cursor
  if (code >= 0x10 && code <= 0x3F) return std::string(1, static_cast<char>(code + 0x20));
  if (code == 0x40) return " ";
  if (code >= 0x41 && code <= 0x49) return kAccented[code - 0x41];
  if (code >= 0x60 && code <= 0x70) return std::string(1, kSigns[code - 0x60]);
  return "~";
}

std::vector<uint8_t> veltra_codes(const std::string& text) {
  std::vector<uint8_t> codes;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      bool found = false;
      for (int k = 0; k < 9 && !found; ++k) {
        const size_t n = std::strlen(kAccented[k]);
        if (text.compare(i, n, kAccented[k]) == 0) {
          codes.push_back(static_cast<uint8_t>(0x41 + k));
          i += n - 1;
          found = true;
        }
      }
      if (!found) ADD_FAILURE() << "no code for the text at " << i << " in " << text;
    } else if (c == ' ') {
      codes.push_back(0x40);
    } else if (c >= 0x30 && c <= 0x5F) {
      codes.push_back(static_cast<uint8_t>(c - 0x20));
    } else if (const char* s = std::strchr(kSigns, c); s && c) {
      codes.push_back(static_cast<uint8_t>(0x60 + (s - kSigns)));
    } else {
      ADD_FAILURE() << "no code for '" << c << "'";
    }
  }
  return codes;
}

std::string veltra_row(int y) {
  std::string text;
  for (int x = 0; x < 40; ++x) text += veltra_char(memory[kScreenTop + 40 * y + x]);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

bool screen_contains(const std::string& text) {
  for (int y = 0; y < 25; ++y)
    if (veltra_row(y).find(text) != std::string::npos) return true;
  return false;
}

bool run_frames_until(const std::function<bool()>& condition, int limit) {
  for (int i = 0; i < limit; ++i) {
    run_frame();
    if (condition()) return true;
  }
  return false;
}

bool at_prompt() {
  const int row = memory[kCurRow];
  // The prompt ">" with nothing typed after it, and the key poll running.
  return row < 25 && memory[kCurCol] == 1 && veltra_row(row) == ">";
}

int boot_veltra(uint32_t ramIndex) {
  bring_up(MODEL_VELTRA16, ramIndex);
  for (int frame = 1; frame <= 100; ++frame) {
    run_frame();
    if (at_prompt()) return frame;
  }
  return -1;
}

void type_key(int vk, bool shift) {
  if (shift) press(VKEY_LSHIFT);
  press(vk);
  run_frames(2);
  release(vk);
  if (shift) release(VKEY_LSHIFT);
  run_frames(2);
}

void type_keys(const std::string& text) {
  for (char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
      type_key(c);
      continue;
    }
    bool found = false;
    for (const KeyFor& k : kSignKeys) {
      if (k.character == c) {
        type_key(k.vk, k.shift);
        found = true;
        break;
      }
    }
    if (!found) ADD_FAILURE() << "no key types '" << c << "'";
  }
}

void paste_text(const std::string& text) {
  ASSERT_TRUE(paste_begin(text.data(), text.size()));
  EXPECT_TRUE(
      run_frames_until([] { return !paste_active(); }, 50 + 2 * static_cast<int>(text.size())));
  run_frames(2);
}
