// Lines typed into the interactive console monitor on a running Tarvik 4.1,
// ended by the x that leaves it. Inputs that could name a file outside the
// private folder are skipped.
#include <string>

#include "debugger/console_monitor.h"
#include "host/headless/headless.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  if (text.find('\0') != std::string::npos || fuzz_names_outside(text)) return 0;
  fuzz_machine(1);
  console_monitor_install();
  consoleMonitorActive = 0;
  headless_console_use_stdin(false);
  headless_console_fail_open(false);
  headless_console_capture(false);
  headless_console_clear_input();
  size_t pos = 0;
  for (int lines = 0; pos < text.size() && lines < 16; ++lines) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    headless_console_queue_line(text.substr(pos, end - pos).c_str());
    pos = end + 1;
  }
  headless_console_queue_line("x");
  console_monitor_run();
  headless_console_clear_input();
  return 0;
}
