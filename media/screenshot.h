// Screenshots: 1-bit BMP of the 512 x 256 picture, 16 446 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

enum : uint32_t {
  SCREENSHOT_BYTES = 16446,
  SCREENSHOT_WIDTH = 512,
  SCREENSHOT_HEIGHT = 256,
  SCREENSHOT_ROW_BYTES = 64,
};

// The display bitmap's palette (blue, green, red, reserved): black, white.
inline constexpr uint8_t SCREENSHOT_PALETTE[8] = {0, 0, 0, 0, 255, 255, 255, 0};

// Writes the BMP of the 256 rows of 64 bytes of `pixels`, bottom row
// first, with the given two-entry palette. Stops at the first failed write;
// false then.
bool save_screenshot(const char* path, const uint8_t* pixels,
                     const uint8_t palette[8] = SCREENSHOT_PALETTE);
// The machine's current picture.
bool save_screenshot(const char* path);
// The first of "tarvik0000.bmp", "tarvik0001.bmp", ... (then tarvik10000.bmp
// and on) that does not exist in the directory ("" = the current one).
// False when the name does not fit.
bool screenshot_auto_name(const char* directory, char* name, size_t nameSize);
