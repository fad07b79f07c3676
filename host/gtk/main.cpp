// The Linux desktop program's entry: the same start-up, main loop and
// shutdown as every build (host/core/app.h), which also takes "/script FILE"
// (automation for tests); "--present-benchmark" measures the picture's
// cost per frame at 1024 x 768 and exits; every other argument is the
// program's own.
#include <cstdio>
#include <cstring>

#include "host/core/app.h"
#include "host/gtk/gtk_host.h"

int main(int argc, char** argv) {
  std::setvbuf(stderr, nullptr, _IONBF, 0);
  if (argc == 2 && std::strcmp(argv[1], "--present-benchmark") == 0) {
    double convertMs = 0, drawMs = 0;
    gui_present_benchmark(1024, 768, 500, &convertMs, &drawMs);
    std::printf("presentation at 1024x768: %.3f ms of processor time per frame (bitmap %.3f ms, "
                "scaled drawing %.3f ms)\n",
                convertMs + drawMs, convertMs, drawMs);
    return 0;
  }
  if (!gtk_init_check(nullptr, nullptr)) {
    std::fprintf(stderr, "tarvik: cannot open the display (is DISPLAY set?); "
                         "tarvik-cli runs without one\n");
    return 1;
  }
  return app_main(argc, argv);
}
