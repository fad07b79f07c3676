// The Tarvik and Veltra-16 memory maps: every region at the RAM sizes that
// change it, paging, video RAM, the 0xE000-0xEFFF order and the controls.
#include "machine/beeper_output.h"
#include "machine/keyboard.h"
#include "machine/ports.h"
#include "machine/rom.h"
#include "machine/sound.h"
#include "machine_fixture.h"

namespace {

class TarvikMap : public MachineTest {};
class VeltraMap : public MachineTest {};

TEST_F(TarvikMap, RomIsReadOnlyAndRamEndsAtTheSize) {
  bring_up(MODEL_TARVIK41, 0); // 4 KB
  const uint8_t rom0 = memory[0x0000];
  tarvik_write(0x0000, static_cast<uint8_t>(~rom0));
  EXPECT_EQ(tarvik_read(0x0000), rom0);
  tarvik_write(0x4FFF, 0x12);
  EXPECT_EQ(tarvik_read(0x4FFF), 0x12);
  // Past the 4 KB: reads float, but the write is kept in the array.
  tarvik_write(0x5000, 0x34);
  EXPECT_EQ(tarvik_read(0x5000), 0xFF);
  EXPECT_EQ(memory[0x5000], 0x34);
  EXPECT_EQ(tarvik_read(0x8000), 0xFF);
  EXPECT_EQ(tarvik_read(0xC000), 0xFF);
  EXPECT_EQ(tarvik_read(0xD000), 0xFF);

  bring_up(MODEL_TARVIK41, 2); // 8 KB
  memory[0x5FFF] = 0x56;
  memory[0x6000] = 0x78;
  EXPECT_EQ(tarvik_read(0x5FFF), 0x56);
  EXPECT_EQ(tarvik_read(0x6000), 0xFF);

  bring_up(MODEL_TARVIK41, 3); // 16 KB
  memory[0x7FFF] = 0x9A;
  EXPECT_EQ(tarvik_read(0x7FFF), 0x9A);
  EXPECT_EQ(tarvik_read(0x8000), 0xFF);
}

TEST_F(TarvikMap, ThirtyTwoKilobytesUseTheHighBankAt8000) {
  bring_up(MODEL_TARVIK41, 4);
  tarvik_write(0x8000, 0x11);
  tarvik_write(0xBFFF, 0x22);
  EXPECT_EQ(memory[0x18000], 0x11);
  EXPECT_EQ(memory[0x1BFFF], 0x22);
  EXPECT_EQ(memory[0x08000], 0x00);
  EXPECT_EQ(tarvik_read(0x8000), 0x11);
  EXPECT_EQ(tarvik_read(0xC000), 0xFF);
  // Writes to 0xC000-0xDFFF are dropped in the power-on paging state.
  tarvik_write(0xC000, 0x33);
  EXPECT_EQ(memory[0xC000], 0x00);
}

TEST_F(TarvikMap, SixtyFourKilobytesPowerOnStateShowsRomTopAndVideo) {
  bring_up(MODEL_TARVIK41, 6);
  EXPECT_EQ(machineState.highBankOffset, 0x10000u);
  EXPECT_EQ(tarvik_read(0xC123), memory[0x3123]);
  EXPECT_EQ(tarvik_read(0xD000), 0xFF); // no extension on the Tarvik 4.1
  tarvik_write(0xF800, 0x41);
  EXPECT_EQ(memory[0xF800], 0x41);
  EXPECT_EQ(tarvik_read(0xF000), 0x41); // 0xF000-0xF7FF mirrors the video RAM
}

TEST_F(TarvikMap, DorvaneShowsItsExtensionAtD000) {
  bring_up(MODEL_DORVANE, 6);
  const uint8_t* extension = rom_image(ROM_DORVANE_EXT);
  EXPECT_EQ(tarvik_read(0xD000), 'D'); // the signature the ROM looks for
  EXPECT_EQ(tarvik_read(0xD001), 'V');
  for (uint16_t i = 0; i < 4096; i += 97)
    EXPECT_EQ(tarvik_read(static_cast<uint16_t>(0xD000 + i)), extension[i]) << i;
}

TEST_F(TarvikMap, PagingByInAndOut) {
  bring_up(MODEL_TARVIK41, 6);
  memory[0x0C000] = 0xC0;
  memory[0x1F800] = 0xF8;
  memory[0x08000] = 0x80;
  memory[0x18000] = 0x81;
  EXPECT_EQ(tarvik_read(0x8000), 0x81);

  port_in(0x00); // bit 7 clear: all RAM
  EXPECT_EQ(machineState.highBankOffset, 0u);
  EXPECT_EQ(tarvik_read(0xC000), 0xC0);
  EXPECT_EQ(tarvik_read(0xF800), 0xF8); // high bank, video out of reach
  EXPECT_EQ(tarvik_read(0x8000), 0x80); // normal bank now
  tarvik_write(0xF801, 0x99);
  EXPECT_EQ(memory[0x1F801], 0x99);
  EXPECT_EQ(memory[0x0F801], 0x00);

  port_in(0x80); // bit 7 set: ROM and video back
  EXPECT_EQ(machineState.highBankOffset, 0x10000u);
  EXPECT_EQ(tarvik_read(0xC000), memory[0x3000]);

  port_out(0x7F, 0);
  EXPECT_EQ(machineState.highBankOffset, 0u);
  port_out(0xFF, 0);
  EXPECT_EQ(machineState.highBankOffset, 0x10000u);
}

TEST_F(TarvikMap, PortsDoNotPageOutsideTheSixtyFourKilobyteSize) {
  bring_up(MODEL_TARVIK41, 4);
  port_in(0x00);
  port_out(0x40, 0);
  EXPECT_EQ(machineState.highBankOffset, 0x10000u);
}

TEST_F(TarvikMap, SmallerSizeAfterAllRamStateKeepsTheKeyboardReachable) {
  bring_up(MODEL_TARVIK41, 6);
  port_in(0x00);
  ASSERT_EQ(machineState.highBankOffset, 0u);
  ASSERT_TRUE(machine_set_ram_size(0));
  EXPECT_EQ(machineState.highBankOffset, 0x10000u);
  EXPECT_EQ(tarvik_read(0xE000), 0xFF); // a keyboard column, nothing held
  memory[0xE000 | 0x0800] = 0x00;
  EXPECT_EQ(tarvik_read(0xE000), 0xFF);
}

// The all-RAM state is a program's doing: a cold restart and a model change
// bring the power-on paging back, Reset and Restart keep it.
TEST_F(TarvikMap, ColdRestartAndModelChangeRestoreThePowerOnPaging) {
  bring_up(MODEL_TARVIK41, 6);
  port_in(0x00);
  machine_reset_button();
  machine_restart();
  EXPECT_EQ(machineState.highBankOffset, 0u);
  machine_cold_restart();
  EXPECT_EQ(machineState.highBankOffset, 0x10000u);
  EXPECT_EQ(tarvik_read(0xC123), memory[0x3123]); // the top of the ROM again

  for (uint32_t next : {MODEL_DORVANE, MODEL_VELTRA16, MODEL_TARVIK31}) {
    port_in(0x00);
    ASSERT_TRUE(machine_select_model(next));
    EXPECT_EQ(machineState.highBankOffset, 0x10000u) << next;
  }
  EXPECT_EQ(tarvik_read(0xE000), 0xFF); // a keyboard column, nothing held
}

TEST_F(TarvikMap, ThirtyTwoColumnModePutsEveryVideoAccessOnOddCells) {
  bring_up(MODEL_TARVIK41, 6);
  machineState.screenMode32 = 1;
  tarvik_write(0xF800, 0x41);
  tarvik_write(0xF802, 0x42);
  EXPECT_EQ(memory[0xF800], 0x00);
  EXPECT_EQ(memory[0xF801], 0x41);
  EXPECT_EQ(memory[0xF803], 0x42);
  EXPECT_EQ(tarvik_read(0xF800), 0x41);
  EXPECT_EQ(tarvik_read(0xF803), 0x42);
}

TEST_F(TarvikMap, E000RegionTogglesTheOutputOnEveryReadWhateverItReturns) {
  bring_up(MODEL_TARVIK41, 6);
  EXPECT_EQ(tarvikOutputLatch, 0);
  tarvik_read(0xE0FF); // bit 7 set, returns 0xFF
  EXPECT_EQ(tarvikOutputLatch, 0x80);
  EXPECT_EQ(beeperLevel, 4096);
  tarvik_read(0xE0FF);
  EXPECT_EQ(beeperLevel, 4096);
  tarvik_read(0xE000);
  EXPECT_EQ(tarvikOutputLatch, 0);
  EXPECT_EQ(beeperLevel, 0);
}

TEST_F(TarvikMap, E000RegionReadsKeyboardTapeAndRetrace) {
  bring_up(MODEL_TARVIK41, 6);
  EXPECT_EQ(tarvik_read(0xE883), 0xFE); // tape input 0
  // 0xE802: column 2's keys in bits 1-3, the retrace flag in bit 0.
  machineState.retraceFlag = 1;
  EXPECT_EQ(tarvik_read(0xE802), 0x0F);
  machineState.retraceFlag = 0;
  EXPECT_EQ(tarvik_read(0xE802), 0x0E);
  press(VKEY_SHIFT); // column 2 bit 2
  EXPECT_EQ(tarvik_read(0xE802), 0x0A);
  release(VKEY_SHIFT);
  EXPECT_EQ(tarvik_read(0xE80F), 0xFF);
  EXPECT_EQ(tarvik_read(0xE010), 0xFF); // outside the columns
  press(0x28);                          // Down: column 0 bit 0
  EXPECT_EQ(tarvik_read(0xE000), 0xFE);
  EXPECT_EQ(tarvik_read(0xE800), 0xFE);
  EXPECT_EQ(tarvik_read(0xE802) & 0x0E, 0x0E); // column 2 has nothing held
  // In the all-RAM state the region is RAM.
  port_in(0x00);
  memory[0xE000] = 0x5A;
  EXPECT_EQ(tarvik_read(0xE000), 0x5A);
  tarvik_write(0xE001, 0x6B);
  EXPECT_EQ(memory[0xE001], 0x6B);
}

TEST_F(TarvikMap, SixteenKilobytesKeepsTheKeyboardEvenInTheLowBank) {
  bring_up(MODEL_TARVIK41, 3);
  machineState.highBankOffset = 0; // as a snapshot may leave it
  press(0x20);                     // Space: column 1 bit 0
  EXPECT_EQ(tarvik_read(0xE001), 0xFE);
}

TEST_F(TarvikMap, MemoryResetClearsAllRamAndLoadsTheModelsRom) {
  bring_up(MODEL_TARVIK41, 6);
  memory[0x4000] = 1;
  memory[0x1FFFE] = 2;
  memory[0x1FFFF] = 3;
  memory[0x0000] = 0;
  ASSERT_TRUE(machine_select_model(MODEL_TARVIK31));
  EXPECT_EQ(memory[0x4000], 0);
  EXPECT_EQ(memory[0x1FFFE], 0);
  EXPECT_EQ(memory[0x1FFFF], 0);
  EXPECT_EQ(memory[0x0000], 0xF3); // the boot program's DI
}

TEST_F(VeltraMap, RomMirrorsAndRamRegions) {
  bring_up(MODEL_VELTRA16, 0);
  EXPECT_EQ(veltra_read(0x2000), memory[0x0000]);
  EXPECT_EQ(veltra_read(0x2FFF), memory[0x0FFF]);
  veltra_write(0x0000, 0x00);
  EXPECT_EQ(memory[0x0000], 0xF3);
  veltra_write(0x4000, 0x12);
  EXPECT_EQ(veltra_read(0x4000), 0x12);
  veltra_write(0x6000, 0x34); // stored, but 4 KB shows nothing here
  EXPECT_EQ(memory[0x6000], 0x34);
  EXPECT_EQ(veltra_read(0x6000), 0xFF);
  veltra_write(0x8000, 0x56); // no RAM at 0x8000: dropped
  EXPECT_NE(memory[0x8000], 0x56);
  EXPECT_EQ(veltra_read(0x8000), 0x1A);
  EXPECT_EQ(veltra_read(0xA000), 0x1A);

  bring_up(MODEL_VELTRA16, 3); // 16 KB: 0x6000 readable, 0x8000 still not
  memory[0x6000] = 0x78;
  EXPECT_EQ(veltra_read(0x6000), 0x78);
  EXPECT_EQ(veltra_read(0x8000), 0x1A);

  bring_up(MODEL_VELTRA16, 4);
  veltra_write(0x8000, 0x9A);
  EXPECT_EQ(veltra_read(0x8000), 0x9A);
  veltra_write(0xA000, 0xBC);
  EXPECT_EQ(memory[0xA000], 0xBC);
  EXPECT_EQ(veltra_read(0xA000), 0x1A);
}

TEST_F(VeltraMap, CharacterRamIsOneKilobyteMirrored) {
  bring_up(MODEL_VELTRA16, 6);
  veltra_write(0xC000, 0x21);
  EXPECT_EQ(veltra_read(0xC400), 0x21);
  veltra_write(0xDFFF, 0x22);
  EXPECT_EQ(memory[0xC3FF], 0x22);
  EXPECT_EQ(veltra_read(0xC3FF), 0x22);
}

TEST_F(VeltraMap, MemoryResetFillsTheStripePattern) {
  bring_up(MODEL_VELTRA16, 6);
  EXPECT_EQ(memory[0x4000], 0x00);
  EXPECT_EQ(memory[0x4020], 0xFF);
  EXPECT_EQ(memory[0x1FFFF], 0xFF);
  EXPECT_EQ(memory[0x1FFDF], 0x00);
}

TEST_F(VeltraMap, ControlsAt3800To3FFF) {
  bring_up(MODEL_VELTRA16, 6);
  EXPECT_EQ(veltra_read(0x3100), 0xFF); // bit 11 clear: nothing
  EXPECT_EQ(veltra_read(0x3900), 0x00);
  EXPECT_EQ(machineState.veltraBitmapMode, 1u);
  EXPECT_EQ(veltra_read(0x3800), 0x00);
  EXPECT_EQ(machineState.veltraBitmapMode, 0u);
  veltra_write(0x3900, 0);
  EXPECT_EQ(machineState.veltraBitmapMode, 1u);

  cpu.nmiLine = 1;
  cpu.nmiTaken = 1;
  EXPECT_EQ(veltra_read(0x3F00), 0xFF);
  EXPECT_EQ(machineState.veltraVideoOn, 1u);
  EXPECT_EQ(cpu.nmiLine, 0u);
  EXPECT_EQ(cpu.nmiTaken, 0u);
  veltra_write(0x3E00, 0);
  EXPECT_EQ(machineState.veltraVideoOn, 0u);

  // No device at 0x3B00: the ROM copy stays unchanged.
  const uint8_t before = memory[0x0B00];
  veltra_write(0x3B00, static_cast<uint8_t>(~before));
  EXPECT_EQ(memory[0x0B00], before);
}

TEST_F(VeltraMap, KeyboardRowsThroughThe3AControl) {
  bring_up(MODEL_VELTRA16, 6);
  EXPECT_EQ(veltra_read(0x3AFE), 0xFF);
  press(0xA0); // left Shift: row 0 bit 0
  EXPECT_EQ(veltra_read(0x3AFE), 0xFE);
  EXPECT_EQ(veltra_read(0x3AFD), 0xFF); // row 1 not selected
  EXPECT_EQ(veltra_read(0x3A00), 0xFE); // every row selected
}

TEST_F(VeltraMap, TapeInputReadsWhilePictureOffOnly) {
  bring_up(MODEL_VELTRA16, 6);
  memory[0xE010] = 0x00;
  EXPECT_EQ(veltra_read(0xE010), 0xFE); // no tape: level 0 in bit 0
  EXPECT_EQ(veltra_read(0xE100), memory[0xE100]);
  machineState.veltraVideoOn = 1;
  EXPECT_EQ(veltra_read(0xE010), 0x00); // a data read: RAM
}

} // namespace
