// The page as the main window: the picture area is the client area, the
// document's title the window title, the HTML menu bar the menu with its
// check marks, message boxes and the two modal dialogs HTML dialogs, full
// screen the browser's, and the status bar a row of four parts below the
// picture.
#include <emscripten/emscripten.h>

#include <cstdio>
#include <string>

#include "host/core/window.h"
#include "host/output/status.h"
#include "host/platform.h"
#include "host/ui/about.h"
#include "host/ui/key_chart.h"
#include "host/ui/menu.h"
#include "host/ui/menu_checks.h"
#include "host/web/web.h"

namespace {

int32_t clientWidth = 512, clientHeight = 384;
bool fullScreenOn;
bool paintPending;

int menu_index(int id) {
  for (int i = 0; i < menuEntryCount && i < 256; ++i)
    if (menuEntries[i].kind == MENU_ITEM && menuEntries[i].id == id) return i;
  return -1;
}

// A JSON string literal of a UTF-8 text.
std::string json_string(const char* text) {
  std::string out = "\"";
  for (const char* p = text ? text : ""; *p; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

EM_JS(void, js_set_title, (const char* text), { TarvikUI.setTitle(UTF8ToString(text)); });
EM_JS(void, js_menu_check, (int id, int on), { TarvikUI.menuCheck(id, on); });
EM_JS(void, js_menu_item, (int id, const char* label, int shown, int enabled),
      { TarvikUI.menuItem(id, UTF8ToString(label), shown, enabled); });
EM_JS(void, js_message_box, (const char* caption, const char* text, int icon),
      { TarvikUI.messageBox(UTF8ToString(caption), UTF8ToString(text), icon); });
EM_JS(void, js_dialog, (const char* json), { TarvikUI.dialog(JSON.parse(UTF8ToString(json))); });
EM_JS(void, js_full_screen, (int on), { TarvikUI.fullScreen(on); });
EM_JS(int, js_screen_width, (), { return screen.width | 0; });
EM_JS(int, js_screen_height, (), { return screen.height | 0; });
EM_JS(void, js_status_text, (int part, const char* text),
      { TarvikUI.statusText(part, UTF8ToString(text)); });
EM_JS(void, js_status_indicators, (int active), { TarvikUI.statusIndicators(active); });
EM_JS(void, js_status_shown, (int on), { TarvikUI.statusShown(on); });

} // namespace

void web_client_size(int32_t* width, int32_t* height) {
  *width = clientWidth;
  *height = clientHeight;
}

bool platform_window_create(const char* title, int32_t, int32_t) {
  js_set_title(title);
  return true;
}

void platform_window_show() {}
void platform_window_destroy() {}

PlatformMessage platform_handle_message(bool, int*) { return PLATFORM_MESSAGE_NONE; }

// A page gets no signals: its run ends with the File menu's Exit or with
// the page.
void platform_watch_end_requests() {}
bool platform_end_requested() { return false; }

void platform_post_close() {
  platform_window_destroy();
  window_on_destroy();
}

void platform_set_title(const char* text) { js_set_title(text); }

void platform_menu_check(int id, bool checked) {
  if (menu_index(id) < 0) return;
  js_menu_check(id, checked ? 1 : 0);
}

void platform_menu_set_item(int id, const char* label, bool enabled) {
  if (menu_index(id) < 0) return;
  js_menu_item(id, label ? label : "", label ? 1 : 0, enabled ? 1 : 0);
}

// The page is as large as the browser makes it: there is no maximise box.
void platform_set_maximize_box(bool) {}
void platform_maximize() {}
// A repaint at the next animation frame (leaving the monitor while paused
// shows the picture again); every presentation draws the whole picture.
void platform_invalidate(bool) { paintPending = true; }
void platform_invalidate_rect(const Rect&, bool) { paintPending = true; }

std::string web_json_string(const char* text) { return json_string(text); }

bool web_take_paint() {
  bool pending = paintPending;
  paintPending = false;
  return pending;
}

Rect platform_client_rect() { return {0, 0, clientWidth, clientHeight}; }
// Coordinates stay those of the picture area.
Rect platform_client_to_screen(const Rect& rect) { return rect; }
Rect platform_window_rect() { return {0, 0, clientWidth, clientHeight}; }
Rect platform_window_rect_for_client(int32_t width, int32_t height) {
  return {0, 0, width, height};
}
// The page decides the picture area's size; the host's wish is ignored.
void platform_move_window(const Rect&) {}
Rect platform_screen_rect() { return {0, 0, js_screen_width(), js_screen_height()}; }

void platform_full_screen_enter() {
  if (fullScreenOn) return;
  fullScreenOn = true;
  js_full_screen(1);
}

void platform_full_screen_leave() {
  if (!fullScreenOn) return;
  fullScreenOn = false;
  js_full_screen(0);
}

void platform_message_box(const char* caption, const char* text, int icon) {
  js_message_box(caption ? caption : "", text ? text : "", icon);
}

// The page's boxes never wait.
void platform_message_box_modeless(const char* caption, const char* text, int icon) {
  platform_message_box(caption, text, icon);
}

void platform_modal_dialog(HostDialog dialog) {
  std::string json;
  if (dialog == HOST_DIALOG_ABOUT) {
    json = "{\"title\":" + json_string(aboutTitle) + ",\"lines\":[" + json_string(aboutLines[0]) +
           "," + json_string(aboutLines[1]) + "," + json_string(aboutLines[2]) + "]}";
  } else if (dialog == HOST_DIALOG_KEYBOARD_CHART) {
    json = "{\"title\":" + json_string(keyboardChartTitle) + ",\"keys\":[";
    for (int r = 0; r < 4; ++r) {
      json += r ? ",[" : "[";
      for (int k = 0; k < keyboardChartRowLength[r]; ++k) {
        const ChartKey& key = keyboardChartRows[r][k];
        json += k ? "," : "";
        json += "[" + json_string(key.upper) + "," + json_string(key.lower) + "]";
      }
      json += "]";
    }
    json += "],\"map\":{\"heading\":" + json_string(key_chart_heading().c_str()) + ",\"rows\":[";
    bool first = true;
    for (const KeyChartRow& row : key_chart_rows()) {
      json += first ? "[" : ",[";
      json += json_string(row.legend.c_str()) + "," + json_string(row.host.c_str()) + "]";
      first = false;
    }
    json += "],\"note\":" + json_string(keyChartNote) + "}}";
  } else if (dialog == HOST_DIALOG_TAPE_BROWSER) {
    web_tape_panel_open();
    return;
  } else {
    return;
  }
  js_dialog(json.c_str());
}

// ---- status bar ------------------------------------------------------------------

bool platform_status_create(const int32_t*, int parts) {
  if (parts != STATUS_PARTS) return false;
  js_status_shown(1);
  return true;
}

void platform_status_destroy() { js_status_shown(0); }
void platform_status_set_text(int part, const char* text) { js_status_text(part, text); }
// The bar lies below the picture area, outside the client area.
int32_t platform_status_height() { return 0; }

void platform_status_layout() {
  int active = -1;
  for (int i = 0; i < STATUS_INDICATORS; ++i)
    if (status_indicator(i, 0, STATUS_ASSUMED_HEIGHT).active) active = i;
  js_status_indicators(active);
}

extern "C" {

// The menu table as JSON for the page's menu bar: [kind, depth, id, label,
// shortcut, checked] per row.
EMSCRIPTEN_KEEPALIVE const char* web_menu_table() {
  static std::string json;
  json = "[";
  for (int i = 0; i < menuEntryCount; ++i) {
    const MenuEntry& e = menuEntries[i];
    if (i) json += ",";
    json += "[" + std::to_string(e.kind) + "," + std::to_string(e.depth) + "," +
            std::to_string(e.id) + "," + json_string(e.label) + "," + json_string(e.shortcut) +
            "," + (e.kind == MENU_ITEM && menu_checked(e.id) ? "1" : "0") + "]";
  }
  json += "]";
  return json.c_str();
}

// The page measured the picture area anew.
EMSCRIPTEN_KEEPALIVE void web_set_client_size(int width, int height) {
  clientWidth = width > 1 ? width : 1;
  clientHeight = height > 1 ? height : 1;
}

// The browser left full screen on its own (the user pressed Esc).
EMSCRIPTEN_KEEPALIVE int web_full_screen_on() { return fullScreenOn; }

} // extern "C"
