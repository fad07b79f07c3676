// charset-convert: turns a character set drawn as text into its 2048-byte
// glyph table (the byte for glyph row r of code c at r * 256 + c, bit 7 the
// leftmost pixel). Runs at build time.
//
//   charset-convert INPUT.txt OUTPUT.bin
//
// The drawing, line by line:
//   ; comment                  ignored, as are empty lines
//   @XX label                  the glyph of code XX (hex) follows: eight rows
//                              of eight pixels, '#' white and '.' black
//   @XX = @YY                  code XX gets the glyph of code YY
//   @XX-@YY inverse @ZZ        codes XX..YY get the inverted glyphs of ZZ on
// A code may be given once only; codes never given stay blank. Any fault is
// reported as "file:line: message" and the tool exits with status 1.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

const int kCodes = 256, kRows = 8;

unsigned char table[kRows * kCodes];
bool defined[kCodes];

std::string inputName;
int lineNumber;

bool fail(const std::string& message) {
  std::fprintf(stderr, "%s:%d: %s\n", inputName.c_str(), lineNumber, message.c_str());
  return false;
}

// "@XX" at position pos: the code, or -1.
int parse_code(const std::string& s, size_t pos) {
  if (pos + 3 > s.size() || s[pos] != '@') return -1;
  int value = 0;
  for (size_t i = pos + 1; i < pos + 3; ++i) {
    char c = s[i];
    int digit = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                       : -1;
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

std::string trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

bool claim(int code) {
  if (defined[code]) {
    char text[64];
    std::snprintf(text, sizeof text, "code %02X given twice", code);
    return fail(text);
  }
  defined[code] = true;
  return true;
}

bool convert(std::istream& in) {
  std::string raw;
  int glyph = -1, row = 0; // the glyph being drawn and its next row
  while (std::getline(in, raw)) {
    ++lineNumber;
    std::string line = trim(raw);
    if (glyph >= 0) {
      if (line.size() != 8 || line.find_first_not_of("#.") != std::string::npos)
        return fail("expected a row of eight '#' or '.'");
      unsigned char bits = 0;
      for (int x = 0; x < 8; ++x)
        if (line[x] == '#') bits = static_cast<unsigned char>(bits | (0x80 >> x));
      table[row * kCodes + glyph] = bits;
      if (++row == kRows) glyph = -1;
      continue;
    }
    if (line.empty() || line[0] == ';') continue;
    int code = parse_code(line, 0);
    if (code < 0) return fail("expected @XX");
    std::string rest = trim(line.substr(3));
    if (rest.size() >= 4 && rest[0] == '-' && parse_code(rest, 1) >= 0) {
      int last = parse_code(rest, 1);
      std::string tail = trim(rest.substr(4));
      const char* keyword = "inverse";
      if (tail.compare(0, std::strlen(keyword), keyword) != 0) return fail("expected 'inverse'");
      int from = parse_code(trim(tail.substr(std::strlen(keyword))), 0);
      if (from < 0 || last < code) return fail("bad range");
      if (from + (last - code) >= kCodes) return fail("source range ends past FF");
      for (int c = code; c <= last; ++c)
        if (!claim(c)) return false;
      for (int c = code; c <= last; ++c)
        for (int r = 0; r < kRows; ++r)
          table[r * kCodes + c] = static_cast<unsigned char>(~table[r * kCodes + from + c - code]);
    } else if (!rest.empty() && rest[0] == '=' && parse_code(trim(rest.substr(1)), 0) >= 0) {
      int from = parse_code(trim(rest.substr(1)), 0);
      if (!defined[from]) return fail("copy of a code not drawn before");
      if (!claim(code)) return false;
      for (int r = 0; r < kRows; ++r) table[r * kCodes + code] = table[r * kCodes + from];
    } else {
      if (!claim(code)) return false;
      glyph = code;
      row = 0;
    }
  }
  if (glyph >= 0) return fail("glyph ends before its eighth row");
  return true;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: charset-convert INPUT.txt OUTPUT.bin\n");
    return 2;
  }
  inputName = argv[1];
  std::ifstream in(argv[1]);
  if (!in) {
    std::fprintf(stderr, "charset-convert: cannot open %s\n", argv[1]);
    return 1;
  }
  if (!convert(in)) return 1;
  std::ofstream out(argv[2], std::ios::binary);
  out.write(reinterpret_cast<const char*>(table), sizeof table);
  if (!out) {
    std::fprintf(stderr, "charset-convert: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
