// What the Windows platform files share: the instance and the main window,
// the one conversion of the program's UTF-8 texts to code page 1250, and
// the automation mode in which a script takes the user's place.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

extern HINSTANCE winInstance;
extern HWND mainWindow;

// Every text the program hands to Windows passes through here: UTF-8 from
// the sources becomes code page 1250. Bytes that are not UTF-8 (a file name
// that Windows gave us in code page 1250) pass unchanged.
std::string to_ansi(const char* text);
// Code page 1250 text from Windows as UTF-8, for the log.
std::string from_ansi(const char* text);
// Our UTF-8 text in the OEM code page, for the OEM font of the on-screen
// monitor ('?' for what it lacks).
std::string to_oem(const char* text);

// The window procedure (window.cpp).
LRESULT CALLBACK win_window_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// ---- the tape browser (tape_browser.cpp) ----
// The modal dialog; describeOnly makes it, reads it back as one line and
// closes it at once.
std::string win_tape_browser(bool describeOnly);

// ---- keyboard (keyboard.cpp) ----
// A key message (WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP) for the
// host; true when the host used it (no default processing then).
bool win_key_message(UINT message, WPARAM wParam, LPARAM lParam);

// ---- the stretched picture (display_ddraw.cpp) ----
// DirectDraw with a back surface of width x height: 0 when started, else
// the error code (the user was told); stopping unloads the library only
// when asked (at exit).
int win_ddraw_start(int32_t width, int32_t height);
void win_ddraw_stop(bool unloadLibrary);
// The bitmap into the back surface, then its source rectangle stretched to
// the destination (client coordinates). Nothing without a back surface.
struct FrameBitmap;
struct Rect;
void win_ddraw_present(const FrameBitmap* bitmap, const uint8_t* pixels, const Rect& source,
                       const Rect& destination);

// ---- status bar (statusbar.cpp) ----
HWND win_status_window();
void win_status_draw_item(const DRAWITEMSTRUCT* item);
