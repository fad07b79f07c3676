// The DirectSound driver: "dsound.dll" loaded at run time, the device in
// exclusive cooperation with the main window, a primary buffer in the
// output format and a one-second looping secondary buffer that the audio
// chain writes block by block. Polled through the secondary buffer's write
// cursor; no callbacks.
#include <windows.h> // before the other Windows headers, which need it

#include <dsound.h>

#include <cstdio>
#include <cstring>

#include "host/platform.h"
#include "host/sound_driver.h"
#include "host/win32/sound.h"
#include "host/win32/win32.h"

namespace {

typedef HRESULT(WINAPI* DirectSoundCreateFunction)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);

HMODULE library;
DirectSoundCreateFunction directSoundCreate;
IDirectSound* device;
IDirectSoundBuffer* primaryBuffer;
IDirectSoundBuffer* secondaryBuffer;

void error(const char* text) { sound_driver_failed("Error", text); }

void release() {
  if (secondaryBuffer) secondaryBuffer->Release();
  if (primaryBuffer) primaryBuffer->Release();
  if (device) device->Release();
  secondaryBuffer = nullptr;
  primaryBuffer = nullptr;
  device = nullptr;
}

bool ds_open(int sampleRate);
void ds_close() { release(); }

int ds_write(const int16_t* samples, uint32_t offset, uint32_t bytes) {
  if (!secondaryBuffer) return 0;
  void* first = nullptr;
  void* second = nullptr;
  DWORD firstBytes = 0, secondBytes = 0;
  if (secondaryBuffer->Lock(offset, bytes, &first, &firstBytes, &second, &secondBytes, 0) != DS_OK)
    return 0; // the block is dropped
  const uint8_t* data = reinterpret_cast<const uint8_t*>(samples);
  std::memcpy(first, data, firstBytes);
  if (second && secondBytes) std::memcpy(second, data + firstBytes, secondBytes);
  if (secondaryBuffer->Unlock(first, firstBytes, second, secondBytes) == DS_OK)
    secondaryBuffer->Play(0, 0, DSBPLAY_LOOPING); // restarts a stopped buffer
  return static_cast<int>(bytes);
}

void ds_reset() {
  if (secondaryBuffer) secondaryBuffer->Restore();
}

void ds_pause() {
  if (primaryBuffer) primaryBuffer->Stop();
  if (secondaryBuffer) secondaryBuffer->Stop();
}

void ds_resume() {
  for (IDirectSoundBuffer* b : {primaryBuffer, secondaryBuffer}) {
    if (!b) continue;
    b->SetPan(DSBPAN_CENTER);
    b->Play(0, 0, DSBPLAY_LOOPING);
  }
}

int32_t ds_position() {
  if (!secondaryBuffer) {
    std::fputs("Warning: DSound secondary buffer is null.\n", stderr);
    return -1;
  }
  DWORD play = 0, write = 0;
  if (secondaryBuffer->GetCurrentPosition(&play, &write) != DS_OK) return -1;
  return static_cast<int32_t>(write % AUDIO_RING_BYTES);
}

const SoundDriver directSoundDriver = {"DirectSound", ds_open,  ds_close,  ds_write,
                                       ds_reset,      ds_pause, ds_resume, ds_position};

bool ds_open(int sampleRate) {
  device = nullptr;
  primaryBuffer = nullptr;
  secondaryBuffer = nullptr;
  if (!library) {
    library = LoadLibraryA("dsound.dll");
    if (!library) {
      sound_driver_failed("Fatal error!", "Missing DSOUND.DLL");
      return false;
    }
  }
  directSoundCreate = reinterpret_cast<DirectSoundCreateFunction>(
      reinterpret_cast<void*>(GetProcAddress(library, "DirectSoundCreate")));
  if (!directSoundCreate) return false;
  if (directSoundCreate(nullptr, &device, nullptr) != DS_OK) {
    device = nullptr;
    error("DirectSoundCreate failed");
    return false;
  }
  if (device->SetCooperativeLevel(mainWindow, DSSCL_EXCLUSIVE) != DS_OK) {
    release();
    error("SetCooperativeLevel failed");
    return false;
  }
  WAVEFORMATEX format = win_sound_format(sampleRate);
  DSBUFFERDESC desc;
  ZeroMemory(&desc, sizeof desc);
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  if (device->CreateSoundBuffer(&desc, &primaryBuffer, nullptr) != DS_OK) {
    primaryBuffer = nullptr;
    release();
    error("CreateSoundBuffer for primary buffer failed");
    return false;
  }
  if (primaryBuffer->SetFormat(&format) != DS_OK) {
    release();
    error("SetFormat on primary bufer failed");
    return false;
  }
  ZeroMemory(&desc, sizeof desc);
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_GETCURRENTPOSITION2;
  desc.dwBufferBytes = AUDIO_RING_BYTES;
  desc.lpwfxFormat = &format;
  if (device->CreateSoundBuffer(&desc, &secondaryBuffer, nullptr) != DS_OK) {
    secondaryBuffer = nullptr;
    error("CreateSoundBuffer failed"); // goes on without a secondary buffer
  } else {
    ds_resume();
  }
  sound_driver_install(&directSoundDriver);
  if (primaryBuffer->Play(0, 0, DSBPLAY_LOOPING) != DS_OK) {
    error("Play primary buffer failed");
    return false;
  }
  return true;
}

} // namespace

const SoundDriver* win_direct_sound_driver() { return &directSoundDriver; }
