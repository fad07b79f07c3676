#include "host/headless/terminal.h"

#ifdef _WIN32
#include <io.h>
#include <stdio.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

bool terminal_is_tty() {
#ifdef _WIN32
  return _isatty(_fileno(stdout)) != 0;
#else
  return isatty(STDOUT_FILENO) != 0;
#endif
}

int terminal_columns() {
#ifdef _WIN32
  return 0; // a Windows console's width is the Windows shell's business
#else
  winsize size{};
  if (terminal_is_tty() && ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0) return size.ws_col;
  return 0;
#endif
}
