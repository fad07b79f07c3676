// tarvik-bench: speed of the Z80 core in emulated MHz, on a fixed mix of
// instructions (run in long slices, and one instruction per call as a
// debugger's step runs it) and on the first groups of ZEXDOC; whole
// frames of each model running a busy program, in frames per second and
// as a multiple of real time (50 frames per second), and of the Veltra-16
// running its own firmware; and the cost of the MEA8000 speech chip's sound
// source while it speaks.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "cpu/cpu.h"
#include "cpu/events.h"
#include "host/core/layers.h"
#include "host/output/audio.h"
#include "machine/machine.h"
#include "machine/mea8000.h"
#include "machine/memory.h"
#include "machine/sound.h"
#include "machine/video.h"
#include "tools/cpm_machine.h"

namespace {

// A loop of loads, arithmetic, stack, exchange, bit, index, call and jump
// instructions (addresses from 0x0100).
const uint8_t kMix[] = {
    0x21, 0x00, 0x40,       // 0100 ld hl,4000h
    0x06, 0x00,             // 0103 ld b,0
    0x7E,                   // 0105 ld a,(hl)
    0x80,                   //      add a,b
    0x77,                   //      ld (hl),a
    0x23,                   //      inc hl
    0xE5,                   //      push hl
    0xD1,                   //      pop de
    0xEB,                   //      ex de,hl
    0x4F,                   //      ld c,a
    0xFE, 0x80,             // 010D cp 80h
    0x38, 0x01,             // 010F jr c,0112h
    0x0C,                   // 0111 inc c
    0xCB, 0x59,             // 0112 bit 3,c
    0xDD, 0x21, 0x00, 0x50, // 0114 ld ix,5000h
    0xDD, 0x71, 0x03,       // 0118 ld (ix+3),c
    0xDD, 0x86, 0x03,       // 011B add a,(ix+3)
    0xCD, 0x26, 0x01,       // 011E call 0126h
    0x10, 0xE2,             // 0121 djnz 0105h
    0xC3, 0x00, 0x01,       // 0123 jp 0100h
    0xCB, 0x3F,             // 0126 srl a
    0xC9,                   // 0128 ret
};

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void report(const char* what, int64_t tstates, double seconds) {
  std::printf("%-44s %12lld T-states %7.2f s %9.1f MHz\n", what, static_cast<long long>(tstates),
              seconds, tstates / seconds / 1e6);
}

void mix(int64_t tstates, bool stepping) {
  cpm_load_program(kMix, sizeof kMix);
  auto start = std::chrono::steady_clock::now();
  if (stepping) {
    while (cpu.tcount < tstates) cpu_run(0);
  } else {
    while (cpu.tcount < tstates) cpu_run(59808);
  }
  report(stepping ? "instruction mix, one instruction per call" : "instruction mix, frame slices",
         cpu.tcount, seconds_since(start));
}

bool zexdoc(int64_t tstates) {
  std::string error;
  std::string path = std::string(TARVIK_TESTDATA) + "/z80/zexdoc.com";
  if (!cpm_load(path.c_str(), error)) {
    std::fprintf(stderr, "tarvik-bench: %s\n", error.c_str());
    return false;
  }
  auto start = std::chrono::steady_clock::now();
  cpm_run(tstates);
  report("ZEXDOC, first groups", cpu.tcount, seconds_since(start));
  return true;
}

// Busy programs for whole frames, loaded at 0x4000: a loop of loads,
// arithmetic, stack, index and call instructions over the video RAM, with a
// keyboard read per pass and the sound output moved once per 256 passes.
const uint8_t kTarvikBusy[] = {
    0x21, 0x00, 0xF8,                   // 4000 ld hl,0F800h
    0x06, 0x00,                         // 4003 ld b,0
    0x7E,                               // 4005 ld a,(hl)
    0x80,                               //      add a,b
    0x77,                               //      ld (hl),a
    0x23,                               //      inc hl
    0xE5,                               //      push hl
    0xD1,                               //      pop de
    0xEB,                               //      ex de,hl
    0x4F,                               //      ld c,a
    0x3A, 0x01, 0xE0,                   // 400D ld a,(0E001h)
    0xDD, 0x21, 0x00, 0x50,             // 4010 ld ix,5000h
    0xDD, 0x71, 0x03,                   // 4014 ld (ix+3),c
    0xDD, 0x86, 0x03,                   // 4017 add a,(ix+3)
    0xCD, 0x30, 0x40,                   // 401A call 4030h
    0x10, 0xE6,                         // 401D djnz 4005h
    0x3A, 0x80, 0xE0,                   // 401F ld a,(0E080h)   output on
    0x3A, 0x00, 0xE0,                   // 4022 ld a,(0E000h)   output off
    0xC3, 0x00, 0x40,                   // 4025 jp 4000h
    0,    0,    0,    0,    0, 0, 0, 0, //
    0xCB, 0x3F,                         // 4030 srl a
    0xC9,                               // 4032 ret
};

// The same loop for the Veltra-16 (at 0x4400, above the firmware's system
// variables) over its character RAM, with the picture
// on (the ROM's NMI draws it) and a beeper pulse per 256 passes.
const uint8_t kVeltraBusy[] = {
    0x32, 0x00, 0x3F,                   // 4400 ld (3F00h),a    picture on
    0x21, 0x00, 0xC0,                   // 4403 ld hl,0C000h
    0x06, 0x00,                         // 4406 ld b,0
    0x7E,                               // 4408 ld a,(hl)
    0x80,                               //      add a,b
    0x77,                               //      ld (hl),a
    0x23,                               //      inc hl
    0xE5,                               //      push hl
    0xD1,                               //      pop de
    0xEB,                               //      ex de,hl
    0x4F,                               //      ld c,a
    0x3A, 0xFE, 0x3A,                   // 4410 ld a,(3AFEh)
    0xDD, 0x21, 0x00, 0x50,             // 4413 ld ix,5000h
    0xDD, 0x71, 0x03,                   // 4417 ld (ix+3),c
    0xDD, 0x86, 0x03,                   // 441A add a,(ix+3)
    0xCD, 0x30, 0x44,                   // 441D call 4430h
    0x10, 0xE6,                         // 4420 djnz 4408h
    0x32, 0x00, 0x3C,                   // 4422 ld (3C00h),a    beeper pulse
    0xC3, 0x03, 0x44,                   // 4425 jp 4403h
    0,    0,    0,    0,    0, 0, 0, 0, //
    0xCB, 0x3F,                         // 4430 srl a
    0xC9,                               // 4432 ret
};

// Runs frames as the host loop does (a frame, then the audio brought up to
// date) and reports frames per second.
// --render: also draw the Tarvik screen after every frame (the host draws
// it only when it presents one).
bool renderEachFrame = false;

// The frames the speech benchmarks cycle through: voiced and unvoiced,
// every frame length, pitch moving up and down, formants and bandwidths
// changing from frame to frame (b0 bandwidths, b1 F3/F2, b2 F1/amplitude,
// b3 amplitude bit/FD/pitch increment).
const uint8_t kSpeechFrames[][4] = {
    {0xF0, 0xB0, 0x85, 0x02}, {0xE4, 0x37, 0xBE, 0x81}, {0x1B, 0xD4, 0x46, 0x30},
    {0x00, 0xA9, 0x94, 0x50}, {0xF5, 0x2C, 0x65, 0x9F}, {0x3A, 0x6E, 0xD6, 0x62},
    {0xFF, 0x13, 0x2F, 0x01}, {0x50, 0xF8, 0xC4, 0x91},
};

// speak: the Dorvane's speech chip is kept talking — after every frame it
// gets the next frame's four bytes whenever it is ready, as a program
// polling its status would give them.
void frames(uint32_t m, int count, bool speak = false) {
  machineState.currentModel = m;
  machineState.ramSizeIndex = 6;
  machine_init();
  const bool veltra = m == MODEL_VELTRA16;
  const uint8_t* program = veltra ? kVeltraBusy : kTarvikBusy;
  const size_t length = veltra ? sizeof kVeltraBusy : sizeof kTarvikBusy;
  // The Veltra-16 firmware keeps its system variables and stack below 0x4200.
  const uint16_t base = veltra ? 0x4400 : 0x4000;
  std::memcpy(memory + base, program, length);
  cpu.pc = base;
  run_frames(2);
  int next = 0;
  if (speak) mea_write(0xF8, 60); // 120 Hz
  const int64_t t0 = cpu.tcount;
  auto start = std::chrono::steady_clock::now();
  const std::clock_t cpuStart = std::clock();
  for (int i = 0; i < count; ++i) {
    run_frame();
    audio_update(cpu.tcount);
    if (!veltra && renderEachFrame) video_render();
    if (speak && mea.status == 0x80 && mea.receivedCount == 0) {
      for (uint8_t b : kSpeechFrames[next]) mea_write(0xF8, b);
      next = (next + 1) % 8;
    }
  }
  const double seconds = seconds_since(start);
  // Processor time: on a shared machine the wall clock also counts the
  // time other programs had the processor.
  const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  const double fps = count / cpuSeconds;
  std::printf("%-8s %s %6d frames %6.2f s (wall %6.2f s) %7.0f frames/s %6.1f x real time "
              "%7.1f MHz\n",
              modelTable[m].statusLabel,
              veltra  ? "(picture on)"
              : speak ? "(speaking)  "
                      : "            ",
              count, cpuSeconds, seconds, fps, fps / 50.0, (cpu.tcount - t0) / cpuSeconds / 1e6);
  if (veltra && !machineState.veltraVideoOn) std::printf("  (the picture was off)\n");
}

// The Veltra-16 with its own firmware after a cold start, idle at the
// monitor's prompt: each frame the NMI draws the 20 border lines and the 200
// text lines, and the program polls the keyboard with the cursor blinking.
void veltra_firmware_frames(int count) {
  machineState.currentModel = MODEL_VELTRA16;
  machineState.ramSizeIndex = 6;
  machine_init();
  run_frames(50); // cold start, banner and prompt
  const int64_t t0 = cpu.tcount;
  auto start = std::chrono::steady_clock::now();
  const std::clock_t cpuStart = std::clock();
  for (int i = 0; i < count; ++i) {
    run_frame();
    audio_update(cpu.tcount);
  }
  const double seconds = seconds_since(start);
  const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  const double fps = count / cpuSeconds;
  std::printf(
      "%-8s (firmware)   %6d frames %6.2f s (wall %6.2f s) %7.0f frames/s %6.1f x real time "
      "%7.1f MHz\n",
      modelTable[MODEL_VELTRA16].statusLabel, count, cpuSeconds, seconds, fps, fps / 50.0,
      (cpu.tcount - t0) / cpuSeconds / 1e6);
  if (!machineState.veltraVideoOn || machineState.veltraBitmapMode)
    std::printf("  (the text picture was not on)\n");
}

// Samples per second rendered by the MEA8000 source while it speaks
// without pause (a new frame whenever the chip is ready, looked at every
// millisecond), rendered in 1 ms pieces.
void speech(int64_t samples) {
  event_init();
  cpu_init(3000000);
  cpu.tcount = 0;
  while (soundHead) sound_unregister(soundHead);
  audio_update(0); // the output's clock stays here: port writes render nothing
  mea_start();
  mea_write(0xF8, 60); // 120 Hz
  static int16_t block[960];
  int next = 0;
  int64_t frames = 0;
  auto start = std::chrono::steady_clock::now();
  for (int64_t done = 0; done < samples; done += 960) {
    for (int piece = 0; piece < 960; piece += 48) {
      if (mea.status == 0x80 && mea.receivedCount == 0) {
        for (uint8_t b : kSpeechFrames[next]) mea_write(0xF8, b);
        next = (next + 1) % 8;
        ++frames;
      }
      mea_render(block + piece, 48);
    }
  }
  double seconds = seconds_since(start);
  mea_stop();
  std::printf("%-44s %12lld samples %7.2f s %9.2f M samples/s, %.0f x real time, %.1f ns/sample,"
              " %lld frames\n",
              "MEA8000 speaking, 48 kHz output", static_cast<long long>(samples), seconds,
              samples / seconds / 1e6, samples / seconds / 48000.0, seconds * 1e9 / samples,
              static_cast<long long>(frames));
}

} // namespace

int main(int argc, char** argv) {
  host_connect_layers();
  double scale = 1.0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quick") == 0) scale = 0.1;
    if (std::strcmp(argv[i], "--render") == 0) renderEachFrame = true;
  }
  auto amount = [&](double t) { return static_cast<int64_t>(t * scale); };
  mix(amount(2e9), false);
  mix(amount(1e9), true);
  bool ok = zexdoc(amount(3e9));
  audio_select_driver(1); // the headless device, which plays in step
  const int count = static_cast<int>(amount(20000));
  for (uint32_t m = 0; m < MODEL_COUNT; ++m) frames(m, m == MODEL_VELTRA16 ? count / 2 : count);
  frames(MODEL_DORVANE, count, true);
  veltra_firmware_frames(count / 2);
  speech(amount(48000.0 * 3600)); // an hour of speech
  return ok ? 0 : 1;
}
