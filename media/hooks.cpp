// The media layer's hooks, their defaults, and its registration with the
// machine.
#include "media/hooks.h"

#include <cstdarg>
#include <cstdio>

#include "cpu/events.h"
#include "machine/cassette.h"
#include "machine/memory.h"
#include "media/tape.h"
#include "media/wav_tape.h"

namespace {

void no_text(int, const char*) {}
void no_line(const char*) {}
bool cancelled(const char*, const char*, const char*, char* path, size_t pathSize) {
  if (path && pathSize) path[0] = '\0';
  return false;
}
void nothing() {}

template <typename T> void take(T& slot, T hook) {
  if (hook) slot = hook;
}

char text[1024];

} // namespace

MediaHooks mediaHooks = {no_text, no_line, cancelled, nothing, nothing};

void media_set_hooks(const MediaHooks& hooks) {
  take(mediaHooks.statusText, hooks.statusText);
  take(mediaHooks.debugLine, hooks.debugLine);
  take(mediaHooks.saveFileDialog, hooks.saveFileDialog);
  take(mediaHooks.dialogBegin, hooks.dialogBegin);
  take(mediaHooks.dialogEnd, hooks.dialogEnd);
}

void media_connect() {
  memory_add_reset_hook(tape_memory_reset);
  tape_connect();
  event_set_callback(EVENT_WAV_TAPE, wav_playback_tick);
  cassette_connect({wav_playback_sample, wav_record_level, wav_frame_status});
}

void media_reset_state() {
  wav_close();
  cassetteRunning = 0;
  tape_close();
}

void media_message(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  mediaHooks.statusText(MEDIA_STATUS_MESSAGE, text);
}

void media_status_text(int part, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  mediaHooks.statusText(part, text);
}

void media_debug_line(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  mediaHooks.debugLine(text);
}
