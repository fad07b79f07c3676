// The interactive monitor's text console: a console of the process's own,
// read a line at a time, written with the two text attributes.
#include <cstring>

#include "host/platform.h"
#include "host/win32/win32.h"

namespace {

HANDLE input = INVALID_HANDLE_VALUE;
HANDLE output = INVALID_HANDLE_VALUE;
bool allocated;

} // namespace

bool platform_console_open(const char* title) {
  if (!AllocConsole()) return false;
  allocated = true;
  input = GetStdHandle(STD_INPUT_HANDLE);
  output = GetStdHandle(STD_OUTPUT_HANDLE);
  SetConsoleTitleA(to_ansi(title).c_str());
  return true;
}

void platform_console_close() {
  if (!allocated) return;
  FreeConsole();
  allocated = false;
  input = output = INVALID_HANDLE_VALUE;
}

int platform_console_width() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (output == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(output, &info)) return 80;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

bool platform_console_read_line(char* buffer, int size) {
  if (!buffer || size <= 0) return false;
  buffer[0] = '\0';
  if (input == INVALID_HANDLE_VALUE) return false;
  DWORD read = 0;
  if (!ReadConsoleA(input, buffer, static_cast<DWORD>(size - 1), &read, nullptr)) return false;
  buffer[read] = '\0';
  // A line longer than the buffer: the rest is read and dropped.
  if (read == static_cast<DWORD>(size - 1) && !std::strchr(buffer, '\n')) {
    char rest[64];
    DWORD n = 0;
    while (ReadConsoleA(input, rest, sizeof rest - 1, &n, nullptr) && n > 0) {
      rest[n] = '\0';
      if (std::strchr(rest, '\n')) break;
    }
  }
  return true;
}

void platform_console_write(const char* text) {
  if (!text) return;
  if (output != INVALID_HANDLE_VALUE) {
    std::string ansi = to_ansi(text);
    DWORD written = 0;
    WriteConsoleA(output, ansi.data(), static_cast<DWORD>(ansi.size()), &written, nullptr);
  }
}

void platform_console_set_attribute(int attribute) {
  if (output != INVALID_HANDLE_VALUE) SetConsoleTextAttribute(output, static_cast<WORD>(attribute));
}
