// The frame scheduler: two slices per frame on the Tarvik models, 312 scan
// lines of two slices each on the Veltra-16.
#include "machine/scheduler.h"

#include "cpu/cpu.h"
#include "machine/beeper_output.h"
#include "machine/cassette.h"
#include "machine/hooks.h"
#include "machine/keyboard.h"
#include "machine/machine.h"
#include "machine/video.h"

namespace {

void frame_end() {
  const int64_t now = cpu.tcount;
  // The recorder holds the level that runs now up to the end of the frame.
  if (model() == MODEL_VELTRA16)
    cassette_output(pulseEnd != 0 ? 1 : 0, now);
  else
    cassette_output(tarvikOutputLatch ? 1 : 0, now);
  cassette_frame_end(now);
}

void run_two_slice_frame() {
  const int line = static_cast<int>(cpu.lineTicks);
  machineState.retraceFlag = 0;
  cpu_run(line * kDisplaySliceLines);
  machineState.retraceFlag = 1;
  cpu_run(retrace_slice_ticks(line));
  frame_end();
}

// One scan line: the line-end routine once at the horizontal-sync point,
// after the instruction that reaches it. The line runs as a slice up to
// that point and a slice for the rest (a slice stops after the instruction
// that uses up its budget, as single steps would). The overshoot of the
// last line counts against this one, in its position and in its budget, so
// that 312 lines take 312 x 256 T-states however the instructions fall on
// the line ends.
void run_scan_line(int budget) {
  int position = machineState.lineCarry;
  int remaining = budget + machineState.lineCarry;
  do {
    int slice = remaining;
    if (position >= kVeltraSyncPoint)
      slice = 0; // one instruction, then the line end
    else if (kVeltraSyncPoint - position < slice)
      slice = kVeltraSyncPoint - position;
    const int spent = slice - cpu_run(slice);
    remaining -= spent;
    position += spent;
    if (position >= kVeltraSyncPoint) {
      veltra_line_end();
      position = -1; // once per line: too few T-states are left to reach it again
    }
  } while (remaining > 0);
  machineState.lineCarry = remaining;
}

void run_veltra_frame() {
  if (machineState.veltraVideoOn) nmi_request();
  machineState.scanLine = 0;
  // The CPU writes the picture as it runs, cell by cell: once a frame
  // rather than at every cell, the frame buffer counts as changed.
  frame_buffer_changed();
  const int line = static_cast<int>(cpu.lineTicks);
  for (int i = 0; i < kVeltraLines; ++i) run_scan_line(line);
  veltra_pulse_frame_end();
  frame_end();
}

} // namespace

void veltra_line_end() {
  if (machineState.veltraVideoOn) return; // the picture generator advances the counter
  if (machineState.scanLine < kVeltraPictureLines) {
    uint8_t* row = frameBuffer + kVeltraPictureOffset + 64 * machineState.scanLine;
    for (int i = 0; i < 40; ++i) row[i] = 0;
  }
  machineState.scanLine = machineState.scanLine + 1 == kVeltraLines ? 0 : machineState.scanLine + 1;
}

void run_frame() {
  keyboard_frame_begin();
  if (model() == MODEL_VELTRA16)
    run_veltra_frame();
  else
    run_two_slice_frame();
}

uint64_t frame_tstates() {
  const uint64_t line = cpu.lineTicks;
  if (model() == MODEL_VELTRA16) return line * kVeltraLines;
  return line * kDisplaySliceLines + line * 56 - line / 2;
}

void run_frames(int n) {
  for (int i = 0; i < n; ++i) run_frame();
}
