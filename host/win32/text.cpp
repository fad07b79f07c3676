// Code page 1250 for every text that goes to Windows. Our own texts are
// UTF-8; a name the system handed over (a file dialog's answer, the current
// folder) is already in code page 1250 and passes through unchanged.
#include <cstring>

#include "host/cp1250.h"
#include "host/win32/win32.h"

std::string to_ansi(const char* text) {
  if (!text) return {};
  return utf8_to_cp1250(text, std::strlen(text), INVALID_UTF8_KEPT);
}

std::string from_ansi(const char* text) {
  if (!text) return {};
  return cp1250_to_utf8(text, std::strlen(text));
}
