// What the Tarvik firmware shows and what its tapes hold, for the tests of
// several areas: the text screen as the user sees it (the blinking cursor
// shown as the character under it) and a tape-image block as the ROM saves
// it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "machine/memory.h"

namespace firmware_screen {

// Row y (0-31) of the 64-column screen, codes below 0x20 as '.', trailing
// blanks cut. The firmware keeps the cursor address at 0x4000, its shown
// flag in bit 7 of 0x4004 and the covered code at 0x4005.
inline std::string row(int y) {
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

inline std::string text() {
  std::string s;
  for (int y = 0; y < 32; ++y) s += row(y) + "\n";
  return s;
}

// One block: 256 leader bytes 0x00, 0xA5, the name, 0x00, address, length,
// data, checksum, then the given number of trailing 0x00 bytes.
inline std::vector<uint8_t> tape_block(const std::string& name, uint16_t address,
                                       const std::vector<uint8_t>& data, int trailers) {
  std::vector<uint8_t> t(256, 0x00);
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
  for (int i = 0; i < trailers; ++i) t.push_back(0);
  return t;
}

} // namespace firmware_screen
