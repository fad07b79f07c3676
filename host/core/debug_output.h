// Diagnostic lines: formatted printf-style, at most 1024 characters, sent to
// the debugger output channel and to standard error.
#pragma once

enum : int { DEBUG_LINE_SIZE = 1024 };

void debug_line(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The last line written (for the headless front end and the tests).
const char* debug_last_line();
