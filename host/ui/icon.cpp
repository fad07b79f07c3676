// The icon's drawing. Its details grow with the size, so that the 16- and
// 32-pixel images stay sharp and the large ones are not mostly case.
#include "host/ui/icon.h"

#include <algorithm>

std::vector<Rgba> draw_icon(int size) {
  std::vector<Rgba> p(static_cast<size_t>(size * size), Rgba{0, 0, 0, 0});
  auto fill = [&](int x0, int y0, int x1, int y1, Rgba c) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if (x >= 0 && y >= 0 && x < size && y < size) p[static_cast<size_t>(y * size + x)] = c;
  };
  const Rgba caseLight{214, 204, 180, 255}, caseDark{120, 112, 96, 255}, black{0, 0, 0, 255},
      white{255, 255, 255, 255}, keys{70, 66, 60, 255}, red{220, 30, 30, 255};
  int s = size;
  // Monitor case and its shadow edge.
  fill(s * 2 / 32, s * 1 / 32, s * 30 / 32, s * 22 / 32, caseDark);
  fill(s * 2 / 32, s * 1 / 32, s * 29 / 32, s * 21 / 32, caseLight);
  // The screen: black with lines of white "text".
  fill(s * 5 / 32, s * 4 / 32, s * 27 / 32, s * 18 / 32, black);
  int dot = std::max(1, s / 32);
  int line = std::max(2, s * 3 / 32);
  for (int y = s * 5 / 32 + dot, row = 0; y + dot < s * 17 / 32; y += line, ++row) {
    int end = s * (row % 2 ? 20 : 25) / 32;
    for (int x = s * 6 / 32; x < end; x += 2 * dot) fill(x, y, x + dot, y + dot, white);
  }
  // Cursor block.
  fill(s * 6 / 32, s * 15 / 32, s * 8 / 32, s * 17 / 32, white);
  // Keyboard below, with a row of keys and the red power lamp.
  fill(s * 1 / 32, s * 24 / 32, s * 31 / 32, s * 31 / 32, caseDark);
  fill(s * 1 / 32, s * 24 / 32, s * 31 / 32, s * 30 / 32, caseLight);
  int pitch = std::max(2, s * 3 / 32);
  for (int x = s * 3 / 32; x + 2 < s * 27 / 32; x += pitch)
    fill(x, s * 26 / 32, x + pitch - std::max(1, s / 32), s * 28 / 32, keys);
  fill(s * 28 / 32, s * 26 / 32, s * 30 / 32, s * 28 / 32, red);
  return p;
}
