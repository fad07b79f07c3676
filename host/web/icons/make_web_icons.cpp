// Build-time tool of the web page, run by Node.js: writes the program's icon
// as PNG files for the web app manifest and the page's icon.
//   make_web_icons OUTPUT_DIR SIZE...   (writes OUTPUT_DIR/icon-SIZE.png)
// The pixels come from the same drawing as the desktop programs' icons;
// Node's zlib compresses them.
#include <emscripten/emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/ui/icon.h"

namespace {

// Writes rows (each a filter byte 0 and size RGBA pixels) as a PNG file;
// false when it cannot be written. (The formatter would split JavaScript's
// arrows.)
// clang-format off
EM_JS(int, js_write_png, (const char* path, int size, const uint8_t* rows, int length), {
  const zlib = require("zlib");
  const fs = require("fs");
  const crcTable = new Int32Array(256).map((_, n) => {
    let c = n;
    for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    return c;
  });
  const chunk = (type, data) => {
    const out = Buffer.alloc(12 + data.length);
    out.writeUInt32BE(data.length, 0);
    out.write(type, 4, "latin1");
    data.copy(out, 8);
    let c = -1;
    for (let i = 4; i < 8 + data.length; i++) c = crcTable[(c ^ out[i]) & 0xff] ^ (c >>> 8);
    out.writeUInt32BE((c ^ -1) >>> 0, 8 + data.length);
    return out;
  };
  const header = Buffer.alloc(13);
  header.writeUInt32BE(size, 0);
  header.writeUInt32BE(size, 4);
  header[8] = 8; // bits per channel
  header[9] = 6; // RGBA
  const pixels = Buffer.from(HEAPU8.subarray(rows, rows + length));
  const png = Buffer.concat([Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]), chunk("IHDR", header),
                             chunk("IDAT", zlib.deflateSync(pixels, {level : 9})),
                             chunk("IEND", Buffer.alloc(0))]);
  try {
    fs.writeFileSync(UTF8ToString(path), png);
    return 1;
  } catch (e) {
    return 0;
  }
});
// clang-format on

} // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: make_web_icons OUTPUT_DIR SIZE...\n", stderr);
    return 2;
  }
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size < 8 || size > 1024) {
      std::fprintf(stderr, "make_web_icons: bad size %s\n", argv[i]);
      return 2;
    }
    const std::vector<Rgba> pixels = draw_icon(size);
    std::vector<uint8_t> rows;
    rows.reserve(static_cast<size_t>(size) * (1 + 4 * static_cast<size_t>(size)));
    for (int y = 0; y < size; ++y) {
      rows.push_back(0); // no filter
      for (int x = 0; x < size; ++x) {
        const Rgba& c = pixels[static_cast<size_t>(y * size + x)];
        rows.insert(rows.end(), {c.r, c.g, c.b, c.a});
      }
    }
    const std::string file = std::string(argv[1]) + "/icon-" + argv[i] + ".png";
    if (!js_write_png(file.c_str(), size, rows.data(), static_cast<int>(rows.size()))) {
      std::fprintf(stderr, "make_web_icons: cannot write %s\n", file.c_str());
      return 1;
    }
  }
  return 0;
}
