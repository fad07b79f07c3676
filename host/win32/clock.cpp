// The performance counter, the millisecond sleep and the display's refresh
// rate.
#include "host/platform.h"
#include "host/win32/win32.h"

int64_t platform_counter_frequency() {
  LARGE_INTEGER f;
  return QueryPerformanceFrequency(&f) ? f.QuadPart : 1000;
}

int64_t platform_counter() {
  LARGE_INTEGER c;
  if (QueryPerformanceCounter(&c)) return c.QuadPart;
  return static_cast<int64_t>(GetTickCount64());
}

void platform_sleep_ms(uint32_t milliseconds) { Sleep(milliseconds); }

uint32_t platform_refresh_rate() {
  DEVMODEA mode;
  ZeroMemory(&mode, sizeof mode);
  mode.dmSize = sizeof mode;
  if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return 0;
  // 0 and 1 both mean "the hardware's default rate": not known.
  return mode.dmDisplayFrequency > 1 ? mode.dmDisplayFrequency : 0;
}
