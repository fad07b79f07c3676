// Diagnostic lines to standard error; the last one is kept.
#include "host/core/debug_output.h"

#include <cstdarg>
#include <cstdio>

namespace {
char lastLine[DEBUG_LINE_SIZE];
}

void debug_line(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(lastLine, sizeof lastLine, format, args);
  va_end(args);
  std::fputs(lastLine, stderr);
}

const char* debug_last_line() { return lastLine; }
