// The picture on the page's canvas: the 1-bit frame bitmap turned into RGBA
// pixels here and handed to the canvas, which the page places at the
// destination rectangle (the host's 4:3 fit); and the on-screen monitor as a
// text panel over the picture area.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <string>

#include "host/output/display.h"
#include "host/platform.h"
#include "host/web/web.h"

namespace {

constexpr int32_t kWidth = 512, kMostRows = 512;
// Monitor text: the page's fixed-pitch font cell in CSS pixels.
constexpr int kCharWidth = 8, kLineHeight = 16;

uint32_t rgba[kWidth * kMostRows];

EM_JS(void, js_present,
      (const uint32_t* pixels, int width, int rows, int sx, int sy, int sw, int sh, int dx, int dy,
       int dw, int dh),
      { TarvikUI.present(HEAPU8, pixels, width, rows, sx, sy, sw, sh, dx, dy, dw, dh); });
EM_JS(void, js_monitor, (const char* text, int separatorRow),
      { TarvikUI.monitor(UTF8ToString(text), separatorRow); });

// rows x 512 pixels of the bitmap (top-down, 64 bytes a row) through its
// two-colour palette.
void convert(const FrameBitmap* bitmap, const uint8_t* pixels, int32_t rows) {
  const RgbQuad* p = bitmap->palette;
  const uint32_t colour[2] = {
      0xFF000000u | uint32_t{p[0].blue} << 16 | uint32_t{p[0].green} << 8 | p[0].red,
      0xFF000000u | uint32_t{p[1].blue} << 16 | uint32_t{p[1].green} << 8 | p[1].red};
  uint32_t* out = rgba;
  for (int32_t i = 0; i < rows * (kWidth / 8); ++i) {
    uint8_t byte = pixels[i];
    for (int b = 7; b >= 0; --b) *out++ = colour[(byte >> b) & 1];
  }
}

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
  int32_t rows = bitmap_rows(bitmap);
  convert(bitmap, pixels, rows);
  Rect d = destination;
  if (how == PRESENT_UNSCALED) {
    d.right = d.left + (source.right - source.left);
    d.bottom = d.top + (source.bottom - source.top);
  }
  js_present(rgba, kWidth, rows, source.left, source.top, source.right - source.left,
             source.bottom - source.top, d.left, d.top, d.right - d.left, d.bottom - d.top);
}

void platform_present_same() {}
void platform_present_release() {}

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
