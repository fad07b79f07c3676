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
