// The interactive console monitor: a command line in a console of its own,
// opened from the menu or by the CPU loop when a breakpoint has fired.
// While it runs the emulation stands still; it returns when the user types
// x as the first character of a line.
#pragma once

#include <cstddef>
#include <cstdint>

// The current address of the ":", "d" and "m" commands; 0xFFFFFFFF until
// the monitor first opens. Kept from one opening to the next.
extern uint32_t monitorAddress;
// 1 while the monitor runs: a second opening (a breakpoint met during a
// single step) returns at once.
extern uint32_t consoleMonitorActive;
// The debugger's state as at program start: the console monitor closed
// with no address chosen, the on-screen monitor on its disassembly view
// following PC.
void debugger_reset_state();

// Runs the monitor; 1 when it ran, 0 when it was already open.
int console_monitor_run();
// Connects the monitor to the CPU loop, which opens it when a breakpoint
// fires.
void console_monitor_install();

// The b command on the tokens of the current line: toggle, set kinds, or
// list.
void breakpoint_command(int tokenCount);

// A dump line shows at most this many bytes; the buffer for one line.
inline constexpr int MEMORY_DUMP_MAX_BYTES = 124;
inline constexpr size_t MEMORY_DUMP_LINE_SIZE = 7 + 4 * MEMORY_DUMP_MAX_BYTES + 31 + 2;
// " AAAA: " and width / 2 bytes in hexadecimal in groups of four, then ":"
// and the bytes as characters (0x20-0x7D, else "."), without a line end.
// Bytes are read with the machine's read routine, so no breakpoint fires.
void memory_dump_line(char* out, uint32_t address, int width);

// Formats into a 512-byte buffer and writes it to the console.
void console_print(const char* format, ...) __attribute__((format(printf, 1, 2)));
