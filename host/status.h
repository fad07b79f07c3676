// The status bar's texts: part 0 the model label, part 1 the indicator boxes
// (no text), part 2 the WAV tape counter or the sound-recording progress,
// part 3 the message of the last completed operation. Every layer reports a
// completed operation through status_message.
#pragma once

#include <cstddef>

enum : int { STATUS_PARTS = 4, STATUS_TEXT_SIZE = 256 };

// Formats the text printf-style into part 3.
void status_message(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Formats the text printf-style into the given part; part 1 and parts out of
// range change nothing.
void status_set_text(int part, const char* format, ...) __attribute__((format(printf, 2, 3)));
