// Headless status bar and presentation: the texts of the four parts, and a
// copy of the picture as the window would show it.
#include <cstdio>
#include <cstring>
#include <string>

#include "host/headless/headless.h"
#include "host/output/display.h"
#include "host/output/status.h"
#include "host/platform.h"

namespace {

constexpr int32_t kStatusHeight = 24;

bool statusOn;
std::string statusTexts[4];

uint8_t presented[512 * 64];
int32_t presentedRows;
uint32_t presentCount;
uint32_t drawCount;
bool surfaceAvailable = true;
bool surfacePrepared;

void keep(const FrameBitmap* bitmap, const uint8_t* pixels, int32_t rows) {
  int32_t height = bitmap->header.height < 0 ? -bitmap->header.height : bitmap->header.height;
  if (rows > height) rows = height;
  if (rows > 512) rows = 512;
  std::memcpy(presented, pixels, static_cast<size_t>(rows) * 64);
  presentedRows = rows;
  ++presentCount;
  ++drawCount;
}

} // namespace

bool platform_status_create(const int32_t*, int parts) {
  if (parts != 4) return false;
  statusOn = true;
  for (std::string& t : statusTexts) t.clear();
  return true;
}

void platform_status_destroy() { statusOn = false; }

void platform_status_set_text(int part, const char* text) {
  if (!statusOn || part < 0 || part > 3) return;
  statusTexts[part] = text;
  if (part == 3 && *text && headless_verbose()) std::fprintf(stderr, "status: %s\n", text);
}

int32_t platform_status_height() { return statusOn ? kStatusHeight : 0; }
void platform_status_layout() {}

// The text a part shows now, also while no bar exists (the bar takes it up
// when it is created).
const char* headless_status_text(int part) { return status_text(part); }

// The stretched way stands for a scaling surface that can be missing
// (headless_set_ddraw_available).
bool platform_present_prepare(PresentScaling how, int32_t width, int32_t height) {
  surfacePrepared = false;
  if (how != PRESENT_STRETCHED) return true;
  if (!surfaceAvailable || width != 512 || height != 256) return false;
  surfacePrepared = true;
  return true;
}

void platform_present(const FrameBitmap* bitmap, const uint8_t* pixels, const Rect& source,
                      const Rect&, PresentScaling how) {
  if (how == PRESENT_STRETCHED && !surfacePrepared) return; // no surface: nothing is drawn
  keep(bitmap, pixels, source.bottom);
}

// The picture kept is already this frame; it counts as shown again.
void platform_present_same() { ++presentCount; }

void platform_present_release() { surfacePrepared = false; }

const uint8_t* headless_presented_frame(int32_t* rows) {
  if (rows) *rows = presentedRows;
  return presented;
}

uint32_t headless_present_count() { return presentCount; }
uint32_t headless_draw_count() { return drawCount; }
void headless_set_ddraw_available(bool available) { surfaceAvailable = available; }
bool headless_ddraw_running() { return surfacePrepared; }
