#include "tests/fuzz/fuzz_common.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "cpu/cpu.h"
#include "host/core/layers.h"
#include "host/headless/headless.h"
#include "machine/machine.h"

const std::string& fuzz_folder() {
  static const std::string folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string f = std::string(tmp && *tmp ? tmp : "/tmp") + "/tarvik-fuzz-" +
                    std::to_string(static_cast<long>(::getpid())) + "/";
    ::mkdir(f.c_str(), 0700);
    // Commands that write relative names write here, never beside the sources.
    if (::chdir(f.c_str()) != 0) std::abort();
    return f;
  }();
  return folder;
}

std::string fuzz_write_file(const char* name, const uint8_t* data, size_t size) {
  std::string path = fuzz_folder() + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size && std::fwrite(data, 1, size, f) != size) std::abort();
  if (std::fclose(f) != 0) std::abort();
  return path;
}

void fuzz_machine(uint32_t modelIndex) {
  static bool up;
  fuzz_folder();
  // A full bring-up rebuilds every table: only on the first run and when the
  // model changes, so that a target makes many runs a second.
  if (!up || machineState.currentModel != modelIndex) {
    host_connect_layers();
    headless_use_fake_clock(1000000);
    machineState.currentModel = modelIndex;
    machineState.ramSizeIndex = 6;
    machine_init();
    up = true;
  }
  cpu.tcount = 0;
}

bool fuzz_names_outside(const std::string& text) {
  return text.find('/') != std::string::npos || text.find('\\') != std::string::npos ||
         text.find("..") != std::string::npos || text.find(':') != std::string::npos;
}
