// The console on the headless platform: lines come from a queue that a
// script or a test fills, then from standard input; text goes to standard
// output, with the two text attributes as ANSI colours when that is a
// terminal.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <utility>

#include "host/headless/headless.h"
#include "host/headless/terminal.h"
#include "host/platform.h"

namespace {

std::deque<std::string> queuedLines;
bool useStdin = true;
bool failOpen;
bool capturing;
int widthOverride;
bool consoleOpen;
std::string consoleTitle;
int currentAttribute = CONSOLE_ATTRIBUTE_NORMAL;
// Captured output as runs of text under one attribute.
std::vector<std::pair<int, std::string>> capturedRuns;

bool colours() { return !capturing && terminal_is_tty(); }

void write_colour(int attribute) {
  if (!colours()) return;
  if (attribute == CONSOLE_ATTRIBUTE_NORMAL)
    fputs("\x1b[92m", stdout);
  else if (attribute == CONSOLE_ATTRIBUTE_BRIGHT)
    fputs("\x1b[97m", stdout);
  else
    fputs("\x1b[0m", stdout);
}

// Copies a line into the buffer, keeping what fits.
void copy_line(const std::string& line, char* buffer, int size) {
  size_t n = std::min(line.size(), static_cast<size_t>(size - 1));
  memcpy(buffer, line.data(), n);
  buffer[n] = '\0';
}

} // namespace

bool platform_console_open(const char* title) {
  if (failOpen) return false;
  consoleOpen = true;
  consoleTitle = title ? title : "";
  return true;
}

void platform_console_close() {
  if (!consoleOpen) return;
  consoleOpen = false;
  if (colours()) fputs("\x1b[0m", stdout);
  fflush(stdout);
}

int platform_console_width() {
  if (widthOverride > 0) return widthOverride;
  int columns = terminal_columns();
  return columns > 0 ? columns : 80;
}

bool platform_console_read_line(char* buffer, int size) {
  if (!buffer || size <= 0) return false;
  buffer[0] = '\0';
  if (!queuedLines.empty()) {
    copy_line(queuedLines.front(), buffer, size);
    queuedLines.pop_front();
    return true;
  }
  if (!useStdin) return false;
  fflush(stdout);
  if (!fgets(buffer, size, stdin)) return false;
  size_t n = strlen(buffer);
  if (n > 0 && buffer[n - 1] != '\n') {
    // Drop the rest of a line longer than the buffer.
    int c;
    while ((c = fgetc(stdin)) != EOF && c != '\n') {}
  }
  return true;
}

void platform_console_write(const char* text) {
  if (!text) return;
  if (capturing) {
    if (capturedRuns.empty() || capturedRuns.back().first != currentAttribute)
      capturedRuns.emplace_back(currentAttribute, std::string());
    capturedRuns.back().second += text;
    return;
  }
  fputs(text, stdout);
}

void platform_console_set_attribute(int attribute) {
  currentAttribute = attribute;
  write_colour(attribute);
}

void headless_console_queue_line(const char* line) {
  std::string text = line ? line : "";
  if (text.empty() || (text.back() != '\n' && text.back() != '\r')) text += '\n';
  queuedLines.push_back(std::move(text));
}

void headless_console_clear_input() { queuedLines.clear(); }
void headless_console_use_stdin(bool use) { useStdin = use; }
void headless_console_fail_open(bool fail) { failOpen = fail; }
void headless_console_set_width(int columns) { widthOverride = columns; }
void headless_console_capture(bool capture) { capturing = capture; }

std::string headless_console_output() {
  std::string all;
  for (const auto& run : capturedRuns) all += run.second;
  return all;
}

std::string headless_console_output_in(int attribute) {
  std::string text;
  for (const auto& run : capturedRuns)
    if (run.first == attribute) text += run.second;
  return text;
}

void headless_console_clear_output() { capturedRuns.clear(); }
bool headless_console_is_open() { return consoleOpen; }
std::string headless_console_title() { return consoleTitle; }
int headless_console_attribute() { return currentAttribute; }

void headless_console_reset() {
  queuedLines.clear();
  useStdin = true;
  failOpen = false;
  capturing = false;
  widthOverride = 0;
  consoleOpen = false;
  consoleTitle.clear();
  currentAttribute = CONSOLE_ATTRIBUTE_NORMAL;
  capturedRuns.clear();
}
