// Whole frames on every model: a test program that writes to the screen,
// polls the keyboard and sounds the beeper. (The Tarvik and Veltra-16
// firmware have tests of their own.)
#include <cstring>
#include <string>

#include "host/output/audio.h"
#include "machine/keyboard.h"
#include "machine/rom.h"
#include "machine/sound.h"
#include "machine/video.h"
#include "machine_fixture.h"

namespace {

int highSamples, lowSamples;
void listen(int16_t* destination, int count) {
  for (int i = 0; i < count; ++i) {
    if (beeperLevel)
      ++highSamples;
    else
      ++lowSamples;
    destination[i] = 0;
  }
}
SoundSource listener = {"listener", nullptr, listen, nullptr};

class EndToEnd : public MachineTest, public ::testing::WithParamInterface<uint32_t> {
protected:
  void TearDown() override {
    sound_unregister(&listener);
    audio_select_driver(0);
    MachineTest::TearDown();
  }
  void listen_to_beeper() {
    audio_select_driver(1);
    sound_register(&listener);
    highSamples = lowSamples = 0;
  }
};

std::string screen_text(uint16_t address, size_t length) {
  return std::string(reinterpret_cast<const char*>(memory + address), length);
}

class TarvikModels : public EndToEnd {};

TEST_P(TarvikModels, TestProgramDrawsReadsKeysAndSounds) {
  bring_up(GetParam());
  listen_to_beeper();
  load_program(e2eTarvikProgram, e2eTarvikProgram_size, 0x4000);
  run_frames(2);
  EXPECT_EQ(screen_text(0xF800, 2), "TK");
  EXPECT_EQ(memory[0x4201], 0); // no key yet
  const uint16_t loops = static_cast<uint16_t>(memory[0x4202] | memory[0x4203] << 8);
  EXPECT_GT(loops, 100);
  EXPECT_GT(highSamples, 300);
  EXPECT_GT(lowSamples, 300);

  press(VKEY_SPACE);
  run_frame();
  EXPECT_EQ(memory[0x4200], 0x01);
  EXPECT_EQ(memory[0x4201], 1);
  EXPECT_EQ(memory[0xF802], '*');
  release(VKEY_SPACE);
  run_frame();
  EXPECT_EQ(memory[0x4200], 0x00);

  video_render();
  const uint8_t* set = rom_image(ROM_TARVIK_CHR);
  for (int r = 0; r < 8; ++r) EXPECT_EQ(frameBuffer[r * 64 + 1], set[r * 256 + 'K']) << r;
}

INSTANTIATE_TEST_SUITE_P(Models, TarvikModels,
                         ::testing::Values(MODEL_TARVIK31, MODEL_TARVIK41, MODEL_DORVANE));

class Veltra : public EndToEnd {};

// The glyph bytes of the first cell of a picture row.
uint8_t picture_byte(uint32_t line, uint32_t column) {
  return frameBuffer[kVeltraPictureOffset + 64 * line + column];
}

TEST_F(Veltra, TestProgramDrawsReadsKeysAndSounds) {
  bring_up(MODEL_VELTRA16);
  listen_to_beeper();
  load_program(e2eVeltraProgram, e2eVeltraProgram_size, 0x4400);
  run_frames(3);
  EXPECT_EQ(machineState.veltraVideoOn, 1u);
  // The firmware's picture: text row 0 on picture lines 20-27.
  const uint8_t* glyphs = rom_image(ROM_VELTRA_CHR);
  for (uint32_t r = 0; r < 8; ++r) EXPECT_EQ(picture_byte(20 + r, 0), glyphs[r * 256 + 0x21]) << r;
  EXPECT_EQ(memory[0x4201], 0);
  EXPECT_GT(highSamples, 100);
  EXPECT_GT(lowSamples, 100);
  const uint16_t loops = static_cast<uint16_t>(memory[0x4202] | memory[0x4203] << 8);
  EXPECT_GT(loops, 20);

  press(VKEY_SPACE);
  run_frame();
  EXPECT_EQ(memory[0x4200], 0x01);
  EXPECT_EQ(memory[0x4201], 1);
}

} // namespace
