// The GDI path: the frame bitmap drawn unscaled at the client area's
// top-left corner, or at whole multiples with pixel-exact scaling (each
// pixel repeated, never blended).
#include "host/display.h"
#include "host/platform.h"
#include "host/win32/win32.h"

void platform_present_gdi(const FrameBitmap* bitmap, const uint8_t* pixels,
                          const Rect& destination) {
  if (!mainWindow) return;
  HDC dc = GetDC(mainWindow);
  if (!dc) return;
  int32_t rows = bitmap->header.height < 0 ? -bitmap->header.height : bitmap->header.height;
  const int32_t dw = destination.right - destination.left;
  const int32_t dh = destination.bottom - destination.top;
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
