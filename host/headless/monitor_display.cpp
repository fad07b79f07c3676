// The on-screen monitor's display on the headless platform: a fixed
// geometry that scripts and tests may change, and the rows of the last
// drawing kept for them to read.
#include "host/headless/headless.h"
#include "host/platform.h"

namespace {

MonitorGeometry geometry = {512, 384 + 20, 20, 8, 16};
std::vector<std::string> lastRows;
int lastSeparator = -1;
uint32_t drawCount;

} // namespace

void platform_monitor_geometry(MonitorGeometry* out) {
  if (out) *out = geometry;
}

void platform_monitor_draw(const char* const* rows, int count, int separatorRow) {
  lastRows.clear();
  for (int r = 0; r < count; ++r) lastRows.emplace_back(rows[r] ? rows[r] : "");
  lastSeparator = separatorRow;
  ++drawCount;
}

void headless_monitor_set_geometry(const MonitorGeometry& g) { geometry = g; }
const std::vector<std::string>& headless_monitor_rows() { return lastRows; }
int headless_monitor_separator_row() { return lastSeparator; }
uint32_t headless_monitor_draw_count() { return drawCount; }
