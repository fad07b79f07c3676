// The models, bring-up, reset and restart.
#include "machine/machine.h"

#include "cpu/cpu.h"
#include "cpu/events.h"
#include "cpu/state_io.h"
#include "machine/beeper_output.h"
#include "machine/cassette.h"
#include "machine/hooks.h"
#include "machine/keyboard.h"
#include "machine/mea8000.h"
#include "machine/memory.h"
#include "machine/ports.h"
#include "machine/printer.h"
#include "machine/video.h"

const ModelInfo modelTable[MODEL_COUNT] = {
    {"Tarvik3", 3000000},
    {"Tarvik4", 3000000},
    {"Dorvane", 3000000},
    {"Veltra", 4000000},
};

namespace {
constexpr MachineState kStartState = {MODEL_TARVIK41, 6, 0, 0x10000, 0, 0, 0, 0, 0, 0, 0};
}

MachineState machineState = kStartState;

namespace {

uint64_t clock_of(uint32_t m) { return modelTable[m].clockHz; }

void connect_cpu() {
  memory_connect();
  event_set_callback(EVENT_SPEECH, mea_watchdog);
  cpu_set_port_routines(port_in, port_out);
}

} // namespace

void machine_reset_state() {
  machineState = kStartState;
  keyboard_release_all();
  printer_close();
  printerPath[0] = 0;
  video_clear();
}

void machine_init() {
  if (machineState.currentModel >= MODEL_COUNT) machineState.currentModel = MODEL_TARVIK41;
  if (machineState.ramSizeIndex >= kRamSizes) machineState.ramSizeIndex = 6;
  connect_cpu();
  event_init();
  cassetteLastRead = CASSETTE_NEVER_READ; // the cycle count starts again
  video_restore_charset();
  machineState.retraceFlag = 0;
  machineState.lineCarry = 0;
  memory_apply_ram_size(machineState.ramSizeIndex);
  memory_reset();
  pio_reset();
  cpu_init(clock_of(machineState.currentModel));
  machineHooks.audioInit();
  cpu_reset();
  keyboard_set_mode(machineState.symbolicKeyboard);
  machineHooks.audioInit();
  beeper_output_reset();
  // A repeated bring-up (a test, a script) leaves no speech chip behind.
  if (machineState.currentModel == MODEL_DORVANE)
    mea_start();
  else
    mea_stop();
}

bool machine_select_model(uint32_t index) {
  if (index >= MODEL_COUNT) return false;
  if (index == machineState.currentModel) return true;
  machineState.currentModel = index;
  memory_connect();
  cpu_init(clock_of(index));
  memory_reset();
  machineState.lineCarry = 0;
  if (index == MODEL_DORVANE)
    mea_start();
  else
    mea_stop();
  // The Dorvane has its own key tables.
  keyboard_set_mode(machineState.symbolicKeyboard);
  return true;
}

bool machine_set_ram_size(uint32_t index) {
  if (!memory_apply_ram_size(index)) return false;
  memory_reset();
  cpu_reset();
  machineState.ramSizeIndex = index;
  return true;
}

void machine_set_symbolic_keyboard(uint32_t flag) {
  keyboard_set_mode(flag);
  machineState.symbolicKeyboard = flag ? 1 : 0;
}

void machine_reset_button() {
  if (model() != MODEL_VELTRA16) {
    nmi_pulse();
    return;
  }
  cpu_reset();
  nmi_clear();
  veltra_write(0x3E3E, 0);
}

void machine_restart() {
  cpu_reset();
  machineHooks.audioReset();
}

void machine_cold_restart() {
  memory_reset();
  cpu_reset();
  machineHooks.audioReset();
  video_restore_charset();
}

void machine_state_record_save(StateWriter& w) {
  const MachineState& s = machineState;
  for (uint32_t v : {s.currentModel, s.ramSizeIndex, s.ramTop, s.highBankOffset, s.symbolicKeyboard,
                     s.screenMode32, s.retraceFlag, s.scanLine})
    w.u32(v);
  w.i32(s.lineCarry);
  w.u32(s.veltraVideoOn);
  w.u32(s.veltraBitmapMode);
}

bool machine_state_record_load(StateReader& r, bool apply) {
  MachineState s;
  for (uint32_t* v : {&s.currentModel, &s.ramSizeIndex, &s.ramTop, &s.highBankOffset,
                      &s.symbolicKeyboard, &s.screenMode32, &s.retraceFlag, &s.scanLine})
    *v = r.u32();
  s.lineCarry = r.i32();
  s.veltraVideoOn = r.u32();
  s.veltraBitmapMode = r.u32();
  if (!r.ok() || s.currentModel >= MODEL_COUNT || s.ramSizeIndex >= kRamSizes ||
      s.ramTop != ramTopTable[s.ramSizeIndex] ||
      (s.highBankOffset != 0 && s.highBankOffset != 0x10000) || s.symbolicKeyboard > 1 ||
      s.screenMode32 > 1 || s.retraceFlag > 1 || s.scanLine >= kVeltraLines ||
      s.lineCarry < -65536 || s.lineCarry > 65536 || s.veltraVideoOn > 1 || s.veltraBitmapMode > 1)
    return r.fail();
  if (!apply) return true;
  machine_select_model(s.currentModel);
  if (s.ramSizeIndex != machineState.ramSizeIndex) machine_set_ram_size(s.ramSizeIndex);
  machineState = s;
  return true;
}
