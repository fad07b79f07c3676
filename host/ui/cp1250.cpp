// Conversion between code page 1250 and UTF-8. Bytes below 0x80 are ASCII;
// the upper half comes from the table.
#include "host/ui/cp1250.h"

namespace {

constexpr uint16_t kUpper[128] = {
    0x20AC, 0xFFFD, 0x201A, 0xFFFD, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0xFFFD, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, // 88
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0xFFFD, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, // F8
};

void put_utf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

} // namespace

uint32_t cp1250_to_unicode(uint8_t byte) { return byte < 0x80 ? byte : kUpper[byte - 0x80]; }

int cp1250_from_unicode(uint32_t codePoint) {
  if (codePoint < 0x80) return static_cast<int>(codePoint);
  if (codePoint == 0xFFFD) return -1;
  for (int i = 0; i < 128; ++i)
    if (kUpper[i] == codePoint) return 0x80 + i;
  return -1;
}

std::string cp1250_to_utf8(const char* text, size_t length) {
  std::string out;
  out.reserve(length);
  for (size_t i = 0; i < length; ++i)
    put_utf8(out, cp1250_to_unicode(static_cast<uint8_t>(text[i])));
  return out;
}

std::string utf8_to_cp1250(const char* text, size_t length, InvalidUtf8 invalid) {
  std::string out;
  out.reserve(length);
  size_t i = 0;
  while (i < length) {
    uint8_t b = static_cast<uint8_t>(text[i]);
    uint32_t c;
    size_t n;
    if (b < 0x80) {
      c = b;
      n = 1;
    } else if ((b & 0xE0) == 0xC0) {
      c = b & 0x1F;
      n = 2;
    } else if ((b & 0xF0) == 0xE0) {
      c = b & 0x0F;
      n = 3;
    } else if ((b & 0xF8) == 0xF0) {
      c = b & 0x07;
      n = 4;
    } else {
      out += invalid == INVALID_UTF8_KEPT ? static_cast<char>(b) : '?';
      ++i;
      continue;
    }
    bool ok = i + n <= length;
    for (size_t k = 1; ok && k < n; ++k) {
      uint8_t t = static_cast<uint8_t>(text[i + k]);
      if ((t & 0xC0) != 0x80)
        ok = false;
      else
        c = (c << 6) | (t & 0x3F);
    }
    if (!ok) {
      out += invalid == INVALID_UTF8_KEPT ? static_cast<char>(b) : '?';
      ++i;
      continue;
    }
    int mapped = cp1250_from_unicode(c);
    out += mapped < 0 ? '?' : static_cast<char>(mapped);
    i += n;
  }
  return out;
}
