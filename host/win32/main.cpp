// The Windows program's entry: the same start-up, main loop and shutdown as
// every build (host/core/app.h), which also takes "/script FILE" (automation for
// tests); every other argument is the program's own.
#include <cstdio>

#include "host/core/app.h"
#include "host/win32/win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  winInstance = instance;
  std::setvbuf(stderr, nullptr, _IONBF, 0);
  return app_main(__argc, __argv);
}
