// What the media files take from the machine layer: the memory array, the
// model index, the character sets and the frame buffer.
#pragma once

#include <cstdint>

// 0x00000-0x0FFFF normal bank, 0x10000-0x1FFFF high bank.
extern uint8_t memory[];
// 0 Tarvik 3.1, 1 Tarvik 4.1, 2 Dorvane, 3 Veltra-16.
uint32_t model();

// Character sets: 2048 bytes each, glyph row r of code c at r * 256 + c.
extern uint8_t userCharset[2048];
// The set the Tarvik renderer uses: the built-in one or userCharset.
extern const uint8_t* currentCharset;
// The built-in set of the current model.
const uint8_t* builtin_charset();
