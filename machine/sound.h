// Sound sources and the list that mixes them, and the one-bit beeper.
// Samples are signed 16-bit mono at 48 000 Hz, rendered lazily by the audio
// output chain (host/output/audio.h): whoever changes what is heard first calls
// audio_update with the current cycle counter.
#pragma once

#include <cstdint>

struct SoundSource {
  const char* name;  // "beeper", "MEA8000"
  SoundSource* next; // next source in the list
  void (*render)(int16_t* destination, int count);
  void (*reset)();
};

extern SoundSource* soundHead;
extern int soundCount;

// An empty list takes the source as head; otherwise it follows the head.
void sound_register(SoundSource* source);
void sound_unregister(SoundSource* source);
// The first source writes the samples, every further one is added (16-bit
// wrap-around).
void sound_render(int16_t* destination, int count);

extern int16_t beeperLevel; // 0 or 4096
// level 0 or 1; callers call audio_update(now) first.
void beeper_set(int level);
// Level 0 and the beeper registered (the machine clears its pending
// Veltra-16 pulse itself).
void beeper_reset();
