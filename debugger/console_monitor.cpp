// The console monitor's run: opening the console, the command loop with
// its line splitting and dispatch, and closing again.
#include "debugger/console_monitor.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "cpu/cpu.h"
#include "debugger/console_internal.h"
#include "debugger/disassembler.h"
#include "debugger/hooks.h"
#include "debugger/screen_monitor.h"

uint32_t monitorAddress = 0xFFFFFFFF;
uint32_t consoleMonitorActive;

char monitorLine[MONITOR_LINE_CHARS + 1];
const char* monitorTokens[MONITOR_MAX_TOKENS];
int monitorTokenCount;

namespace {

// The tokens point into this copy of the line, separators replaced by
// terminators.
char tokenText[MONITOR_LINE_CHARS + 1];

bool is_separator(char c) { return c == ' ' || c == ',' || c == '\r' || c == '\n'; }
bool is_line_end(char c) { return c == '\r' || c == '\n' || c == '\0'; }

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Leaving the monitor, and giving up when no console can be created: the
// break is dealt with, the sound goes on, and the host's frame timing
// starts again from now so that the emulation does not catch up.
void leave_monitor() {
  breakRequest = 0;
  consoleMonitorActive = 0;
  debuggerHooks.consoleClose();
  debuggerHooks.sessionEnd();
}

void dispatch(int tokenCount) {
  const char command = tokenCount > 0 ? monitorTokens[0][0] : '\0';
  switch (command) {
  case ':': command_memory(tokenCount); break;
  case '?': command_help(); break;
  case 'b': breakpoint_command(tokenCount); break;
  case 'd': command_disassemble(tokenCount); break;
  case 'f': command_fill(tokenCount); break;
  case 'g': command_go(tokenCount); break;
  case 'm': command_dump(tokenCount); break;
  case 'r': print_register_lines(); break;
  case 's': command_save(tokenCount); break;
  case 't': command_transfer(tokenCount); break;
  case 'u': command_back(tokenCount); break;
  case 'x': break; // leaves only as the first character of the line
  case 'z': command_step(); break;
  default:
    if (!is_line_end(monitorLine[0])) console_print("Unknown command, type ? for help!\n");
    break;
  }
}

} // namespace

void console_print(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  debuggerHooks.consoleWrite(buffer);
}

void print_unknown_syntax() { console_print("Unknown syntax.\n"); }

void monitor_split_tokens() {
  memcpy(tokenText, monitorLine, sizeof tokenText);
  tokenText[MONITOR_LINE_CHARS] = '\0';
  monitorTokenCount = 0;
  char* p = tokenText;
  while (*p) {
    while (*p && is_separator(*p)) *p++ = '\0';
    if (!*p) break;
    if (monitorTokenCount < MONITOR_MAX_TOKENS) monitorTokens[monitorTokenCount++] = p;
    while (*p && !is_separator(*p)) ++p;
  }
}

bool parse_hex(const char* token, int maxDigits, bool exact, uint32_t* value) {
  if (!token) return false;
  const char* p = token;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && hex_digit(p[2]) >= 0) p += 2;
  if (hex_digit(*p) < 0) return false;
  uint32_t v = 0;
  int digits = 0;
  for (; *p; ++p) {
    int d = hex_digit(*p);
    if (d < 0) return false;
    if (exact || v != 0 || d != 0) ++digits;
    if (digits > maxDigits) return false;
    v = v * 16 + static_cast<uint32_t>(d);
  }
  *value = v;
  return true;
}

bool parse_number(const char* token, uint32_t* value) { return parse_hex(token, 8, false, value); }

bool parse_word(const char* token, uint16_t* value) {
  uint32_t v;
  if (!parse_hex(token, 8, false, &v)) return false;
  *value = static_cast<uint16_t>(v);
  return true;
}

bool parse_byte(const char* token, uint8_t* value) {
  uint32_t v;
  if (!parse_hex(token, 8, false, &v)) return false;
  *value = static_cast<uint8_t>(v);
  return true;
}

bool parse_breakpoint_address(const char* token, uint16_t* value) {
  uint32_t v;
  if (!parse_hex(token, 4, true, &v)) return false;
  *value = static_cast<uint16_t>(v);
  return true;
}

void print_register_lines() {
  char line[REGISTER_LINE_SIZE];
  for (int i = 0; i < 3; ++i) {
    register_dump_line(line, i);
    debuggerHooks.consoleSetAttribute(CONSOLE_ATTRIBUTE_BRIGHT);
    console_print("%s\n", line);
    debuggerHooks.consoleSetAttribute(CONSOLE_ATTRIBUTE_NORMAL);
  }
}

int console_dump_width() {
  int w = debuggerHooks.consoleWidth() / 3;
  // At least one byte per line, and no more than a dump line holds.
  if (w < 2) w = 2;
  if (w > 2 * MEMORY_DUMP_MAX_BYTES) w = 2 * MEMORY_DUMP_MAX_BYTES;
  return w;
}

int console_monitor_run() {
  if (consoleMonitorActive) return 0;
  debuggerHooks.sessionBegin();
  consoleMonitorActive = 1;
  if (!debuggerHooks.consoleOpen("Interactive monitor")) {
    leave_monitor();
    return 1;
  }
  debuggerHooks.consoleSetAttribute(CONSOLE_ATTRIBUTE_NORMAL);
  console_print("Type '?' for help, 'x' for exit.\n");

  // An execution breakpoint stops before its instruction with PC on it: the
  // monitor opens there. Otherwise the address set earlier stays, and the
  // first opening takes PC (after a read or write watch PC already stands
  // on the instruction after the access).
  if (execBreakAddress != 0xFFFFFFFF)
    monitorAddress = execBreakAddress & 0xFFFF;
  else if (monitorAddress == 0xFFFFFFFF)
    monitorAddress = cpu.pc;

  do {
    memset(monitorLine, 0, sizeof monitorLine);
    // No more input (the console went away) leaves the monitor as x does.
    if (!debuggerHooks.consoleReadLine(monitorLine, sizeof monitorLine)) break;
    monitor_split_tokens();
    dispatch(monitorTokenCount);
  } while (monitorLine[0] != 'x');

  leave_monitor();
  return 1;
}

void debugger_reset_state() {
  consoleMonitorActive = 0;
  monitorAddress = 0xFFFFFFFF;
  screen_monitor_reset();
}

void console_monitor_install() { cpu_set_monitor_entry(console_monitor_run); }
