// The settings store in the browser's local storage: one JSON object of
// named numbers under the key path, written back on every change.
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
