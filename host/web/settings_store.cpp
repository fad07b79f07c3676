// The settings store in the browser's local storage: one JSON object of
// named numbers and texts under the key path, written back on every change.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <string>

#include "host/platform.h"

namespace {

std::string storeKey;
bool isOpen;

EM_JS(double, js_settings_read, (const char* key, const char* name),
      { return TarvikUI.settingsRead(UTF8ToString(key), UTF8ToString(name)); });
EM_JS(int, js_settings_write, (const char* key, const char* name, double value),
      { return TarvikUI.settingsWrite(UTF8ToString(key), UTF8ToString(name), value); });

// The stored text copied into the buffer; false when there is none, it is
// not a text or it does not fit.
EM_JS(int, js_settings_read_text, (const char* key, const char* name, char* text, int size), {
  const v = TarvikUI.settingsReadText(UTF8ToString(key), UTF8ToString(name));
  if (v == null || new TextEncoder().encode(v).length + 1 > size) return 0;
  stringToUTF8(v, text, size);
  return 1;
});
EM_JS(int, js_settings_write_text, (const char* key, const char* name, const char* text), {
  return TarvikUI.settingsWrite(UTF8ToString(key), UTF8ToString(name), UTF8ToString(text));
});

} // namespace

bool platform_settings_open(const char* keyPath) {
  storeKey = std::string("tarvik.settings:") + keyPath;
  isOpen = true;
  return true;
}

bool platform_settings_read(const char* name, uint32_t* value) {
  if (!isOpen) return false;
  double stored = js_settings_read(storeKey.c_str(), name);
  if (stored < 0) return false;
  *value = static_cast<uint32_t>(stored);
  return true;
}

bool platform_settings_write(const char* name, uint32_t value) {
  return isOpen && js_settings_write(storeKey.c_str(), name, value);
}

void platform_settings_close() { isOpen = false; }

bool platform_settings_read_text(const char* name, char* text, size_t size) {
  return isOpen && size > 0 &&
         js_settings_read_text(storeKey.c_str(), name, text, static_cast<int>(size)) != 0;
}

bool platform_settings_write_text(const char* name, const char* text) {
  return isOpen && js_settings_write_text(storeKey.c_str(), name, text);
}
