// The sound capture's front end: the audio output chain writes the file.
#include "host/output/sound_capture.h"

#include "host/output/audio.h"
#include "host/output/status.h"

bool sound_capture_start(const char* path) { return path && audio_record_start(path); }

bool sound_capture_stop(uint32_t* bytesInFile) {
  uint32_t bytes = 0;
  if (bytesInFile) *bytesInFile = 0;
  if (!audio_recording(nullptr)) return true;
  bool ok = audio_record_stop(&bytes);
  if (bytesInFile) *bytesInFile = bytes;
  status_message("Audio file lezárva (%u byte).", bytes);
  return ok;
}

bool sound_capture_bytes(uint32_t* bytes) {
  uint32_t recorded = 0;
  bool running = audio_recording(&recorded);
  if (bytes) *bytes = running ? recorded : 0;
  return running;
}

void sound_capture_show_progress() {
  uint32_t bytes = 0;
  if (sound_capture_bytes(&bytes))
    status_set_text(2, "WAV mentés: %6.1f kbyte eddig...", bytes / 1024.0);
}
