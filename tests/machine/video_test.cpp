// The Tarvik renderer and the Veltra-16 picture fetch.
#include <cstring>

#include "machine/rom.h"
#include "machine/video.h"
#include "machine_fixture.h"

namespace {

class Video : public MachineTest {};

TEST_F(Video, SixtyFourColumnGlyph) {
  bring_up(MODEL_TARVIK41);
  memory[0xF800] = 0x41;
  memory[0xF800 + 64 * 2 + 3] = 0x42; // row 2, column 3
  video_render();
  const uint8_t* set = rom_image(ROM_TARVIK_CHR);
  bool anyPixel = false;
  for (int r = 0; r < 8; ++r) {
    EXPECT_EQ(frameBuffer[r * 64], set[r * 256 + 0x41]) << r;
    EXPECT_EQ(frameBuffer[(16 + r) * 64 + 3], set[r * 256 + 0x42]) << r;
    anyPixel |= set[r * 256 + 0x41] != 0;
  }
  EXPECT_TRUE(anyPixel); // the built-in set draws "A"
}

TEST_F(Video, ThirtyTwoColumnsDoubleEachPixelFromTheOddCells) {
  bring_up(MODEL_TARVIK41);
  machineState.screenMode32 = 1;
  std::memset(userCharset, 0, sizeof userCharset);
  userCharset[0 * 256 + 0x07] = 0xA5;
  userCharset[0 * 256 + 0x08] = 0x0F;
  video_select_charset(true);
  tarvik_write(0xF800, 0x07); // lands on 0xF801: column 0
  tarvik_write(0xF802, 0x08); // 0xF803: column 1
  video_render();
  EXPECT_EQ(frameBuffer[0], 0xCC);
  EXPECT_EQ(frameBuffer[1], 0x33);
  EXPECT_EQ(frameBuffer[2], 0x00);
  EXPECT_EQ(frameBuffer[3], 0xFF);
}

TEST_F(Video, CharacterSetSwitchByPort81) {
  bring_up(MODEL_TARVIK41);
  userCharset[0x41] = static_cast<uint8_t>(~userCharset[0x41]);
  memory[0xF800] = 0x41;
  // OUT (81h),A with A = 1, then with A = 0.
  const uint8_t program[] = {0x3E, 0x01, 0xD3, 0x81, 0x3E, 0x00, 0xD3, 0x81};
  load_program(program, sizeof program, 0x4000);
  cpu_run(0);
  cpu_run(0);
  video_render();
  EXPECT_EQ(frameBuffer[0], userCharset[0x41]);
  EXPECT_EQ(memory[1], 0x01); // also a channel-A control byte, copied to 0x0001
  cpu_run(0);
  cpu_run(0);
  video_render();
  EXPECT_EQ(frameBuffer[0], rom_image(ROM_TARVIK_CHR)[0x41]);
}

// The fetch as the core makes it: PC already one past the address.
uint8_t opcode_fetch(uint16_t address, uint8_t r) {
  cpu.pc = static_cast<uint16_t>(address + 1);
  cpu.r = r;
  return veltra_read(address);
}

TEST_F(Video, VeltraTextFetchDrawsOneCell) {
  bring_up(MODEL_VELTRA16);
  machineState.veltraVideoOn = 1;
  machineState.scanLine = 5;
  memory[0xE000 + 0x0403] = 0x77;
  memory[0xC003] = 0x21; // code of the cell
  // 0xE403: glyph row 1, cell 3, drawn at column (3 - 1) mod 40 = 2.
  EXPECT_EQ(opcode_fetch(0xE403, 10), 0x3F);
  const uint8_t glyph = rom_image(ROM_VELTRA_CHR)[1 * 256 + 0x21];
  EXPECT_NE(glyph, 0);
  EXPECT_EQ(frameBuffer[kVeltraPictureOffset + 64 * 5 + 2], glyph);
  EXPECT_EQ(machineState.scanLine, 5u);
  // The same address read as data gives RAM.
  cpu.pc = 0x4000;
  EXPECT_EQ(veltra_read(0xE403), 0x77);
}

TEST_F(Video, VeltraFetchWithRTwoEndsTheLine) {
  bring_up(MODEL_VELTRA16);
  machineState.veltraVideoOn = 1;
  machineState.scanLine = 311;
  EXPECT_EQ(opcode_fetch(0xE000, 2), 0xFF);
  EXPECT_EQ(machineState.scanLine, 0u);
  machineState.veltraBitmapMode = 1;
  EXPECT_EQ(opcode_fetch(0xE000, 2), 0xF7);
  EXPECT_EQ(machineState.scanLine, 1u);
  EXPECT_EQ(opcode_fetch(0xE000, 0x82), 0x3F); // bit 7 counts
}

TEST_F(Video, VeltraBitmapFetchColumnFromR) {
  bring_up(MODEL_VELTRA16);
  machineState.veltraVideoOn = 1;
  machineState.veltraBitmapMode = 1;
  machineState.scanLine = 3;
  memory[0x6000 | 0x0123] = 0x5A;
  memory[0x6000 | 0x0124] = 0xA5;
  opcode_fetch(0xE123, 40);
  EXPECT_EQ(frameBuffer[kVeltraBitmapOffset + 64 * 3 + 40], 0x5A);
  opcode_fetch(0xE124, 16); // R <= 16: column R + 128
  EXPECT_EQ(frameBuffer[kVeltraBitmapOffset + 64 * 3 + 144], 0xA5);
}

TEST_F(Video, VeltraFetchBelowThePictureDrawsNothing) {
  bring_up(MODEL_VELTRA16);
  machineState.veltraVideoOn = 1;
  machineState.scanLine = 240;
  std::memset(frameBuffer, 0xEE, kFrameBufferSize);
  memory[0xC001] = 0x21;
  opcode_fetch(0xE001, 10);
  for (uint32_t i = 0; i < kFrameBufferSize; ++i) ASSERT_EQ(frameBuffer[i], 0xEE) << i;
}

} // namespace
