// The disassembler against the golden listing of every opcode form, its
// documented examples and wrap-around, the register lines and the listing
// file.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cpu/cpu.h"
#include "debugger/disassembler.h"
#include "tests/debugger/debug_machine.h"

namespace {

struct Disassembly {
  std::string line;
  uint16_t next;
};

Disassembly dis(uint16_t address) {
  char line[DISASSEMBLY_LINE_SIZE];
  uint16_t next = disassemble(address, line);
  return {line, next};
}

std::string reg_line(int n) {
  char line[REGISTER_LINE_SIZE];
  register_dump_line(line, n);
  return line;
}

std::string unescape_tabs(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 't') {
      out += '\t';
      ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

class Disassembler : public ::testing::Test {
protected:
  void SetUp() override { debug_machine_reset(); }
};

TEST_F(Disassembler, EveryOpcodeFormMatchesTheGoldenListing) {
  std::ifstream golden("tests/debugger/disassembly_golden.txt");
  ASSERT_TRUE(golden) << "run from the repository root";
  std::map<std::string, int> formsPerTable;
  std::string text;
  int lines = 0;
  while (std::getline(golden, text)) {
    if (text.empty() || text[0] == '#') continue;
    std::istringstream fields(text);
    std::string bytes, next, expected;
    std::getline(fields, bytes, '|');
    std::getline(fields, next, '|');
    std::getline(fields, expected);
    std::istringstream hex(bytes);
    std::vector<uint8_t> code;
    unsigned b;
    while (hex >> std::hex >> b) code.push_back(static_cast<uint8_t>(b));
    ASSERT_GE(code.size(), 3u) << text;
    for (int i = 0; i < 8; ++i) testMemory[0x4000 + i] = 0;
    for (size_t i = 0; i < code.size(); ++i) testMemory[0x4000 + i] = code[i];

    Disassembly d = dis(0x4000);
    EXPECT_EQ(d.line, unescape_tabs(expected)) << "bytes " << bytes;
    EXPECT_EQ(d.next, std::stoul(next, nullptr, 16)) << "bytes " << bytes;
    // Which table the form belongs to, by its prefix bytes.
    std::string table = "main";
    if (code[0] == 0xCB) table = "CB";
    if (code[0] == 0xED) table = "ED";
    if (code[0] == 0xDD || code[0] == 0xFD) table = code[1] == 0xCB ? "xxCB" : "xx";
    if (table.rfind("xx", 0) == 0) table.replace(0, 2, code[0] == 0xDD ? "DD" : "FD");
    ++formsPerTable[table];
    ++lines;
  }
  // Each table complete, prefix entries aside.
  EXPECT_EQ(formsPerTable["main"], 252);
  EXPECT_EQ(formsPerTable["CB"], 256);
  EXPECT_EQ(formsPerTable["ED"], 256);
  EXPECT_EQ(formsPerTable["DD"], 255);
  EXPECT_EQ(formsPerTable["FD"], 255);
  EXPECT_EQ(formsPerTable["DDCB"], 256);
  EXPECT_EQ(formsPerTable["FDCB"], 256);
  EXPECT_EQ(lines, 1786);
}

TEST_F(Disassembler, PrefixEntriesLeadToTheirTables) {
  EXPECT_EQ(mainOpcodes[0xCB].text, nullptr);
  EXPECT_EQ(mainOpcodes[0xCB].operandKind, TABLE_CB);
  EXPECT_EQ(mainOpcodes[0xDD].operandKind, TABLE_DD);
  EXPECT_EQ(mainOpcodes[0xED].operandKind, TABLE_ED);
  EXPECT_EQ(mainOpcodes[0xFD].operandKind, TABLE_FD);
  EXPECT_EQ(ddOpcodes[0xCB].text, nullptr);
  EXPECT_EQ(ddOpcodes[0xCB].operandKind, TABLE_DDCB);
  EXPECT_EQ(fdOpcodes[0xCB].operandKind, TABLE_FDCB);
  EXPECT_EQ(opcodeTables[TABLE_FDCB], fdcbOpcodes);
  // No other entry is a prefix.
  int prefixes = 0;
  for (const OpcodeEntry* table : opcodeTables)
    for (int o = 0; o < 256; ++o) prefixes += table[o].text == nullptr;
  EXPECT_EQ(prefixes, 6);
}

TEST_F(Disassembler, DocumentedExamples) {
  poke(0x0000, {0xF3});
  Disassembly d = dis(0x0000);
  EXPECT_EQ(d.line, " 0000 F3          di");
  EXPECT_EQ(d.next, 0x0001);

  poke(0x0010, {0x18, 0xFE});
  d = dis(0x0010);
  EXPECT_EQ(d.line, " 0010 18 FE       jr 0010h");
  EXPECT_EQ(d.next, 0x0012);
}

TEST_F(Disassembler, UndefinedIndexOpcodeIsThePrefixByteAlone) {
  poke(0x2000, {0xDD, 0x00, 0x3E, 0x07});
  Disassembly d = dis(0x2000);
  EXPECT_EQ(d.line, " 2000 DD          undefined");
  EXPECT_EQ(d.next, 0x2001);
  d = dis(d.next);
  EXPECT_EQ(d.line, " 2001 00          nop");
  // A prefix in front of a prefix is the same case.
  poke(0x2100, {0xFD, 0xDD, 0x21, 0x34, 0x12});
  EXPECT_EQ(dis(0x2100).line, " 2100 FD          undefined");
  EXPECT_EQ(dis(0x2101).line, " 2101 DD 21 34 12 ld ix,1234h");
}

TEST_F(Disassembler, ExtendedTrapsAndUndefinedAreTwoBytes) {
  poke(0x3000, {0xED, 0x00, 0xED, 0x07, 0xED, 0x0C});
  Disassembly d = dis(0x3000);
  EXPECT_EQ(d.line, " 3000 ED 00       emulator trap");
  EXPECT_EQ(d.next, 0x3002);
  d = dis(0x3002);
  EXPECT_EQ(d.line, " 3002 ED 07       undefined");
  EXPECT_EQ(d.next, 0x3004);
  EXPECT_EQ(dis(0x3004).line, " 3004 ED 0C       undefined");
}

TEST_F(Disassembler, IndexedBitOperationsAndImmediateStore) {
  poke(0x1000, {0xDD, 0xCB, 0x05, 0x46});
  Disassembly d = dis(0x1000);
  EXPECT_EQ(d.line, " 1000 DD CB 05 46 bit 0,(ix+05h)");
  EXPECT_EQ(d.next, 0x1004);
  poke(0x1000, {0xDD, 0xCB, 0x05, 0x40});
  EXPECT_EQ(dis(0x1000).line, " 1000 DD CB 05 40 bit 0,(ix+05h)  ;undoc equiv");
  poke(0x1000, {0xFD, 0xCB, 0xFF, 0xFE});
  EXPECT_EQ(dis(0x1000).line, " 1000 FD CB FF FE set 7,(iy+ffh)");

  poke(0x1100, {0xDD, 0x36, 0xFF, 0x12});
  d = dis(0x1100);
  EXPECT_EQ(d.line, " 1100 DD 36 FF 12 ld (ix+ffh),12h");
  EXPECT_EQ(d.next, 0x1104);
}

TEST_F(Disassembler, RelativeTargetsWrapAtSixteenBits) {
  poke(0x0000, {0x18, 0x80});
  EXPECT_EQ(dis(0x0000).line, " 0000 18 80       jr ff82h");
  poke(0xFFF0, {0x10, 0x7F});
  EXPECT_EQ(dis(0xFFF0).line, " FFF0 10 7F       djnz 0071h");
  poke(0x8000, {0x38, 0x00});
  EXPECT_EQ(dis(0x8000).line, " 8000 38 00       jr c,8002h");
}

TEST_F(Disassembler, OperandsWrapPastTheTopOfMemory) {
  testMemory[0xFFFF] = 0x01;
  poke(0x0000, {0x34, 0x12});
  Disassembly d = dis(0xFFFF);
  EXPECT_EQ(d.line, " FFFF 01 34 12    ld bc,1234h");
  EXPECT_EQ(d.next, 0x0002);

  poke(0xFFFE, {0xDD, 0xCB});
  poke(0x0000, {0x7F, 0x86});
  d = dis(0xFFFE);
  EXPECT_EQ(d.line, " FFFE DD CB 7F 86 res 0,(ix+7fh)");
  EXPECT_EQ(d.next, 0x0002);
}

TEST_F(Disassembler, ReadsMemoryWithoutFiringBreakpoints) {
  poke(0x4000, {0x3A, 0x00, 0x50});
  watchFlags[0x4000] = WATCH_READ | WATCH_EXEC;
  set_read_watch(0x4000, watchFlags[0x4000]);
  readHandlers[0x4001] = [](uint16_t) -> uint8_t { return 0xEE; }; // never used
  EXPECT_EQ(dis(0x4000).line, " 4000 3A 00 50    ld a,(5000h)");
  EXPECT_EQ(breakRequest, 0u);
}

TEST_F(Disassembler, RegisterLinesForAFixedState) {
  cpu.pc = 0x1234;
  cpu.af.w = 0xA545;
  cpu.bc.w = 0x0102;
  cpu.de.w = 0xBEEF;
  cpu.hl.w = 0x00FF;
  cpu.r = 0x7A;
  cpu.ix.w = 0xDEAD;
  cpu.iy.w = 0x4000;
  cpu.sp = 0xF000;
  cpu.i = 0x3C;
  cpu.intLine = 1;
  cpu.nmiLine = 0;
  cpu.tcount = 123456789;
  EXPECT_EQ(reg_line(0), "IP:1234,AF:A545,BC:0102,DE:BEEF,HL:00FF,R:7A|SZ-H-PNC");
  EXPECT_EQ(reg_line(1), "IX:DEAD,IY:4000,SP:F000,I:3C,INT:1,NMI:0, FL|01000101");
  EXPECT_EQ(reg_line(2), "TCOUNT:000000000000000123456789");
  // The flag letters stand above the bits of F.
  EXPECT_EQ(reg_line(0).find('|'), reg_line(1).find('|'));
  EXPECT_EQ(reg_line(3), "");
}

TEST_F(Disassembler, RegisterLinesAtTheLimits) {
  cpu.af.w = 0x0000;
  cpu.sp = 0x0012;
  cpu.nmiLine = 1;
  cpu.intLine = 0x80000000; // asserted: shown as 1
  cpu.tcount = -1;          // the value before the first event list start
  EXPECT_EQ(reg_line(1), "IX:0000,IY:0000,SP:12,I:00,INT:1,NMI:1, FL|00000000");
  cpu.af.w = 0x00FF;
  EXPECT_EQ(reg_line(1).substr(reg_line(1).find('|')), "|11111111");
  EXPECT_EQ(reg_line(2), "TCOUNT:000018446744073709551615");
}

TEST_F(Disassembler, FlagsAsDigits) {
  EXPECT_EQ(flags_as_digits(0x45), 1000101u);
  EXPECT_EQ(flags_as_digits(0x00), 0u);
  EXPECT_EQ(flags_as_digits(0xFF), 11111111u);
  EXPECT_EQ(flags_as_digits(0x80), 10000000u);
  EXPECT_EQ(flags_as_digits(0x01), 1u);
}

std::vector<std::string> read_lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

TEST_F(Disassembler, ListingFileCoversTheAddressSpace) {
  const std::string path = ::testing::TempDir() + "tarvik_disass.txt";
  poke(0x0000, {0xF3, 0xDD, 0x21, 0x34, 0x12});
  ASSERT_TRUE(dump_disassembly(path.c_str()));
  std::vector<std::string> lines = read_lines(path);
  ASSERT_EQ(lines.size(), 2u + (65536u - 5)); // di, ld ix,1234h, then a nop per address
  EXPECT_EQ(lines[0], ". 0000h     0000 F3          di");
  EXPECT_EQ(lines[1], ". 0001h     0001 DD 21 34 12 ld ix,1234h");
  EXPECT_EQ(lines[2], ". 0005h     0005 00          nop");
  EXPECT_EQ(lines.back(), ". FFFFh     FFFF 00          nop");
  std::remove(path.c_str());
}

TEST_F(Disassembler, ListingStopsWhereTheAddressWraps) {
  const std::string path = ::testing::TempDir() + "wrap_disass.txt";
  testMemory[0xFFFF] = 0xC3; // jp nn with its operand at 0000h and 0001h
  poke(0x0000, {0x00, 0x80});
  ASSERT_TRUE(dump_disassembly(path.c_str()));
  std::vector<std::string> lines = read_lines(path);
  EXPECT_EQ(lines.back(), ". FFFFh     FFFF C3 00 80    jp 8000h");
  EXPECT_EQ(lines.size(), 65536u);
  std::remove(path.c_str());
}

TEST_F(Disassembler, ListingIntoAFolderThatDoesNotExistFails) {
  const std::string path = ::testing::TempDir() + "no-such-folder/tarvik_disass.txt";
  EXPECT_FALSE(dump_disassembly(path.c_str()));
  EXPECT_FALSE(std::ifstream(path).good());
}

} // namespace
