// The two sound drivers of the Windows platform.
#pragma once

#include <windows.h>

#include <mmreg.h>

struct SoundDriver;

const SoundDriver* win_direct_sound_driver();
const SoundDriver* win_wave_out_driver();
// 16-bit signed mono PCM at the given rate.
WAVEFORMATEX win_sound_format(int sampleRate);
