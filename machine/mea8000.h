// The MEA8000 speech synthesizer of the Dorvane (model 2), on ports 0xF8
// (data) and 0xF9 (control); heard as the sound source "MEA8000".
//
// The program sends a start pitch and then 4-byte frames; the chip
// interpolates the frame parameters sample by sample and drives four
// cascaded two-pole resonators with a sawtooth or noise source at 8000
// samples per second, in fixed-point integer arithmetic. Its output is
// upsampled to 48 000 Hz for the mixer. The chip only advances when its
// samples are rendered, so every access first brings the audio output up
// to the current cycle counter.
#pragma once

#include <cstdint>

struct TimedEvent;

// The parameters of one frame, as decoded from its four bytes.
struct MeaFrame {
  int32_t pitchIncrement; // Hz per frame, already scaled by 2^FD
  int32_t fd;             // frame-duration code 0-3
  int32_t amplitude;
  int32_t f[4];  // F1-F4 (Hz)
  int32_t bw[4]; // BW1-BW4 (Hz)
  int32_t noise; // 1: noise excitation
  bool operator==(const MeaFrame&) const = default;
};

struct MeaState {
  int32_t stopped; // 0 or 16 (silent)
  uint8_t status;  // 0x80 ready for data, 0x00 busy
  uint8_t received[4];
  int32_t receivedCount; // 0-4
  int32_t autoStop;      // 0/1
  int64_t lastWriteTime; // cycle counter at the last data-port write
  // The record ring: current, next and spare point into records.
  MeaFrame records[3];
  MeaFrame* current;
  MeaFrame* next;
  MeaFrame* spare;
  int32_t sampleInFrame; // n: 8 kHz samples done in the current frame
  int32_t pitchPrev;     // voiced pitch at the start of the frame (Hz)
  int32_t pitchCur;      // voiced pitch at the end of the frame (Hz)
  int32_t phase;         // excitation phase, kept in 0..kMeaPhaseWrap-1
  int32_t excitation;    // the last excitation value e
  // Resonator outputs y1, y2 of resonators 1-4; 64-bit because a narrow
  // resonator's state grows far beyond 16 bits before the final limit.
  int64_t y1[4];
  int64_t y2[4];
  int32_t upPhase;    // 0..47 999, in steps of 8000
  int32_t upPrevious; // the 8 kHz samples the upsampler blends
  int32_t upCurrent;
};

extern MeaState mea;

inline constexpr int MEA_TABLE_SIZE = 3600; // frequencies and bandwidths 0-3599 Hz
inline constexpr int MEA_NOISE_SIZE = 8192;
// Built at every start: 1024 cos(2 pi f / 8000), 512 exp(-pi f / 8000),
// 512 exp(-2 pi f / 8000), truncated; and uniform noise -512..511.
extern int32_t cosTab[MEA_TABLE_SIZE];
extern int32_t expTab[MEA_TABLE_SIZE];
extern int32_t exp2Tab[MEA_TABLE_SIZE];
extern int32_t noiseTab[MEA_NOISE_SIZE];
// The noise generator (state x 214013 + 2531011, value = bits 16-30). It is
// not reseeded at start, so the noise goes on with the sequence.
extern uint32_t meaNoiseState;

// The excitation phase only matters modulo 8000 (sawtooth) and 8192 (noise
// index); it is kept modulo their common multiple so that it never
// overflows, and the pitch is kept within the same range.
inline constexpr int32_t kMeaPhaseWrap = 1024000;

// Started when model 2 is selected (or brought up): tables built, source
// registered, watchdog (timed event 1) added. Stopped for any other model.
void mea_start();
void mea_stop();
uint8_t mea_read(uint8_t port);
void mea_write(uint8_t port, uint8_t value);

// The sound source's operations: count samples at 48 kHz, and the reset
// (silent, ready, no frame bytes pending).
void mea_render(int16_t* destination, int count);
void mea_reset();
// Computes the next 8 kHz sample, already limited to -32 767..32 767.
int32_t mea_sample();
// Timed event 1, every 20 ms: stops a chip that gets no more data while
// autoStop is on.
void mea_watchdog(int64_t* tcount, TimedEvent* self);

// "MEA ": the chip's state (the record ring by index), the noise generator
// and the seed its noise table was built from; the tables are rebuilt from
// it on load. The load refuses frequencies and bandwidths outside the
// tables, amplitudes above the chip's largest and phases out of range.
class StateWriter;
class StateReader;
void mea_state_save(StateWriter& w);
bool mea_state_load(StateReader& r, bool apply);
