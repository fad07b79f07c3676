// The console monitor as a text panel of the page, and the script lines'
// requests. The desktop's console monitor waits for each line; a page
// cannot wait, so the monitor runs once per line the user enters: when no
// line is left it ends as if the input had run out, the panel stays open,
// and the machine stands still until the next line or "x".
#include <emscripten/emscripten.h>

#include <cstring>
#include <deque>
#include <string>

#include "host/core/window.h"
#include "host/platform.h"
#include "host/ui/menu.h"
#include "host/web/web.h"

namespace {

std::deque<std::string> lines;
bool panelOpen;
bool inputRanOut;
// The greeting is written once per opening of the panel, not per line.
bool skipNextWrite;
int attribute = CONSOLE_ATTRIBUTE_NORMAL;

EM_JS(void, js_console_open, (const char* title), { TarvikUI.consoleOpen(UTF8ToString(title)); });
EM_JS(void, js_console_close, (), { TarvikUI.consoleClose(); });
EM_JS(void, js_console_write, (const char* text, int bright),
      { TarvikUI.consoleWrite(UTF8ToString(text), bright); });
EM_JS(int, js_console_width, (), { return TarvikUI.consoleColumns(); });

} // namespace

extern "C" void web_command(int id);

bool web_console_waiting() { return panelOpen; }

bool platform_console_open(const char* title) {
  if (panelOpen) {
    skipNextWrite = true;
    return true;
  }
  panelOpen = true;
  js_console_open(title ? title : "");
  return true;
}

void platform_console_close() {
  if (!panelOpen) return;
  if (inputRanOut) { // waiting for the user's next line
    inputRanOut = false;
    return;
  }
  panelOpen = false;
  js_console_close();
}

int platform_console_width() { return js_console_width(); }

bool platform_console_read_line(char* buffer, int size) {
  if (size <= 0) return false;
  if (lines.empty()) {
    inputRanOut = true;
    return false;
  }
  std::string line = lines.front();
  lines.pop_front();
  if (line.empty() || line.back() != '\n') line += '\n';
  size_t n = line.size() < static_cast<size_t>(size - 1) ? line.size() : size - 1;
  std::memcpy(buffer, line.data(), n);
  buffer[n] = '\0';
  js_console_write(line.c_str(), 1); // the line as typed, echoed
  return true;
}

void platform_console_write(const char* text) {
  if (skipNextWrite) {
    skipNextWrite = false;
    return;
  }
  js_console_write(text, attribute == CONSOLE_ATTRIBUTE_BRIGHT);
}

void platform_console_set_attribute(int value) { attribute = value; }

extern "C" {

// A line the user entered in the console panel: the monitor takes it (and
// opens, when it is not open yet).
EMSCRIPTEN_KEEPALIVE void web_console_line(const char* line) {
  lines.emplace_back(line);
  web_command(CMD_CONSOLE_MONITOR);
}

} // extern "C"
