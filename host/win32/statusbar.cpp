// The status bar control: four parts with tooltips, part 1 owner-drawn as
// the row of indicator boxes.
#include <windows.h> // before the other Windows headers, which need it

#include <commctrl.h>

#include "host/output/status.h"
#include "host/platform.h"
#include "host/script/script_mode.h"
#include "host/win32/resource_ids.h"
#include "host/win32/win32.h"

namespace {

HWND bar;
HPEN lightPen, shadowPen;
HBRUSH blackBrush, redBrush;

void draw_indicators(HDC dc, const RECT& client) {
  for (int k = 0; k < STATUS_INDICATORS; ++k) {
    StatusIndicator box = status_indicator(k, client.left, client.bottom);
    HGDIOBJ old = SelectObject(dc, shadowPen);
    MoveToEx(dc, box.x0 - 1, box.y1 - 1, nullptr);
    LineTo(dc, box.x0 - 1, box.y0 - 1);
    LineTo(dc, box.x1, box.y0 - 1);
    SelectObject(dc, lightPen);
    LineTo(dc, box.x1, box.y1);
    LineTo(dc, box.x0 - 2, box.y1);
    SelectObject(dc, old);
    RECT inside = {box.x0, box.y0, box.x1, box.y1};
    FillRect(dc, &inside, box.active ? redBrush : blackBrush);
  }
}

void draw_now() {
  if (!bar) return;
  HDC dc = GetDC(bar);
  RECT client;
  GetClientRect(bar, &client);
  draw_indicators(dc, client);
  ReleaseDC(bar, dc);
}

} // namespace

HWND win_status_window() { return bar; }

void win_status_draw_item(const DRAWITEMSTRUCT*) {
  HDC dc = GetDC(bar);
  RECT client;
  GetClientRect(bar, &client);
  draw_indicators(dc, client);
  ReleaseDC(bar, dc);
}

bool platform_status_create(const int32_t* rightEdges, int parts) {
  if (bar) return true;
  InitCommonControls();
  bar = CreateWindowExA(0, STATUSCLASSNAMEA, "",
                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | SBARS_TOOLTIPS, 0, 0, 0, 0,
                        mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS_BAR)),
                        winInstance, nullptr);
  if (!bar) return false;
  INT edges[8];
  for (int i = 0; i < parts && i < 8; ++i) edges[i] = rightEdges[i];
  SendMessageA(bar, SB_SETPARTS, static_cast<WPARAM>(parts), reinterpret_cast<LPARAM>(edges));
  SendMessageA(bar, SB_SETTEXTA, 1 | SBT_OWNERDRAW, 0);
  lightPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  shadowPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  blackBrush = CreateSolidBrush(RGB(0, 0, 0));
  redBrush = CreateSolidBrush(RGB(255, 0, 0));
  draw_now();
  return true;
}

void platform_status_destroy() {
  if (!bar) return;
  // The first indicator box and a pixel round it take the menu colour.
  HDC dc = GetDC(bar);
  RECT client;
  GetClientRect(bar, &client);
  StatusIndicator box = status_indicator(0, client.left, client.bottom);
  RECT r = {box.x0 - 2, box.y0 - 2, box.x1 + 2, box.y1 + 2};
  FillRect(dc, &r, GetSysColorBrush(COLOR_MENU));
  ReleaseDC(bar, dc);
  DeleteObject(lightPen);
  DeleteObject(shadowPen);
  DeleteObject(blackBrush);
  DeleteObject(redBrush);
  DestroyWindow(bar);
  bar = nullptr;
}

void platform_status_set_text(int part, const char* text) {
  if (!bar) return;
  std::string ansi = to_ansi(text);
  SendMessageA(bar, SB_SETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(ansi.c_str()));
  SendMessageA(bar, SB_SETTIPTEXTA, static_cast<WPARAM>(part),
               reinterpret_cast<LPARAM>(ansi.c_str()));
}

int32_t platform_status_height() {
  if (!bar) return 0;
  RECT r;
  GetWindowRect(bar, &r);
  return r.bottom - r.top;
}

void platform_status_layout() {
  if (!bar) return;
  draw_now();
  MoveWindow(bar, 0, 0, 0, 0, TRUE);
  UpdateWindow(bar);
  RECT r;
  GetWindowRect(bar, &r);
  script_log("status bar: %ld,%ld %ldx%ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
}
