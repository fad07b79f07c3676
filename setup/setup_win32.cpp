// LDTKSETUP on Windows: the program file "LDTKSETUP.EXE", backslash paths, CR LF line ends, and
// the Windows calls behind the search for the tool's own folder.
#include "setup/setup.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

const SetupHost& setup_host() {
  static const SetupHost host{
      "LDTKSETUP.EXE", "c:\\Program Files\\Ludora\\Tarvik2 Veltra16\\", '\\', ';', true, "\r\n"};
  return host;
}

bool setup_is_file(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool setup_full_path(const std::string& path, std::string& full) {
  DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return false;
  std::string buffer(size, '\0');
  DWORD length = GetFullPathNameA(path.c_str(), size, buffer.data(), nullptr);
  if (length == 0 || length >= size) return false;
  buffer.resize(length);
  full = buffer;
  return true;
}
