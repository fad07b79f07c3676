// Port routines, the parallel interface's control words and the printer.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "machine/ports.h"
#include "machine/printer.h"
#include "machine/rom.h"
#include "machine_fixture.h"

namespace {

class Ports : public MachineTest {};

TEST_F(Ports, InputValues) {
  bring_up(MODEL_TARVIK41);
  EXPECT_EQ(port_in(0x00), 0x00);
  EXPECT_EQ(port_in(0xBF), 0x00); // bit 6 clear
  EXPECT_EQ(port_in(0x40), 0xFF);
  EXPECT_EQ(port_in(0xF8), 0xFF); // no speech chip on the Tarvik 4.1
  EXPECT_EQ(port_in(0xF9), 0xFF);
}

TEST_F(Ports, SpeechChipAnswersOnTheDorvane) {
  bring_up(MODEL_DORVANE);
  EXPECT_EQ(port_in(0xF8), 0x80); // ready for data
}

TEST_F(Ports, ParallelInterfaceControlWords) {
  bring_up(MODEL_TARVIK41);
  port_out(0x01, 0xCF); // channel A: mode 3, a direction mask follows
  EXPECT_EQ(pioChannels[0].mode, 3);
  EXPECT_EQ(pioChannels[0].expectDirection, 1);
  port_out(0x01, 0x3C);
  EXPECT_EQ(pioChannels[0].mask, 0x3C);
  EXPECT_EQ(pioChannels[0].expectDirection, 0);
  port_out(0x03, 0x97); // channel B: interrupt control, a mask follows
  EXPECT_EQ(pioChannels[1].interruptControl, 0x90);
  EXPECT_EQ(pioChannels[1].expectMask, 1);
  port_out(0x03, 0xF0);
  EXPECT_EQ(pioChannels[1].mask, 0xF0);
  EXPECT_EQ(pioChannels[1].expectMask, 0);
  port_out(0x01, 0x4F); // mode 1: no mask follows
  EXPECT_EQ(pioChannels[0].mode, 1);
  EXPECT_EQ(pioChannels[0].expectDirection, 0);
  // Every byte to a port with bit 6 clear is copied into cells 0-3.
  EXPECT_EQ(memory[1], 0x4F);
  EXPECT_EQ(memory[3], 0xF0);
  port_out(0x42, 0x11); // bit 6 set: not copied
  EXPECT_EQ(memory[2], rom_for_model(MODEL_TARVIK41)[2]);
}

class Printer : public MachineTest {
protected:
  void SetUp() override {
    saved = std::filesystem::current_path();
    // Test cases may run in parallel processes: each gets its own folder.
    dir = std::filesystem::path(::testing::TempDir()) /
          ("tarvik_printer_" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
           std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
  }
  void TearDown() override {
    printer_close();
    std::filesystem::current_path(saved);
    std::filesystem::remove_all(dir);
    MachineTest::TearDown();
  }
  std::string printed() {
    printer_close();
    std::ifstream in(dir / "printer.txt", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::filesystem::path saved, dir;
};

TEST_F(Printer, LinesAndTheIgnoredCode) {
  bring_up(MODEL_TARVIK41);
  port_out(0x03, 0x80); // the naming command
  port_out(0x00, 'A');
  port_out(0x00, 13);
  port_out(0x00, 0x8D);
  port_out(0x00, 'B');
  EXPECT_EQ(printed(), "\nA\nB");
}

TEST_F(Printer, PrintsWithoutANamingCommandAndAppends) {
  bring_up(MODEL_TARVIK41);
  ASSERT_EQ(printerPath[0], 0);
  port_out(0x00, 'X');
  printer_close();
  port_out(0x00, 'Y');
  EXPECT_EQ(printed(), "\nX\nY");
}

TEST_F(Printer, NationalCharactersBecomeCodePage1250) {
  bring_up(MODEL_TARVIK41);
  const uint8_t codes[] = {64, 91, 92, 93, 95, 123, 124, 125, 126, 127, 0, 96, 1, 200};
  for (uint8_t c : codes) port_out(0x00, c);
  EXPECT_EQ(printed(), std::string("\n\xC1\xC9\xD6\xDC\xD3\xE9\xF6\xFC\xF3\xE1\xA0\xA0\x81\xC8"));
}

TEST_F(Printer, UnopenableFileLosesTheByteOnly) {
  bring_up(MODEL_TARVIK41);
  std::filesystem::create_directory(dir / "printer.txt"); // a folder in the way
  port_out(0x00, 'A');
  EXPECT_EQ(printerFile, nullptr);
  std::filesystem::remove(dir / "printer.txt");
  port_out(0x00, 'B');
  EXPECT_EQ(printed(), "\nB");
}

} // namespace
