// Requests to end the run from outside: the signals only set a flag that the
// main loop reads between frames.
#include <csignal>

#include "host/platform.h"

namespace {

volatile std::sig_atomic_t endRequest;

extern "C" void on_end_signal(int signal) {
  endRequest = 1;
  // A second signal of the kind ends the process as by default.
  std::signal(signal, SIG_DFL);
}

void watch(int signal) {
#ifdef _WIN32
  std::signal(signal, on_end_signal);
#else
  // Without SA_RESTART: a read of script lines or monitor input waiting on
  // standard input returns, so that the request is seen at once.
  struct sigaction action {};
  action.sa_handler = on_end_signal;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
#endif
}

} // namespace

void platform_watch_end_requests() {
  endRequest = 0;
  watch(SIGINT);
  watch(SIGTERM);
#ifdef SIGHUP
  watch(SIGHUP);
#endif
}

bool platform_end_requested() { return endRequest != 0; }
