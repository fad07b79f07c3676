// The main window: a vertical box of the menu bar, the picture area and the
// status bar; the message queue as GLib's main loop; and the window
// operations of the platform seam. The picture's destination is kept in
// the picture area's own coordinates (the platform is its only reader), so
// that moving the window changes nothing.
#include <cstdio>
#include <string>
#include <vector>

#include "host/core/window.h"
#include "host/gtk/gtk_host.h"
#include "host/output/display.h"
#include "host/platform.h"
#include "host/platform_script.h"
#include "host/script/script_mode.h"
#include "host/ui/about.h"
#include "host/ui/icon.h"
#include "host/ui/key_chart.h"

GtkWidget* guiWindow;
GtkWidget* guiMenuBar;
GtkWidget* guiArea;
GtkWidget* guiStatus;

namespace {

bool quitPosted;
int quitCode;
bool closePosted;
bool paintPending;
bool inFullScreen;
bool maximizeBox = true;
bool shown;
Rect savedRect;
GdkGeometry appliedHints;
int appliedMask = -1;

void log_client() {
  if (!guiArea || !gtk_widget_get_realized(guiArea)) return;
  int x = 0, y = 0;
  gdk_window_get_origin(gtk_widget_get_window(guiArea), &x, &y);
  GtkAllocation a;
  gtk_widget_get_allocation(guiArea, &a);
  const Rect& d = displayDestination;
  script_log("window: client %d,%d %dx%d picture %d,%d %dx%d", x, y, a.width,
             a.height + (gtk_widget_get_visible(guiStatus) ? 24 : 0), static_cast<int>(d.left),
             static_cast<int>(d.top), static_cast<int>(d.right - d.left),
             static_cast<int>(d.bottom - d.top));
}

gboolean on_delete(GtkWidget*, GdkEvent*, gpointer) {
  platform_post_close();
  return TRUE; // the close is handled as a posted message, as the host expects
}

gboolean on_configure(GtkWidget*, GdkEventConfigure*, gpointer) {
  window_on_move();
  return FALSE;
}

void on_area_size(GtkWidget*, GdkRectangle*, gpointer) {
  window_on_size();
  gui_request_paint();
  log_client();
}

gboolean on_focus(GtkWidget*, GdkEventFocus* event, gpointer) {
  // Keys held when the focus goes would otherwise stay down.
  if (!event->in) gui_keys_release();
  window_on_activate(event->in ? 1 : 0);
  return FALSE;
}

gboolean on_key(GtkWidget*, GdkEventKey* event, gpointer) { return gui_key_event(event); }

gboolean on_button(GtkWidget*, GdkEventButton* event, gpointer) {
  if (event->type == GDK_2BUTTON_PRESS && event->button == 1) window_on_double_click();
  return FALSE;
}

gboolean on_scroll(GtkWidget*, GdkEventScroll* event, gpointer) {
  if (event->direction == GDK_SCROLL_UP) window_on_wheel(120);
  if (event->direction == GDK_SCROLL_DOWN) window_on_wheel(-120);
  if (event->direction == GDK_SCROLL_SMOOTH && event->delta_y != 0)
    window_on_wheel(event->delta_y < 0 ? 120 : -120);
  return FALSE;
}

void on_drop(GtkWidget*, GdkDragContext* context, gint, gint, GtkSelectionData* data, guint,
             guint time, gpointer) {
  gchar** uris = gtk_selection_data_get_uris(data);
  bool ok = false;
  if (uris && uris[0]) {
    gchar* path = g_filename_from_uri(uris[0], nullptr, nullptr);
    if (path) {
      script_log("drop: %s", path);
      window_on_drop_file(path);
      g_free(path);
      ok = true;
    }
  }
  g_strfreev(uris);
  gtk_drag_finish(context, ok, FALSE, time);
}

int32_t menu_bar_height() {
  if (!guiMenuBar || !gtk_widget_get_visible(guiMenuBar)) return 0;
  int minimum = 0, natural = 0;
  gtk_widget_get_preferred_height(guiMenuBar, &minimum, &natural);
  return natural;
}

void set_window_icon() {
  std::vector<Rgba> pixels = draw_icon(48);
  GdkPixbuf* icon = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, 48, 48);
  if (!icon) return;
  guchar* out = gdk_pixbuf_get_pixels(icon);
  int stride = gdk_pixbuf_get_rowstride(icon);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x) {
      const Rgba& c = pixels[static_cast<size_t>(y * 48 + x)];
      guchar* p = out + y * stride + x * 4;
      p[0] = c.r;
      p[1] = c.g;
      p[2] = c.b;
      p[3] = c.a;
    }
  gtk_window_set_icon(GTK_WINDOW(guiWindow), icon);
  g_object_unref(icon);
}

} // namespace

void gui_request_paint() {
  paintPending = true;
  if (guiArea) gtk_widget_queue_draw(guiArea);
}

void gui_apply_size_limits() {
  if (!guiWindow || inFullScreen) return;
  SizeLimits limits = window_on_size_limits();
  GdkGeometry hints{};
  int mask = GDK_HINT_MIN_SIZE;
  hints.min_width = limits.minWidth;
  hints.min_height = limits.minHeight;
  if (limits.hasMaximum) {
    mask |= GDK_HINT_MAX_SIZE;
    hints.max_width = limits.maxWidth;
    hints.max_height = limits.maxHeight;
  }
  if (mask == appliedMask && hints.min_width == appliedHints.min_width &&
      hints.min_height == appliedHints.min_height && hints.max_width == appliedHints.max_width &&
      hints.max_height == appliedHints.max_height)
    return;
  appliedMask = mask;
  appliedHints = hints;
  gtk_window_set_geometry_hints(GTK_WINDOW(guiWindow), nullptr, &hints,
                                static_cast<GdkWindowHints>(mask));
}

bool platform_window_create(const char* title, int32_t width, int32_t height) {
  guiWindow = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  if (!guiWindow) return false;
  gui_keyboard_start();
  gtk_window_set_title(GTK_WINDOW(guiWindow), title);
  gtk_window_set_default_size(GTK_WINDOW(guiWindow), width > 0 ? width : 512,
                              height > 0 ? height : 384);
  set_window_icon();
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_container_add(GTK_CONTAINER(guiWindow), box);
  guiMenuBar = gui_menu_bar_create();
  gtk_box_pack_start(GTK_BOX(box), guiMenuBar, FALSE, FALSE, 0);
  guiArea = gui_screen_area_new();
  gtk_widget_set_can_focus(guiArea, TRUE);
  gtk_widget_add_events(guiArea, GDK_BUTTON_PRESS_MASK | GDK_SCROLL_MASK);
  gtk_box_pack_start(GTK_BOX(box), guiArea, TRUE, TRUE, 0);
  guiStatus = gui_status_bar_create();
  gtk_box_pack_start(GTK_BOX(box), guiStatus, FALSE, FALSE, 0);
  gtk_widget_set_no_show_all(guiStatus, TRUE);
  // The menu bar and the picture area are visible before the window is:
  // the sizes computed before it is shown count the menu bar's height.
  gtk_widget_show_all(box);
  g_signal_connect(guiWindow, "delete-event", G_CALLBACK(on_delete), nullptr);
  g_signal_connect(guiWindow, "configure-event", G_CALLBACK(on_configure), nullptr);
  g_signal_connect(guiWindow, "focus-in-event", G_CALLBACK(on_focus), nullptr);
  g_signal_connect(guiWindow, "focus-out-event", G_CALLBACK(on_focus), nullptr);
  g_signal_connect(guiWindow, "key-press-event", G_CALLBACK(on_key), nullptr);
  g_signal_connect(guiWindow, "key-release-event", G_CALLBACK(on_key), nullptr);
  g_signal_connect(guiArea, "draw", G_CALLBACK(gui_area_draw), nullptr);
  g_signal_connect(guiArea, "size-allocate", G_CALLBACK(on_area_size), nullptr);
  g_signal_connect(guiArea, "button-press-event", G_CALLBACK(on_button), nullptr);
  g_signal_connect(guiArea, "scroll-event", G_CALLBACK(on_scroll), nullptr);
  // A file dropped on the window: a tape to autoload.
  gtk_drag_dest_set(guiWindow, GTK_DEST_DEFAULT_ALL, nullptr, 0, GDK_ACTION_COPY);
  gtk_drag_dest_add_uri_targets(guiWindow);
  g_signal_connect(guiWindow, "drag-data-received", G_CALLBACK(on_drop), nullptr);
  script_log("window: created \"%s\"", title);
  return true;
}

void platform_window_show() {
  gtk_widget_show_all(guiWindow);
  shown = true;
  gui_apply_size_limits();
  gtk_widget_grab_focus(guiArea);
  gui_menu_bar_log();
  log_client();
}

void platform_window_destroy() {
  if (!guiWindow) return;
  gtk_widget_destroy(guiWindow);
  guiWindow = guiArea = guiMenuBar = guiStatus = nullptr;
}

PlatformMessage platform_handle_message(bool wait, int* exitCode) {
  for (;;) {
    if (quitPosted) {
      quitPosted = false;
      *exitCode = quitCode;
      return PLATFORM_MESSAGE_QUIT;
    }
    if (closePosted) {
      closePosted = false;
      platform_window_destroy();
      window_on_destroy();
      return PLATFORM_MESSAGE_HANDLED;
    }
    // One pass of the main loop: it dispatches what is ready, if anything.
    if (g_main_context_iteration(nullptr, FALSE)) return PLATFORM_MESSAGE_HANDLED;
    if (int id = gui_take_command()) {
      window_on_command(id);
      return PLATFORM_MESSAGE_HANDLED;
    }
    if (paintPending && guiWindow) {
      paintPending = false;
      window_on_paint();
      return PLATFORM_MESSAGE_HANDLED;
    }
    // While a menu is open the machine stands still, as in a menu loop.
    if (gui_menu_open()) {
      g_main_context_iteration(nullptr, TRUE);
      return PLATFORM_MESSAGE_HANDLED;
    }
    if (!wait) return PLATFORM_MESSAGE_NONE;
    g_main_context_iteration(nullptr, TRUE);
    return PLATFORM_MESSAGE_HANDLED;
  }
}

void platform_post_close() { closePosted = true; }

void platform_post_quit(int exitCode) {
  quitPosted = true;
  quitCode = exitCode;
}

void platform_set_title(const char* text) {
  if (guiWindow) gtk_window_set_title(GTK_WINDOW(guiWindow), text);
}

void platform_set_maximize_box(bool enabled) {
  maximizeBox = enabled;
  gui_apply_size_limits();
}

void platform_maximize() {
  if (maximizeBox && !inFullScreen && guiWindow) gtk_window_maximize(GTK_WINDOW(guiWindow));
}

void platform_invalidate(bool) { gui_request_paint(); }
void platform_invalidate_rect(const Rect&, bool) { gui_request_paint(); }

Rect platform_client_rect() {
  if (!guiArea) return {0, 0, 0, 0};
  GtkAllocation a;
  gtk_widget_get_allocation(guiArea, &a);
  if (!shown) { // before the first layout: the window's default size
    int w = 0, h = 0;
    gtk_window_get_default_size(GTK_WINDOW(guiWindow), &w, &h);
    return {0, 0, w, h - menu_bar_height()};
  }
  int status = platform_status_height();
  return {0, 0, a.width, a.height + status};
}

Rect platform_client_to_screen(const Rect& rect) { return rect; }

Rect platform_window_rect() {
  if (!guiWindow) return {0, 0, 0, 0};
  int x = 0, y = 0, w = 0, h = 0;
  gtk_window_get_position(GTK_WINDOW(guiWindow), &x, &y);
  if (shown)
    gtk_window_get_size(GTK_WINDOW(guiWindow), &w, &h);
  else
    gtk_window_get_default_size(GTK_WINDOW(guiWindow), &w, &h);
  return {x, y, x + w, y + h};
}

Rect platform_window_rect_for_client(int32_t width, int32_t height) {
  return {0, -menu_bar_height(), width, height};
}

void platform_move_window(const Rect& rect) {
  if (!guiWindow) return;
  int w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (w <= 0 || h <= 0) return;
  if (!shown) {
    gtk_window_set_default_size(GTK_WINDOW(guiWindow), w, h);
    return;
  }
  gtk_window_move(GTK_WINDOW(guiWindow), rect.left, rect.top);
  gtk_window_resize(GTK_WINDOW(guiWindow), w, h);
}

Rect platform_screen_rect() {
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = nullptr;
  if (display && guiWindow && gtk_widget_get_window(guiWindow))
    monitor = gdk_display_get_monitor_at_window(display, gtk_widget_get_window(guiWindow));
  if (!monitor && display) monitor = gdk_display_get_primary_monitor(display);
  if (!monitor && display) monitor = gdk_display_get_monitor(display, 0);
  if (!monitor) return {0, 0, 1024, 768};
  GdkRectangle r;
  gdk_monitor_get_geometry(monitor, &r);
  return {0, 0, r.width, r.height};
}

void platform_full_screen_enter() {
  if (inFullScreen || !guiWindow) return;
  savedRect = platform_window_rect();
  inFullScreen = true;
  gtk_widget_hide(guiMenuBar);
  // Without a window manager the move and resize do it; with one, the
  // full-screen request does.
  Rect screen = platform_screen_rect();
  gtk_window_set_geometry_hints(GTK_WINDOW(guiWindow), nullptr, nullptr, GdkWindowHints(0));
  appliedMask = -1;
  gtk_window_move(GTK_WINDOW(guiWindow), 0, 0);
  gtk_window_resize(GTK_WINDOW(guiWindow), screen.right, screen.bottom);
  gtk_window_fullscreen(GTK_WINDOW(guiWindow));
  GdkWindow* area = gtk_widget_get_window(guiArea);
  if (area) {
    GdkCursor* blank = gdk_cursor_new_for_display(gdk_window_get_display(area), GDK_BLANK_CURSOR);
    gdk_window_set_cursor(area, blank);
    g_object_unref(blank);
  }
  script_log("full screen: on %dx%d", screen.right, screen.bottom);
}

void platform_full_screen_leave() {
  if (!inFullScreen || !guiWindow) return;
  inFullScreen = false;
  gtk_window_unfullscreen(GTK_WINDOW(guiWindow));
  gtk_widget_show(guiMenuBar);
  gui_apply_size_limits();
  gtk_window_move(GTK_WINDOW(guiWindow), savedRect.left, savedRect.top);
  gtk_window_resize(GTK_WINDOW(guiWindow), savedRect.right - savedRect.left,
                    savedRect.bottom - savedRect.top);
  GdkWindow* area = gtk_widget_get_window(guiArea);
  if (area) gdk_window_set_cursor(area, nullptr);
  script_log("full screen: off %dx%d", savedRect.right - savedRect.left,
             savedRect.bottom - savedRect.top);
}

void platform_message_box(const char* caption, const char* text, int icon) {
  GtkMessageType type = GTK_MESSAGE_OTHER;
  if (icon == PLATFORM_ICON_STOP) type = GTK_MESSAGE_ERROR;
  if (icon == PLATFORM_ICON_EXCLAMATION) type = GTK_MESSAGE_WARNING;
  GtkWidget* box = gtk_message_dialog_new(guiWindow ? GTK_WINDOW(guiWindow) : nullptr,
                                          GTK_DIALOG_MODAL, type, GTK_BUTTONS_OK, "%s", text);
  gtk_window_set_title(GTK_WINDOW(box), caption && *caption ? caption : "Tarvik");
  gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
}

void platform_message_box_modeless(const char* caption, const char* text, int icon) {
  GtkMessageType type = GTK_MESSAGE_OTHER;
  if (icon == PLATFORM_ICON_STOP) type = GTK_MESSAGE_ERROR;
  if (icon == PLATFORM_ICON_EXCLAMATION) type = GTK_MESSAGE_WARNING;
  GtkWidget* box =
      gtk_message_dialog_new(guiWindow ? GTK_WINDOW(guiWindow) : nullptr,
                             GTK_DIALOG_DESTROY_WITH_PARENT, type, GTK_BUTTONS_OK, "%s", text);
  gtk_window_set_title(GTK_WINDOW(box), caption && *caption ? caption : "Tarvik");
  // The main loop goes on; the box goes when it is answered.
  g_signal_connect_swapped(box, "response", G_CALLBACK(gtk_widget_destroy), box);
  gtk_widget_show(box);
}

namespace {

GtkWidget* make_dialog(const char* title) {
  GtkWidget* dialog = gtk_dialog_new_with_buttons(
      title, guiWindow ? GTK_WINDOW(guiWindow) : nullptr,
      static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), "OK",
      GTK_RESPONSE_OK, nullptr);
  gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
  return dialog;
}

// The about box: the program's two lines.
GtkWidget* about_dialog(std::string* log) {
  GtkWidget* dialog = make_dialog(aboutTitle);
  GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
  gtk_container_set_border_width(GTK_CONTAINER(content), 12);
  *log = std::string("dialog 113: ") + aboutTitle;
  for (const char* line : aboutLines) {
    GtkWidget* label = gtk_label_new(line);
    gtk_box_pack_start(GTK_BOX(content), label, FALSE, FALSE, 4);
    *log += std::string(" | ") + gtk_label_get_text(GTK_LABEL(label));
  }
  return dialog;
}

// The keyboard chart: one button per key, rows shifted as on the keyboard.
GtkWidget* chart_dialog(std::string* log) {
  GtkWidget* dialog = make_dialog(keyboardChartTitle);
  GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
  gtk_container_set_border_width(GTK_CONTAINER(content), 8);
  const int rowOffset[4] = {0, 0, 12, 24};
  *log = std::string("dialog 120: ") + keyboardChartTitle;
  int keys = 0;
  for (int r = 0; r < 4; ++r) {
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 2);
    gtk_widget_set_margin_start(row, rowOffset[r]);
    for (int k = 0; k < keyboardChartRowLength[r]; ++k) {
      const ChartKey& key = keyboardChartRows[r][k];
      std::string legend = key.upper;
      if (key.lower) legend += std::string("\n") + key.lower;
      GtkWidget* button = gtk_button_new_with_label(legend.c_str());
      GtkWidget* label = gtk_bin_get_child(GTK_BIN(button));
      gtk_label_set_justify(GTK_LABEL(label), GTK_JUSTIFY_CENTER);
      gtk_widget_set_size_request(button, 44, 40);
      gtk_box_pack_start(GTK_BOX(row), button, FALSE, FALSE, 0);
      std::string shown = gtk_label_get_text(GTK_LABEL(label));
      for (char& c : shown)
        if (c == '\n') c = '/';
      *log += (keys++ ? " " : " | ") + shown;
    }
    gtk_box_pack_start(GTK_BOX(content), row, FALSE, FALSE, 1);
  }
  *log += " | " + std::to_string(keys) + " keys";
  // The key map of the model in use, in the current mode.
  std::string heading = key_chart_heading();
  GtkWidget* title = gtk_label_new(heading.c_str());
  gtk_widget_set_halign(title, GTK_ALIGN_START);
  gtk_widget_set_margin_top(title, 8);
  gtk_box_pack_start(GTK_BOX(content), title, FALSE, FALSE, 2);
  GtkWidget* grid = gtk_grid_new();
  gtk_grid_set_column_spacing(GTK_GRID(grid), 16);
  const std::vector<KeyChartRow> rows = key_chart_rows();
  for (size_t i = 0; i < rows.size(); ++i) {
    GtkWidget* legend = gtk_label_new(rows[i].legend.c_str());
    GtkWidget* host = gtk_label_new(rows[i].host.c_str());
    gtk_widget_set_halign(legend, GTK_ALIGN_START);
    gtk_widget_set_halign(host, GTK_ALIGN_START);
    gtk_grid_attach(GTK_GRID(grid), legend, 0, static_cast<int>(i), 1, 1);
    gtk_grid_attach(GTK_GRID(grid), host, 1, static_cast<int>(i), 1, 1);
  }
  GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER,
                                 GTK_POLICY_AUTOMATIC);
  gtk_widget_set_size_request(scrolled, -1, 240);
  gtk_container_add(GTK_CONTAINER(scrolled), grid);
  gtk_box_pack_start(GTK_BOX(content), scrolled, TRUE, TRUE, 2);
  GtkWidget* note = gtk_label_new(keyChartNote);
  gtk_widget_set_halign(note, GTK_ALIGN_START);
  gtk_box_pack_start(GTK_BOX(content), note, FALSE, FALSE, 2);
  *log += " | " + heading;
  for (const KeyChartRow& row : rows) *log += " | " + row.legend + " = " + row.host;
  return dialog;
}

} // namespace

void platform_modal_dialog(HostDialog which) {
  if (which == HOST_DIALOG_TAPE_BROWSER) {
    gui_tape_browser(false);
    return;
  }
  std::string text;
  GtkWidget* dialog = which == HOST_DIALOG_ABOUT ? about_dialog(&text) : chart_dialog(&text);
  gtk_widget_show_all(dialog);
  gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
}

std::string platform_script_dialog_text(HostDialog which) {
  if (which == HOST_DIALOG_TAPE_BROWSER) return gui_tape_browser(true);
  std::string text;
  GtkWidget* dialog = which == HOST_DIALOG_ABOUT ? about_dialog(&text) : chart_dialog(&text);
  gtk_widget_destroy(dialog);
  return text;
}
