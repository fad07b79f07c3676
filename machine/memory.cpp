// The Tarvik and Veltra-16 memory maps, RAM sizes and the memory reset.
#include "machine/memory.h"

#include <cstring>

#include "cpu/cpu.h"
#include "cpu/state_io.h"
#include "machine/beeper_output.h"
#include "machine/cassette.h"
#include "machine/keyboard.h"
#include "machine/machine.h"
#include "machine/paste.h"
#include "machine/printer.h"
#include "machine/rom.h"
#include "machine/video.h"

uint8_t memory[kMemorySize + 256];

const uint32_t ramTopTable[kRamSizes] = {0x0FFF, 0x17FF, 0x1FFF, 0x77FF, 0xB7FF, 0xD7FF, 0xF7FF};

namespace {

constexpr uint32_t kPowerOnBank = 0x10000;

// A paste in progress patched the key-input routine of the ROM that is
// about to be replaced; it ends before the copy.
void paste_memory_reset(MemoryResetPhase phase) {
  if (phase == MEMORY_RESET_BEFORE_ROM) paste_cancel();
}

constexpr int kMaxResetHooks = 8;
MemoryResetHook resetHooks[kMaxResetHooks] = {paste_memory_reset};
int resetHookCount = 1;

void run_reset_hooks(MemoryResetPhase phase) {
  for (int i = 0; i < resetHookCount; ++i) resetHooks[i](phase);
}

// Video RAM cell of the Tarvik map: 0xF800-0xFFFF of the normal bank, odd
// cells only in 32-column mode.
inline uint32_t video_index(uint16_t a) { return machineState.screenMode32 | a | 0x0800u; }

// 0xE000-0xEFFF after the output latch: tape input, RAM or video RAM in the
// all-RAM state, otherwise the keyboard columns and the retrace flag.
uint8_t tarvik_read_io(uint16_t a) {
  if (a == 0xE883) return static_cast<uint8_t>(cassette_input(cpu.tcount) | 0xFE);
  const uint32_t h = machineState.highBankOffset;
  if (h != kPowerOnBank && machineState.ramTop != 0x77FF) {
    if (h == 0 && machineState.ramTop == 0xF7FF) return memory[a];
    return memory[video_index(a)];
  }
  if (a == 0xE802)
    return static_cast<uint8_t>((keyboard_read_column(a) & 0x0E) | machineState.retraceFlag);
  if ((a & 0xF7F0) == 0xE000) return keyboard_read_column(a);
  return 0xFF;
}

// 0x3000-0x3FFF of the Veltra-16: controls selected by the high byte.
uint8_t veltra_read_control(uint16_t a) {
  if (!(a & 0x0800)) return 0xFF;
  switch (a >> 8) {
  case 0x38: machineState.veltraBitmapMode = 0; return 0;
  case 0x39: machineState.veltraBitmapMode = 1; return 0;
  case 0x3A: return static_cast<uint8_t>(0xFF ^ keyboard_read_rows(static_cast<uint8_t>(~a)));
  case 0x3E:
    machineState.veltraVideoOn = 0;
    nmi_clear();
    return 0xFF;
  case 0x3F:
    machineState.veltraVideoOn = 1;
    nmi_clear();
    return 0xFF;
  default: return 0xFF;
  }
}

void veltra_write_control(uint16_t a) {
  if (!(a & 0x0800)) return;
  switch (a >> 8) {
  case 0x38: machineState.veltraBitmapMode = 0; break;
  case 0x39: machineState.veltraBitmapMode = 1; break;
  case 0x3C: veltra_pulse_start(); break;
  case 0x3E:
    machineState.veltraVideoOn = 0;
    nmi_clear();
    break;
  case 0x3F:
    machineState.veltraVideoOn = 1;
    nmi_clear();
    break;
  default: break; // no device answers there; the ROM stays unchanged
  }
}

} // namespace

[[gnu::noinline]] uint8_t tarvik_read(uint16_t a) {
  const uint32_t h = machineState.highBankOffset;
  switch (a >> 12) {
  case 0x0:
  case 0x1:
  case 0x2:
  case 0x3: return memory[a];
  case 0x4:
  case 0x5:
  case 0x6:
  case 0x7: return a <= machineState.ramTop + 0x4000 ? memory[a] : 0xFF;
  case 0x8:
  case 0x9:
  case 0xA:
  case 0xB:
    return machineState.ramTop == 0xB7FF || machineState.ramTop == 0xD7FF ||
                   machineState.ramTop == 0xF7FF
               ? memory[h | a]
               : 0xFF;
  case 0xC:
    if (machineState.ramTop == 0xF7FF) return h ? memory[0x3000 + (a & 0x0FFF)] : memory[a];
    if (machineState.ramTop == 0xD7FF) return h ? memory[h | a] : memory[0x3000 + (a & 0x0FFF)];
    return 0xFF;
  case 0xD:
    if (machineState.ramTop == 0xF7FF) {
      if (!h) return memory[a];
      return model() == MODEL_DORVANE ? rom_image(ROM_DORVANE_EXT)[a & 0x0FFF] : 0xFF;
    }
    if (machineState.ramTop == 0xD7FF) return memory[h | a];
    return 0xFF;
  case 0xE: tarvik_output_level(a); return tarvik_read_io(a);
  default:
    if (h == 0 && machineState.ramTop == 0xF7FF) return memory[0x10000 | a];
    return memory[video_index(a)];
  }
}

void tarvik_write(uint16_t a, uint8_t v) {
  const uint32_t h = machineState.highBankOffset;
  switch (a >> 12) {
  case 0x0:
  case 0x1:
  case 0x2:
  case 0x3: return;
  case 0x4:
  case 0x5:
  case 0x6:
  case 0x7: memory[a] = v; return;
  case 0x8:
  case 0x9:
  case 0xA:
  case 0xB: memory[h | a] = v; return;
  case 0xC:
  case 0xD:
    if (h == 0) memory[a] = v;
    return;
  case 0xE: memory[a] = v; return;
  default:
    if (h == 0 && machineState.ramTop == 0xF7FF)
      memory[0x10000 | a] = v;
    else
      memory[video_index(a)] = v;
  }
}

[[gnu::noinline]] uint8_t veltra_read(uint16_t a) {
  switch (a >> 12) {
  case 0x0:
  case 0x1:
  case 0x2: return memory[a & 0x1FFF];
  case 0x3: return veltra_read_control(a);
  case 0x4:
  case 0x5: return memory[a];
  case 0x6:
  case 0x7: return machineState.ramTop > 0x1FFF ? memory[a] : 0xFF;
  case 0x8:
  case 0x9: return machineState.ramTop > 0x8000 ? memory[a] : 0x1A;
  case 0xA:
  case 0xB: return 0x1A;
  case 0xC:
  case 0xD: return memory[0xC000 | (a & 0x03FF)];
  default:
    if (machineState.veltraVideoOn) {
      if (a == static_cast<uint16_t>(cpu.pc - 1)) return veltra_picture_fetch(a);
    } else if (a <= 0xE0FF) {
      // The cassette input while the picture is off: the level in bit 0.
      return static_cast<uint8_t>(0xFE | cassette_read(cpu.tcount));
    }
    return memory[a];
  }
}

void veltra_write(uint16_t a, uint8_t v) {
  switch (a >> 12) {
  case 0x0:
  case 0x1:
  case 0x2: return;
  case 0x3: veltra_write_control(a); return;
  case 0x4:
  case 0x5:
  case 0x6:
  case 0x7: memory[a] = v; return;
  case 0x8:
  case 0x9:
  case 0xA:
  case 0xB:
    if (machineState.ramTop > 0x8000) memory[a] = v;
    return;
  case 0xC:
  case 0xD: memory[0xC000 | (a & 0x03FF)] = v; return;
  default: memory[a] = v;
  }
}

// The handler tables call these for every access: the common regions
// (ROM, low RAM, video RAM) are answered here without a call, and the
// Veltra-16's picture fetch (an opcode fetch above 0xE000 while the picture
// is on, thousands a frame) goes straight to the picture generator;
// everything else goes on to the full map. The full maps stay out of line,
// so that this routine saves no registers on its way in.
uint8_t machine_read(uint16_t a) {
  if (machineState.currentModel != MODEL_VELTRA16) {
    if (a < 0x4000) return memory[a];
    if (a < 0x8000) return a <= machineState.ramTop + 0x4000 ? memory[a] : 0xFF;
    return tarvik_read(a);
  }
  if (a >= 0xE000 && machineState.veltraVideoOn && a == static_cast<uint16_t>(cpu.pc - 1))
    return veltra_picture_fetch(a);
  if (a < 0x3000) return memory[a & 0x1FFF];
  if (a >= 0x4000 && a < 0x6000) return memory[a];
  return veltra_read(a);
}

void machine_write(uint16_t a, uint8_t v) {
  if (machineState.currentModel != MODEL_VELTRA16) {
    if (a >= 0x4000 && a < 0x8000) {
      memory[a] = v;
      return;
    }
    tarvik_write(a, v);
    return;
  }
  veltra_write(a, v);
}

namespace {

// Where writes that the map ignores go on plain pages; never read.
uint8_t ignoredWrites[256];

void map_read(unsigned first, unsigned last, uint32_t memoryIndex) {
  for (unsigned page = first; page <= last; ++page)
    cpu_map_read_page(static_cast<uint8_t>(page), memory + memoryIndex + (page - first) * 256);
}
void map_write(unsigned first, unsigned last, uint32_t memoryIndex) {
  for (unsigned page = first; page <= last; ++page)
    cpu_map_write_page(static_cast<uint8_t>(page), memory + memoryIndex + (page - first) * 256);
}
void map_ignored_writes(unsigned first, unsigned last) {
  for (unsigned page = first; page <= last; ++page)
    cpu_map_write_page(static_cast<uint8_t>(page), ignoredWrites);
}

} // namespace

void memory_connect() {
  paste_connect();
  cpu_set_memory_routines(machine_read, machine_write);
  // Both maps: ROM at 0x0000-0x1FFF, RAM at 0x4000-0x4FFF (every RAM size
  // has it), writes ignored at 0x0000-0x2FFF, stored at 0x4000-0x7FFF and
  // 0xE000-0xEFFF.
  map_read(0x00, 0x1F, 0x0000);
  map_read(0x40, 0x4F, 0x4000);
  map_ignored_writes(0x00, 0x2F);
  map_write(0x40, 0x7F, 0x4000);
  map_write(0xE0, 0xEF, 0xE000);
  if (machineState.currentModel == MODEL_VELTRA16) {
    // RAM at 0x5000-0x5FFF, the character RAM mirrored through
    // 0xC000-0xDFFF, writes stored at 0xF000-0xFFFF.
    map_read(0x50, 0x5F, 0x5000);
    for (unsigned mirror = 0xC0; mirror <= 0xDF; mirror += 4) {
      map_read(mirror, mirror + 3, 0xC000);
      map_write(mirror, mirror + 3, 0xC000);
    }
    map_write(0xF0, 0xFF, 0xF000);
  } else {
    map_read(0x20, 0x3F, 0x2000);
    map_ignored_writes(0x30, 0x3F);
  }
}

bool memory_apply_ram_size(uint32_t index) {
  if (index >= kRamSizes) return false;
  machineState.ramTop = ramTopTable[index];
  // Every size starts in the power-on paging state; only the 64 KB
  // configuration lets the ports change it afterwards.
  machineState.highBankOffset = kPowerOnBank;
  printer_install_translation();
  return true;
}

bool memory_add_reset_hook(MemoryResetHook hook) {
  for (int i = 0; i < resetHookCount; ++i)
    if (resetHooks[i] == hook) return true;
  if (!hook || resetHookCount == kMaxResetHooks) return false;
  resetHooks[resetHookCount++] = hook;
  return true;
}

void memory_reset() {
  run_reset_hooks(MEMORY_RESET_BEFORE_ROM);
  // Power-on contents come with the power-on paging: ROM and I/O visible.
  machineState.highBankOffset = kPowerOnBank;
  if (model() == MODEL_VELTRA16) {
    machineState.scanLine = 0;
    machineState.veltraVideoOn = 0;
    machineState.veltraBitmapMode = 0;
  }
  std::memcpy(memory, rom_for_model(model()), 0x4000);
  if (model() == MODEL_VELTRA16) {
    for (uint32_t i = 0x4000; i < kMemorySize; ++i) memory[i] = (i & 0x20) ? 0xFF : 0x00;
  } else {
    std::memset(memory + 0x4000, 0, kMemorySize - 0x4000);
  }
  run_reset_hooks(MEMORY_RESET_AFTER_ROM);
}

void memory_state_save(StateWriter& w) { w.bytes(memory, sizeof memory); }

bool memory_state_load(StateReader& r, bool apply) { return r.bytes(memory, sizeof memory, apply); }
