// What the host needs of the operating system. host/win32/ implements these
// with the Windows functions; host/headless/ in plain C++. The choice is made
// at link time.
#pragma once

#include <cstdint>

struct SoundDriver;

// ---- sound devices --------------------------------------------------------
// The driver record for SoundDriver index 1 (DirectSound) or 2 (WaveOut);
// null when the platform has none. The headless platform answers both with
// a virtual device that plays in step with what it is given.
const SoundDriver* platform_sound_driver(int index);

// ---- time -------------------------------------------------------------------
// Blocks the calling thread for about the given number of milliseconds.
void platform_sleep_ms(uint32_t milliseconds);

// ---- console ----------------------------------------------------------------
// The text console of the interactive monitor. Text attributes are the
// console's colour numbers: 10 bright green on black, 15 bright white.
inline constexpr int CONSOLE_ATTRIBUTE_NORMAL = 10;
inline constexpr int CONSOLE_ATTRIBUTE_BRIGHT = 15;
// Creates the console for the process and gives it the title; false when no
// console can be created.
bool platform_console_open(const char* title);
// Releases the console (nothing when none is open).
void platform_console_close();
// The console window's width in columns.
int platform_console_width();
// Reads one line typed by the user into the buffer (size bytes, terminated),
// including its line end when that fits; the rest of a longer line is
// dropped. False when no more input can come.
bool platform_console_read_line(char* buffer, int size);
void platform_console_write(const char* text);
void platform_console_set_attribute(int attribute);

// ---- on-screen monitor --------------------------------------------------------
// What the monitor's text layout is measured from: the window's client
// area, the status bar's height, and the cell of the fixed-pitch font
// (maximum character width, line height), all in pixels.
struct MonitorGeometry {
  int clientWidth;
  int clientHeight;
  int statusBarHeight;
  int charWidth;
  int lineHeight;
};
void platform_monitor_geometry(MonitorGeometry* geometry);
// Fills the area above the status bar black and draws the rows of text
// white on black in the fixed-pitch font, row r at x = 0, y = r * line
// height. With separatorRow >= 0 a white horizontal line goes across the
// width at y = separatorRow * line height - 1.
void platform_monitor_draw(const char* const* rows, int count, int separatorRow);

// ---- keyboard -------------------------------------------------------------
// Windows virtual-key codes throughout. A key counts as down while the host
// reports it down; VK_SHIFT, VK_CONTROL and VK_MENU are down while either of
// their left or right keys is.
bool platform_key_down(int vk);
// The key and modifiers that type a character (code page 1250) on the host's
// current keyboard layout: the virtual key in bits 0-7, the modifiers in
// bits 8-10 (0x100 Shift, 0x200 Ctrl, 0x400 Alt; AltGr is Ctrl+Alt); -1 when
// no key types it.
int platform_vk_scan(uint8_t character);
// Forgets every key that is held (all keys up).
void platform_clear_key_state();

// ---- files ----------------------------------------------------------------
// The separator between folder and file names on the host ('\\' or '/').
char platform_path_separator();
