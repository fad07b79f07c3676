// The b command: breakpoints work by giving single addresses the CPU's
// watch routines in its per-address handler tables, so addresses without a
// breakpoint cost nothing.
#include "cpu/cpu.h"
#include "debugger/console_internal.h"
#include "debugger/console_monitor.h"

namespace {

// The word gets exactly these kinds; the read entry is the watch routine
// for X or R, the write entry for W, the machine's routines otherwise.
void set_breakpoint(uint16_t address, uint32_t flags) {
  watchFlags[address] = flags;
  set_read_watch(address, flags);
  set_write_watch(address, flags);
}

bool contains(const char* text, char c) {
  for (; *text; ++text)
    if (*text == c) return true;
  return false;
}

void list_breakpoints() {
  bool any = false;
  for (uint32_t a = 0; a < 65536; ++a) {
    const uint32_t w = watchFlags[a];
    if (w == 0) continue;
    char letters[4];
    int n = 0;
    if (w & WATCH_READ) letters[n++] = 'R';
    if (w & WATCH_EXEC) letters[n++] = 'X';
    if (w & WATCH_WRITE) letters[n++] = 'W';
    letters[n] = '\0';
    console_print(" %04X (%s)", a, letters);
    any = true;
  }
  console_print("\n");
  if (!any) console_print("No breakpoints set.\n");
}

} // namespace

void breakpoint_command(int tokenCount) {
  if (tokenCount != 2 && tokenCount != 3) return list_breakpoints();
  uint16_t address;
  if (!parse_breakpoint_address(monitorTokens[1], &address)) return print_unknown_syntax();

  if (tokenCount == 2) {
    // "b address" toggles an execution breakpoint.
    console_print("Breakpoint(s) at %04Xh ", address);
    if (watchFlags[address] == 0) {
      set_breakpoint(address, WATCH_EXEC);
      console_print("set.\n");
    } else {
      set_breakpoint(address, 0);
      console_print("removed.\n");
    }
    return;
  }

  const char* kinds = monitorTokens[2];
  const bool x = contains(kinds, 'x'), r = contains(kinds, 'r'), w = contains(kinds, 'w');
  if (!x && !r && !w) return print_unknown_syntax();
  console_print("Breakpoint at %04Xh set (%s%s%s)\n", address, x ? "X" : "", r ? "R" : "",
                w ? "W" : "");
  uint32_t flags = 0;
  if (x) flags |= WATCH_EXEC;
  if (r) flags |= WATCH_READ;
  if (w) flags |= WATCH_WRITE;
  set_breakpoint(address, flags);
}
