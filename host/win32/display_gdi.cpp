// The GDI path: the frame bitmap drawn unscaled at the client area's
// top-left corner.
#include "host/display.h"
#include "host/platform.h"
#include "host/win32/win32.h"

void platform_present_gdi(const FrameBitmap* bitmap, const uint8_t* pixels) {
  if (!mainWindow) return;
  HDC dc = GetDC(mainWindow);
  if (!dc) return;
  int32_t rows = bitmap->header.height < 0 ? -bitmap->header.height : bitmap->header.height;
  SetDIBitsToDevice(dc, 0, 0, 512, static_cast<DWORD>(rows), 0, 0, 0, static_cast<UINT>(rows),
                    pixels, reinterpret_cast<const BITMAPINFO*>(bitmap), DIB_RGB_COLORS);
  ReleaseDC(mainWindow, dc);
}
