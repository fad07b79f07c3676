// Display output logic; the drawing itself is the platform's.
#include "host/output/display.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "host/output/status.h"
#include "host/store/settings.h"
#include "host/ui/menu.h"
#include "host/ui/menu_checks.h"
#include "machine/machine.h"
#include "machine/video.h"

FrameBitmap frameBitmap;
Rect displaySource = {0, 0, 512, 256};
Rect displayDestination;
uint32_t fullScreen;
uint32_t fullScreenMemory;
int32_t windowWidth, windowHeight;
Rect displayGdiDestination = {0, 0, 512, 512};

namespace {

constexpr int32_t kRowBytes = kFrameRowBytes;

// The GDI path's bitmap: 512 rows of 64 bytes, made from the machine's
// picture at each presentation.
uint8_t gdiPixels[512 * kRowBytes];

int32_t width_of(const Rect& r) { return r.right - r.left; }
int32_t height_of(const Rect& r) { return r.bottom - r.top; }

// Fits to 4:3 after invalidating the rectangle (without erase).
void fit_in_place(Rect* r) {
  platform_invalidate_rect(*r, false);
  *r = display_fit_4_3(*r);
}

// The picture the current path scales: the 512 x 256 surface, or the GDI
// path's 512-row bitmap.
int32_t picture_height() { return hostOptions.VideoDriver == VIDEO_DRIVER_GDI ? 512 : 256; }

// How far a shape is from 4:3, as the logarithm of the ratio of the two.
double distance_from_4_3(int32_t width, int32_t height) {
  return std::fabs(std::log(3.0 * width / (4.0 * height)));
}

} // namespace

void display_build_bitmap() {
  std::memset(&frameBitmap, 0, sizeof frameBitmap);
  frameBitmap.header.size = sizeof(BitmapInfoHeader);
  frameBitmap.header.width = 512;
  frameBitmap.header.height = hostOptions.VideoDriver == VIDEO_DRIVER_GDI ? -512 : -256;
  frameBitmap.header.planes = 1;
  frameBitmap.header.bitCount = 1;
  frameBitmap.palette[1] = {255, 255, 255, 0};
  video_clear();
  std::memset(gdiPixels, 0, sizeof gdiPixels);
  display_forget_shown();
}

void display_free_bitmap() { std::memset(&frameBitmap, 0, sizeof frameBitmap); }

namespace {

// Tarvik models: each emulated line on the even row, and again on the odd
// row below it with double scan (black without).
void double_rows() {
  for (int line = 0; line < 256; ++line) {
    const uint8_t* source = frameBuffer + line * kRowBytes;
    uint8_t* row = gdiPixels + 2 * line * kRowBytes;
    std::memcpy(row, source, kRowBytes);
    if (hostOptions.DoubleScan == 1)
      std::memcpy(row + kRowBytes, source, kRowBytes);
    else
      std::memset(row + kRowBytes, 0, kRowBytes);
  }
}

// Veltra-16: the picture as it lies, with the 200 picture rows below the
// first eight spread onto two bitmap rows each (a copy with double scan,
// else black).
void spread_veltra_rows() {
  std::memcpy(gdiPixels, frameBuffer, sizeof gdiPixels);
  uint8_t* base = gdiPixels + 28 * kRowBytes + 12;
  for (int r = 199; r >= 1; --r) {
    std::memcpy(base + (2 * r + 1) * kRowBytes, base + r * kRowBytes, kRowBytes);
    if (hostOptions.DoubleScan == 1)
      std::memcpy(base + 2 * r * kRowBytes, base + r * kRowBytes, kRowBytes);
    else
      std::memset(base + 2 * r * kRowBytes, 0, kRowBytes);
  }
  if (hostOptions.DoubleScan == 1)
    std::memcpy(base + kRowBytes, base, kRowBytes);
  else
    std::memset(base + kRowBytes, 0, kRowBytes);
}

} // namespace

namespace {

// True while the platform is prepared for stretched frames.
bool stretchReady;

// Prepares the way the video driver asks for; false when it cannot.
bool prepare_presentation() {
  const bool stretched = hostOptions.VideoDriver != VIDEO_DRIVER_GDI;
  stretchReady =
      platform_present_prepare(stretched ? PRESENT_STRETCHED : PRESENT_UNSCALED, 512, 256) &&
      stretched;
  return !stretched || stretchReady;
}

// The destination rectangle in client coordinates.
Rect client_destination() {
  const Rect origin = platform_client_to_screen({0, 0, 0, 0});
  return {displayDestination.left - origin.left, displayDestination.top - origin.top,
          displayDestination.right - origin.left, displayDestination.bottom - origin.top};
}

} // namespace

const uint8_t* display_pixels() {
  return hostOptions.VideoDriver == VIDEO_DRIVER_GDI ? gdiPixels : frameBuffer;
}

namespace {

// What the window shows since the last presentation: the frame buffer's
// rows and everything that decides how they are shown. The GDI path makes
// its 512 rows from the first 512 rows of the frame buffer.
struct Shown {
  bool valid;
  uint64_t frameVersion; // frameBufferVersion when the pixels were taken
  uint32_t videoDriver, doubleScan, pixelExact;
  RgbQuad palette[2];
  Rect source, destination, gdiDestination;
  uint8_t pixels[sizeof gdiPixels];
};
Shown shown;

bool same_rect(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool shown_is_current() {
  return shown.valid && shown.videoDriver == hostOptions.VideoDriver &&
         shown.doubleScan == hostOptions.DoubleScan && shown.pixelExact == hostOptions.PixelExact &&
         std::memcmp(shown.palette, frameBitmap.palette, sizeof shown.palette) == 0 &&
         same_rect(shown.source, displaySource) &&
         same_rect(shown.destination, displayDestination) &&
         same_rect(shown.gdiDestination, displayGdiDestination) &&
         (shown.frameVersion == frameBufferVersion ||
          std::memcmp(shown.pixels, frameBuffer, sizeof shown.pixels) == 0);
}

void remember_shown() {
  shown.valid = true;
  shown.videoDriver = hostOptions.VideoDriver;
  shown.doubleScan = hostOptions.DoubleScan;
  shown.pixelExact = hostOptions.PixelExact;
  std::memcpy(shown.palette, frameBitmap.palette, sizeof shown.palette);
  shown.source = displaySource;
  shown.destination = displayDestination;
  shown.gdiDestination = displayGdiDestination;
  std::memcpy(shown.pixels, frameBuffer, sizeof shown.pixels);
  shown.frameVersion = frameBufferVersion;
}

void present_rendered(int full);

} // namespace

void present_frame(int full) {
  if (model() != MODEL_VELTRA16)
    video_render();
  else
    video_forget_drawn();
  present_rendered(full);
}

void present_changed_frame(int full) {
  if (model() != MODEL_VELTRA16)
    video_render();
  else
    video_forget_drawn();
  if (shown_is_current())
    platform_present_same();
  else
    present_rendered(full);
}

void display_forget_shown() { shown.valid = false; }

namespace {

void present_rendered(int full) {
  const bool veltra = model() == MODEL_VELTRA16;
  if (hostOptions.VideoDriver == VIDEO_DRIVER_GDI) {
    // A repaint of the Veltra-16 picture shows the rows as spread last.
    if (!veltra)
      double_rows();
    else if (full)
      spread_veltra_rows();
    platform_present(&frameBitmap, gdiPixels, {0, 0, 512, 512}, displayGdiDestination,
                     hostOptions.PixelExact == 1 ? PRESENT_WHOLE_MULTIPLES : PRESENT_UNSCALED);
  } else if (stretchReady) {
    platform_present(&frameBitmap, frameBuffer, displaySource, client_destination(),
                     PRESENT_STRETCHED);
  }
  remember_shown();
}

} // namespace

void display_start() {
  // The line is written for the GDI setting too, as it always was.
  if (!prepare_presentation() || hostOptions.VideoDriver == VIDEO_DRIVER_GDI) {
    bool failed = hostOptions.VideoDriver != VIDEO_DRIVER_GDI;
    hostOptions.VideoDriver = VIDEO_DRIVER_GDI;
    std::fputs("DirectDraw Init failed!\n", stderr);
    if (failed) display_build_bitmap();
  }
  display_update_target();
}

void display_shutdown() {
  shown.valid = false;
  platform_present_release();
  stretchReady = false;
  display_free_bitmap();
}

Rect display_fit_4_3(const Rect& rect) {
  Rect r = rect;
  int32_t w = width_of(rect), h = height_of(rect);
  int32_t fitWidth = (4 * h + 1) / 3;
  int32_t fitHeight = (3 * w + 2) / 4;
  if (fitWidth < w) {
    r.left = rect.left + (w - fitWidth + 1) / 2;
    r.right = r.left + fitWidth;
  } else if (fitHeight < h) {
    r.top = rect.top + (h - fitHeight + 1) / 2;
    r.bottom = r.top + fitHeight;
  }
  return r;
}

PixelExactFit display_pixel_exact_fit(const Rect& area, int32_t pictureWidth,
                                      int32_t pictureHeight) {
  const double kNear = std::log(1.15);
  const int32_t w = width_of(area), h = height_of(area);
  PixelExactFit fit = {
      1, 1, {area.left, area.top, area.left + pictureWidth, area.top + pictureHeight}};
  if (pictureWidth <= 0 || pictureHeight <= 0 || w < pictureWidth || h < pictureHeight) return fit;
  // The best shape near 4:3 by size, and the closest shape of all.
  int32_t nearX = 0, nearY = 0, closeX = 1, closeY = 1;
  int64_t nearArea = 0;
  double closest = distance_from_4_3(pictureWidth, pictureHeight);
  for (int32_t sy = 1; sy <= h / pictureHeight; ++sy)
    for (int32_t sx = 1; sx <= w / pictureWidth; ++sx) {
      const int32_t pw = sx * pictureWidth, ph = sy * pictureHeight;
      const double d = distance_from_4_3(pw, ph);
      const int64_t size = int64_t{pw} * ph;
      if (d <= kNear && size > nearArea) {
        nearX = sx;
        nearY = sy;
        nearArea = size;
      }
      if (d < closest - 1e-9 ||
          (d < closest + 1e-9 && size > int64_t{closeX} * pictureWidth * closeY * pictureHeight)) {
        closeX = sx;
        closeY = sy;
        closest = d;
      }
    }
  fit.scaleX = nearArea ? nearX : closeX;
  fit.scaleY = nearArea ? nearY : closeY;
  const int32_t pw = fit.scaleX * pictureWidth, ph = fit.scaleY * pictureHeight;
  fit.placement.left = area.left + (w - pw + 1) / 2;
  fit.placement.top = area.top + (h - ph + 1) / 2;
  fit.placement.right = fit.placement.left + pw;
  fit.placement.bottom = fit.placement.top + ph;
  return fit;
}

void display_update_target() {
  shown.valid = false;
  const int32_t width = 512, height = 256;
  const bool keep = hostOptions.KeepAspectRatio == 1;
  displaySource = {0, 0, width, height};
  Rect r = platform_client_rect();
  r.bottom -= status_height();
  if (hostOptions.PixelExact == 1) {
    platform_invalidate_rect(r, false);
    displayGdiDestination = display_pixel_exact_fit(r, 512, 512).placement;
    r = display_pixel_exact_fit(r, width, height).placement;
  } else {
    displayGdiDestination = {0, 0, 512, 512};
    if (keep) fit_in_place(&r);
  }
  displayDestination = platform_client_to_screen(r);
}

void display_window_size(int32_t width, int32_t height) {
  Rect r = platform_window_rect_for_client(width + 8, height + 8 + status_height());
  windowWidth = width_of(r);
  windowHeight = height_of(r);
}

SizeLimits display_size_limits() {
  SizeLimits limits{};
  if (hostOptions.PixelExact == 1) {
    // Any size that holds the picture unscaled; the picture is centred.
    Rect r = platform_window_rect_for_client(512, picture_height() + status_height());
    limits.minWidth = width_of(r);
    limits.minHeight = height_of(r);
    display_update_target();
  } else if (hostOptions.VideoDriver == VIDEO_DRIVER_GDI) {
    Rect r = platform_window_rect_for_client(512, 512 + status_height());
    limits.minWidth = limits.maxWidth = width_of(r);
    limits.minHeight = limits.maxHeight = height_of(r);
    limits.hasMaximum = true;
  } else {
    Rect r = platform_window_rect_for_client(512, 384 + status_height());
    limits.minWidth = width_of(r);
    limits.minHeight = height_of(r);
    display_update_target();
  }
  return limits;
}

namespace {

// The window's frame around the picture area: borders, caption, menu and
// the status bar.
void frame_size(int32_t* bw, int32_t* bh) {
  Rect frame = platform_window_rect_for_client(512, 384 + status_height());
  *bw = width_of(frame) - 512;
  *bh = height_of(frame) - 384;
}

// Snaps the window rectangle to the pixel-exact picture for the area it
// leaves, moving the edges being dragged.
void snap_pixel_exact(WindowEdge edge, Rect* r) {
  int32_t bw, bh;
  frame_size(&bw, &bh);
  PixelExactFit fit =
      display_pixel_exact_fit({0, 0, width_of(*r) - bw, height_of(*r) - bh}, 512, picture_height());
  const int32_t w = width_of(fit.placement) + bw, h = height_of(fit.placement) + bh;
  if (edge == WINDOW_EDGE_LEFT || edge == WINDOW_EDGE_TOP_LEFT || edge == WINDOW_EDGE_BOTTOM_LEFT)
    r->left = r->right - w;
  else
    r->right = r->left + w;
  if (edge == WINDOW_EDGE_TOP || edge == WINDOW_EDGE_TOP_LEFT || edge == WINDOW_EDGE_TOP_RIGHT)
    r->top = r->bottom - h;
  else
    r->bottom = r->top + h;
}

} // namespace

void display_edge_drag(WindowEdge edge, Rect* r) {
  if (hostOptions.PixelExact == 1) {
    snap_pixel_exact(edge, r);
    if (hostOptions.VideoDriver == VIDEO_DRIVER_DIRECTDRAW) present_frame(0);
    return;
  }
  if (hostOptions.KeepAspectRatio != 1) return;
  int32_t bw, bh;
  frame_size(&bw, &bh);
  int32_t cw = width_of(*r) - bw, ch = height_of(*r) - bh;
  switch (edge) {
  case WINDOW_EDGE_LEFT: r->top = r->bottom - cw * 384 / 512 - bh; break;
  case WINDOW_EDGE_RIGHT: r->bottom = r->top + cw * 384 / 512 + bh; break;
  case WINDOW_EDGE_TOP:
  case WINDOW_EDGE_TOP_LEFT:
  case WINDOW_EDGE_BOTTOM_LEFT: r->left = r->right - ch * 512 / 384 - bw; break;
  case WINDOW_EDGE_TOP_RIGHT:
  case WINDOW_EDGE_BOTTOM:
  case WINDOW_EDGE_BOTTOM_RIGHT: r->right = r->left + ch * 512 / 384 + bw; break;
  default: return;
  }
  if (hostOptions.VideoDriver == VIDEO_DRIVER_DIRECTDRAW) present_frame(0);
}

void display_toggle_keep_aspect() {
  hostOptions.KeepAspectRatio = hostOptions.KeepAspectRatio == 1 ? 0 : 1;
  menu_set_checked(CMD_KEEP_ASPECT, hostOptions.KeepAspectRatio == 1);
  if (hostOptions.KeepAspectRatio == 1 && hostOptions.VideoDriver == VIDEO_DRIVER_DIRECTDRAW) {
    Rect window = platform_window_rect();
    Rect client = platform_client_rect();
    Rect wanted = platform_window_rect_for_client(width_of(client),
                                                  status_height() + width_of(client) * 3 / 4);
    platform_move_window(
        {window.left, window.top, window.left + width_of(wanted), window.top + height_of(wanted)});
  }
  display_update_target();
}

void display_pixel_exact_window() {
  // At least the room of a 1024 x 768 picture where the screen has it.
  Rect window = platform_window_rect();
  int32_t bw, bh;
  frame_size(&bw, &bh);
  Rect screen = platform_screen_rect();
  int32_t w = width_of(window), h = height_of(window);
  int32_t roomW = width_of(screen) - bw, roomH = height_of(screen) - bh;
  if (w < 1024 + bw && roomW > w) w = (roomW < 1024 ? roomW : 1024) + bw;
  if (h < 768 + bh && roomH > h) h = (roomH < 768 ? roomH : 768) + bh;
  Rect wanted = {window.left, window.top, window.left + w, window.top + h};
  snap_pixel_exact(WINDOW_EDGE_BOTTOM_RIGHT, &wanted);
  platform_move_window(wanted);
}

void display_toggle_pixel_exact() {
  hostOptions.PixelExact = hostOptions.PixelExact == 1 ? 0 : 1;
  menu_set_checked(CMD_PIXEL_EXACT, hostOptions.PixelExact == 1);
  platform_set_maximize_box(hostOptions.VideoDriver == VIDEO_DRIVER_DIRECTDRAW ||
                            hostOptions.PixelExact == 1);
  if (fullScreen) {
    Rect screen = platform_screen_rect();
    displayDestination = {0, 0, width_of(screen), height_of(screen)};
    if (hostOptions.PixelExact == 1)
      displayDestination = display_pixel_exact_fit(displayDestination, 512, 256).placement;
    else
      displayDestination = display_fit_4_3(displayDestination);
    platform_invalidate(true);
    return;
  }
  Rect window = platform_window_rect();
  if (hostOptions.PixelExact == 1) {
    display_pixel_exact_window();
  } else if (hostOptions.VideoDriver == VIDEO_DRIVER_GDI) {
    // Back to the fixed size that the size limits give.
    platform_move_window(
        {window.left, window.top, window.left + 512, window.top + status_height() + 256});
  }
  display_update_target();
  platform_invalidate(true);
}

void display_set_video_driver(uint32_t driver, bool resize) {
  Rect window = platform_window_rect();
  hostOptions.VideoDriver = driver;
  if (!prepare_presentation()) hostOptions.VideoDriver = VIDEO_DRIVER_GDI;
  if (driver == VIDEO_DRIVER_GDI) display_build_bitmap();
  if (resize) {
    int32_t height = status_height() + (hostOptions.VideoDriver == VIDEO_DRIVER_GDI ? 256 : 384);
    platform_move_window({window.left, window.top, window.left + 512, window.top + height});
  }
  menu_set_checked(CMD_VIDEO_DRIVER, hostOptions.VideoDriver == VIDEO_DRIVER_GDI);
  platform_set_maximize_box(hostOptions.VideoDriver == VIDEO_DRIVER_DIRECTDRAW ||
                            hostOptions.PixelExact == 1);
  // The other path scales another picture.
  if (hostOptions.PixelExact == 1) display_update_target();
}

void display_toggle_full_screen() {
  if (!fullScreen) {
    fullScreenMemory = 1 + hostOptions.VideoDriver;
    if (hostOptions.VideoDriver == VIDEO_DRIVER_GDI)
      display_set_video_driver(VIDEO_DRIVER_DIRECTDRAW, false);
    Rect screen = platform_screen_rect();
    displayDestination = {0, 0, width_of(screen), height_of(screen)};
    if (hostOptions.PixelExact == 1)
      displayDestination = display_pixel_exact_fit(displayDestination, 512, 256).placement;
    else
      fit_in_place(&displayDestination);
    platform_full_screen_enter();
    fullScreen = 1;
    status_destroy();
    platform_invalidate(true);
  } else {
    if (fullScreenMemory == 1 + VIDEO_DRIVER_GDI) display_set_video_driver(VIDEO_DRIVER_GDI, false);
    fullScreenMemory = 0;
    status_create();
    status_set_text(0, "%s", modelTable[model()].statusLabel);
    platform_full_screen_leave();
    fullScreen = 0;
    // The window's own size messages came while the flag still said full
    // screen: the picture goes above the bar again, fitted as the user chose.
    status_layout();
    display_update_target();
  }
}
