// The options kept between runs as named 32-bit numbers, and the recent
// files as named texts, in the per-user settings store: read once at
// start-up (a missing or unusable value gets its default written), shown in
// the menu, written back at exit.
#pragma once

#include <cstdint>

enum VideoDriverKind : uint32_t { VIDEO_DRIVER_DIRECTDRAW = 0, VIDEO_DRIVER_GDI = 1 };

// The host's options; the machine's live in machine/machine.h.
struct HostOptions {
  uint32_t soundDriverIndex; // "SoundDriver": 0 "No sound", 1 DirectSound, 2 WaveOut
  uint32_t VideoDriver;      // a VideoDriverKind ("&DDraw ki" checked for GDI)
  uint32_t SyncSpeed;        // "&50 Hz timer": real-time pacing
  uint32_t DoubleScan;       // "D&upla scan"
  uint32_t KeepAspectRatio;  // "&Képarány tartása"
  uint32_t CompositeBlur;    // kept and written back unchanged
  uint32_t PixelExact;       // "&Pixelpontos nagyítás": whole multiples only
  uint32_t FastTapeLoad;     // "&Gyors magnóbetöltés": unpaced while a tape is read
  uint32_t Rewind;           // "&Visszatekerés": a state a second kept to go back to (F3)
  uint32_t TapeFilter;       // "&Zajszűrés": the conditioning stage of WAV tape playback
  uint32_t ReadAloud;        // "&Felolvasás": new lines of the screen spoken
};
extern HostOptions hostOptions;
// The defaults, before the settings are read.
inline constexpr HostOptions kDefaultHostOptions = {1, 0, 1, 1, 1, 0, 0, 1, 1, 1, 0};

enum SettingsType : uint32_t { SETTINGS_NUMBER = 1, SETTINGS_TEXT = 2 };

// A value name bound to a variable: a number, or a text of up to textSize
// bytes with its terminator. A stored number above maximum is unusable (it
// would index past a table) and is replaced by the default; so is a text
// that does not fit.
struct SettingsEntry {
  const char* name; // null ends a table
  uint32_t type;
  uint32_t* variable; // SETTINGS_NUMBER
  uint32_t maximum;
  char* text = nullptr; // SETTINGS_TEXT
  uint32_t textSize = 0;
};
// The host table, the machine table and the recent files' table, in reading
// and writing order; the list ends with a null slot.
extern const SettingsEntry* const settingsTables[];

// Builds the key path and opens the store; false when there is none (reads
// then give the defaults and writes are lost).
bool settings_open();
// Reads every value, writing the default for a missing or unusable one, then
// shows the options in the menu.
void settings_load();
const SettingsEntry* settings_lookup(const char* name);
// The current value of a named option; 0 for an unknown name.
uint32_t settings_get(const char* name);
void settings_save();
void settings_close();
// Sets the menu check marks and the model label from the options.
void settings_show();
