// What the GTK platform files share: the main window's widgets, the key
// path that real key events and script keys both take, and the automation
// mode in which a script takes the user's place.
#pragma once

#include <gtk/gtk.h>

#include <cstddef>
#include <cstdint>
#include <string>

extern GtkWidget* guiWindow;  // the top-level window
extern GtkWidget* guiMenuBar; // built from the host's menu table
extern GtkWidget* guiArea;    // the picture (or the on-screen monitor)
extern GtkWidget* guiStatus;  // the status bar, drawn by statusbar.cpp

// ---- menu bar (menu_bar.cpp) ----
GtkWidget* gui_menu_bar_create();
// Every item as GTK holds it, in script mode's log ("menu: ..." lines).
void gui_menu_bar_log();
// Popup menus of the bar open now (the machine stands still meanwhile).
bool gui_menu_open();
// A menu command waiting to run (taken one per message), or 0.
int gui_take_command();
void gui_post_command(int id);

// ---- keyboard (keyboard.cpp) ----
// Starts the input method that composes dead keys.
void gui_keyboard_start();
// A key from the keyboard, handed to the host. False when GTK should handle
// it (Alt with a letter opens a menu by its mnemonic).
bool gui_key_event(GdkEventKey* event);
// The window lost the keys: every key is released.
void gui_keys_release();

// ---- picture (picture.cpp) ----
gboolean gui_area_draw(GtkWidget* widget, cairo_t* cr, gpointer);
// The picture's cost: converts the bitmap and draws it scaled into an
// image surface of width x height (for the benchmark).
void gui_present_benchmark(int width, int height, int frames, double* convertMs, double* drawMs);

// ---- screen reader (accessible.cpp) ----
// The picture area, whose accessible gives the screen's text.
GtkWidget* gui_screen_area_new();

// ---- status bar (statusbar.cpp) ----
GtkWidget* gui_status_bar_create();

// ---- window (window.cpp) ----
// Applies the host's size limits as geometry hints.
void gui_apply_size_limits();
// Asks for a repaint by the host (window_on_paint) when the queue is idle.
void gui_request_paint();

// The tape browser dialog (tape_browser.cpp); describeOnly makes it, reads
// it back as one line and destroys it.
std::string gui_tape_browser(bool describeOnly);
