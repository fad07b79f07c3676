// Shared between the parts of the console monitor: the line being handled,
// its tokens, number parsing and the commands.
#pragma once

#include <cstdint>

// One input line of at most 256 characters, and its tokens (split at
// blanks, commas, CR and LF); monitorTokens[0] is the command.
inline constexpr int MONITOR_LINE_CHARS = 256;
inline constexpr int MONITOR_MAX_TOKENS = MONITOR_LINE_CHARS / 2 + 1;
extern char monitorLine[MONITOR_LINE_CHARS + 1];
extern const char* monitorTokens[MONITOR_MAX_TOKENS];
extern int monitorTokenCount;

// Splits monitorLine into monitorTokens.
void monitor_split_tokens();

// Hexadecimal number tokens, with an optional "0x": a whole token of at
// most maxDigits significant digits (leading zeros aside), or at most
// maxDigits digits in all when exact is set. False when it does not parse.
bool parse_hex(const char* token, int maxDigits, bool exact, uint32_t* value);
// The conversions of the commands: 32-bit ("%x"), 16-bit ("%hx"), 8-bit
// ("%hhx") and the breakpoint address of at most four digits.
bool parse_number(const char* token, uint32_t* value);
bool parse_word(const char* token, uint16_t* value);
bool parse_byte(const char* token, uint8_t* value);
bool parse_breakpoint_address(const char* token, uint16_t* value);

void print_unknown_syntax();
// The three register lines in the bright attribute.
void print_register_lines();
// Bytes per console dump line, from the console's width.
int console_dump_width();

void command_memory(int tokenCount);      // :
void command_help();                      // ?
void command_disassemble(int tokenCount); // d
void command_fill(int tokenCount);        // f
void command_go(int tokenCount);          // g
void command_dump(int tokenCount);        // m
void command_save(int tokenCount);        // s
void command_transfer(int tokenCount);    // t
void command_step();                      // z
void command_back(int tokenCount);        // u
