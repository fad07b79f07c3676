// The headless clipboard: one text in memory.
#include <string>

#include "host/headless/headless.h"
#include "host/platform.h"

namespace {

bool isOpen;
bool hasText;
std::string text;

} // namespace

bool platform_clipboard_open() {
  if (isOpen) return false;
  isOpen = true;
  return true;
}

void platform_clipboard_close() { isOpen = false; }

bool platform_clipboard_set_text(const char* data, size_t length) {
  if (!isOpen) return false;
  // The text ends at its terminator, as a plain-text clipboard block does.
  size_t n = 0;
  while (n < length && data[n]) ++n;
  text.assign(data, n);
  hasText = true;
  return true;
}

const char* platform_clipboard_text() { return isOpen && hasText ? text.c_str() : nullptr; }

void headless_clipboard_put(const std::string& t) {
  text = t;
  hasText = true;
}

std::string headless_clipboard_get() { return hasText ? text : std::string(); }

void headless_clipboard_clear() {
  text.clear();
  hasText = false;
}
