// The main window: its class, creation, the window procedure that hands
// every message to the portable handlers (host/core/window.h), the message
// queue, and the window operations of the platform seam.
#include <windows.h> // before the other Windows headers, which need it

#include <shellapi.h>
#include <windowsx.h>

#include "host/core/app.h"
#include "host/core/keys.h"
#include "host/core/window.h"
#include "host/output/display.h"
#include "host/platform.h"
#include "host/platform_script.h"
#include "host/script/script_mode.h"
#include "host/ui/about.h"
#include "host/ui/key_chart.h"
#include "host/ui/menu.h"
#include "host/win32/resource_ids.h"
#include "host/win32/win32.h"

HINSTANCE winInstance;
HWND mainWindow;

namespace {

constexpr const char* kClassName = "TarvikWindow";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

// Full screen keeps what it replaced.
RECT savedRect;
HMENU savedMenu;
LONG_PTR savedStyle;
bool inFullScreen;

// The items whose labels the host sets (the recent files) and their
// sub-menu, rebuilt whenever one changes: a Windows menu cannot hide an item.
constexpr int kDynamicItems = CMD_RECENT_LAST - CMD_RECENT_FIRST + 1;
struct DynamicItem {
  bool shown, enabled;
  std::string label;
};
DynamicItem dynamicItems[kDynamicItems];
HMENU dynamicMenu;

// The (sub-)menu that holds the item id, or null.
HMENU menu_holding(HMENU menu, UINT id) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      if (HMENU found = menu_holding(sub, id)) return found;
    } else if (GetMenuItemID(menu, i) == id) {
      return menu;
    }
  }
  return nullptr;
}

RECT to_win(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
Rect from_win(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// The edge of a size message as the host names it; false for another value.
bool edge_of(WPARAM code, WindowEdge* edge) {
  static const WindowEdge kEdges[] = {
      // WMSZ_LEFT (1) to WMSZ_BOTTOMRIGHT (8)
      WINDOW_EDGE_LEFT,      WINDOW_EDGE_RIGHT,  WINDOW_EDGE_TOP,         WINDOW_EDGE_TOP_LEFT,
      WINDOW_EDGE_TOP_RIGHT, WINDOW_EDGE_BOTTOM, WINDOW_EDGE_BOTTOM_LEFT, WINDOW_EDGE_BOTTOM_RIGHT};
  if (code < WMSZ_LEFT || code > WMSZ_BOTTOMRIGHT) return false;
  *edge = kEdges[code - WMSZ_LEFT];
  return true;
}

void log_client() {
  if (!mainWindow) return;
  RECT r;
  GetClientRect(mainWindow, &r);
  POINT origin = {0, 0};
  ClientToScreen(mainWindow, &origin);
  const Rect& d = displayDestination;
  script_log("window: client %ld,%ld %ldx%ld picture %d,%d %dx%d", origin.x, origin.y, r.right,
             r.bottom, static_cast<int>(d.left), static_cast<int>(d.top),
             static_cast<int>(d.right - d.left), static_cast<int>(d.bottom - d.top));
}

// Script mode logs the menu bar as Windows holds it: every item with its
// label (as UTF-8), its identifier and its check mark.
void log_menu(HMENU menu, const std::string& path) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    char label[128] = "";
    MENUITEMINFOA info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = label;
    info.cch = sizeof label;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    if (info.fType & MFT_SEPARATOR) {
      script_log("menu: %s | ----", path.c_str());
      continue;
    }
    std::string text = from_ansi(label);
    for (char& c : text)
      if (c == '\t') c = '|';
    std::string here = path.empty() ? text : path + " > " + text;
    if (info.hSubMenu) {
      log_menu(info.hSubMenu, here);
    } else {
      script_log("menu: %s [%u]%s", here.c_str(), info.wID,
                 info.fState & MFS_CHECKED ? " checked" : "");
    }
  }
}

} // namespace

bool platform_window_create(const char* title, int32_t width, int32_t height) {
  WNDCLASSEXA wc;
  ZeroMemory(&wc, sizeof wc);
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = win_window_procedure;
  wc.hInstance = winInstance;
  wc.hIcon = LoadIconA(winInstance, MAKEINTRESOURCEA(IDI_TARVIK));
  wc.hIconSm = static_cast<HICON>(LoadImageA(winInstance, MAKEINTRESOURCEA(IDI_TARVIK), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MENU);
  wc.lpszClassName = kClassName;
  if (!RegisterClassExA(&wc)) return false;
  mainWindow =
      CreateWindowExA(WS_EX_ACCEPTFILES, kClassName, to_ansi(title).c_str(), kStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, width, height, nullptr, nullptr, winInstance, nullptr);
  if (!mainWindow) return false;
  char text[128];
  GetWindowTextA(mainWindow, text, sizeof text);
  script_log("window: created \"%s\"", from_ansi(text).c_str());
  return true;
}

void platform_window_show() {
  ShowWindow(mainWindow, SW_SHOWNORMAL);
  UpdateWindow(mainWindow);
  script_log("code page: %u", GetACP());
  log_menu(GetMenu(mainWindow), "");
  log_client();
}

void platform_window_destroy() {
  if (mainWindow) DestroyWindow(mainWindow);
}

PlatformMessage platform_handle_message(bool wait, int* exitCode) {
  MSG msg;
  for (;;) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!wait) return PLATFORM_MESSAGE_NONE;
      BOOL got = GetMessageA(&msg, nullptr, 0, 0);
      if (got == -1) {
        *exitCode = 0;
        return PLATFORM_MESSAGE_QUIT;
      }
    }
    if (msg.message == WM_QUIT) {
      *exitCode = static_cast<int>(msg.wParam);
      return PLATFORM_MESSAGE_QUIT;
    }
    // The accelerators are the host's: the key messages reach it whole.
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return PLATFORM_MESSAGE_HANDLED;
  }
}

void platform_post_close() { PostMessageA(mainWindow, WM_CLOSE, 0, 0); }
void platform_post_quit(int exitCode) { PostQuitMessage(exitCode); }

void platform_set_title(const char* text) { SetWindowTextA(mainWindow, to_ansi(text).c_str()); }

void platform_menu_check(int id, bool checked) {
  HMENU menu = inFullScreen ? savedMenu : GetMenu(mainWindow);
  CheckMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void platform_menu_set_item(int id, const char* label, bool enabled) {
  if (id < CMD_RECENT_FIRST || id > CMD_RECENT_LAST) return;
  if (!dynamicMenu) {
    HMENU bar = inFullScreen ? savedMenu : GetMenu(mainWindow);
    dynamicMenu = bar ? menu_holding(bar, CMD_RECENT_FIRST) : nullptr;
    if (!dynamicMenu) return;
    // As the resource made them.
    for (DynamicItem& item : dynamicItems) item = {true, true, MENU_EMPTY_LABEL};
  }
  dynamicItems[id - CMD_RECENT_FIRST] = {label != nullptr, enabled, label ? label : ""};
  while (GetMenuItemCount(dynamicMenu) > 0) DeleteMenu(dynamicMenu, 0, MF_BYPOSITION);
  for (int i = 0; i < kDynamicItems; ++i) {
    const DynamicItem& item = dynamicItems[i];
    if (!item.shown) continue;
    AppendMenuA(dynamicMenu, MF_STRING | (item.enabled ? 0 : MF_GRAYED),
                static_cast<UINT_PTR>(CMD_RECENT_FIRST + i), to_ansi(item.label.c_str()).c_str());
  }
}

void platform_set_maximize_box(bool enabled) {
  LONG_PTR style = GetWindowLongPtrA(mainWindow, GWL_STYLE);
  style = enabled ? style | WS_MAXIMIZEBOX : style & ~static_cast<LONG_PTR>(WS_MAXIMIZEBOX);
  SetWindowLongPtrA(mainWindow, GWL_STYLE, style);
  EnableMenuItem(GetSystemMenu(mainWindow, FALSE), SC_MAXIMIZE,
                 MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  SetWindowPos(mainWindow, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
}

void platform_maximize() { SendMessageA(mainWindow, WM_SYSCOMMAND, SC_MAXIMIZE, 0); }

void platform_invalidate(bool erase) { InvalidateRect(mainWindow, nullptr, erase); }

void platform_invalidate_rect(const Rect& rect, bool erase) {
  RECT r = to_win(rect);
  InvalidateRect(mainWindow, &r, erase);
}

Rect platform_client_rect() {
  RECT r = {0, 0, 0, 0};
  GetClientRect(mainWindow, &r);
  return from_win(r);
}

Rect platform_client_to_screen(const Rect& rect) {
  POINT a = {rect.left, rect.top}, b = {rect.right, rect.bottom};
  ClientToScreen(mainWindow, &a);
  ClientToScreen(mainWindow, &b);
  return {a.x, a.y, b.x, b.y};
}

Rect platform_window_rect() {
  RECT r = {0, 0, 0, 0};
  GetWindowRect(mainWindow, &r);
  return from_win(r);
}

Rect platform_window_rect_for_client(int32_t width, int32_t height) {
  RECT r = {0, 0, width, height};
  DWORD style = mainWindow ? static_cast<DWORD>(GetWindowLongPtrA(mainWindow, GWL_STYLE)) : kStyle;
  AdjustWindowRect(&r, style, TRUE);
  return from_win(r);
}

void platform_move_window(const Rect& rect) {
  MoveWindow(mainWindow, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

Rect platform_screen_rect() {
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void platform_full_screen_enter() {
  if (inFullScreen) return;
  GetWindowRect(mainWindow, &savedRect);
  savedStyle = GetWindowLongPtrA(mainWindow, GWL_STYLE);
  LONG_PTR style = savedStyle & ~static_cast<LONG_PTR>(WS_BORDER | WS_DLGFRAME | WS_SYSMENU |
                                                       WS_THICKFRAME | WS_MINIMIZEBOX);
  SetWindowLongPtrA(mainWindow, GWL_STYLE, style | WS_POPUP);
  savedMenu = GetMenu(mainWindow);
  inFullScreen = true;
  SetMenu(mainWindow, nullptr);
  SetWindowPos(mainWindow, HWND_NOTOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN),
               GetSystemMetrics(SM_CYSCREEN), SWP_FRAMECHANGED);
  ShowWindow(mainWindow, SW_SHOW);
  ShowCursor(FALSE);
}

void platform_full_screen_leave() {
  if (!inFullScreen) return;
  LONG_PTR style = GetWindowLongPtrA(mainWindow, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_POPUP);
  style |= savedStyle & (WS_BORDER | WS_DLGFRAME | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX);
  SetWindowLongPtrA(mainWindow, GWL_STYLE, style);
  inFullScreen = false;
  SetMenu(mainWindow, savedMenu);
  SetWindowPos(mainWindow, HWND_NOTOPMOST, savedRect.left, savedRect.top,
               savedRect.right - savedRect.left, savedRect.bottom - savedRect.top,
               SWP_FRAMECHANGED);
  ShowCursor(TRUE);
}

void platform_message_box(const char* caption, const char* text, int icon) {
  UINT type = MB_OK;
  if (icon == PLATFORM_ICON_STOP) type |= MB_ICONSTOP;
  if (icon == PLATFORM_ICON_EXCLAMATION) type |= MB_ICONEXCLAMATION;
  MessageBoxA(nullptr, to_ansi(text).c_str(), caption && *caption ? to_ansi(caption).c_str() : "",
              type);
}

namespace {

struct ModelessBox {
  std::string caption, text;
  UINT type;
};

// The box on a thread of its own, so that the main loop runs on meanwhile.
DWORD WINAPI modeless_box_thread(void* parameter) {
  ModelessBox* box = static_cast<ModelessBox*>(parameter);
  MessageBoxA(nullptr, box->text.c_str(), box->caption.c_str(), box->type);
  delete box;
  return 0;
}

} // namespace

void platform_message_box_modeless(const char* caption, const char* text, int icon) {
  UINT type = MB_OK | MB_SETFOREGROUND;
  if (icon == PLATFORM_ICON_STOP) type |= MB_ICONSTOP;
  if (icon == PLATFORM_ICON_EXCLAMATION) type |= MB_ICONEXCLAMATION;
  ModelessBox* box =
      new ModelessBox{caption && *caption ? to_ansi(caption) : std::string(), to_ansi(text), type};
  HANDLE thread = CreateThread(nullptr, 0, modeless_box_thread, box, 0, nullptr);
  if (thread) {
    CloseHandle(thread);
    return;
  }
  delete box;
  platform_message_box(caption, text, icon); // no thread: the box waits after all
}

namespace {

// With this flag beside the resource number, the dialog is only read back
// (platform_script_dialog_text) and closes at once.
constexpr LPARAM kDescribeOnly = 0x10000;
std::string describedText;

// The dialog's texts read back from its own controls, as one line.
std::string describe_dialog(HWND dialog, int resource) {
  char text[256];
  GetWindowTextA(dialog, text, sizeof text);
  std::string line = "dialog " + std::to_string(resource) + ": " + from_ansi(text);
  if (resource == IDD_ABOUT) {
    for (int id : {IDC_ABOUT_LINE1, IDC_ABOUT_LINE2, IDC_ABOUT_LINE3}) {
      GetDlgItemTextA(dialog, id, text, sizeof text);
      line += " | " + from_ansi(text);
    }
  } else {
    int keys = 0;
    for (int id = IDC_CHART_FIRST_KEY; GetDlgItem(dialog, id); ++id, ++keys) {
      GetDlgItemTextA(dialog, id, text, sizeof text);
      // The legend as shown: lines joined by "/", "&&" as the "&" it shows.
      std::string legend;
      for (const char* p = text; *p; ++p) {
        if (*p == '&' && p[1] == '&') ++p;
        legend += *p == '\n' ? '/' : *p;
      }
      line += (keys ? " " : " | ") + from_ansi(legend.c_str());
    }
    line += " | " + std::to_string(keys) + " keys";
    GetDlgItemTextA(dialog, IDC_CHART_MAP_HEADING, text, sizeof text);
    line += " | " + from_ansi(text);
    // The map's lines, "legend<tab>PC keys", as "legend = PC keys".
    HWND map = GetDlgItem(dialog, IDC_CHART_MAP);
    std::string all(static_cast<size_t>(GetWindowTextLengthA(map)) + 1, '\0');
    GetWindowTextA(map, &all[0], static_cast<int>(all.size()));
    std::string row;
    for (const char* p = all.c_str(); *p; ++p) {
      if (*p == '\r') continue;
      if (*p != '\n') {
        row += *p == '\t' ? std::string(" = ") : std::string(1, *p);
        continue;
      }
      line += " | " + from_ansi(row.c_str());
      row.clear();
    }
  }
  return line;
}

// The key map of the model in use, below the keys of the chart.
void fill_key_map(HWND dialog) {
  SetDlgItemTextA(dialog, IDC_CHART_MAP_HEADING, to_ansi(key_chart_heading().c_str()).c_str());
  HWND map = GetDlgItem(dialog, IDC_CHART_MAP);
  UINT tabStop = 64; // dialog units
  SendMessageA(map, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
  std::string text;
  for (const KeyChartRow& row : key_chart_rows()) text += row.legend + "\t" + row.host + "\r\n";
  text += keyChartNote;
  SetWindowTextA(map, to_ansi(text.c_str()).c_str());
}

INT_PTR CALLBACK modal_procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_INITDIALOG: {
    const int resource = static_cast<int>(lParam & 0xFFFF);
    if (resource == IDD_KEYBOARD_CHART) fill_key_map(dialog);
    if (lParam & kDescribeOnly) {
      describedText = describe_dialog(dialog, resource);
      EndDialog(dialog, IDOK);
    }
    return TRUE;
  }
  case WM_COMMAND:
    if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
      EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    }
    return FALSE;
  case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
  default: return FALSE;
  }
}

} // namespace

void platform_modal_dialog(HostDialog dialog) {
  if (dialog == HOST_DIALOG_TAPE_BROWSER) {
    win_tape_browser(false);
    return;
  }
  const int resource = dialog == HOST_DIALOG_ABOUT ? IDD_ABOUT : IDD_KEYBOARD_CHART;
  DialogBoxParamA(winInstance, MAKEINTRESOURCEA(resource), mainWindow, modal_procedure, resource);
}

std::string platform_script_dialog_text(HostDialog dialog) {
  if (dialog == HOST_DIALOG_TAPE_BROWSER) return win_tape_browser(true);
  const int resource = dialog == HOST_DIALOG_ABOUT ? IDD_ABOUT : IDD_KEYBOARD_CHART;
  describedText.clear();
  DialogBoxParamA(winInstance, MAKEINTRESOURCEA(resource), mainWindow, modal_procedure,
                  resource | kDescribeOnly);
  return describedText;
}

LRESULT CALLBACK win_window_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!mainWindow) mainWindow = window; // messages sent during creation
  switch (message) {
  case WM_COMMAND:
    if (lParam == 0) window_on_command(LOWORD(wParam));
    break;
  case WM_KEYDOWN:
  case WM_KEYUP:
  case WM_SYSKEYDOWN:
  case WM_SYSKEYUP:
    if (win_key_message(message, wParam, lParam)) return 0;
    break;
  case WM_DESTROY: window_on_destroy(); return 0;
  case WM_ENDSESSION:
    // The session ends and the process with it once this returns.
    if (wParam) app_finish_files();
    return 0;
  case WM_MOVE:
    window_on_move();
    log_client();
    break;
  case WM_SIZE:
    window_on_size();
    log_client();
    break;
  case WM_PAINT: window_on_paint(); break;
  case WM_GETMINMAXINFO: {
    SizeLimits limits = window_on_size_limits();
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize = {limits.minWidth, limits.minHeight};
    if (limits.hasMaximum) info->ptMaxTrackSize = {limits.maxWidth, limits.maxHeight};
    return 0;
  }
  case WM_SIZING: {
    WindowEdge edge;
    if (!edge_of(wParam, &edge)) break;
    Rect r = from_win(*reinterpret_cast<RECT*>(lParam));
    window_on_edge_drag(edge, &r);
    *reinterpret_cast<RECT*>(lParam) = to_win(r);
    return 0;
  }
  case WM_KILLFOCUS: host_keys_release(); break;
  case WM_ACTIVATE:
    window_on_activate(static_cast<int>(wParam));
    // Default processing still gives the window the keyboard focus.
    DefWindowProcA(window, message, wParam, lParam);
    return 0;
  case WM_INPUTLANGCHANGE: window_on_input_language_change(); break;
  case WM_MENUCHAR:
    if (window_on_menu_char((HIWORD(wParam) & (MF_POPUP | MF_SYSMENU)) != 0))
      return MAKELRESULT(0, MNC_CLOSE);
    break;
  case WM_LBUTTONDBLCLK: window_on_double_click(); break;
  case WM_MOUSEWHEEL: window_on_wheel(GET_WHEEL_DELTA_WPARAM(wParam)); break;
  case WM_ENTERMENULOOP:
  case WM_ENTERSIZEMOVE:
    script_log("%s loop entered", message == WM_ENTERMENULOOP ? "menu" : "size/move");
    window_on_enter_modal_loop();
    break;
  case WM_EXITMENULOOP:
  case WM_EXITSIZEMOVE:
    script_log("%s loop left", message == WM_EXITMENULOOP ? "menu" : "size/move");
    window_on_exit_modal_loop();
    break;
  case WM_DROPFILES: {
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    char name[260];
    if (DragQueryFileA(drop, 0, name, sizeof name)) window_on_drop_file(name);
    DragFinish(drop);
    return 0;
  }
  case WM_DRAWITEM: {
    const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->hwndItem == win_status_window()) {
      win_status_draw_item(item);
      return TRUE;
    }
    break;
  }
  default: break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
