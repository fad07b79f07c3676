// Code page 1250 for every text that goes to Windows.
#include "host/cp1250.h"
#include "host/win32/win32.h"

std::string to_ansi(const char* text) {
  std::string out;
  if (!text) return out;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    unsigned char c = *p;
    uint32_t code = 0;
    int length = 0;
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++p;
      continue;
    }
    if ((c & 0xE0) == 0xC0) {
      code = c & 0x1F;
      length = 2;
    } else if ((c & 0xF0) == 0xE0) {
      code = c & 0x0F;
      length = 3;
    } else if ((c & 0xF8) == 0xF0) {
      code = c & 0x07;
      length = 4;
    }
    bool valid = length > 0;
    for (int i = 1; valid && i < length; ++i) {
      if ((p[i] & 0xC0) != 0x80)
        valid = false;
      else
        code = code << 6 | (p[i] & 0x3F);
    }
    if (!valid) {
      out += static_cast<char>(c); // already code page 1250
      ++p;
      continue;
    }
    int byte = cp1250_from_unicode(code);
    out += byte < 0 ? '?' : static_cast<char>(byte);
    p += length;
  }
  return out;
}

std::string from_ansi(const char* text) {
  if (!text) return {};
  std::string out;
  for (const char* p = text; *p; ++p) {
    uint32_t code = cp1250_to_unicode(static_cast<uint8_t>(*p));
    char utf8[8];
    int n = 0;
    if (code < 0x80) {
      utf8[n++] = static_cast<char>(code);
    } else if (code < 0x800) {
      utf8[n++] = static_cast<char>(0xC0 | code >> 6);
      utf8[n++] = static_cast<char>(0x80 | (code & 0x3F));
    } else {
      utf8[n++] = static_cast<char>(0xE0 | code >> 12);
      utf8[n++] = static_cast<char>(0x80 | (code >> 6 & 0x3F));
      utf8[n++] = static_cast<char>(0x80 | (code & 0x3F));
    }
    out.append(utf8, static_cast<size_t>(n));
  }
  return out;
}
