// Keyboard layouts: the virtual key a key has on the host's layout, and the
// Hungarian layout that the programs without a layout of their own (the
// window-less one, the script lines) type on.
#pragma once

#include <cstdint>

// A key's place is named by the virtual key a US keyboard has there.
// Given what the host's layout types at that place without modifiers
// (Unicode; dead keys as their spacing accent), the virtual key Windows
// gives that key on such a layout: letters and digits by what they type,
// the OEM keys by their character where Windows names them so (",", ".",
// "-", "+" and the national keys of the German and Hungarian layouts),
// every other key by its place.
int layout_virtual_key(int place, uint32_t unshifted);

// One key of a layout: its place and what it types plainly, with Shift and
// with AltGr (code page 1250; 0 for nothing).
struct LayoutKey {
  uint8_t place;
  uint8_t plain, shift, altGr;
};
struct KeyboardLayout {
  const LayoutKey* keys;
  int count;
};
// The Hungarian QWERTZ layout.
extern const KeyboardLayout hungarianLayout;

// What a key (by its virtual key on the layout) types with the modifiers
// (KEY_MOD_*; AltGr is Ctrl+Alt): a code page 1250 character, or 0. Keys
// outside the layout's table type their own control character (Enter 13,
// Tab 9, Backspace 8) or nothing.
uint8_t layout_character(const KeyboardLayout& layout, int vk, uint32_t modifiers);
// The key and modifiers that type a character: the virtual key in bits 0-7,
// KEY_MOD_* above it; -1 when no key does.
int layout_key_for_character(const KeyboardLayout& layout, uint8_t character);
// What the key with this virtual key shows (its plain character) and its
// place; 0 and place 0 when the layout has no such key.
uint8_t layout_key_label(const KeyboardLayout& layout, int vk, int* place);
