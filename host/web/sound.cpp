// Sound through Web Audio: the audio chain's blocks go to an AudioWorklet
// (page/audio-worklet.js) at their place in its one-second ring, and the
// play position comes from the audio context's clock. Pausing suspends the
// context, so that the clock stands still with the sound. Browsers start
// the context only after the user's first click or key; until then the
// position does not move and the page says so.
#include <emscripten/emscripten.h>

#include "host/platform.h"
#include "host/sound_driver.h"

namespace {

EM_JS(int, js_audio_open, (), { return TarvikUI.audio.open(); });
EM_JS(void, js_audio_close, (), { TarvikUI.audio.close(); });
EM_JS(void, js_audio_write, (const int16_t* samples, uint32_t offset, uint32_t bytes),
      { TarvikUI.audio.write(HEAP16, samples >> 1, offset, bytes); });
EM_JS(void, js_audio_reset, (), { TarvikUI.audio.reset(); });
EM_JS(void, js_audio_pause, (), { TarvikUI.audio.pause(); });
EM_JS(void, js_audio_resume, (), { TarvikUI.audio.resume(); });
EM_JS(int32_t, js_audio_position, (), { return TarvikUI.audio.position(); });

bool web_open(int sampleRate);
void web_close() { js_audio_close(); }
int web_write(const int16_t* samples, uint32_t offset, uint32_t bytes) {
  if (offset + bytes > AUDIO_RING_BYTES) return 0;
  js_audio_write(samples, offset, bytes);
  return static_cast<int>(bytes);
}
void web_reset() { js_audio_reset(); }
void web_pause() { js_audio_pause(); }
void web_resume() { js_audio_resume(); }
int32_t web_position() { return js_audio_position(); }

const SoundDriver webAudioDriver = {"Web Audio", web_open,  web_close,  web_write,
                                    web_reset,   web_pause, web_resume, web_position};

bool web_open(int sampleRate) {
  if (sampleRate != 48000) return false;
  if (!js_audio_open()) {
    sound_driver_failed("Error", "Web Audio: no audio context at 48000 Hz");
    return false;
  }
  sound_driver_install(&webAudioDriver);
  return true;
}

} // namespace

// The browser's one device answers both outputs.
const SoundDriver* platform_sound_driver(SoundOutput) { return &webAudioDriver; }
