// A sound driver: a name and seven operations. The audio chain hands it
// 1920-byte blocks at their place in a one-second (96 000-byte) ring.
#pragma once

#include <cstdint>

struct SoundDriver {
  const char* name;
  bool (*open)(int sampleRate); // installs the record as current on success
  void (*close)();
  int (*write)(const int16_t* samples, uint32_t ringOffset, uint32_t bytes);
  void (*reset)();
  void (*pause)();
  void (*resume)();
  int32_t (*position)(); // play position in the ring, or -1 when unknown
};

enum : uint32_t { AUDIO_RING_BYTES = 96000, AUDIO_BLOCK_SAMPLES = 960, AUDIO_BLOCK_BYTES = 1920 };

// The driver whose record is current; "No sound" at start.
extern const SoundDriver* currentSoundDriver;
extern const SoundDriver silentSoundDriver;
// Makes a record current, closing the one that was.
void sound_driver_install(const SoundDriver* driver);
// A driver that cannot open says so here, with the system's own reason (a
// line for standard error). The user is told in the program's words that it
// runs on without sound, in a box that does not stop the machine; caption is
// the box's ("Error", or "Fatal error!" for a missing library).
void sound_driver_failed(const char* caption, const char* reason);
