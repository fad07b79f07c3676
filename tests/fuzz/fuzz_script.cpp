// Script lines run by the main loop of a started program, as tarvik-cli runs
// them. Inputs that could name a file outside the private folder, ask for
// more than a few frames at a time or hold many lines are skipped, so that
// each run stays short and writes only into the private folder.
#include <string>

#include "host/core/app.h"
#include "host/headless/headless.h"
#include "tests/fuzz/fuzz_common.h"

namespace {

bool acceptable(const std::string& text) {
  if (fuzz_names_outside(text)) return false;
  int lines = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line.compare(first, 6, "frames") == 0) {
      size_t digits = line.find_first_of("0123456789", first + 6);
      if (digits != std::string::npos && line.size() - digits > 1) return false;
      if (digits != std::string::npos && line[digits] > '3') return false;
    }
    if (++lines > 24) return false;
    pos = end + 1;
  }
  return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool started = [] {
    fuzz_folder();
    headless_use_fake_clock(1000000);
    posix_set_settings_file((fuzz_folder() + "script-settings.ini").c_str());
    headless_console_use_stdin(false);
    const char* args[] = {"tarvik", "/h", "/w"};
    return app_start(3, args);
  }();
  if (!started) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  if (text.find('\0') != std::string::npos || !acceptable(text)) return 0;
  headless_clear_events();
  headless_clear_dialog_answers();
  headless_console_clear_input();
  headless_script_text(text);
  app_main_loop();
  return 0;
}
