// Driving our Veltra-16 firmware in tests: its screen codes as text, its
// system variables, typing on the emulated keyboard and pasting.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// System variables of the firmware (veltra16-defs.inc).
inline constexpr uint16_t kVmode = 0x4000;  // 0 text, 1 bitmap
inline constexpr uint16_t kFrames = 0x4001; // frames drawn, 16 bits
inline constexpr uint16_t kCurRow = 0x4003;
inline constexpr uint16_t kCurCol = 0x4004;
inline constexpr uint16_t kLastKey = 0x404B; // complement of the key held
inline constexpr uint16_t kLineBuffer = 0x4050;
inline constexpr uint16_t kUserRam = 0x4200;
// Row y, column x of the text screen is kept at 0xC001 + 40y + x.
inline constexpr uint16_t kScreenTop = 0xC001;
// The text occupies picture lines 20-219 (centred in the 240).
inline constexpr uint32_t kTextFirstLine = 20;
inline constexpr uint32_t kTextLines = 200;

// The text a screen code shows (UTF-8); "~" for codes without a character
// (block graphics, blanks outside the set); an inverted code (the cursor)
// shows its character.
std::string veltra_char(uint8_t code);
// The codes of a text in the firmware's set (what the ROM prints for it).
std::vector<uint8_t> veltra_codes(const std::string& text);
// Row y of the screen (40 cells) as text, with the spaces at its end cut.
std::string veltra_row(int y);
// Any of the 25 rows holds this text.
bool screen_contains(const std::string& text);

// Runs frames until the condition holds (checked after each frame); true
// when it did within the limit.
bool run_frames_until(const std::function<bool()>& condition, int limit);
// The firmware waits for a key with an empty line after its prompt.
bool at_prompt();
// Brings the Veltra-16 up with the given RAM size index and runs it to its
// prompt; the number of frames that took, or -1.
int boot_veltra(uint32_t ramIndex = 6);

// Types text on the emulated keyboard: each character is pressed (with
// Shift where the key needs it) for two frames and released for two.
void type_keys(const std::string& text);
void type_key(int vk, bool shift = false);
// Pastes text (code page 1250) and runs until it has all been typed.
void paste_text(const std::string& text);
