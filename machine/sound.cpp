// The sound-source list and the beeper source.
#include "machine/sound.h"

#include "cpu/cpu.h"

SoundSource* soundHead;
int soundCount;
int16_t beeperLevel;

namespace {

// Scratch for the sources after the first: one audio block is the most
// that is ever rendered at once, longer requests go in pieces.
constexpr int kScratchSamples = 960;
int16_t scratch[kScratchSamples];

void beeper_render(int16_t* destination, int count) {
  for (int i = 0; i < count; ++i) destination[i] = beeperLevel;
}
void beeper_source_reset() { beeperLevel = 0; }

SoundSource beeperSource = {"beeper", nullptr, beeper_render, beeper_source_reset};

bool registered(const SoundSource* source) {
  for (const SoundSource* s = soundHead; s; s = s->next)
    if (s == source) return true;
  return false;
}

} // namespace

void sound_register(SoundSource* source) {
  if (!source || registered(source)) return;
  if (!soundHead) {
    source->next = nullptr;
    soundHead = source;
  } else {
    source->next = soundHead->next;
    soundHead->next = source;
  }
  ++soundCount;
}

void sound_unregister(SoundSource* source) {
  for (SoundSource** link = &soundHead; *link; link = &(*link)->next) {
    if (*link == source) {
      *link = source->next;
      source->next = nullptr;
      --soundCount;
      return;
    }
  }
}

void sound_render(int16_t* destination, int count) {
  if (count <= 0) return;
  if (!soundHead) {
    for (int i = 0; i < count; ++i) destination[i] = 0;
    return;
  }
  soundHead->render(destination, count);
  for (SoundSource* s = soundHead->next; s; s = s->next) {
    for (int done = 0; done < count;) {
      int n = count - done < kScratchSamples ? count - done : kScratchSamples;
      s->render(scratch, n);
      for (int i = 0; i < n; ++i)
        destination[done + i] = static_cast<int16_t>(static_cast<uint16_t>(destination[done + i]) +
                                                     static_cast<uint16_t>(scratch[i]));
      done += n;
    }
  }
}

void beeper_set(int level) { beeperLevel = static_cast<int16_t>(level ? 4096 : 0); }

void beeper_reset() {
  beeperLevel = 0;
  sound_register(&beeperSource);
}
