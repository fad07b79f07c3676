// The settings store: REG_DWORD values under HKEY_CURRENT_USER, the key
// kept open from start-up to exit. Failures are silent.
#include <cstring>

#include "host/platform.h"
#include "host/win32/win32.h"

namespace {

HKEY settingsKey;

// Creates or opens one key below another; null on failure.
HKEY create(HKEY parent, const char* name) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return nullptr;
  return key;
}

} // namespace

bool platform_settings_open(const char* keyPath) {
  platform_settings_close();
  // Each step of the path is created under the one before; the
  // intermediate keys are closed after use.
  std::string path = to_ansi(keyPath);
  HKEY key = HKEY_CURRENT_USER;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(start, end - start);
    HKEY next = create(key, part.c_str());
    if (key != HKEY_CURRENT_USER) RegCloseKey(key);
    if (!next) return false;
    key = next;
    start = end + 1;
  }
  settingsKey = key;
  return true;
}

bool platform_settings_read(const char* name, uint32_t* value) {
  if (!settingsKey) return false;
  DWORD data = 0, size = sizeof data, type = 0;
  if (RegQueryValueExA(settingsKey, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
      ERROR_SUCCESS)
    return false;
  // A value of another kind (say a text) is no number: the default replaces it.
  if (type != REG_DWORD || size != sizeof data) return false;
  *value = data;
  return true;
}

bool platform_settings_write(const char* name, uint32_t value) {
  if (!settingsKey) return false;
  DWORD data = value;
  return RegSetValueExA(settingsKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                        sizeof data) == ERROR_SUCCESS;
}

void platform_settings_close() {
  if (settingsKey) RegCloseKey(settingsKey);
  settingsKey = nullptr;
}
