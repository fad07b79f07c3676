// The headless window: a rectangle with a fixed frame and menu bar around
// the client area, a title, the labels of the items the host sets, message
// boxes printed to standard error, and full screen as a change of rectangle. Moving the
// window goes through the size limits and the move and size handlers, as
// on a desktop.
#include <cstdio>
#include <string>

#include "cpu/cpu.h"
#include "host/core/window.h"
#include "host/headless/headless.h"
#include "host/platform.h"
#include "host/ui/about.h"
#include "host/ui/key_chart.h"
#include "host/ui/menu.h"
#include "host/ui/tape_browser.h"

namespace {

// Frame around the client area: borders, caption and menu bar.
constexpr int32_t kBorder = 8, kCaption = 30, kMenuBar = 20;
constexpr Rect kScreen = {0, 0, 1920, 1080};

bool verbose;
bool created, shown;
int64_t tcountAtShow;
std::string title;
Rect window;
bool fullScreenOn;
Rect savedWindow;
bool maximizeBox = true;
// Items whose label the host set: shown (label), hidden (no label), enabled.
struct ItemState {
  bool set, enabled;
  std::string label;
};
ItemState itemStates[256];
uint32_t messageBoxes;
std::string lastMessageBox;

int32_t top_frame() { return fullScreenOn ? 0 : kCaption + kMenuBar; }
int32_t side_frame() { return fullScreenOn ? 0 : kBorder; }

int menu_index(int id) {
  for (int i = 0; i < menuEntryCount; ++i)
    if (menuEntries[i].kind == MENU_ITEM && menuEntries[i].id == id) return i;
  return -1;
}

void set_window(const Rect& r) {
  Rect wanted = r;
  if (!fullScreenOn) {
    SizeLimits limits = window_on_size_limits();
    int32_t w = wanted.right - wanted.left, h = wanted.bottom - wanted.top;
    if (w < limits.minWidth) w = limits.minWidth;
    if (h < limits.minHeight) h = limits.minHeight;
    if (limits.hasMaximum) {
      if (w > limits.maxWidth) w = limits.maxWidth;
      if (h > limits.maxHeight) h = limits.maxHeight;
    }
    wanted.right = wanted.left + w;
    wanted.bottom = wanted.top + h;
  }
  window = wanted;
  if (created) {
    window_on_move();
    window_on_size();
  }
}

} // namespace

bool platform_window_create(const char* text, int32_t width, int32_t height) {
  title = text;
  window = {100, 100, 100 + width, 100 + height};
  created = true;
  shown = false;
  return true;
}

void platform_window_show() {
  shown = true;
  tcountAtShow = cpu.tcount;
}

void platform_window_destroy() { created = false; }

void platform_set_title(const char* text) {
  title = text;
  if (verbose) std::fprintf(stderr, "title: %s\n", text);
}

// The host keeps the marks (menu_checked): there is nothing to draw.
void platform_menu_check(int, bool) {}

void platform_menu_set_item(int id, const char* label, bool enabled) {
  int i = menu_index(id);
  if (i < 0 || i >= 256) return;
  ItemState state = {true, enabled, label ? label : ""};
  ItemState& old = itemStates[i];
  bool changed = !old.set || old.enabled != state.enabled || old.label != state.label;
  old = state;
  if (verbose && changed)
    std::fprintf(stderr, "menu item %d: %s%s\n", id, label ? label : "(hidden)",
                 label && !enabled ? " (greyed)" : "");
}

std::string headless_menu_label(int id) {
  int i = menu_index(id);
  if (i < 0 || i >= 256) return "";
  return itemStates[i].set ? itemStates[i].label : menuEntries[i].label;
}

bool headless_menu_enabled(int id) {
  int i = menu_index(id);
  return i >= 0 && i < 256 && (!itemStates[i].set || itemStates[i].enabled);
}

void platform_set_maximize_box(bool enabled) { maximizeBox = enabled; }

void platform_maximize() {
  if (!maximizeBox || fullScreenOn) return;
  set_window(kScreen);
}

void platform_invalidate(bool) {}
void platform_invalidate_rect(const Rect&, bool) {}

Rect platform_client_rect() {
  return {0, 0, window.right - window.left - 2 * side_frame(),
          window.bottom - window.top - top_frame() - side_frame()};
}

Rect platform_client_to_screen(const Rect& r) {
  int32_t dx = window.left + side_frame(), dy = window.top + top_frame();
  return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

Rect platform_window_rect() { return window; }

Rect platform_window_rect_for_client(int32_t width, int32_t height) {
  return {-kBorder, -(kCaption + kMenuBar), width + kBorder, height + kBorder};
}

void platform_move_window(const Rect& rect) { set_window(rect); }
Rect platform_screen_rect() { return kScreen; }

void platform_full_screen_enter() {
  if (fullScreenOn) return;
  savedWindow = window;
  fullScreenOn = true;
  set_window(kScreen);
}

void platform_full_screen_leave() {
  if (!fullScreenOn) return;
  fullScreenOn = false;
  set_window(savedWindow);
}

void platform_message_box(const char* caption, const char* text, int) {
  ++messageBoxes;
  lastMessageBox = caption && *caption ? std::string(caption) + ": " + text : std::string(text);
  std::fprintf(stderr, "%s\n", lastMessageBox.c_str());
}

void platform_message_box_modeless(const char* caption, const char* text, int icon) {
  platform_message_box(caption, text, icon);
}

void platform_modal_dialog(HostDialog dialog) {
  if (!verbose) return;
  if (dialog == HOST_DIALOG_ABOUT)
    std::fprintf(stderr, "dialog: %s: %s / %s / %s\n", aboutTitle, aboutLines[0], aboutLines[1],
                 aboutLines[2]);
  else if (dialog == HOST_DIALOG_KEYBOARD_CHART)
    std::fprintf(stderr, "dialog: %s\n%s", keyboardChartTitle, key_chart_text("\n").c_str());
  else if (dialog == HOST_DIALOG_TAPE_BROWSER)
    std::fprintf(stderr, "%s\n", tape_browser_text().c_str());
}

void headless_set_verbose(bool on) { verbose = on; }
bool headless_verbose() { return verbose; }
const std::string& headless_title() { return title; }
bool headless_window_shown() { return shown; }
int64_t headless_tcount_at_show() { return tcountAtShow; }
uint32_t headless_message_box_count() { return messageBoxes; }
const std::string& headless_last_message_box() { return lastMessageBox; }
bool headless_maximize_box() { return maximizeBox; }
bool headless_full_screen() { return fullScreenOn; }

void headless_resize_client(int32_t width, int32_t height) {
  set_window({window.left, window.top, window.left + width + 2 * side_frame(),
              window.top + height + top_frame() + side_frame()});
}

void headless_reset_window() {
  for (ItemState& item : itemStates) item = {};
  fullScreenOn = false;
  maximizeBox = true;
  messageBoxes = 0;
  lastMessageBox.clear();
  window = {100, 100, 100, 100};
}
