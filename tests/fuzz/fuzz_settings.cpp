// The settings file read at start-up (and written back with its defaults).
#include "host/headless/headless.h"
#include "host/store/settings.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_folder();
  std::string path = fuzz_write_file("settings.ini", data, size);
  posix_set_settings_file(path.c_str());
  if (settings_open()) {
    settings_load();
    settings_save();
    settings_close();
  }
  return 0;
}
