// Code page 1250 for every text that goes to Windows. Our own texts are
// UTF-8; a name the system handed over (a file dialog's answer, the current
// folder) is already in code page 1250 and passes through unchanged.
#include <cstring>

#include "host/ui/cp1250.h"
#include "host/win32/win32.h"

std::string to_ansi(const char* text) {
  if (!text) return {};
  return utf8_to_cp1250(text, std::strlen(text), INVALID_UTF8_KEPT);
}

std::string from_ansi(const char* text) {
  if (!text) return {};
  return cp1250_to_utf8(text, std::strlen(text));
}

std::string to_oem(const char* text) {
  if (!text || !*text) return {};
  const int wide = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (wide <= 0) return text;
  std::wstring w(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, w.data(), wide);
  const int bytes = WideCharToMultiByte(CP_OEMCP, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return text;
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_OEMCP, 0, w.c_str(), -1, out.data(), bytes, nullptr, nullptr);
  out.resize(static_cast<size_t>(bytes - 1)); // without the terminator
  return out;
}
