// The status bar's texts, kept here for the platform's status-bar control
// and for the headless front end.
#include "host/status.h"

#include "host/headless/headless.h"

#include <cstdarg>
#include <cstdio>

namespace {

char texts[STATUS_PARTS][STATUS_TEXT_SIZE];

void set_part(int part, const char* format, va_list args) {
  if (part < 0 || part >= STATUS_PARTS || part == 1) return;
  std::vsnprintf(texts[part], sizeof texts[part], format, args);
}

} // namespace

void status_message(const char* format, ...) {
  va_list args;
  va_start(args, format);
  set_part(3, format, args);
  va_end(args);
}

void status_set_text(int part, const char* format, ...) {
  va_list args;
  va_start(args, format);
  set_part(part, format, args);
  va_end(args);
}

// Kept here for the platform's control and the headless front end.
const char* headless_status_text(int part) {
  if (part < 0 || part >= STATUS_PARTS) return "";
  return texts[part];
}
