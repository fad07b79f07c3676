// The shared monochrome frame buffer, the character sets, the Tarvik
// text-screen renderer and the Veltra-16 picture fetch.
#pragma once

#include <cstdint>

// The machine's picture: 256 rows of 512 pixels, 1 bit per pixel, most
// significant bit leftmost, 1 = white, rows 64 bytes apart. What a
// presentation path needs beyond that (rows doubled for GDI) the host makes
// from it.
inline constexpr uint32_t kFrameRowBytes = 64;
inline constexpr uint32_t kFrameBufferSize = 262144;
extern uint8_t frameBuffer[kFrameBufferSize];
// Moves on whenever the frame buffer may have changed: a render that drew, a
// clear, a loaded state, a Veltra-16 frame. A presentation that saw
// the same number may take the pixels as unchanged. Another writer of the
// frame buffer moves it on too (frame_buffer_changed).
extern uint64_t frameBufferVersion;
inline void frame_buffer_changed() { ++frameBufferVersion; }

// Veltra-16 picture: 320 x 240 pixels at column 96, row 20 (stride 64).
inline constexpr uint32_t kVeltraPictureOffset = 1292;
inline constexpr uint32_t kVeltraBitmapOffset = 1201;
inline constexpr uint32_t kVeltraPictureLines = 240;

// Character sets: 2048 bytes, glyph row r of code c at r * 256 + c.
extern uint8_t userCharset[2048];
extern const uint8_t* currentCharset;

// The built-in set current and copied into the user buffer (bring-up,
// cold restart, "&Eredeti visszaállítása").
void video_restore_charset();
// Port 0x81 bit 0: 1 the user buffer, 0 the built-in set.
void video_select_charset(bool user);

void video_clear();
// Draws the Tarvik text screen from video RAM into the frame buffer; false
// when nothing it is drawn from changed since it last drew (the frame buffer
// already holds that picture).
bool video_render();
// For a writer of the frame buffer other than the renderer: the next
// video_render draws whatever it finds.
void video_forget_drawn();

// A Veltra-16 opcode fetch from the picture area while the picture is on:
// deposits one cell and returns the opcode the CPU executes.
uint8_t veltra_picture_fetch(uint16_t address);

// "VID ": the picture's 256 rows (the rest of the buffer is cleared on
// load), the user character set and which set is current.
class StateWriter;
class StateReader;
void video_state_save(StateWriter& w);
bool video_state_load(StateReader& r, bool apply);
