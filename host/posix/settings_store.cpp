// The headless settings store: a text file of "Name=value" lines, one per
// setting, numbers as decimal 32-bit numbers, texts as they are (a text that
// holds a line break is not stored). It is read when the store is opened and
// written, through a temporary file and a rename, when it is closed, so that
// a crash never leaves half a file. Also the user's data folder, which GTK
// program shares.
#include <filesystem>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "host/platform.h"
#include "host/posix/posix.h"

namespace {

std::string chosenFile;
bool noFile; // no store at all: the defaults, nothing written
std::string chosenDataFolder;
std::string openFile;
bool isOpen;
bool dirty;
std::vector<std::pair<std::string, std::string>> values;

std::string default_file() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (config && *config == '/') {
    base = config;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home) return "";
    base = std::string(home) + "/.config";
  }
  return base + "/tarvik/settings.ini";
}

// $XDG_DATA_HOME/tarvik, or ~/.local/share/tarvik.
std::string default_data_folder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data == '/') return std::string(data) + "/tarvik";
  const char* home = std::getenv("HOME");
  if (!home || !*home) return "";
  return std::string(home) + "/.local/share/tarvik";
}

// Creates the folders above the file.
void make_parent_folders(const std::string& file) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ignored);
}

bool parse_number(const std::string& text, uint32_t* value) {
  if (text.empty() || text.size() > 10) return false;
  uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  if (v > 0xFFFFFFFFu) return false;
  *value = static_cast<uint32_t>(v);
  return true;
}

bool set_value(const char* name, const std::string& text);

} // namespace

bool platform_settings_open(const char*) {
  values.clear();
  dirty = false;
  openFile = noFile ? "" : chosenFile.empty() ? default_file() : chosenFile;
  isOpen = !openFile.empty();
  if (!isOpen) return false;
  std::FILE* f = std::fopen(openFile.c_str(), "r");
  if (!f) return true; // a first run: the values are written at close
  char line[1024];
  while (std::fgets(line, sizeof line, f)) {
    std::string s(line);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    size_t eq = s.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    values.emplace_back(s.substr(0, eq), s.substr(eq + 1));
  }
  std::fclose(f);
  return true;
}

bool platform_settings_read(const char* name, uint32_t* value) {
  if (!isOpen) return false;
  for (auto& [key, text] : values)
    if (key == name) return parse_number(text, value);
  return false;
}

bool platform_settings_read_text(const char* name, char* text, size_t size) {
  if (!isOpen) return false;
  uint32_t number;
  for (auto& [key, stored] : values)
    if (key == name) {
      // A number is a value of the other kind.
      if (parse_number(stored, &number) || stored.size() >= size) return false;
      std::memcpy(text, stored.c_str(), stored.size() + 1);
      return true;
    }
  return false;
}

bool platform_settings_write_text(const char* name, const char* text) {
  if (!isOpen || std::strpbrk(text, "\r\n")) return false;
  return set_value(name, text);
}

bool platform_settings_write(const char* name, uint32_t value) {
  if (!isOpen) return false;
  return set_value(name, std::to_string(value));
}

namespace {

bool set_value(const char* name, const std::string& text) {
  dirty = true;
  for (auto& [key, stored] : values)
    if (key == name) {
      stored = text;
      return true;
    }
  values.emplace_back(name, text);
  return true;
}

} // namespace

void platform_settings_close() {
  if (!isOpen) return;
  isOpen = false;
  if (!dirty) return;
  make_parent_folders(openFile);
  std::string temporary = openFile + ".tmp";
  std::FILE* f = std::fopen(temporary.c_str(), "w");
  bool ok = f != nullptr;
  for (auto& [key, text] : values)
    if (ok && std::fprintf(f, "%s=%s\n", key.c_str(), text.c_str()) < 0) ok = false;
  if (f && std::fclose(f) != 0) ok = false;
  // std::filesystem::rename replaces an existing file on every platform
  // (the C library's rename does not on Windows).
  if (ok) {
    std::error_code error;
    std::filesystem::rename(temporary, openFile, error);
    if (error) ok = false;
  }
  if (!ok) {
    std::fprintf(stderr, "settings: cannot write %s: %s\n", openFile.c_str(), std::strerror(errno));
    std::remove(temporary.c_str());
  }
}

bool platform_data_folder(char* folder, size_t size) {
  std::string path = chosenDataFolder.empty() ? default_data_folder() : chosenDataFolder;
  if (path.empty() || path.size() >= size) return false;
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (!std::filesystem::is_directory(path, error)) return false;
  std::memcpy(folder, path.c_str(), path.size() + 1);
  return true;
}

void platform_keep_file(const char*) {}

void posix_set_data_folder(const char* path) { chosenDataFolder = path ? path : ""; }
void posix_set_settings_file(const char* path) {
  chosenFile = path ? path : "";
  noFile = false;
}
void posix_set_no_settings_file() {
  chosenFile.clear();
  noFile = true;
}
