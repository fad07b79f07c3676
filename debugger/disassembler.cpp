// One-instruction disassembly, the register dump and the listing file.
#include "debugger/disassembler.h"

#include <cinttypes>
#include <cstdio>

#include "cpu/cpu.h"
#include "media/save_file.h"

namespace {

const char hexUpper[] = "0123456789ABCDEF";
const char hexLower[] = "0123456789abcdef";

// Memory as the machine sees it, without the breakpoint routines.
inline uint8_t peek(ReadHandler read, uint32_t address) {
  return read(static_cast<uint16_t>(address));
}

// A bounded writer into a line buffer; text beyond the room is dropped.
struct LineWriter {
  char* out;
  size_t room; // characters that still fit before the terminator
  void put(char c) {
    if (room == 0) return;
    *out++ = c;
    --room;
  }
  void hex(const char* digits, uint32_t value, int count) {
    for (int shift = 4 * (count - 1); shift >= 0; shift -= 4) put(digits[(value >> shift) & 0xF]);
  }
};

// The table texts use two conversions only: "%02x" for a byte and "%04x"
// for a relative jump target; they take the operands in order.
void format_text(LineWriter& w, const char* text, const uint32_t* operands, int operandCount) {
  int next = 0;
  for (const char* p = text; *p; ++p) {
    if (p[0] == '%' && p[1] == '0' && (p[2] == '2' || p[2] == '4') && p[3] == 'x') {
      uint32_t value = next < operandCount ? operands[next] : 0;
      ++next;
      w.hex(hexLower, value, p[2] - '0');
      p += 3;
    } else {
      w.put(*p);
    }
  }
}

// The signed low byte of an operand kind: what the operands add to the
// instruction's length.
inline int length_delta(int32_t kind) { return static_cast<int8_t>(kind & 0xFF); }

} // namespace

uint16_t disassemble(uint16_t address, char* out) {
  const ReadHandler read = cpu_default_read();
  const uint32_t a = address;

  // Look the opcode up, following at most two prefixes; p is the address
  // after the bytes used for the lookup.
  const OpcodeEntry* entry = &mainOpcodes[peek(read, a)];
  uint32_t p = a + 1;
  if (!entry->text) {
    entry = &opcodeTables[entry->operandKind][peek(read, a + 1)];
    p = a + 2;
    if (!entry->text) {
      entry = &opcodeTables[entry->operandKind][peek(read, a + 3)];
      p = a + 4;
    }
  }

  const int32_t kind = entry->operandKind;
  const int delta = length_delta(kind);
  uint32_t operands[2] = {0, 0};
  int operandCount = 0;
  switch (kind) {
  case OPERAND_BYTE: operands[operandCount++] = peek(read, p); break;
  case OPERAND_WORD:
    operands[operandCount++] = peek(read, p + 1);
    operands[operandCount++] = peek(read, p);
    break;
  case OPERAND_INDEX_CB: operands[operandCount++] = peek(read, a + 2); break;
  case OPERAND_RELATIVE:
    operands[operandCount++] = (p + 1 + static_cast<int8_t>(peek(read, p))) & 0xFFFF;
    break;
  case OPERAND_INDEX_BYTE:
    operands[operandCount++] = peek(read, p);
    operands[operandCount++] = peek(read, p + 1);
    break;
  default: break;
  }

  LineWriter w{out, DISASSEMBLY_LINE_SIZE - 1};
  w.put(' ');
  w.hex(hexUpper, a, 4);
  w.put(' ');
  const int count = static_cast<int>(p - a) + delta;
  for (int i = 0; i < count; ++i) {
    w.hex(hexUpper, peek(read, a + static_cast<uint32_t>(i)), 2);
    w.put(' ');
  }
  // Instructions of one to four bytes start their mnemonic in one column.
  for (int i = count; i < 4; ++i) {
    w.put(' ');
    w.put(' ');
    w.put(' ');
  }
  format_text(w, entry->text, operands, operandCount);
  *w.out = '\0';
  return static_cast<uint16_t>(p + static_cast<uint32_t>(delta));
}

uint32_t flags_as_digits(uint8_t f) {
  uint32_t digits = 0;
  for (int bit = 7; bit >= 0; --bit) digits = digits * 10 + ((f >> bit) & 1);
  return digits;
}

void register_dump_line(char* out, int line) {
  switch (line) {
  case 0:
    snprintf(out, REGISTER_LINE_SIZE, "IP:%04X,AF:%04X,BC:%04X,DE:%04X,HL:%04X,R:%02X|SZ-H-PNC",
             cpu.pc, cpu.af.w, cpu.bc.w, cpu.de.w, cpu.hl.w, cpu.r);
    break;
  case 1:
    // With a four-digit SP the "|" stands in the column of line 0's "|", so
    // the flag letters stand above the bits of F.
    snprintf(out, REGISTER_LINE_SIZE,
             "IX:%04X,IY:%04X,SP:%02X,I:%02X,INT:%1u,NMI:%1u, FL|%08" PRIu32, cpu.ix.w, cpu.iy.w,
             cpu.sp, cpu.i, cpu.intLine ? 1u : 0u, cpu.nmiLine ? 1u : 0u,
             flags_as_digits(cpu.af.l));
    break;
  case 2:
    snprintf(out, REGISTER_LINE_SIZE, "TCOUNT:%024llu",
             static_cast<unsigned long long>(static_cast<uint64_t>(cpu.tcount)));
    break;
  default: out[0] = '\0'; break;
  }
}

bool dump_disassembly(const char* fileName) {
  SaveFile save;
  FILE* f = save_file_open(&save, fileName, true);
  if (!f) return false;
  static char buffer[1 << 16];
  setvbuf(f, buffer, _IOFBF, sizeof buffer);
  char line[DISASSEMBLY_LINE_SIZE];
  bool ok = true;
  uint32_t a = 0;
  for (;;) {
    uint16_t next = disassemble(static_cast<uint16_t>(a), line);
    if (fprintf(f, ". %04Xh    %s\n", a, line) < 0) ok = false;
    if (!ok || next <= a) break;
    a = next;
  }
  return save_file_commit(&save, ok);
}
