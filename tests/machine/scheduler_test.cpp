// The frame scheduler, bring-up, model and RAM changes, Reset and restarts.
#include <vector>

#include "machine/beeper_output.h"
#include "machine/cassette.h"
#include "machine/keyboard.h"
#include "machine/video.h"
#include "machine_fixture.h"

namespace {

class Scheduler : public MachineTest {};

// An endless JR $ at 0x4000 keeps the CPU busy without touching anything.
const uint8_t kSpin[] = {0x18, 0xFE};

TEST_F(Scheduler, TwoSliceFrameLength) {
  bring_up(MODEL_TARVIK41);
  load_program(kSpin, sizeof kSpin, 0x4000);
  const int64_t t0 = cpu.tcount;
  run_frame();
  const int64_t used = cpu.tcount - t0;
  EXPECT_GE(used, 59808);
  EXPECT_LT(used, 59808 + 2 * 12); // each slice overshoots by less than one JR
  EXPECT_EQ(machineState.retraceFlag, 1u);
  EXPECT_EQ(cpu.clockHz, 3000000u);
}

TEST_F(Scheduler, RetraceFlagReadsZeroInTheDisplaySliceAndOneAfter) {
  bring_up(MODEL_TARVIK41);
  // loop: LD A,(E802h); LD (HL),A; INC HL; JR loop - 38 T-states a sample.
  const uint8_t sampler[] = {0x21, 0x00, 0x50, 0x3A, 0x02, 0xE8, 0x77, 0x23, 0x18, 0xF9};
  load_program(sampler, sizeof sampler, 0x4000);
  run_frame();
  // The first sample with bit 0 set is the first read at or after 49 152
  // T-states into the frame (the first 10 T-states load HL).
  int first = -1;
  for (int i = 0; i < 2000; ++i) {
    if (memory[0x5000 + i] & 1) {
      first = i;
      break;
    }
  }
  ASSERT_GE(first, 0);
  for (int i = 0; i < first; ++i) ASSERT_EQ(memory[0x5000 + i] & 1, 0) << i;
  const int readAt = 10 + 38 * first; // T-state of the read within the frame
  EXPECT_GE(readAt, 49152);
  EXPECT_LT(readAt, 49152 + 38);
  EXPECT_EQ(memory[0x5000 + first + 1] & 1, 1);
}

TEST_F(Scheduler, VeltraFrameIs312LinesAndBlanksThePictureWhenOff) {
  bring_up(MODEL_VELTRA16);
  load_program(kSpin, sizeof kSpin, 0x4000);
  std::fill(frameBuffer, frameBuffer + kFrameBufferSize, 0xFF);
  const int64_t t0 = cpu.tcount;
  run_frame();
  EXPECT_EQ(cpu.clockHz, 4000000u);
  const int64_t used = cpu.tcount - t0;
  EXPECT_GE(used, 79872 - 12);
  EXPECT_LE(used, 79872 + 12);
  EXPECT_EQ(machineState.scanLine, 0u); // 312 lines advanced: wrapped once
  for (uint32_t line = 0; line < 240; ++line) {
    const uint8_t* row = frameBuffer + kVeltraPictureOffset + 64 * line;
    for (int i = 0; i < 40; ++i) ASSERT_EQ(row[i], 0) << line << " " << i;
    ASSERT_EQ(row[40], 0xFF) << line; // only the picture's 40 bytes
    ASSERT_EQ(row[-1], 0xFF) << line;
  }
  EXPECT_EQ(frameBuffer[kVeltraPictureOffset + 64 * 240], 0xFF); // below the picture
}

// A Veltra-16 frame as single steps: after every instruction, the line end
// once the sync point is reached.
void veltra_frame_by_single_steps() {
  keyboard_frame_begin();
  if (machineState.veltraVideoOn) nmi_request();
  machineState.scanLine = 0;
  for (int line = 0; line < kVeltraLines; ++line) {
    int position = machineState.lineCarry;
    int remaining = static_cast<int>(cpu.lineTicks) + machineState.lineCarry;
    do {
      const int spent = -cpu_run(0);
      remaining -= spent;
      position += spent;
      if (position >= kVeltraSyncPoint) {
        veltra_line_end();
        position = -1;
      }
    } while (remaining > 0);
    machineState.lineCarry = remaining;
  }
  veltra_pulse_frame_end();
  cassette_output(pulseEnd != 0 ? 1 : 0, cpu.tcount);
  cassette_frame_end(cpu.tcount);
}

// What a run leaves behind.
struct VeltraRun {
  std::vector<uint8_t> picture, ram;
  int64_t tcount;
  int32_t lineCarry;
  uint32_t scanLine;
  uint16_t pc;
  bool operator==(const VeltraRun&) const = default;
};

// The picture turned on and off every 38 T-states (its NMI returns at
// once): which line ends count the scan line depends on the T-state each
// one falls on.
VeltraRun veltra_toggling_run(bool singleSteps) {
  cpu = CpuState{}; // a reset keeps BC, DE, HL and the others from earlier tests
  bring_up(MODEL_VELTRA16);
  // loop: LD A,(3F00h) (picture on); LD A,(3E00h) (off); JR loop
  const uint8_t toggler[] = {0x3A, 0x00, 0x3F, 0x3A, 0x00, 0x3E, 0x18, 0xF8};
  load_program(toggler, sizeof toggler, 0x4000);
  memory[0x0066] = 0xED; // RETN
  memory[0x0067] = 0x45;
  for (int i = 0; i < 7; ++i) {
    if (singleSteps)
      veltra_frame_by_single_steps();
    else
      run_frame();
  }
  return {std::vector<uint8_t>(frameBuffer, frameBuffer + kFrameBufferSize),
          std::vector<uint8_t>(memory, memory + 0x10000),
          cpu.tcount,
          machineState.lineCarry,
          machineState.scanLine,
          cpu.pc};
}

TEST_F(Scheduler, VeltraLinesRunAsSlicesExactlyAsSingleSteps) {
  const VeltraRun steps = veltra_toggling_run(true);
  const VeltraRun slices = veltra_toggling_run(false);
  EXPECT_EQ(slices.tcount, steps.tcount);
  EXPECT_EQ(slices.scanLine, steps.scanLine);
  EXPECT_TRUE(slices == steps);
}

TEST_F(Scheduler, SelectingTheCurrentModelDoesNothing) {
  bring_up(MODEL_TARVIK41);
  cpu.pc = 0x1234;
  memory[0x4000] = 0x77;
  EXPECT_TRUE(machine_select_model(MODEL_TARVIK41));
  EXPECT_EQ(cpu.pc, 0x1234);
  EXPECT_EQ(memory[0x4000], 0x77);
  EXPECT_FALSE(machine_select_model(7));
  EXPECT_EQ(model(), MODEL_TARVIK41);
  EXPECT_EQ(cpu.pc, 0x1234);
}

TEST_F(Scheduler, ModelChangeSetsClockAndResets) {
  bring_up(MODEL_TARVIK41);
  cpu.pc = 0x1234;
  ASSERT_TRUE(machine_select_model(MODEL_VELTRA16));
  EXPECT_EQ(cpu.clockHz, 4000000u);
  EXPECT_EQ(cpu.lineTicks, 256u);
  EXPECT_EQ(cpu.pc, 0);
  EXPECT_EQ(memory[0x4020], 0xFF); // the Veltra-16 stripes
  ASSERT_TRUE(machine_select_model(MODEL_TARVIK31));
  EXPECT_EQ(cpu.clockHz, 3000000u);
  EXPECT_EQ(memory[0x4020], 0x00);
}

TEST_F(Scheduler, RamSizeChangeResetsMemoryAndCpu) {
  bring_up(MODEL_TARVIK41, 6);
  memory[0x4000] = 0x55;
  cpu.pc = 0x4321;
  EXPECT_FALSE(machine_set_ram_size(7));
  EXPECT_EQ(memory[0x4000], 0x55);
  EXPECT_EQ(machineState.ramSizeIndex, 6u);
  EXPECT_TRUE(machine_set_ram_size(2));
  EXPECT_EQ(machineState.ramTop, 0x1FFFu);
  EXPECT_EQ(machineState.ramSizeIndex, 2u);
  EXPECT_EQ(memory[0x4000], 0x00);
  EXPECT_EQ(cpu.pc, 0);
}

TEST_F(Scheduler, TarvikResetIsOneNmiPerPress) {
  bring_up(MODEL_TARVIK41);
  load_program(kSpin, sizeof kSpin, 0x4000);
  machine_reset_button();
  cpu_run(0);
  EXPECT_EQ(cpu.pc, 0x0066);
  cpu.pc = 0x4000;
  cpu_run(0);
  EXPECT_EQ(cpu.pc, 0x4000); // line held, latch set: no second NMI
  machine_reset_button();
  cpu_run(0);
  EXPECT_EQ(cpu.pc, 0x0066);
  EXPECT_EQ(memory[0x4000], 0x18); // memory kept
}

TEST_F(Scheduler, VeltraResetClearsTheNmiAndTurnsThePictureOff) {
  bring_up(MODEL_VELTRA16);
  machineState.veltraVideoOn = 1;
  nmi_request();
  cpu.pc = 0x4000;
  machine_reset_button();
  EXPECT_EQ(machineState.veltraVideoOn, 0u);
  EXPECT_EQ(cpu.nmiLine, 0u);
  EXPECT_EQ(cpu.pc, 0);
}

TEST_F(Scheduler, ColdRestartRestoresTheCharacterSetAndMemory) {
  bring_up(MODEL_TARVIK41);
  userCharset[5] = static_cast<uint8_t>(~userCharset[5]);
  video_select_charset(true);
  memory[0x4000] = 0x99;
  machine_cold_restart();
  EXPECT_NE(currentCharset, userCharset);
  EXPECT_EQ(userCharset[5], currentCharset[5]);
  EXPECT_EQ(memory[0x4000], 0);
  memory[0x4000] = 0x99;
  machine_restart();
  EXPECT_EQ(memory[0x4000], 0x99);
  EXPECT_EQ(cpu.pc, 0);
}

TEST_F(Scheduler, RunFramesRunsThatMany) {
  bring_up(MODEL_TARVIK31);
  load_program(kSpin, sizeof kSpin, 0x4000);
  const int64_t t0 = cpu.tcount;
  run_frames(3);
  EXPECT_GE(cpu.tcount - t0, 3 * 59808);
  EXPECT_LT(cpu.tcount - t0, 4 * 59808);
}

} // namespace
