// What the media layer asks of the host: the status bar, the diagnostic
// output, a save dialog in the middle of an operation, and the pause around
// such a dialog. The media layer declares these function pointers; the host
// sets them at start-up. Until then the texts go nowhere and every dialog
// is cancelled.
#pragma once

#include <cstddef>

struct MediaHooks {
  // A status-bar part's new text (part 3 is the message of a completed
  // operation, part 2 the tape counter).
  void (*statusText)(int part, const char* text);
  // One diagnostic line.
  void (*debugLine)(const char* text);
  // Asks for the name of a file to save (filter: pairs of description and
  // pattern, each zero-terminated, ended by an empty string; the extension
  // without the dot is appended to a name without one). False when
  // cancelled; path then holds "".
  bool (*saveFileDialog)(const char* title, const char* filter, const char* defaultExtension,
                         char* path, size_t pathSize);
  // Around a dialog that the emulated program's own routine opens: the
  // sound stops before it and goes on after it, with the real-time pacing
  // started afresh.
  void (*dialogBegin)();
  void (*dialogEnd)();
};

extern MediaHooks mediaHooks;
// Installs the hooks; a null member leaves the default in place.
void media_set_hooks(const MediaHooks& hooks);
// Registers the media layer with the machine: the tape traps with the
// memory reset and the WAV tape as the cassette deck.
void media_connect();

// The media layer's state as at program start: no WAV tape open and the
// Play/Record switch off, no tape image attached or recording.
void media_reset_state();

// printf-style texts for the hooks (at most 1023 characters).
enum : int { MEDIA_STATUS_MESSAGE = 3, MEDIA_STATUS_COUNTER = 2 };
void media_message(const char* format, ...) __attribute__((format(printf, 1, 2)));
void media_status_text(int part, const char* format, ...) __attribute__((format(printf, 2, 3)));
void media_debug_line(const char* format, ...) __attribute__((format(printf, 1, 2)));
