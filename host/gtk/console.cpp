// The interactive monitor's console: the terminal the program was started
// from (standard input and output), with the two text attributes as ANSI
// colours. Started without a terminal (from the desktop), the monitor
// cannot open and says why.
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "host/gtk/gtk_host.h"
#include "host/platform.h"

namespace {

bool consoleOpen;
bool colours;

} // namespace

bool platform_console_open(const char* title) {
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
    platform_message_box("Hiba!",
                         "Az interaktív monitor a terminálban fut, ahonnan a programot "
                         "indították: indítsa a tarvik programot terminálból.",
                         PLATFORM_ICON_STOP);
    return false;
  }
  consoleOpen = true;
  colours = true;
  std::printf("\x1b]0;%s\x07", title); // the terminal's title
  std::fflush(stdout);
  return true;
}

void platform_console_close() {
  if (!consoleOpen) return;
  consoleOpen = false;
  if (colours) std::fputs("\x1b[0m", stdout);
  std::fflush(stdout);
}

int platform_console_width() {
  winsize size{};
  if (consoleOpen && colours && ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
    return size.ws_col;
  return 80;
}

bool platform_console_read_line(char* buffer, int size) {
  if (!buffer || size <= 0) return false;
  buffer[0] = '\0';
  if (!consoleOpen) return false;
  std::fflush(stdout);
  if (!std::fgets(buffer, size, stdin)) return false;
  size_t n = std::strlen(buffer);
  if (n > 0 && buffer[n - 1] != '\n') {
    // Drop the rest of a line longer than the buffer.
    int c;
    while ((c = std::fgetc(stdin)) != EOF && c != '\n') {}
  }
  return true;
}

void platform_console_write(const char* text) {
  if (!text) return;
  if (consoleOpen) std::fputs(text, stdout);
}

void platform_console_set_attribute(int attribute) {
  if (!consoleOpen || !colours) return;
  std::fputs(attribute == CONSOLE_ATTRIBUTE_BRIGHT ? "\x1b[97m" : "\x1b[92m", stdout);
}
