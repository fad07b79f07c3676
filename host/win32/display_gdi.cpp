// Frame presentation: the stretched way through DirectDraw
// (display_ddraw.cpp); the unscaled way and whole multiples through GDI,
// the frame bitmap drawn into the window's device context (each pixel
// repeated, never blended).
#include "host/output/display.h"
#include "host/platform.h"
#include "host/win32/win32.h"

namespace {

// Unscaled, or scaled to the destination (by whole multiples: the host
// asks for nothing else).
void present_gdi(const FrameBitmap* bitmap, const uint8_t* pixels, const Rect& destination,
                 bool unscaled) {
  if (!mainWindow) return;
  HDC dc = GetDC(mainWindow);
  if (!dc) return;
  int32_t rows = bitmap->header.height < 0 ? -bitmap->header.height : bitmap->header.height;
  const int32_t dw = unscaled ? 512 : destination.right - destination.left;
  const int32_t dh = unscaled ? rows : destination.bottom - destination.top;
  if (dw == 512 && dh == rows) {
    SetDIBitsToDevice(dc, destination.left, destination.top, 512, static_cast<DWORD>(rows), 0, 0, 0,
                      static_cast<UINT>(rows), pixels, reinterpret_cast<const BITMAPINFO*>(bitmap),
                      DIB_RGB_COLORS);
  } else if (dw > 0 && dh > 0) {
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, destination.left, destination.top, dw, dh, 0, 0, 512, rows, pixels,
                  reinterpret_cast<const BITMAPINFO*>(bitmap), DIB_RGB_COLORS, SRCCOPY);
  }
  ReleaseDC(mainWindow, dc);
}

} // namespace

bool platform_present_prepare(PresentScaling how, int32_t width, int32_t height) {
  if (how == PRESENT_STRETCHED) return win_ddraw_start(width, height) == 0;
  win_ddraw_stop(false);
  return true;
}

void platform_present(const FrameBitmap* bitmap, const uint8_t* pixels, const Rect& source,
                      const Rect& destination, PresentScaling how) {
  if (how == PRESENT_STRETCHED)
    win_ddraw_present(bitmap, pixels, source, destination);
  else
    present_gdi(bitmap, pixels, destination, how == PRESENT_UNSCALED);
}

void platform_present_same() {}
void platform_present_release() { win_ddraw_stop(true); }
