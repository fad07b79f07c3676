// The Windows program's entry: the same start-up, main loop and shutdown as
// every build (host/app.h). "/script FILE" runs the program under a script
// (automation for tests); every other argument is the program's own.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/app.h"
#include "host/win32/win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  winInstance = instance;
  std::setvbuf(stderr, nullptr, _IONBF, 0);
  std::vector<const char*> args;
  for (int i = 0; i < __argc; ++i) {
    if (i > 0 && std::strcmp(__argv[i], "/script") == 0 && i + 1 < __argc) {
      if (!win_script_start(__argv[++i])) {
        std::fprintf(stderr, "Tarvik: cannot open the script %s\n", __argv[i]);
        return 2;
      }
      continue;
    }
    args.push_back(__argv[i]);
  }
  return app_main(static_cast<int>(args.size()), args.data());
}
