// The status bar's texts and geometry; the control itself is the
// platform's.
#include "host/output/status.h"

#include <cstdarg>
#include <cstdio>

#include "host/platform.h"
#include "host/script/script_mode.h"

const int32_t statusPartEdges[4] = {80, 176, 224, -1};

namespace {

bool exists;
char texts[STATUS_PARTS][STATUS_TEXT_SIZE];
int activeIndicator; // the indicators carry no other state yet

void set_part(int part, const char* format, va_list args) {
  if (part < 0 || part >= STATUS_PARTS || part == 1) return;
  std::vsnprintf(texts[part], sizeof texts[part], format, args);
  if (!exists) return;
  platform_status_set_text(part, texts[part]);
  if (part == 3 && texts[part][0]) script_log("status: %s", texts[part]);
}

} // namespace

void status_create() {
  if (exists) return;
  if (!platform_status_create(statusPartEdges, 4)) {
    std::fputs("Failed to create status bar.\n", stderr);
    return;
  }
  exists = true;
  for (int part = 0; part < STATUS_PARTS; ++part) {
    texts[part][0] = '\0';
    if (part != 1) platform_status_set_text(part, "");
  }
}

void status_destroy() {
  if (!exists) return;
  platform_status_destroy();
  exists = false;
}

void status_set_text(int part, const char* format, ...) {
  va_list args;
  va_start(args, format);
  set_part(part, format, args);
  va_end(args);
}

void status_message(const char* format, ...) {
  va_list args;
  va_start(args, format);
  set_part(3, format, args);
  va_end(args);
}

const char* status_text(int part) {
  if (part < 0 || part >= STATUS_PARTS) return "";
  return texts[part];
}

int32_t status_height() { return exists ? platform_status_height() : 0; }

void status_layout() {
  if (exists) platform_status_layout();
}

bool status_exists() { return exists; }

StatusIndicator status_indicator(int index, int32_t left, int32_t bottom) {
  StatusIndicator box;
  box.x0 = left + 90 + 20 * index;
  box.x1 = box.x0 + 13;
  box.y0 = bottom - STATUS_ASSUMED_HEIGHT + 2 + 8;
  box.y1 = bottom - STATUS_ASSUMED_HEIGHT + 2 + 16;
  box.active = index == activeIndicator;
  return box;
}
