// The program's icon, drawn in code at any size: a small computer whose
// screen shows white text on black. The Windows resources and the Linux
// icon theme are both made from it at build time.
#pragma once

#include <cstdint>
#include <vector>

struct Rgba {
  uint8_t r, g, b, a;
};

// size x size pixels, rows top-down; transparent round the computer.
std::vector<Rgba> draw_icon(int size);
