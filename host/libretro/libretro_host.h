// What the files of the libretro platform share: the front end's callbacks
// as the core keeps them, the picture and sound handed over once a frame,
// the core options and the gamepad.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/libretro/libretro_api.h"

// The front end's callbacks (null until it hands them in).
extern retro_environment_t libretroEnvironment;
extern retro_log_printf_t libretroLog;

// A line for the front end's log, and the same shown on its screen for a
// few seconds (message boxes and failures).
void libretro_log(retro_log_level level, const char* text);
void libretro_show(const char* text);

// ---- picture -------------------------------------------------------------------------
inline constexpr unsigned LIBRETRO_WIDTH = 512, LIBRETRO_HEIGHT = 256;
// The frame bitmap of the last frame in the front end's pixel format (0RGB,
// 32 bits), converted once per frame.
const uint32_t* libretro_picture();

// ---- sound ---------------------------------------------------------------------------
// The samples the audio chain handed over since the last call, as stereo
// pairs for the batch callback (the mono sample in both); returns the number
// of pairs (one frame's 960, more or fewer around a pause of the sound).
size_t libretro_sound_take(const int16_t** pairs);

// ---- core options and the gamepad ----------------------------------------------------------
// Declares the options and the gamepad's input descriptors to the front end.
void libretro_options_declare();
// Reads the options and applies the ones that differ from the machine and
// the host as they are, the way their menu items do.
void libretro_options_apply();
// Polls the gamepad: each button whose state changed presses or releases
// the key the options give it.
void libretro_pad_poll(retro_input_state_t inputState);
// Every gamepad key released (a new machine state, the end of the game).
void libretro_pad_release();

// ---- keyboard ------------------------------------------------------------------------
void libretro_keyboard_event(bool down, unsigned keycode, uint32_t character, uint16_t modifiers);
