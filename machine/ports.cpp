// The port routines. Most devices are memory-mapped; the ports carry the
// 64 KB paging switch, the character-set switch, the parallel interface,
// the printer and the Dorvane's speech chip.
#include "machine/ports.h"

#include "cpu/state_io.h"

#include "machine/machine.h"
#include "machine/mea8000.h"
#include "machine/memory.h"
#include "machine/printer.h"
#include "machine/video.h"

PioChannel pioChannels[2];

namespace {

// In the 64 KB configuration every port access moves the paging switch:
// bit 7 of the port number set shows ROM and I/O, clear gives all RAM.
inline void page_by_port(uint8_t port) {
  if (machineState.ramTop == 0xF7FF) machineState.highBankOffset = (port & 0x80) ? 0x10000 : 0;
}

inline bool speech_port(uint8_t port) {
  return model() == MODEL_DORVANE && (port == 0xF8 || port == 0xF9);
}

// A Z80 PIO control word for channel A (port AND 3 = 1) or B (3).
void pio_control(PioChannel& c, uint8_t value) {
  if (c.expectDirection) {
    c.mask = value;
    c.expectDirection = 0;
  } else if (c.expectMask) {
    c.mask = value;
    c.expectMask = 0;
  } else if ((value & 0x0F) == 0x0F) {
    c.mode = static_cast<uint8_t>(value >> 6);
    if (c.mode == 3) c.expectDirection = 1;
  } else if ((value & 0x07) == 0x07) {
    c.interruptControl = static_cast<uint8_t>(value & 0xF0);
    if (value & 0x10) c.expectMask = 1;
  } else if (!(value & 0x01)) {
    c.vector = value; // an interrupt vector has bit 0 clear
  }
}

} // namespace

uint8_t port_in(uint8_t port) {
  page_by_port(port);
  if (!(port & 0x40)) return 0x00;
  if (speech_port(port)) return mea_read(port);
  return 0xFF;
}

void port_out(uint8_t port, uint8_t value) {
  if (port == 0x81) video_select_charset(value & 1);
  page_by_port(port);
  if (!(port & 0x40)) {
    const uint8_t low = port & 3;
    if (low == 1) pio_control(pioChannels[0], value);
    if (low == 3) pio_control(pioChannels[1], value);
    // The interface's register pair is decoded over the ROM's first four
    // cells, which take a copy of every byte written.
    memory[low] = value;
    if (low == 0) printer_write(value);
    if (low == 3 && value == 0x80) printer_name();
  }
  if (speech_port(port)) mea_write(port, value);
}

void pio_reset() {
  for (PioChannel& c : pioChannels) c = PioChannel{};
}

void ports_state_save(StateWriter& w) {
  for (const PioChannel& c : pioChannels)
    for (uint8_t v :
         {c.vector, c.mode, c.interruptControl, c.expectDirection, c.expectMask, c.mask})
      w.u8(v);
}

bool ports_state_load(StateReader& r, bool apply) {
  PioChannel loaded[2];
  for (PioChannel& c : loaded)
    for (uint8_t* v :
         {&c.vector, &c.mode, &c.interruptControl, &c.expectDirection, &c.expectMask, &c.mask})
      *v = r.u8();
  for (const PioChannel& c : loaded)
    if (c.mode > 3 || c.expectDirection > 1 || c.expectMask > 1) return r.fail();
  if (r.ok() && apply)
    for (int k = 0; k < 2; ++k) pioChannels[k] = loaded[k];
  return r.ok();
}
