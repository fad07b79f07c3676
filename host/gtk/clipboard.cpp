// The clipboard: the host's code page 1250 text goes to GTK's clipboard as
// UTF-8, and UTF-8 text from it comes back in code page 1250.
#include <cstring>
#include <string>

#include "host/gtk/gtk_host.h"
#include "host/platform.h"
#include "host/ui/cp1250.h"

namespace {

bool isOpen;
std::string text; // the clipboard's text while open (code page 1250)

GtkClipboard* clipboard() { return gtk_clipboard_get(GDK_SELECTION_CLIPBOARD); }

} // namespace

bool platform_clipboard_open() {
  if (isOpen) return false;
  isOpen = true;
  text.clear();
  return true;
}

void platform_clipboard_close() {
  isOpen = false;
  text.clear();
}

bool platform_clipboard_set_text(const char* data, size_t length) {
  if (!isOpen) return false;
  while (length > 0 && data[length - 1] == '\0') --length;
  std::string utf8 = cp1250_to_utf8(data, length);
  gtk_clipboard_set_text(clipboard(), utf8.c_str(), static_cast<gint>(utf8.size()));
  gtk_clipboard_store(clipboard());
  return true;
}

const char* platform_clipboard_text() {
  if (!isOpen) return nullptr;
  gchar* utf8 = gtk_clipboard_wait_for_text(clipboard());
  if (!utf8) return nullptr;
  text = utf8_to_cp1250(utf8, std::strlen(utf8));
  g_free(utf8);
  return text.c_str();
}
