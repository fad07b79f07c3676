// The screen reader's lines and the speech service, recorded for the tests
// (and printed with --verbose) instead of told to a system.
#include <cstdio>
#include <string>

#include "host/headless/headless.h"

namespace {

bool available = true;
bool open;
std::string spoken;
std::string news;
uint32_t changes;

// A long run keeps only the latest of what it recorded.
constexpr size_t kKept = 1 << 18;
void keep(std::string& record, const char* text) {
  if (record.size() > kKept) record.erase(0, record.size() - kKept / 2);
  record += text;
}

} // namespace

void platform_screen_changed(const char* newLines) {
  ++changes;
  keep(news, newLines);
}

bool platform_speech_start() {
  open = available;
  return open;
}

void platform_speech_stop() { open = false; }

void platform_speak(const char* text) {
  if (!open) return;
  keep(spoken, text);
  if (headless_verbose()) std::fprintf(stderr, "speak: %s", text);
}

void headless_set_speech_available(bool on) { available = on; }
bool headless_speech_open() { return open; }
const std::string& headless_spoken() { return spoken; }
const std::string& headless_screen_news() { return news; }
uint32_t headless_screen_changes() { return changes; }
void headless_reset_screen_reader() {
  available = true;
  spoken.clear();
  news.clear();
  changes = 0;
}
