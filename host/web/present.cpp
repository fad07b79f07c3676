// The picture on the page's canvas: the 1-bit frame bitmap turned into RGBA
// pixels here and handed to the canvas, which the page places at the
// destination rectangle (the host's 4:3 fit); and the on-screen monitor as a
// text panel over the picture area.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "host/output/display.h"
#include "host/platform.h"
#include "host/web/web.h"

namespace {

constexpr int32_t kWidth = 512, kRowBytes = kWidth / 8, kMostRows = 512;
// Monitor text: the page's fixed-pitch font cell in CSS pixels.
constexpr int kCharWidth = 8, kLineHeight = 16;

uint32_t rgba[kWidth * kMostRows];

// first to end: the rows that changed since the last call.
EM_JS(void, js_present,
      (const uint32_t* pixels, int width, int rows, int sx, int sy, int sw, int sh, int dx, int dy,
       int dw, int dh, int first, int end),
      {
        TarvikUI.present(HEAPU8, pixels, width, rows, sx, sy, sw, sh, dx, dy, dw, dh, first, end);
      });
EM_JS(void, js_monitor, (const char* text, int separatorRow),
      { TarvikUI.monitor(UTF8ToString(text), separatorRow); });

// The bitmap's rows first to end (512 pixels, 64 bytes each, top-down)
// through the two colours.
void convert(const uint32_t colour[2], const uint8_t* pixels, int32_t first, int32_t end) {
  uint32_t* out = rgba + first * kWidth;
  for (int32_t i = first * kRowBytes; i < end * kRowBytes; ++i) {
    uint8_t byte = pixels[i];
    for (int b = 7; b >= 0; --b) *out++ = colour[(byte >> b) & 1];
  }
}

// What the canvas was last given, so that a frame converts and draws only
// the rows that changed (at the prompt: the cursor's).
uint8_t lastPixels[kMostRows * kRowBytes];
uint32_t lastColour[2];
int32_t lastRows = -1;

int32_t bitmap_rows(const FrameBitmap* bitmap) {
  int32_t h = bitmap->header.height < 0 ? -bitmap->header.height : bitmap->header.height;
  return h > kMostRows ? kMostRows : h;
}

} // namespace

bool platform_present_prepare(PresentScaling, int32_t width, int32_t height) {
  return width == kWidth && height <= kMostRows;
}

// The page draws the source at the destination, unscaled when the two are
// of one size.
void platform_present(const FrameBitmap* bitmap, const uint8_t* pixels, const Rect& source,
                      const Rect& destination, PresentScaling how) {
  const int32_t rows = bitmap_rows(bitmap);
  const RgbQuad* p = bitmap->palette;
  const uint32_t colour[2] = {
      0xFF000000u | uint32_t{p[0].blue} << 16 | uint32_t{p[0].green} << 8 | p[0].red,
      0xFF000000u | uint32_t{p[1].blue} << 16 | uint32_t{p[1].green} << 8 | p[1].red};
  int32_t first = 0, end = rows;
  if (rows == lastRows && colour[0] == lastColour[0] && colour[1] == lastColour[1]) {
    auto same = [&](int32_t row) {
      return std::memcmp(pixels + row * kRowBytes, lastPixels + row * kRowBytes, kRowBytes) == 0;
    };
    while (first < rows && same(first)) ++first;
    while (end > first && same(end - 1)) --end;
  }
  convert(colour, pixels, first, end);
  std::memcpy(lastPixels + first * kRowBytes, pixels + first * kRowBytes,
              static_cast<size_t>(end - first) * kRowBytes);
  lastRows = rows;
  lastColour[0] = colour[0];
  lastColour[1] = colour[1];
  Rect d = destination;
  if (how == PRESENT_UNSCALED) {
    d.right = d.left + (source.right - source.left);
    d.bottom = d.top + (source.bottom - source.top);
  }
  js_present(rgba, kWidth, rows, source.left, source.top, source.right - source.left,
             source.bottom - source.top, d.left, d.top, d.right - d.left, d.bottom - d.top, first,
             end);
}

void platform_present_same() {}
void platform_present_release() { lastRows = -1; }

// ---- on-screen monitor ------------------------------------------------------------

void platform_monitor_geometry(MonitorGeometry* geometry) {
  int32_t width, height;
  web_client_size(&width, &height);
  *geometry = {width, height, 0, kCharWidth, kLineHeight};
}

void platform_monitor_draw(const char* const* rows, int count, int separatorRow) {
  std::string text;
  for (int r = 0; r < count; ++r) {
    if (r) text += '\n';
    text += rows[r] ? rows[r] : "";
  }
  js_monitor(text.c_str(), separatorRow);
}
