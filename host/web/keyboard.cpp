// Keys and the clipboard in the browser. The page sends each key by its
// place (KeyboardEvent.code, named by the key a US keyboard has there), with
// what the active layout types at that place plainly, as far as the page
// knows it (from the keys seen without modifiers, else the browser's layout
// map), and the character the event types (KeyboardEvent.key). The host gets
// the virtual key Windows would give the key on that layout.
#include <emscripten/emscripten.h>

#include <cstring>
#include <string>

#include "host/core/keys.h"
#include "host/core/window.h"
#include "host/platform.h"
#include "host/ui/cp1250.h"
#include "host/ui/key_layout.h"
#include "host/web/web.h"

namespace {

uint8_t vkAtPress[256];     // by place: the virtual key it went down as
uint32_t plainAtPlace[256]; // what the layout types there plainly, 0 unknown

std::string clipboardText; // code page 1250

EM_JS(void, js_clipboard_write, (const char* text),
      { TarvikUI.clipboardWrite(UTF8ToString(text)); });

} // namespace

void web_key_event(int place, uint32_t plain, uint32_t character, bool down) {
  if (place <= 0 || place >= 256) return;
  if (plain) plainAtPlace[place] = plain;
  if (down && !vkAtPress[place])
    vkAtPress[place] = static_cast<uint8_t>(layout_virtual_key(place, plainAtPlace[place]));
  const int vk = vkAtPress[place] ? vkAtPress[place] : place;
  if (!down) vkAtPress[place] = 0;
  host_key_event(vk, down, character);
}

uint32_t platform_key_label(int vk, int* place) {
  *place = 0;
  for (int p = 1; p < 256; ++p) {
    if (!plainAtPlace[p] || layout_virtual_key(p, plainAtPlace[p]) != vk) continue;
    *place = p;
    return plainAtPlace[p];
  }
  return 0;
}

char platform_path_separator() { return '/'; }

// ---- clipboard ------------------------------------------------------------------

bool platform_clipboard_open() { return true; }
void platform_clipboard_close() {}

bool platform_clipboard_set_text(const char* text, size_t length) {
  clipboardText.assign(text, strnlen(text, length));
  js_clipboard_write(cp1250_to_utf8(clipboardText.data(), clipboardText.size()).c_str());
  return true;
}

const char* platform_clipboard_text() { return clipboardText.c_str(); }

void web_clipboard_receive(const char* utf8) {
  clipboardText = utf8_to_cp1250(utf8, std::strlen(utf8));
}

extern "C" {

// What the layout types plainly at a place, from the browser's layout map.
EMSCRIPTEN_KEEPALIVE void web_layout_key(int place, int plain) {
  if (place > 0 && place < 256 && !plainAtPlace[place])
    plainAtPlace[place] = static_cast<uint32_t>(plain);
}

// The browser lost the keys (the page went to the background).
EMSCRIPTEN_KEEPALIVE void web_release_keys() {
  std::memset(vkAtPress, 0, sizeof vkAtPress);
  host_keys_release();
}

} // extern "C"
