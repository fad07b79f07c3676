// The Z80 disassembler, the three register-dump lines and the listing of the
// whole address space. Memory is read with the machine's default read
// routine, not through the CPU's handler tables, so no breakpoint fires.
#pragma once

#include <cstddef>
#include <cstdint>

// One entry of an opcode table. A final entry has a format text whose
// operands are read as operandKind says; a prefix entry has no text and
// operandKind names the table in which the next opcode byte is looked up.
struct OpcodeEntry {
  const char* text;
  int32_t operandKind;
};

// Operand kinds. The signed low byte of a kind is what the operands add to
// the instruction's length (255 gives -1: only the prefix byte counts).
enum : int32_t {
  OPERAND_NONE = 0,
  OPERAND_BYTE = 1,          // byte k
  OPERAND_WORD = 2,          // byte k+1 (high), then byte k (low)
  OPERAND_PREFIX_ONLY = 255, // none; the instruction is the prefix byte alone
  OPERAND_INDEX_CB = 256,    // the displacement of DD CB d op / FD CB d op
  OPERAND_RELATIVE = 257,    // address after k plus the signed byte k
  OPERAND_INDEX_BYTE = 258,  // byte k (displacement), then byte k+1 (immediate)
};

// Table numbers, as stored in prefix entries.
enum : int32_t {
  TABLE_MAIN = 0,
  TABLE_CB = 1,
  TABLE_DD = 2,
  TABLE_ED = 3,
  TABLE_FD = 4,
  TABLE_DDCB = 5,
  TABLE_FDCB = 6,
  TABLE_COUNT = 7,
};

extern const OpcodeEntry mainOpcodes[256];
extern const OpcodeEntry cbOpcodes[256];
extern const OpcodeEntry ddOpcodes[256];
extern const OpcodeEntry edOpcodes[256];
extern const OpcodeEntry fdOpcodes[256];
extern const OpcodeEntry ddcbOpcodes[256];
extern const OpcodeEntry fdcbOpcodes[256];
extern const OpcodeEntry* const opcodeTables[TABLE_COUNT];

// Room for one disassembly line or one register line, with its terminator.
inline constexpr size_t DISASSEMBLY_LINE_SIZE = 64;
inline constexpr size_t REGISTER_LINE_SIZE = 64;

// One line " AAAA BB BB BB BB text" for the instruction at the address,
// without a line end, into a buffer of DISASSEMBLY_LINE_SIZE bytes. Returns
// the address of the next instruction (modulo 0x10000).
uint16_t disassemble(uint16_t address, char* out);

// Line 0, 1 or 2 of the register dump into a buffer of REGISTER_LINE_SIZE
// bytes; any other line number gives an empty line.
void register_dump_line(char* out, int line);

// An integer whose decimal digits are the bits of F, most significant first:
// 0x45 gives 1000101, which "%08i" shows as 01000101.
uint32_t flags_as_digits(uint8_t f);

// Writes ". AAAAh    " and the disassembly line for every instruction from
// 0x0000 up to the last one that starts before the address space wraps.
// Returns false when the file could not be created or written.
bool dump_disassembly(const char* fileName);
