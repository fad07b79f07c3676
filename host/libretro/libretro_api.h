// The part of the libretro interface this core uses: the entry points a
// core exports, the callbacks the front end hands in, and the structures
// and numbers they pass, written from the interface's public description.
// Only what the core needs is declared here.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define RETRO_EXPORT extern "C" __declspec(dllexport)
#else
#define RETRO_EXPORT extern "C" __attribute__((visibility("default")))
#endif

inline constexpr unsigned RETRO_API_VERSION = 1;

// ---- devices and their inputs ---------------------------------------------------
enum : unsigned { RETRO_DEVICE_NONE = 0, RETRO_DEVICE_JOYPAD = 1, RETRO_DEVICE_KEYBOARD = 3 };
enum : unsigned {
  RETRO_DEVICE_ID_JOYPAD_B = 0,
  RETRO_DEVICE_ID_JOYPAD_Y = 1,
  RETRO_DEVICE_ID_JOYPAD_SELECT = 2,
  RETRO_DEVICE_ID_JOYPAD_START = 3,
  RETRO_DEVICE_ID_JOYPAD_UP = 4,
  RETRO_DEVICE_ID_JOYPAD_DOWN = 5,
  RETRO_DEVICE_ID_JOYPAD_LEFT = 6,
  RETRO_DEVICE_ID_JOYPAD_RIGHT = 7,
  RETRO_DEVICE_ID_JOYPAD_A = 8,
  RETRO_DEVICE_ID_JOYPAD_X = 9,
  RETRO_DEVICE_ID_JOYPAD_L = 10,
  RETRO_DEVICE_ID_JOYPAD_R = 11,
};

// ---- memory regions ----------------------------------------------------------------
enum : unsigned { RETRO_MEMORY_SYSTEM_RAM = 2 };

enum : unsigned { RETRO_REGION_PAL = 1 };

// ---- pixel formats -------------------------------------------------------------------
enum RetroPixelFormat : int { RETRO_PIXEL_FORMAT_XRGB8888 = 1 };

// ---- environment requests --------------------------------------------------------------
enum : unsigned {
  RETRO_ENVIRONMENT_SET_MESSAGE = 6,
  RETRO_ENVIRONMENT_GET_SYSTEM_DIRECTORY = 9,
  RETRO_ENVIRONMENT_SET_PIXEL_FORMAT = 10,
  RETRO_ENVIRONMENT_SET_INPUT_DESCRIPTORS = 11,
  RETRO_ENVIRONMENT_SET_KEYBOARD_CALLBACK = 12,
  RETRO_ENVIRONMENT_GET_VARIABLE = 15,
  RETRO_ENVIRONMENT_SET_VARIABLES = 16,
  RETRO_ENVIRONMENT_GET_VARIABLE_UPDATE = 17,
  RETRO_ENVIRONMENT_SET_SUPPORT_NO_GAME = 18,
  RETRO_ENVIRONMENT_GET_LOG_INTERFACE = 27,
};

// ---- keyboard: the front end's key codes ----------------------------------------------
// Printable keys are their (lower-case) ASCII codes; the others follow.
enum : unsigned {
  RETROK_BACKSPACE = 8,
  RETROK_TAB = 9,
  RETROK_RETURN = 13,
  RETROK_ESCAPE = 27,
  RETROK_SPACE = 32,
  RETROK_DELETE = 127,
  RETROK_KP0 = 256, // to RETROK_KP9 = 265
  RETROK_KP_PERIOD = 266,
  RETROK_KP_DIVIDE = 267,
  RETROK_KP_MULTIPLY = 268,
  RETROK_KP_MINUS = 269,
  RETROK_KP_PLUS = 270,
  RETROK_KP_ENTER = 271,
  RETROK_UP = 273,
  RETROK_DOWN = 274,
  RETROK_RIGHT = 275,
  RETROK_LEFT = 276,
  RETROK_INSERT = 277,
  RETROK_HOME = 278,
  RETROK_END = 279,
  RETROK_PAGEUP = 280,
  RETROK_PAGEDOWN = 281,
  RETROK_F1 = 282, // to RETROK_F12 = 293
  RETROK_CAPSLOCK = 301,
  RETROK_RSHIFT = 303,
  RETROK_LSHIFT = 304,
  RETROK_RCTRL = 305,
  RETROK_LCTRL = 306,
  RETROK_RALT = 307,
  RETROK_LALT = 308,
  RETROK_LAST = 324,
};

// ---- structures ----------------------------------------------------------------------
struct retro_system_info {
  const char* library_name;
  const char* library_version;
  const char* valid_extensions; // "|" between them
  bool need_fullpath;
  bool block_extract;
};

struct retro_game_geometry {
  unsigned base_width, base_height;
  unsigned max_width, max_height;
  float aspect_ratio;
};

struct retro_system_timing {
  double fps;
  double sample_rate;
};

struct retro_system_av_info {
  retro_game_geometry geometry;
  retro_system_timing timing;
};

struct retro_game_info {
  const char* path;
  const void* data;
  size_t size;
  const char* meta;
};

// A core option: "key", and "Description; first|second|..." (the first is
// the default). Answered by GET_VARIABLE with the value chosen.
struct retro_variable {
  const char* key;
  const char* value;
};

struct retro_input_descriptor {
  unsigned port, device, index, id;
  const char* description;
};

using retro_keyboard_event_t = void (*)(bool down, unsigned keycode, uint32_t character,
                                        uint16_t modifiers);
struct retro_keyboard_callback {
  retro_keyboard_event_t callback;
};

struct retro_message {
  const char* msg;
  unsigned frames;
};

enum retro_log_level : int { RETRO_LOG_DEBUG, RETRO_LOG_INFO, RETRO_LOG_WARN, RETRO_LOG_ERROR };
using retro_log_printf_t = void (*)(retro_log_level level, const char* format, ...);
struct retro_log_callback {
  retro_log_printf_t log;
};

// ---- the front end's callbacks ------------------------------------------------------------
using retro_environment_t = bool (*)(unsigned cmd, void* data);
using retro_video_refresh_t = void (*)(const void* data, unsigned width, unsigned height,
                                       size_t pitch);
using retro_audio_sample_t = void (*)(int16_t left, int16_t right);
using retro_audio_sample_batch_t = size_t (*)(const int16_t* data, size_t frames);
using retro_input_poll_t = void (*)();
using retro_input_state_t = int16_t (*)(unsigned port, unsigned device, unsigned index,
                                        unsigned id);
