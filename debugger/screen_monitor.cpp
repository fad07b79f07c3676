// The on-screen monitor's views, scrolling and keys. Each redraw builds the
// rows of text for the current window size and hands them to the host,
// which draws them white on black in a fixed-pitch font.
#include "debugger/screen_monitor.h"

#include <cstring>
#include <vector>

#include "cpu/cpu.h"
#include "debugger/console_monitor.h"
#include "debugger/disassembler.h"
#include "debugger/hooks.h"
#include "media/memory_files.h"

uint32_t monitorView = MONITOR_VIEW_DISASSEMBLY;
uint32_t disasmTop = 0xFFFFFFFF;
uint32_t memTop;

void screen_monitor_reset() {
  monitorView = MONITOR_VIEW_DISASSEMBLY;
  disasmTop = 0xFFFFFFFF;
  memTop = 0;
}

namespace {

// F7 stops after this many instructions at the latest.
constexpr int F7_MAX_INSTRUCTIONS = 10001;

void ensure_disasm_top() {
  if (disasmTop == 0xFFFFFFFF) disasmTop = cpu.pc;
}

// Rows of text one column count wide, for one redraw.
struct Rows {
  int columns;
  std::vector<char> text;
  std::vector<const char*> pointers;
  Rows(int rows, int columns)
      : columns(columns), text(static_cast<size_t>(rows) * static_cast<size_t>(columns + 1), '\0'),
        pointers(static_cast<size_t>(rows)) {
    for (int r = 0; r < rows; ++r) pointers[r] = &text[static_cast<size_t>(r) * (columns + 1)];
  }
  // Copies as much of the line as the row holds.
  void set(int row, const char* line) {
    char* out = &text[static_cast<size_t>(row) * (columns + 1)];
    size_t n = strnlen(line, static_cast<size_t>(columns));
    memcpy(out, line, n);
    out[n] = '\0';
  }
};

// The keys line along the bottom: the longest of these that fits the
// window's columns (counted in characters; the texts are UTF-8).
constexpr char kWidestKeyLine[] =
    "Esc:vissza Enter:lépés Backspace:visszalépés F7:futtat F8:memdump F1:kód F2:memória "
    "Fel/Le/PgUp/PgDn:görget";
const char* const kKeyLines[] = {
    kWidestKeyLine,
    "Esc:vissza Enter:lépés F7:futtat F8:memdump F1:kód F2:memória Fel/Le/PgUp/PgDn:görget",
    "Esc:vissza Enter:lépés F7:futtat F8:memdump F1:kód F2:memória",
    "Esc Enter F7 F8 F1:kód F2:memória",
};

size_t characters(const char* utf8) {
  size_t n = 0;
  for (; *utf8; ++utf8) n += (*utf8 & 0xC0) != 0x80;
  return n;
}

// The keys line for the layout, or null when the window has no room for it
// beside the listing.
const char* key_line(const MonitorLayout& layout) {
  if (layout.rows < 5) return nullptr;
  for (const char* line : kKeyLines)
    if (characters(line) <= static_cast<size_t>(layout.columns)) return line;
  return nullptr;
}

void draw_disassembly(const MonitorLayout& layout) {
  ensure_disasm_top();
  Rows rows(layout.rows, layout.columns);
  const char* keys = key_line(layout);
  const int listingEnd = keys ? layout.rows - 1 : layout.rows;
  char line[DISASSEMBLY_LINE_SIZE];
  for (int r = 0; r < layout.rows && r < 3; ++r) {
    register_dump_line(line, r);
    rows.set(r, line);
  }
  uint16_t address = static_cast<uint16_t>(disasmTop);
  for (int r = 3; r < listingEnd; ++r) {
    address = disassemble(address, line);
    rows.set(r, line);
  }
  if (keys) rows.pointers[static_cast<size_t>(layout.rows - 1)] = keys;
  debuggerHooks.monitorDraw(rows.pointers.data(), layout.rows, 3);
}

void draw_memory(const MonitorLayout& layout) {
  Rows rows(layout.rows, layout.columns);
  const char* keys = key_line(layout);
  const int dumpEnd = keys ? layout.rows - 1 : layout.rows;
  char line[MEMORY_DUMP_LINE_SIZE];
  uint32_t address = memTop & 0xFFFF;
  for (int r = 0; r < dumpEnd; ++r) {
    memory_dump_line(line, address, 2 * layout.bytesPerLine);
    rows.set(r, line);
    address = (address + static_cast<uint32_t>(layout.bytesPerLine)) & 0xFFFF;
  }
  if (keys) rows.pointers[static_cast<size_t>(layout.rows - 1)] = keys;
  debuggerHooks.monitorDraw(rows.pointers.data(), layout.rows, -1);
}

// One line back in the disassembly: the first of the five addresses before
// the top whose instruction ends exactly at the top, else the byte before.
// Near the bottom of memory the first candidate wraps to the top of memory
// and is taken as it is.
uint32_t line_before(uint32_t top) {
  if (top < 5) return (top - 5) & 0xFFFF;
  char line[DISASSEMBLY_LINE_SIZE];
  for (uint32_t back = 5; back >= 1; --back) {
    const uint32_t candidate = top - back;
    if (disassemble(static_cast<uint16_t>(candidate), line) == top) return candidate;
  }
  return top - 1;
}

void scroll_one(int direction, const MonitorLayout& layout) {
  if (monitorView == MONITOR_VIEW_MEMORY) {
    memTop = (memTop + static_cast<uint32_t>(layout.bytesPerLine * direction)) & 0xFFFF;
    return;
  }
  ensure_disasm_top();
  char line[DISASSEMBLY_LINE_SIZE];
  if (direction > 0)
    disasmTop = disassemble(static_cast<uint16_t>(disasmTop), line);
  else if (direction < 0)
    disasmTop = line_before(disasmTop & 0xFFFF);
}

} // namespace

MonitorLayout monitor_layout() {
  MonitorGeometry g{};
  debuggerHooks.monitorGeometry(&g);
  MonitorLayout layout{0, 0, 1};
  const int usableHeight = g.clientHeight - g.statusBarHeight;
  if (g.lineHeight > 0 && usableHeight > 0) layout.rows = usableHeight / g.lineHeight;
  if (g.charWidth > 0 && g.clientWidth > 0) layout.columns = g.clientWidth / g.charWidth;
  // Half of what is left beside the address and the separators, in whole
  // groups of eight, at most 248; a line shows half of that in bytes, and
  // at least one byte in a very narrow window.
  int width = (layout.columns - 16) / 2;
  width -= width % 8;
  if (width > 248) width = 248;
  layout.bytesPerLine = width / 2 > 0 ? width / 2 : 1;
  return layout;
}

void monitor_redraw() {
  const MonitorLayout layout = monitor_layout();
  if (layout.rows == 0 && layout.columns == 0) return;
  if (monitorView == MONITOR_VIEW_MEMORY)
    draw_memory(layout);
  else
    draw_disassembly(layout);
}

void monitor_set_view(uint32_t view) {
  if (view != MONITOR_VIEW_DISASSEMBLY && view != MONITOR_VIEW_MEMORY) return;
  monitorView = view;
  monitor_redraw();
}

void monitor_open() {
  disasmTop = cpu.pc;
  monitor_redraw();
}

void monitor_show_pc() {
  disasmTop = cpu.pc;
  monitorView = MONITOR_VIEW_DISASSEMBLY;
  monitor_redraw();
}

void monitor_scroll(int direction) { scroll_one(direction, monitor_layout()); }

void monitor_scroll_lines(int direction, int count) {
  const MonitorLayout layout = monitor_layout();
  for (int i = 0; i < count; ++i) scroll_one(direction, layout);
  monitor_redraw();
}

void monitor_page(int direction) { monitor_scroll_lines(direction, monitor_layout().rows); }

void monitor_wheel(int wheelDelta) {
  const int notches = wheelDelta / 120;
  int lines = notches * 256 / 120;
  if (lines < 0) lines = -lines;
  monitor_scroll_lines(notches < 0 ? 1 : -1, lines);
}

void monitor_enter_key() {
  // With the console monitor marked open, a breakpoint met by this step
  // opens nothing: the instruction simply runs.
  const uint32_t wasActive = consoleMonitorActive;
  consoleMonitorActive = 1;
  cpu_run(0);
  consoleMonitorActive = wasActive;
  monitor_show_pc();
}

void monitor_f7_key() {
  const uint16_t start = cpu.pc;
  const MonitorLayout layout = monitor_layout();
  for (int i = 0; i < F7_MAX_INSTRUCTIONS; ++i) {
    cpu_run(0);
    scroll_one(1, layout);
    monitor_redraw();
    if (cpu.pc == start) break;
  }
}

bool monitor_f8_key() { return memory_dump_file(); }
