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
