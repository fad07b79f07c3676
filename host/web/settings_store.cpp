// The settings store in the browser's local storage: one JSON object of
// named numbers under the key path, written back on every change.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <string>

#include "host/platform.h"

namespace {

std::string storeKey;
bool isOpen;

EM_JS(int, js_settings_read, (const char* key, const char* name, uint32_t* value), {
  try {
    const all = JSON.parse(localStorage.getItem(UTF8ToString(key)) || "{}");
    const v = all[UTF8ToString(name)];
    if (typeof v != = "number" || !Number.isInteger(v) || v < 0 || v > 0xFFFFFFFF) return 0;
    HEAPU32[value >> 2] = v;
    return 1;
  } catch (e) { return 0; }
});

EM_JS(int, js_settings_write, (const char* key, const char* name, uint32_t value), {
  try {
    const k = UTF8ToString(key);
    let all = {};
    try {
      all = JSON.parse(localStorage.getItem(k) || "{}");
    } catch (e) {}
    if (typeof all != = "object" || all == = null || Array.isArray(all)) all = {}; // damaged: anew
    all[UTF8ToString(name)] = value >>> 0;
    localStorage.setItem(k, JSON.stringify(all));
    return 1;
  } catch (e) { return 0; }
});

} // namespace

bool platform_settings_open(const char* keyPath) {
  storeKey = std::string("tarvik.settings:") + keyPath;
  isOpen = true;
  return true;
}

bool platform_settings_read(const char* name, uint32_t* value) {
  return isOpen && js_settings_read(storeKey.c_str(), name, value);
}

bool platform_settings_write(const char* name, uint32_t value) {
  return isOpen && js_settings_write(storeKey.c_str(), name, value);
}

void platform_settings_close() { isOpen = false; }
