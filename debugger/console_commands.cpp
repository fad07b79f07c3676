// The console monitor's commands on memory and the CPU: modify, help,
// disassemble, fill, go, dump, save, transfer and step. Memory is read and
// written with the machine's routines directly, so no breakpoint fires.
#include <cstdio>
#include <cstring>

#include "cpu/cpu.h"
#include "debugger/console_internal.h"
#include "debugger/console_monitor.h"
#include "debugger/disassembler.h"
#include "debugger/hooks.h"
#include "media/save_file.h"

namespace {

uint8_t read_byte(uint32_t address) { return cpu_default_read()(static_cast<uint16_t>(address)); }
void write_byte(uint32_t address, uint8_t value) {
  cpu_default_write()(static_cast<uint16_t>(address), value);
}

// Disassembly and dump lines are written whole, whatever their length.
void print_line(const char* text) {
  debuggerHooks.consoleWrite(text);
  debuggerHooks.consoleWrite("\n");
}

} // namespace

void memory_dump_line(char* out, uint32_t address, int width) {
  int n = width / 2;
  if (n < 0) n = 0;
  if (n > MEMORY_DUMP_MAX_BYTES) n = MEMORY_DUMP_MAX_BYTES;
  const uint16_t start = static_cast<uint16_t>(address);
  int len = snprintf(out, MEMORY_DUMP_LINE_SIZE, " %04X: ", start);
  for (int i = 0; i < n; ++i) {
    if (i % 4 == 0) out[len++] = ' ';
    len += snprintf(out + len, MEMORY_DUMP_LINE_SIZE - static_cast<size_t>(len), "%02X ",
                    read_byte(start + static_cast<uint32_t>(i)));
  }
  out[len++] = ':';
  for (int i = 0; i < n; ++i) {
    uint8_t b = read_byte(start + static_cast<uint32_t>(i));
    out[len++] = (b >= 0x20 && b <= 0x7D) ? static_cast<char>(b) : '.';
  }
  out[len] = '\0';
}

// ":" alone prints one dump line at the current address; ":address values"
// sets the current address and writes the values there one after another.
// The address may stand apart from the colon (": 4000 01").
void command_memory(int tokenCount) {
  const char* colon = strchr(monitorLine, ':');
  if (!colon) return;
  if (colon[1] == '\r' || colon[1] == '\n' || colon[1] == '\0') {
    char line[MEMORY_DUMP_LINE_SIZE];
    const int w = console_dump_width();
    memory_dump_line(line, monitorAddress, w);
    print_line(line);
    monitorAddress = (monitorAddress + static_cast<uint32_t>(w / 2)) & 0xFFFF;
    return;
  }
  // The values follow the token that holds the address.
  const char* addressText = monitorTokens[0] + 1;
  int firstValue = 1;
  if (*addressText == '\0') {
    if (tokenCount < 2) return; // no address: nothing happens
    addressText = monitorTokens[1];
    firstValue = 2;
  }
  uint32_t address;
  if (!parse_number(addressText, &address)) return print_unknown_syntax();
  // Every value must parse before anything is written.
  uint8_t values[MONITOR_MAX_TOKENS];
  int count = 0;
  for (int i = firstValue; i < tokenCount; ++i) {
    if (!parse_byte(monitorTokens[i], &values[count++])) return print_unknown_syntax();
  }
  monitorAddress = address & 0xFFFF;
  for (int i = 0; i < count; ++i) {
    write_byte(monitorAddress, values[i]);
    monitorAddress = (monitorAddress + 1) & 0xFFFF;
  }
}

void command_help() {
  debuggerHooks.consoleSetAttribute(CONSOLE_ATTRIBUTE_BRIGHT);
  console_print("Interactive monitor commands:\n");
  console_print("? - this help\n");
  console_print(":<address> [<value>] [<value>] ... - modify memory at <address>\n");
  console_print("d [<from>] [<to>] - disassemble <from> address till <to>.\n");
  console_print("f <from> <to> <value> - fill memory <from> till <to> with <value>.\n");
  console_print("g <address> - set IP to <address>.\n");
  console_print("m <from> <to> <value> - dump memory <from> till <to>.\n");
  console_print("s <name> <from> <to> - save memory <from> till <to> into file <name>.\n");
  console_print(
      "t <from> <till> <to> - transfer memory <from> address <till> address <to> address.\n");
  console_print("u <frames> - go back <frames> frames (32 is a second) in the history.\n");
  console_print("z - step CPU\n");
  console_print("x - exit from monitor\n");
  debuggerHooks.consoleSetAttribute(CONSOLE_ATTRIBUTE_NORMAL);
}

void command_disassemble(int tokenCount) {
  uint32_t from = 0, to = 0;
  if (tokenCount >= 2 && !parse_number(monitorTokens[1], &from)) return print_unknown_syntax();
  if (tokenCount >= 3 && !parse_number(monitorTokens[2], &to)) return print_unknown_syntax();
  if (tokenCount >= 2) monitorAddress = from & 0xFFFF;
  char line[DISASSEMBLY_LINE_SIZE];
  if (tokenCount >= 3) {
    to &= 0xFFFF;
    while (to > monitorAddress) {
      uint16_t next = disassemble(static_cast<uint16_t>(monitorAddress), line);
      print_line(line);
      const bool wrapped = next <= monitorAddress;
      monitorAddress = next;
      if (wrapped) break;
    }
  } else {
    for (int i = 0; i < 12; ++i) {
      monitorAddress = disassemble(static_cast<uint16_t>(monitorAddress), line);
      print_line(line);
    }
  }
}

void command_fill(int tokenCount) {
  if (tokenCount < 4) return;
  uint16_t from, to, value;
  if (!parse_word(monitorTokens[1], &from) || !parse_word(monitorTokens[2], &to) ||
      !parse_word(monitorTokens[3], &value))
    return print_unknown_syntax();
  for (uint32_t a = from; a <= to; ++a) write_byte(a, static_cast<uint8_t>(value));
}

void command_go(int tokenCount) {
  if (tokenCount < 2) return;
  uint16_t address;
  if (!parse_word(monitorTokens[1], &address)) return print_unknown_syntax();
  cpu.pc = address;
}

void command_dump(int tokenCount) {
  uint32_t from = 0, to = 0;
  if (tokenCount >= 2 && !parse_number(monitorTokens[1], &from)) return print_unknown_syntax();
  if (tokenCount >= 3 && !parse_number(monitorTokens[2], &to)) return print_unknown_syntax();
  if (tokenCount >= 2) monitorAddress = from & 0xFFFF;
  const int w = console_dump_width();
  const uint32_t n = static_cast<uint32_t>(w / 2);
  uint32_t lines = 8;
  if (tokenCount >= 3) {
    // As many lines as it takes for the last one to hold "to".
    to &= 0xFFFF;
    lines = to >= monitorAddress ? (to - monitorAddress) / n + 1 : 1;
  }
  char line[MEMORY_DUMP_LINE_SIZE];
  for (uint32_t i = 0; i < lines; ++i) {
    memory_dump_line(line, monitorAddress, w);
    print_line(line);
    monitorAddress = (monitorAddress + n) & 0xFFFF;
  }
}

void command_save(int tokenCount) {
  if (tokenCount < 4) return;
  const char* name = monitorTokens[1];
  uint16_t from, to;
  if (!parse_word(monitorTokens[2], &from) || !parse_word(monitorTokens[3], &to))
    return print_unknown_syntax();
  SaveFile save;
  FILE* f = save_file_open(&save, name);
  if (!f) return console_print("Error writing to file %s.\n", name);
  bool ok = true;
  for (uint32_t a = from; a <= to && ok; ++a) ok = fputc(read_byte(a), f) != EOF;
  ok = save_file_commit(&save, ok);
  // A short write (a full disk) is reported, not passed off as saved.
  if (!ok) return console_print("Error writing to file %s.\n", name);
  console_print("Memory saved %04X-%04X to file %s.\n", from, to, name);
}

void command_transfer(int tokenCount) {
  if (tokenCount < 4) return;
  uint16_t from, till, to;
  if (!parse_word(monitorTokens[1], &from) || !parse_word(monitorTokens[2], &till) ||
      !parse_word(monitorTokens[3], &to))
    return print_unknown_syntax();
  if (till < from) return;
  const uint32_t count = static_cast<uint32_t>(till - from) + 1;
  // A move of possibly overlapping blocks: downwards when the target lies
  // above the source, so no byte is overwritten before it is copied.
  if (to > from) {
    for (uint32_t i = count; i-- > 0;) write_byte(to + i, read_byte(from + i));
  } else {
    for (uint32_t i = 0; i < count; ++i) write_byte(to + i, read_byte(from + i));
  }
}

void command_step() {
  char line[DISASSEMBLY_LINE_SIZE];
  monitorAddress = disassemble(cpu.pc, line);
  print_line(line);
  cpu_run(0);
  print_register_lines();
}

void command_back(int tokenCount) {
  uint32_t frames;
  if (tokenCount < 2 || !parse_number(monitorTokens[1], &frames) || frames == 0)
    return print_unknown_syntax();
  char reason[200] = "";
  if (debuggerHooks.goBack(frames, reason, sizeof reason))
    print_register_lines();
  else
    console_print("%s\n", reason);
}
