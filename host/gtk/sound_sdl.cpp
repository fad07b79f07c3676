// Sound through SDL2 (audio only): a 48 kHz mono 16-bit device whose
// callback takes the samples from the one-second ring that the audio chain
// fills block by block. The play position reported is what the device has
// consumed, so that the chain's drift check keeps its four to six blocks
// ahead of it. Both sound outputs the host can ask for (the ring and the
// queue) open this one device.
#include <SDL.h>

#include <atomic>
#include <cstring>
#include <string>

#include "host/platform.h"
#include "host/sound_driver.h"

namespace {

SDL_AudioDeviceID device;
uint8_t ring[AUDIO_RING_BYTES];
std::atomic<uint32_t> consumed; // the device's read position in the ring
bool subsystemUp;

void callback(void*, Uint8* stream, int length) {
  uint32_t at = consumed.load();
  uint32_t left = static_cast<uint32_t>(length);
  while (left > 0) {
    uint32_t n = AUDIO_RING_BYTES - at < left ? AUDIO_RING_BYTES - at : left;
    std::memcpy(stream, ring + at, n);
    stream += n;
    left -= n;
    at = (at + n) % AUDIO_RING_BYTES;
  }
  consumed.store(at);
}

void error(const char* what) {
  std::string reason = std::string(what) + ": " + SDL_GetError();
  sound_driver_failed("Error", reason.c_str());
}

bool sdl_open(int sampleRate);

void sdl_close() {
  if (device) SDL_CloseAudioDevice(device);
  device = 0;
}

int sdl_write(const int16_t* samples, uint32_t offset, uint32_t bytes) {
  if (!device || offset >= AUDIO_RING_BYTES) return 0;
  SDL_LockAudioDevice(device);
  const uint8_t* data = reinterpret_cast<const uint8_t*>(samples);
  uint32_t first = AUDIO_RING_BYTES - offset < bytes ? AUDIO_RING_BYTES - offset : bytes;
  std::memcpy(ring + offset, data, first);
  std::memcpy(ring, data + first, bytes - first);
  SDL_UnlockAudioDevice(device);
  return static_cast<int>(bytes);
}

void sdl_reset() {}

void sdl_pause() {
  if (device) SDL_PauseAudioDevice(device, 1);
}

void sdl_resume() {
  if (device) SDL_PauseAudioDevice(device, 0);
}

int32_t sdl_position() {
  if (!device) return -1;
  return static_cast<int32_t>(consumed.load());
}

const SoundDriver sdlDriver = {"SDL",     sdl_open,  sdl_close,  sdl_write,
                               sdl_reset, sdl_pause, sdl_resume, sdl_position};

bool sdl_open(int sampleRate) {
  if (!subsystemUp) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      error("SDL_InitSubSystem failed");
      return false;
    }
    subsystemUp = true;
  }
  SDL_AudioSpec want{};
  want.freq = sampleRate;
  want.format = AUDIO_S16SYS;
  want.channels = 1;
  want.samples = 1024; // about 21 ms: the chain stays four to six frames ahead
  want.callback = callback;
  SDL_AudioSpec have{};
  std::memset(ring, 0, sizeof ring);
  // The device starts from silence; the drift check finds its distance.
  consumed.store(0);
  device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (!device) {
    error("SDL_OpenAudioDevice failed");
    return false;
  }
  sound_driver_install(&sdlDriver);
  SDL_PauseAudioDevice(device, 0);
  return true;
}

} // namespace

// One device answers both outputs.
const SoundDriver* platform_sound_driver(SoundOutput) { return &sdlDriver; }
