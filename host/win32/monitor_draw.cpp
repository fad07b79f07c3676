// The on-screen monitor's drawing: rows of text in the system's fixed-pitch
// OEM font, white on black, and the white separator line under the
// register lines.
#include "host/output/status.h"
#include "host/platform.h"
#include "host/win32/win32.h"

void platform_monitor_geometry(MonitorGeometry* geometry) {
  if (!geometry) return;
  RECT client = {0, 0, 0, 0};
  GetClientRect(mainWindow, &client);
  geometry->clientWidth = client.right;
  geometry->clientHeight = client.bottom;
  geometry->statusBarHeight = status_height();
  geometry->charWidth = 8;
  geometry->lineHeight = 16;
  HDC dc = GetDC(mainWindow);
  if (!dc) return;
  HGDIOBJ old = SelectObject(dc, GetStockObject(OEM_FIXED_FONT));
  TEXTMETRICA metrics;
  if (GetTextMetricsA(dc, &metrics)) {
    geometry->charWidth = metrics.tmMaxCharWidth > 0 ? metrics.tmMaxCharWidth : 8;
    geometry->lineHeight = metrics.tmHeight > 0 ? metrics.tmHeight : 16;
    // A fixed-pitch font's cell is the width its characters really take
    // (the flag is named the other way round). Its widest character may
    // claim more: Wine gives 13 pixels for cells drawn 7 wide.
    if (!(metrics.tmPitchAndFamily & TMPF_FIXED_PITCH)) {
      static const char sample[] = "0123456789ABCDEF:,() WMwm";
      const int n = static_cast<int>(sizeof sample - 1);
      SIZE size;
      if (GetTextExtentPoint32A(dc, sample, n, &size) && size.cx >= n)
        geometry->charWidth = size.cx / n;
    }
  }
  SelectObject(dc, old);
  ReleaseDC(mainWindow, dc);
}

void platform_monitor_draw(const char* const* rows, int count, int separatorRow) {
  MonitorGeometry g;
  platform_monitor_geometry(&g);
  HDC dc = GetDC(mainWindow);
  if (!dc) return;
  RECT area = {0, 0, g.clientWidth, g.clientHeight - g.statusBarHeight};
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(OEM_FIXED_FONT));
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, OPAQUE);
  for (int r = 0; r < count; ++r) {
    if (!rows[r]) continue;
    std::string text = to_oem(rows[r]); // the OEM font's code page
    TextOutA(dc, 0, g.lineHeight * r, text.c_str(), static_cast<int>(text.size()));
  }
  if (separatorRow >= 0) {
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    int y = separatorRow * g.lineHeight - 1;
    MoveToEx(dc, 0, y, nullptr);
    LineTo(dc, g.clientWidth, y);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  }
  SelectObject(dc, oldFont);
  ReleaseDC(mainWindow, dc);
}
