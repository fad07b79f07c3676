// Screenshots (1-bit BMP of the 512 x 256 picture, 16 446 bytes) and the
// capture of the sound output to a 48 kHz 16-bit mono WAV file.
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

// Writes the BMP of 256 rows of 64 bytes taken every `rowStride` bytes from
// `pixels` (64 for the one-line-per-row bitmap; 128 for the double-height
// one, whose even rows are the emulated lines), bottom row first, with the
// given two-entry palette. Stops at the first failed write; false then.
bool save_screenshot(const char* path, const uint8_t* pixels, uint32_t rowStride,
                     const uint8_t palette[8] = SCREENSHOT_PALETTE);
// Rows of the frame buffer that make up the picture: 64 bytes apart on the
// DirectDraw path, 128 on the GDI path (every emulated line drawn twice).
// The display sets it when it builds its bitmap.
extern uint32_t screenshotRowStride;
// The current picture from the frame buffer.
bool save_screenshot(const char* path);
// The first of "tarvik0000.bmp", "tarvik0001.bmp", ... (then tarvik10000.bmp
// and on) that does not exist in the directory ("" = the current one).
// False when the name does not fit.
bool screenshot_auto_name(const char* directory, char* name, size_t nameSize);

// Sound capture ("Hang mentése mint..."): the audio output chain appends
// every block it outputs. Start is false when the file cannot be created.
bool sound_capture_start(const char* path);
// Fixes the header sizes, closes the file and reports the bytes of sound in
// it. False when the file could not be written completely.
bool sound_capture_stop(uint32_t* bytesInFile = nullptr);
// False when no capture runs; else the bytes of sample data written so far.
bool sound_capture_bytes(uint32_t* bytes);
// Shows "WAV mentés: ... kbyte eddig..." in status-bar part 2 while a capture
// runs (called whenever the host refreshes its title).
void sound_capture_show_progress();
