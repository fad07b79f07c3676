// The four models, the machine-wide state outside the CPU, bring-up, reset
// and restart, and the frame scheduler.
#pragma once

#include <cstdint>

enum : uint32_t {
  MODEL_TARVIK31 = 0,
  MODEL_TARVIK41 = 1,
  MODEL_DORVANE = 2,
  MODEL_VELTRA16 = 3,
  MODEL_COUNT = 4,
};

struct ModelInfo {
  char statusLabel[16]; // zero-padded, shown in status-bar field 0
  uint64_t clockHz;
};
extern const ModelInfo modelTable[MODEL_COUNT];

// The machine-wide state outside the CPU, the memory and the devices.
struct MachineState {
  uint32_t currentModel;     // 0-3, "Model"; read through model()
  uint32_t ramSizeIndex;     // 0-6, "TarvikMemSetup"
  uint32_t ramTop;           // highest RAM address for the size
  uint32_t highBankOffset;   // 0 or 0x10000: which half the paged regions use
  uint32_t symbolicKeyboard; // "KeyMapping"
  uint32_t screenMode32;     // "TarvikScreenMode": 32-column mode
  uint32_t retraceFlag;      // 1 during the retrace slice of a two-slice frame
  uint32_t scanLine;         // Veltra-16 scan-line counter, 0-311
  int32_t lineCarry;         // Veltra-16 overshoot of the last scan line
  uint32_t veltraVideoOn;    // Veltra-16 picture generation on
  uint32_t veltraBitmapMode; // Veltra-16 picture mode: 0 characters, 1 bitmap
};
extern MachineState machineState;

// T-states of the two slices of a Tarvik frame at clock / 15 625 per line.
inline constexpr int kDisplaySliceLines = 256;
// The retrace slice is 56 scan lines less half a line, so that a frame at
// 3 MHz takes 59 808 T-states, not 60 000.
inline constexpr int kRetraceSliceLines = 56;
inline constexpr int retrace_slice_ticks(int line) { return line * kRetraceSliceLines - line / 2; }
inline constexpr int kVeltraLines = 312;
inline constexpr int kVeltraSyncPoint = 240;

inline uint32_t model() { return machineState.currentModel; }

// The machine's state as at program start, before the settings are read:
// the options at their defaults, no host key held, the printer closed and
// unnamed, the frame buffer clear. machine_init then brings the machine up.
void machine_reset_state();
// Full bring-up at program start, after the settings were read.
void machine_init();
// Selecting the current model does nothing; an index out of range is
// refused (false) and changes nothing.
bool machine_select_model(uint32_t index);
bool machine_set_ram_size(uint32_t index);
void machine_set_symbolic_keyboard(uint32_t flag);
void machine_reset_button();
void machine_restart();
void machine_cold_restart();

// One 50 Hz frame; n frames back to back.
void run_frame();
void run_frames(int n);
// Veltra-16: the horizontal-sync point of a scan line was passed.
void veltra_line_end();

// The machine's records of a machine state (cpu/state_io.h), each in the
// file of the module that owns the state:
//   "MACH" machineState (machine.cpp): the load switches the machine to the
//          record's model and RAM size first (as the menu does), then puts
//          every field in place;
//   "MEM " memory.cpp, "ROMS" rom.cpp, "VID " video.cpp, "KEYS" keyboard.cpp,
//   "PORT" ports.cpp, "MEA " mea8000.cpp, "PRNT" printer.cpp, "PAST" paste.cpp,
//   "BEEP" beeper_output.cpp, "CASS" cassette.cpp.
class StateWriter;
class StateReader;
void machine_state_record_save(StateWriter& w);
bool machine_state_record_load(StateReader& r, bool apply);
