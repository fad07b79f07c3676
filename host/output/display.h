// Display output: the frame bitmap's description, rendering at each
// presentation, the destination rectangle with the 4:3 fit, the window's
// size rules, the aspect-ratio option, the choice between the video
// drivers (VideoDriver 0: the first 256 rows stretched into the window;
// 1: all 512 rows drawn unscaled, or at whole multiples), and full screen.
#pragma once

#include <cstdint>

#include "host/platform.h"

// A device-independent bitmap header, laid out as the platform expects.
struct BitmapInfoHeader {
  uint32_t size;
  int32_t width;
  int32_t height; // negative: rows run top-down
  uint16_t planes;
  uint16_t bitCount;
  uint32_t compression;
  uint32_t sizeImage;
  int32_t xPelsPerMeter;
  int32_t yPelsPerMeter;
  uint32_t clrUsed;
  uint32_t clrImportant;
};
static_assert(sizeof(BitmapInfoHeader) == 40, "bitmap header must be 40 bytes");
struct RgbQuad {
  uint8_t blue, green, red, reserved;
};
// The frame bitmap's description: 512 pixels wide, one bit per pixel, a
// black-and-white palette; -256 rows for the stretched driver, -512 for GDI.
struct FrameBitmap {
  BitmapInfoHeader header;
  RgbQuad palette[2];
};
extern FrameBitmap frameBitmap;

extern Rect displaySource;        // (0, 0, 512, 256)
extern Rect displayDestination;   // the stretched picture's, in screen coordinates
extern uint32_t fullScreen;       // 1 while in full screen
extern uint32_t fullScreenMemory; // 0, or 1 + the video driver before full screen
// The window size for the picture, from display_window_size.
extern int32_t windowWidth, windowHeight;

// Builds the description for the video driver in use and clears the frame
// buffer.
void display_build_bitmap();
void display_free_bitmap();
// Renders the current frame and shows it. full is 1 once per presentation
// of the main loop and for the single-frame step, 0 for repainting.
void present_frame(int full);
// The main loop's presentation: as present_frame, but a frame the window
// already shows (the same pixels, shown the same way) is not shown again.
void present_changed_frame(int full);
// Something other than the picture covered the window (the on-screen
// monitor): the next present_changed_frame shows the frame again.
void display_forget_shown();
// The pixels of the frame bitmap as last presented: the machine's picture
// on the stretched driver, the GDI driver's 512 rows made from it.
const uint8_t* display_pixels();

// Prepares the platform for the video driver (the GDI one when it is chosen
// or the stretched one cannot start); then the destination for the picture.
void display_start();
// Releases what presentation holds and frees the bitmap.
void display_shutdown();
void display_set_video_driver(uint32_t driver, bool resize);
// The source (512 x 256) and the destinations for the client area as it is
// now, fitted as KeepAspectRatio and PixelExact say.
void display_update_target();
// The largest 4:3 part of a rectangle, centred; the odd pixel of the margin
// goes to the left or top side. Pure arithmetic.
Rect display_fit_4_3(const Rect& rect);
// Pixel-exact scaling: the picture (pictureWidth x pictureHeight frame
// pixels) at whole multiples across and down, so that every pixel becomes a
// whole block. Of the multiples that fit into the area, the largest whose
// shape is within 15 % of 4:3; when none is, the one closest to 4:3 (the
// larger of equals). Placed in the middle of the area, the odd pixel of the
// margin on the left or top side; an area too small even for the picture
// unscaled gets it unscaled at its top-left corner. Pure arithmetic.
struct PixelExactFit {
  int32_t scaleX, scaleY;
  Rect placement;
};
PixelExactFit display_pixel_exact_fit(const Rect& area, int32_t pictureWidth,
                                      int32_t pictureHeight);
// The GDI driver's destination in client coordinates: the 512-row bitmap
// unscaled at the top left, or its pixel-exact placement.
extern Rect displayGdiDestination;
// Window rectangle for a picture of width x height (kept in windowWidth and
// windowHeight for the window's creation).
void display_window_size(int32_t width, int32_t height);

// The answer to the window's size-limit query.
struct SizeLimits {
  int32_t minWidth, minHeight;
  bool hasMaximum; // GDI: the window cannot be resized
  int32_t maxWidth, maxHeight;
};
SizeLimits display_size_limits();
// Edge dragging: snaps the client area to the picture's size with
// pixel-exact scaling, else keeps it at 4:3 while KeepAspectRatio is set.
void display_edge_drag(WindowEdge edge, Rect* windowRect);
void display_toggle_keep_aspect();
// Switches pixel-exact scaling; switching it on snaps the window to the
// size the picture takes.
void display_toggle_pixel_exact();
// The window for pixel-exact scaling: grown to hold a 1024 x 768 picture
// where the screen has room, snapped to the picture. Switching the option on
// gives it, and so does a start with the option on.
void display_pixel_exact_window();
void display_toggle_full_screen();
