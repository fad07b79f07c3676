// z80-cpm: runs a CP/M .COM program on the Z80 core and prints its console
// output; the T-states, instructions and emulated speed go to standard error.
// Instructions are counted by running the core one instruction per call (as
// a debugger's step does); --no-count runs it in long slices instead.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cpu/cpu.h"
#include "tools/cpm_machine.h"

int main(int argc, char** argv) {
  const char* path = nullptr;
  int64_t limit = 0;
  bool count = true;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--limit") == 0 && i + 1 < argc) {
      limit = std::strtoll(argv[++i], nullptr, 10);
    } else if (std::strcmp(argv[i], "--no-count") == 0) {
      count = false;
    } else if (!path && argv[i][0] != '-') {
      path = argv[i];
    } else {
      path = nullptr;
      break;
    }
  }
  if (!path) {
    std::fprintf(stderr, "usage: z80-cpm [--limit TSTATES] [--no-count] FILE.com\n");
    return 2;
  }
  std::string error;
  if (!cpm_load(path, error)) {
    std::fprintf(stderr, "z80-cpm: %s\n", error.c_str());
    return 2;
  }
  auto start = std::chrono::steady_clock::now();
  size_t printed = 0;
  while (!cpmRun.finished && (limit == 0 || cpu.tcount < limit)) {
    int64_t until = cpu.tcount + 50000000;
    if (limit != 0 && until > limit) until = limit;
    if (count)
      cpm_run_counted(until);
    else
      cpm_run(until);
    // Pass the program's output on as it comes.
    std::fwrite(cpmRun.output.data() + printed, 1, cpmRun.output.size() - printed, stdout);
    std::fflush(stdout);
    printed = cpmRun.output.size();
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  int64_t tstates = cpmRun.finished ? cpmRun.endTcount : cpu.tcount;
  std::fprintf(stderr, "%lld T-states", static_cast<long long>(tstates));
  if (count)
    std::fprintf(stderr, ", %lld instructions", static_cast<long long>(cpmRun.instructions));
  std::fprintf(stderr, " in %.2f s: %.1f emulated MHz%s\n", seconds,
               seconds > 0 ? tstates / seconds / 1e6 : 0.0,
               cpmRun.finished ? "" : " (stopped at the limit)");
  return cpmRun.finished ? 0 : 1;
}
