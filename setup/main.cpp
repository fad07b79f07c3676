// LDTKSETUP: writes "p.tmp" and "e.tmp" into the folder that holds the tool (found in the current
// directory or along PATH), then prints that folder and "OK". Takes no arguments.
#include "setup/setup.h"

#include <cstdlib>

int main() {
  const SetupHost& host = setup_host();
  const char* path = std::getenv("PATH");
  std::string base = setup_locate_base(path != nullptr ? path : "", host);
  return setup_run(base, host, stdout, stderr);
}
