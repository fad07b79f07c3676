// The on-screen monitor: in place of the emulated picture the window shows
// the register lines over a disassembly listing, or a hex and character
// dump of memory. The host shows and hides it and passes it the keys.
#pragma once

#include <cstdint>

enum : uint32_t { MONITOR_VIEW_DISASSEMBLY = 0, MONITOR_VIEW_MEMORY = 1 };

extern uint32_t monitorView; // starts as the disassembly view
// Address of the first disassembly line; 0xFFFFFFFF until set (then PC).
extern uint32_t disasmTop;
// Address of the first memory line, used modulo 0x10000.
extern uint32_t memTop;
// The disassembly view, following PC, the dump at 0.
void screen_monitor_reset();

// Text layout measured from the window: rows and columns of the font cell,
// and the bytes per line of the memory view.
struct MonitorLayout {
  int rows;
  int columns;
  int bytesPerLine;
};
MonitorLayout monitor_layout();

// Draws the current view: in both views the last row names the keys, where
// the window has room for it.
void monitor_redraw();
// The monitor is shown: the disassembly starts at the current instruction,
// the view stays the one last used.
void monitor_open();
// F1 (0, disassembly) and F2 (1, memory): sets the view and redraws.
void monitor_set_view(uint32_t view);
// Puts PC at the top of the disassembly view and draws it.
void monitor_show_pc();
// Moves the view by one line (+1 towards higher addresses, -1 back)
// without drawing.
void monitor_scroll(int direction);
// Moves the view by count lines and redraws once: Up and Down move one.
void monitor_scroll_lines(int direction, int count);
// Page Up (-1) and Page Down (+1): a screenful of lines.
void monitor_page(int direction);
// The mouse wheel: two lines per notch, away from the user towards lower
// addresses.
void monitor_wheel(int wheelDelta);

// Enter: executes one instruction with the breakpoints suspended, then
// shows PC in the disassembly view.
void monitor_enter_key();
// F7: executes instructions one at a time, the view one line further after
// each, until PC is back where it started or after 10 001 instructions.
void monitor_f7_key();
// F8: writes the memory to "memdump.bin"; false when it cannot be written.
bool monitor_f8_key();
