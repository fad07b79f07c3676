// The console on the headless platform: lines come from the script queue
// (host/script/script_queue.h) that a script or a test fills, then from standard
// input; text goes to standard
// output, with the two text attributes as ANSI colours when that is a
// terminal.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#ifndef _WIN32
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

#include "host/headless/headless.h"
#include "host/headless/terminal.h"
#include "host/platform.h"
#include "host/script/script_queue.h"

namespace {

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

#ifndef _WIN32
// Copies a line into the buffer, keeping what fits.
void copy_line(const std::string& line, char* buffer, int size) {
  size_t n = std::min(line.size(), static_cast<size_t>(size - 1));
  memcpy(buffer, line.data(), n);
  buffer[n] = '\0';
}

// Standard input is read here unbuffered by stdio, so that a wait for it can
// be ended: a request to end the run (a signal) ends the wait at once, also
// when it comes just before the wait begins (the signals are let through
// only inside ppoll).
std::string pendingInput;
bool inputEnded;

bool wait_for_input() {
  sigset_t ends, old;
  sigemptyset(&ends);
  sigaddset(&ends, SIGINT);
  sigaddset(&ends, SIGTERM);
  sigaddset(&ends, SIGHUP);
  sigprocmask(SIG_BLOCK, &ends, &old);
  bool ready = false;
  while (!platform_end_requested()) {
    pollfd input = {STDIN_FILENO, POLLIN, 0};
    int r = ppoll(&input, 1, nullptr, &old);
    if (r > 0 || (r < 0 && errno != EINTR)) {
      ready = true; // the read tells what came
      break;
    }
  }
  sigprocmask(SIG_SETMASK, &old, nullptr);
  return ready;
}

// One line with its line end (without one at the end of the input); false
// when the input has ended or the run is to end.
bool read_stdin_line(std::string* line) {
  for (;;) {
    size_t end = pendingInput.find('\n');
    if (end != std::string::npos) {
      *line = pendingInput.substr(0, end + 1);
      pendingInput.erase(0, end + 1);
      return true;
    }
    if (inputEnded) {
      if (pendingInput.empty()) return false;
      line->swap(pendingInput);
      pendingInput.clear();
      return true;
    }
    if (!wait_for_input()) return false;
    char chunk[512];
    ssize_t n = read(STDIN_FILENO, chunk, sizeof chunk);
    if (n > 0)
      pendingInput.append(chunk, static_cast<size_t>(n));
    else if (n == 0 || errno != EINTR)
      inputEnded = true;
  }
}
#endif

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
  if (script_queue_take_console_line(buffer, size)) return true;
  if (!useStdin) return false;
  fflush(stdout);
#ifdef _WIN32
  if (!fgets(buffer, size, stdin)) return false;
  size_t n = strlen(buffer);
  if (n > 0 && buffer[n - 1] != '\n') {
    // Drop the rest of a line longer than the buffer.
    int c;
    while ((c = fgetc(stdin)) != EOF && c != '\n') {}
  }
  return true;
#else
  std::string line;
  if (!read_stdin_line(&line)) return false;
  copy_line(line, buffer, size);
  return true;
#endif
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

void headless_console_queue_line(const char* line) { script_queue_console(line); }

void headless_console_clear_input() { script_queue_clear_console(); }
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
  script_queue_clear_console();
#ifndef _WIN32
  pendingInput.clear();
  inputEnded = false;
#endif
  useStdin = true;
  failOpen = false;
  capturing = false;
  widthOverride = 0;
  consoleOpen = false;
  consoleTitle.clear();
  currentAttribute = CONSOLE_ATTRIBUTE_NORMAL;
  capturedRuns.clear();
}
