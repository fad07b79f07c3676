// The WaveOut driver: the default output device opened without a callback,
// 50 block headers over a one-second ring of its own, reclaimed by polling
// on the next write.
#include <cstdio>
#include <cstring>

#include "host/platform.h"
#include "host/sound_driver.h"
#include "host/win32/sound.h"
#include "host/win32/win32.h"

namespace {

constexpr int kHeaders = AUDIO_RING_BYTES / AUDIO_BLOCK_BYTES; // 50

HWAVEOUT device;
WAVEHDR headers[kHeaders];
uint8_t ring[AUDIO_RING_BYTES];
int nextHeader;

void unprepare(WAVEHDR* h) {
  waveOutUnprepareHeader(device, h, sizeof *h);
  ZeroMemory(h, sizeof *h);
}

void write_one(const uint8_t* data, uint32_t offset, uint32_t bytes) {
  // Reclaim the finished headers in order.
  while (headers[nextHeader].dwFlags & WHDR_DONE) {
    unprepare(&headers[nextHeader]);
    nextHeader = (nextHeader + 1) % kHeaders;
  }
  WAVEHDR* h = &headers[(offset / AUDIO_BLOCK_BYTES) % kHeaders];
  if (h->dwFlags & WHDR_DONE) unprepare(h);
  if (h->dwFlags != 0) return; // still queued: the block is dropped
  if (offset + bytes > AUDIO_RING_BYTES) return;
  std::memcpy(ring + offset, data, bytes);
  h->lpData = reinterpret_cast<LPSTR>(ring + offset);
  h->dwBufferLength = bytes;
  if (waveOutPrepareHeader(device, h, sizeof *h) != MMSYSERR_NOERROR) {
    ZeroMemory(h, sizeof *h);
    return;
  }
  if (waveOutWrite(device, h, sizeof *h) != MMSYSERR_NOERROR) unprepare(h);
}

bool wo_open(int sampleRate);

void wo_close() {
  if (!device) return;
  waveOutReset(device);
  for (WAVEHDR& h : headers)
    if (h.dwFlags & WHDR_DONE) unprepare(&h);
  waveOutClose(device);
  device = nullptr;
}

int wo_write(const int16_t* samples, uint32_t offset, uint32_t bytes) {
  if (!device) return 0;
  const uint8_t* data = reinterpret_cast<const uint8_t*>(samples);
  // Two blocks at once go into two headers.
  if (bytes == 2 * AUDIO_BLOCK_BYTES) {
    write_one(data, offset, AUDIO_BLOCK_BYTES);
    write_one(data + AUDIO_BLOCK_BYTES, (offset + AUDIO_BLOCK_BYTES) % AUDIO_RING_BYTES,
              AUDIO_BLOCK_BYTES);
  } else {
    write_one(data, offset, bytes);
  }
  return static_cast<int>(bytes);
}

void wo_reset() {
  if (device) waveOutReset(device);
}
void wo_pause() {
  if (device) waveOutPause(device);
}
void wo_resume() {
  if (device) waveOutRestart(device);
}

int32_t wo_position() {
  if (!device) return -1;
  MMTIME time;
  ZeroMemory(&time, sizeof time);
  time.wType = TIME_BYTES;
  if (waveOutGetPosition(device, &time, sizeof time) != MMSYSERR_NOERROR ||
      time.wType != TIME_BYTES)
    return -1;
  return static_cast<int32_t>(time.u.cb % AUDIO_RING_BYTES);
}

const SoundDriver waveOutDriver = {"WaveOut", wo_open,  wo_close,  wo_write,
                                   wo_reset,  wo_pause, wo_resume, wo_position};

bool wo_open(int sampleRate) {
  WAVEFORMATEX format = win_sound_format(sampleRate);
  HWAVEOUT opened = nullptr;
  MMRESULT r = waveOutOpen(&opened, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL);
  if (r != MMSYSERR_NOERROR) {
    char reason[64];
    std::snprintf(reason, sizeof reason, "waveOutOpen returned %d", static_cast<int>(r));
    sound_driver_failed("Error", reason);
    return false;
  }
  sound_driver_install(&waveOutDriver);
  device = opened;
  ZeroMemory(headers, sizeof headers);
  nextHeader = 0;
  waveOutReset(device);
  return true;
}

} // namespace

const SoundDriver* win_wave_out_driver() { return &waveOutDriver; }

WAVEFORMATEX win_sound_format(int sampleRate) {
  WAVEFORMATEX f;
  ZeroMemory(&f, sizeof f);
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = 1;
  f.nSamplesPerSec = static_cast<DWORD>(sampleRate);
  f.wBitsPerSample = 16;
  f.nBlockAlign = 2;
  f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
  return f;
}

const SoundDriver* platform_sound_driver(SoundOutput output) {
  return output == SOUND_OUTPUT_RING ? win_direct_sound_driver() : win_wave_out_driver();
}
