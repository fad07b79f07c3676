// The DirectDraw path: "ddraw.dll" loaded at run time, a primary surface
// with a clipper on the main window, a 512 x 256 off-screen back surface
// (video memory, else system memory), the frame drawn into the back surface
// and stretched into the window by the blitter.
#include <windows.h> // before the other Windows headers, which need it

#include <ddraw.h>

#include <cstdio>

#include "host/output/display.h"
#include "host/platform.h"
#include "host/script/script_mode.h"
#include "host/win32/win32.h"

namespace {

typedef HRESULT(WINAPI* DirectDrawCreateFunction)(GUID*, LPDIRECTDRAW*, IUnknown*);

HMODULE library;
DirectDrawCreateFunction directDrawCreate;
IDirectDraw* directDraw;
IDirectDrawSurface* primary;
IDirectDrawSurface* back;
bool clearPrimary = true;

void release_all() {
  if (directDraw) directDraw->SetCooperativeLevel(mainWindow, DDSCL_NORMAL);
  if (back) back->Release();
  if (primary) primary->Release();
  if (directDraw) directDraw->Release();
  back = nullptr;
  primary = nullptr;
  directDraw = nullptr;
}

void unload() {
  if (library) FreeLibrary(library);
  library = nullptr;
  directDrawCreate = nullptr;
}

// Steps 2-6 fail through here: everything is released and unloaded, and the
// user is told.
int fail(const char* text, HRESULT result) {
  release_all();
  unload();
  platform_message_box("Error", text, PLATFORM_ICON_STOP);
  return result ? static_cast<int>(result) : -1;
}

HRESULT create_surface(DDSURFACEDESC* desc, IDirectDrawSurface** surface, const char* which) {
  desc->ddsCaps.dwCaps |= DDSCAPS_VIDEOMEMORY;
  HRESULT r = directDraw->CreateSurface(desc, surface, nullptr);
  if (r == DD_OK) return r;
  std::fprintf(stderr, "CreateSurface (%s) failed in videomemory, trying system memory...\n",
               which);
  desc->ddsCaps.dwCaps &= ~static_cast<DWORD>(DDSCAPS_VIDEOMEMORY);
  desc->ddsCaps.dwCaps |= DDSCAPS_SYSTEMMEMORY;
  return directDraw->CreateSurface(desc, surface, nullptr);
}

// Under Wine, DirectDraw draws through OpenGL by default, and the OpenGL
// window it puts on the main window covers the window's children: the status
// bar vanished for good after the first change of the window's size. Wine's
// GDI renderer draws the primary surface through the clip list instead, as
// Windows does. Wine's Direct3D layer reads the choice from its C runtime's
// copy of the environment when "ddraw.dll" first loads, and that runtime
// (ucrtbase, msvcrt in older Wine) is usually loaded already, so it is told
// too. A choice the user made in the environment is kept. Windows has no such
// variable and nothing changes there.
void prefer_wine_gdi_renderer() {
  static const char kName[] = "WINE_D3D_CONFIG";
  static const char kValue[] = "renderer=gdi";
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  if (!ntdll || !GetProcAddress(ntdll, "wine_get_version")) return;
  char chosen[64] = "";
  if (GetEnvironmentVariableA(kName, chosen, sizeof chosen) != 0) {
    script_log("wine renderer: %s (kept)", chosen);
    return;
  }
  script_log("wine renderer: %s", kValue);
  SetEnvironmentVariableA(kName, kValue);
  typedef int(__cdecl * PutEnvFunction)(const char*, const char*);
  for (const char* name : {"ucrtbase.dll", "msvcrt.dll"}) {
    HMODULE runtime = GetModuleHandleA(name);
    if (!runtime) continue;
    auto putEnv = reinterpret_cast<PutEnvFunction>(
        reinterpret_cast<void*>(GetProcAddress(runtime, "_putenv_s")));
    if (putEnv) putEnv(kName, kValue);
  }
}

} // namespace

int win_ddraw_start(int32_t width, int32_t height) {
  if (!library) {
    prefer_wine_gdi_renderer();
    library = LoadLibraryA("ddraw.dll");
    if (!library) {
      platform_message_box("Fatal error!", "Missing DDRAW.DLL", PLATFORM_ICON_STOP);
      return -1;
    }
    directDrawCreate = reinterpret_cast<DirectDrawCreateFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "DirectDrawCreate")));
  }
  if (!directDrawCreate) {
    unload();
    return -1;
  }
  release_all();
  HRESULT r = directDrawCreate(nullptr, &directDraw, nullptr);
  if (r != DD_OK) {
    directDraw = nullptr;
    return fail("DirectDrawCreate FAILED", r);
  }
  r = directDraw->SetCooperativeLevel(mainWindow, DDSCL_NORMAL);
  if (r != DD_OK) return fail("SetCooperativeLevel FAILED", r);

  DDSURFACEDESC desc;
  ZeroMemory(&desc, sizeof desc);
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  r = create_surface(&desc, &primary, "primary");
  if (r != DD_OK) {
    primary = nullptr;
    return fail("CreateSurface (primary) FAILED", r);
  }

  IDirectDrawClipper* clipper = nullptr;
  r = directDraw->CreateClipper(0, &clipper, nullptr);
  if (r != DD_OK) return fail("CreateClipper FAILED", r);
  clipper->SetHWnd(0, mainWindow);
  primary->SetClipper(clipper);
  clipper->Release();

  ZeroMemory(&desc, sizeof desc);
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  r = create_surface(&desc, &back, "back");
  if (r != DD_OK) {
    back = nullptr;
    return fail("CreateSurface (back) FAILED", r);
  }
  clearPrimary = true;
  return 0;
}

void win_ddraw_stop(bool unloadLibrary) {
  release_all();
  if (unloadLibrary) unload();
}

void win_ddraw_present(const FrameBitmap* bitmap, const uint8_t* pixels, const Rect& source,
                       const Rect& destination) {
  if (!back || !primary) return;
  HDC dc;
  if (back->GetDC(&dc) == DD_OK) {
    int32_t rows = bitmap->header.height < 0 ? -bitmap->header.height : bitmap->header.height;
    SetDIBitsToDevice(dc, 0, 0, 512, static_cast<DWORD>(rows), 0, 0, 0, static_cast<UINT>(rows),
                      pixels, reinterpret_cast<const BITMAPINFO*>(bitmap), DIB_RGB_COLORS);
    back->ReleaseDC(dc);
  }
  if (clearPrimary) {
    // The picture's area only: the client area above the status bar. The
    // clipper keeps the fill inside the window, but not out of its child
    // windows under Wine, and a fill of the whole surface covered the bar.
    RECT area;
    GetClientRect(mainWindow, &area);
    if (HWND bar = win_status_window()) {
      RECT r;
      if (IsWindowVisible(bar) && GetWindowRect(bar, &r)) area.bottom -= r.bottom - r.top;
    }
    MapWindowPoints(mainWindow, nullptr, reinterpret_cast<POINT*>(&area), 2);
    DDBLTFX fx;
    ZeroMemory(&fx, sizeof fx);
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0;
    if (area.right > area.left && area.bottom > area.top)
      primary->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    clearPrimary = false;
  }
  RECT src = {source.left, source.top, source.right, source.bottom};
  RECT dst = {destination.left, destination.top, destination.right, destination.bottom};
  if (dst.right <= dst.left || dst.bottom <= dst.top) return;
  // The primary surface is the screen.
  POINT corners[2] = {{dst.left, dst.top}, {dst.right, dst.bottom}};
  ClientToScreen(mainWindow, &corners[0]);
  ClientToScreen(mainWindow, &corners[1]);
  dst = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  if (primary->Blt(&dst, back, &src, DDBLT_WAIT, nullptr) != DD_OK) {
    // A lost surface (mode change, another program's full screen): restore
    // both; the next presentation draws again.
    primary->Restore();
    back->Restore();
  }
}
