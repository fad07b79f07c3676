// The clock: the monotonic clock in nanoseconds, sleeps, and the refresh
// rate of the monitor that shows the window.
#include <time.h>

#include <cerrno>

#include "host/gtk/gtk_host.h"
#include "host/platform.h"

int64_t platform_counter_frequency() { return 1000000000; }

int64_t platform_counter() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

void platform_sleep_ms(uint32_t milliseconds) {
  timespec wait = {static_cast<time_t>(milliseconds / 1000),
                   static_cast<long>(milliseconds % 1000) * 1000000};
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {}
}

uint32_t platform_refresh_rate() {
  GdkDisplay* display = gdk_display_get_default();
  if (!display) return 0;
  GdkMonitor* monitor = nullptr;
  if (guiWindow && gtk_widget_get_window(guiWindow))
    monitor = gdk_display_get_monitor_at_window(display, gtk_widget_get_window(guiWindow));
  if (!monitor) monitor = gdk_display_get_primary_monitor(display);
  if (!monitor) return 0;
  int milliHz = gdk_monitor_get_refresh_rate(monitor);
  return milliHz > 0 ? static_cast<uint32_t>((milliHz + 500) / 1000) : 0;
}
