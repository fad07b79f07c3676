// The settings store: REG_DWORD and REG_SZ values under HKEY_CURRENT_USER,
// the key kept open from start-up to exit. Failures are silent. Also the
// user's data folder, %APPDATA%\Tarvik.
#include <cstdlib>
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

bool platform_settings_read_text(const char* name, char* text, size_t size) {
  if (!settingsKey || size == 0) return false;
  DWORD type = 0, bytes = static_cast<DWORD>(size);
  if (RegQueryValueExA(settingsKey, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return false;
  // The stored bytes may lack their terminator.
  if (bytes > 0 && text[bytes - 1] == '\0') return true;
  if (bytes >= size) return false;
  text[bytes] = '\0';
  return true;
}

bool platform_settings_write_text(const char* name, const char* text) {
  if (!settingsKey) return false;
  // File names are already in the ANSI code page, as Windows gave them.
  return RegSetValueExA(settingsKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                        static_cast<DWORD>(std::strlen(text) + 1)) == ERROR_SUCCESS;
}

bool platform_data_folder(char* folder, size_t size) {
  const char* appData = std::getenv("APPDATA");
  if (!appData || !*appData) return false;
  std::string path = std::string(appData) + "\\Tarvik";
  if (path.size() >= size) return false;
  CreateDirectoryA(path.c_str(), nullptr);
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  std::memcpy(folder, path.c_str(), path.size() + 1);
  return true;
}

void platform_keep_file(const char*) {}

void platform_settings_close() {
  if (settingsKey) RegCloseKey(settingsKey);
  settingsKey = nullptr;
}
