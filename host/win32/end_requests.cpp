// Requests to end the run from the console that the interactive monitor
// opens (Ctrl+C, Ctrl+Break, its close box) and the end of the session:
// the run ends as after the main window's close box.
#include "host/core/app.h"
#include "host/platform.h"
#include "host/win32/win32.h"

namespace {

volatile LONG endRequest;

BOOL WINAPI on_console_event(DWORD event) {
  InterlockedExchange(&endRequest, 1);
  // The main loop may be waiting for a message: wake it.
  if (mainWindow) PostMessageA(mainWindow, WM_NULL, 0, 0);
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
  // On a close, logoff or shutdown the process ends when this returns:
  // wait until the main thread has finished the files and ends it.
  Sleep(INFINITE);
  return TRUE;
}

} // namespace

void platform_watch_end_requests() {
  InterlockedExchange(&endRequest, 0);
  SetConsoleCtrlHandler(on_console_event, TRUE);
}

bool platform_end_requested() { return InterlockedCompareExchange(&endRequest, 0, 0) != 0; }
