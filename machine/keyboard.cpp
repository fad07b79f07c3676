// The keyboard matrices and the host keys as the machine sees them. The
// matrix is answered at every read from the held keys; there is no key
// buffer in the machine, only the short line of key changes that keeps
// quick presses and their order (see KeyboardState).
#include "machine/keyboard.h"

#include <cstring>

#include "cpu/state_io.h"
#include "machine/keyboard_tables.h"
#include "machine/machine.h"

using namespace keyboard_tables;

KeyboardState keyboardState;

namespace {

KeyboardState& ks = keyboardState;

bool held(int vk) { return vk > 0 && vk < 256 && ks.down[vk]; }

bool is_modifier(int vk) {
  return vk == VKEY_SHIFT || vk == VKEY_CONTROL || vk == VKEY_MENU || (vk >= 0xA0 && vk <= 0xA5);
}

// Letters of code page 1250: typed on a key of their own where the layout
// has them, never standing in for another key.
bool is_letter(uint16_t c) {
  if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') return true;
  if (c >= 0xC0) return c != 0xD7 && c != 0xF7 && c <= 0xFF;
  switch (c) {
  case 0x8A:
  case 0x8C:
  case 0x8D:
  case 0x8E:
  case 0x8F:
  case 0x9A:
  case 0x9C:
  case 0x9D:
  case 0x9E:
  case 0x9F:
  case 0xA3:
  case 0xA5:
  case 0xAA:
  case 0xAF:
  case 0xB3:
  case 0xB9:
  case 0xBA:
  case 0xBC:
  case 0xBE:
  case 0xBF: return true;
  default: return false;
  }
}

const SymbolicKey* symbolic_table() {
  return model() == MODEL_DORVANE ? kDorvaneSymbolic.key : kTarvikSymbolic;
}
const uint8_t* positional_table() {
  return model() == MODEL_DORVANE ? kDorvanePositional.vk : kTarvikPositional;
}

struct Resolved {
  uint8_t key;
  uint8_t shifted;
};

// Symbolic mode, Tarvik models: the matrix key a host key presses, decided
// as it goes down. The character it types comes first (with the emulated
// Shift as the legend needs it); then the keys of the table given as
// virtual keys (the arrows, Space, Enter, Backspace as Shift with Left);
// then, for a key that types no letter, the key its place has in
// positional mode.
Resolved resolve_symbolic(uint8_t vk, uint16_t character, uint32_t modifiers) {
  const SymbolicKey* table = symbolic_table();
  if (character == KEY_CHARACTER_DEAD) return {kNoMatrixKey, 0};
  if (character >= 0x20 && character <= 0xFF) {
    for (int k = 0; k < kKeys; ++k) {
      if (!table[k].characters) continue;
      if (table[k].unshifted == character) return {static_cast<uint8_t>(k), 0};
      if (table[k].shifted == character) return {static_cast<uint8_t>(k), 1};
    }
  }
  const uint8_t hostShift = (modifiers & KEY_MOD_SHIFT) ? 1 : 0;
  for (int k = 0; k < kKeys; ++k) {
    const SymbolicKey& e = table[k];
    if (e.characters || e.unshifted == 0 || is_modifier(static_cast<int>(e.unshifted))) continue;
    if (e.unshifted == vk) return {static_cast<uint8_t>(k), hostShift};
    if (e.shifted == vk) return {static_cast<uint8_t>(k), 1};
  }
  if (is_letter(character) || is_modifier(vk)) return {kNoMatrixKey, 0};
  for (const SymbolicFallback& f : kSymbolicFallbacks)
    if (f.vk == vk) return {f.key, hostShift};
  const uint8_t* positional = positional_table();
  for (int k = 0; k < kKeys; ++k)
    if (positional[k] == vk) return {static_cast<uint8_t>(k), hostShift};
  return {kNoMatrixKey, 0};
}

void rebuild_symbolic() {
  uint64_t matrix = 0;
  uint32_t newest = 0;
  uint8_t shift = 0;
  for (int vk = 1; vk < 256; ++vk) {
    if (!ks.down[vk] || ks.matrixKey[vk] == kNoMatrixKey) continue;
    matrix |= uint64_t{1} << ks.matrixKey[vk];
    if (ks.pressOrder[vk] >= newest) {
      newest = ks.pressOrder[vk];
      shift = ks.shifted[vk];
    }
  }
  ks.symbolicMatrix = matrix;
  ks.emulatedShift = shift;
}

// A change taken now is seen by the frame "observer": the frame about to
// run when taken as a frame begins, else the next one.
void apply(const KeyEvent& e, uint32_t observer) {
  const uint8_t m = e.down ? e.matrixKey : ks.matrixKey[e.vk];
  if (m != kNoMatrixKey && ks.down[e.vk] != e.down) ks.matrixObservedBy[m] = observer;
  if (ks.down[e.vk] != e.down)
    ks.heldCount = static_cast<uint16_t>(ks.heldCount + (e.down ? 1 : -1));
  ks.down[e.vk] = e.down;
  ks.observedBy[e.vk] = observer;
  if (e.down) {
    ks.pressObservedBy = observer;
    ks.matrixKey[e.vk] = e.matrixKey;
    ks.shifted[e.vk] = e.shifted;
    ks.pressOrder[e.vk] = ++ks.pressCount;
  } else {
    ks.matrixKey[e.vk] = kNoMatrixKey;
  }
  rebuild_symbolic();
}

// A change may be taken unless the frame that sees it would also see the
// key's last change, or, for a press, the last press: every state lasts a
// frame.
bool may_apply(const KeyEvent& e, uint32_t observer) {
  if (ks.observedBy[e.vk] >= observer) return false;
  const uint8_t m = e.down ? e.matrixKey : ks.matrixKey[e.vk];
  if (m != kNoMatrixKey && ks.matrixObservedBy[m] >= observer) return false;
  return !(e.down && ks.pressObservedBy >= observer);
}

void take_waiting(uint32_t observer) {
  while (ks.queueCount > 0) {
    const KeyEvent& e = ks.queue[ks.queueHead];
    if (!may_apply(e, observer)) break;
    apply(e, observer);
    ks.queueHead = static_cast<uint16_t>((ks.queueHead + 1) % kKeyQueueSize);
    --ks.queueCount;
  }
}

void push(const KeyEvent& e) {
  const uint32_t observer = ks.frame + 1;
  if (ks.queueCount == 0 && may_apply(e, observer)) {
    apply(e, observer);
    return;
  }
  if (ks.queueCount == kKeyQueueSize) {
    // Far more typed than a frame a change can take: the oldest change is
    // taken at once rather than lost.
    apply(ks.queue[ks.queueHead], observer);
    ks.queueHead = static_cast<uint16_t>((ks.queueHead + 1) % kKeyQueueSize);
    --ks.queueCount;
  }
  ks.queue[(ks.queueHead + ks.queueCount) % kKeyQueueSize] = e;
  ++ks.queueCount;
}

// The machine's view of Alt: while it is held, the positional reads see no key.
bool alt_held() { return keyboard_host_key_held(VKEY_MENU); }

} // namespace

bool keyboard_host_key_held(int vk) {
  switch (vk) {
  case VKEY_SHIFT: return held(VKEY_SHIFT) || held(VKEY_LSHIFT) || held(VKEY_RSHIFT);
  case VKEY_CONTROL: return held(VKEY_CONTROL) || held(VKEY_LCONTROL) || held(VKEY_RCONTROL);
  case VKEY_MENU: return held(VKEY_MENU) || held(VKEY_LMENU) || held(VKEY_RMENU);
  default: return held(vk);
  }
}

void keyboard_key_event(uint8_t vk, bool down, uint16_t character, uint32_t modifiers) {
  if (vk == 0) return;
  if (down) {
    // A repeat of a key held (or held away from the machine) changes nothing.
    if (ks.blocked[vk] || ks.wanted[vk]) return;
    // Alt+key is the host's menu shortcut; AltGr (Ctrl+Alt) types
    // characters in symbolic mode.
    const bool alt = (modifiers & KEY_MOD_ALT) != 0 && !is_modifier(vk);
    const bool altGr = (modifiers & KEY_MOD_CTRL) != 0;
    if (alt && !(ks.symbolic && altGr && character != KEY_CHARACTER_NONE)) {
      ks.blocked[vk] = 1;
      return;
    }
  } else if (ks.blocked[vk]) {
    ks.blocked[vk] = 0;
    return;
  }
  if (!down && !ks.wanted[vk]) return;
  ks.wanted[vk] = down ? 1 : 0;
  KeyEvent e{vk, static_cast<uint8_t>(down ? 1 : 0), kNoMatrixKey, 0};
  if (down && ks.symbolic && model() != MODEL_VELTRA16) {
    const Resolved r = resolve_symbolic(vk, character, modifiers);
    e.matrixKey = r.key;
    e.shifted = r.shifted;
  }
  push(e);
}

void keyboard_frame_begin() {
  ++ks.frame;
  take_waiting(ks.frame);
}

void keyboard_release_all() {
  const uint8_t symbolic = ks.symbolic;
  const uint32_t frame = ks.frame;
  std::memset(&ks, 0, sizeof ks);
  ks.symbolic = symbolic;
  ks.frame = frame;
  std::memset(ks.matrixKey, kNoMatrixKey, sizeof ks.matrixKey);
}

namespace {
// Nothing held, the usual case: the firmware scans the matrix many times
// a frame, and every column reads as released.
bool nothing_held() { return ks.heldCount == 0 && ks.symbolicMatrix == 0 && !ks.emulatedShift; }
} // namespace

uint8_t keyboard_read_column(uint16_t address) {
  if (nothing_held()) return 0xFF;
  const int column = address & 0x0F;
  uint8_t bits = 0;
  if (ks.symbolic) {
    // Alt alone (not AltGr, Ctrl+Alt) releases everything.
    if (!(alt_held() && !keyboard_host_key_held(VKEY_CONTROL))) {
      bits = static_cast<uint8_t>((ks.symbolicMatrix >> (4 * column)) & 0x0F);
      if (column == kEmulatedShiftLeft / 4 && ks.emulatedShift)
        bits |= (1 << (kEmulatedShiftLeft % 4)) | (1 << (kEmulatedShiftRight % 4));
    }
  } else if (!alt_held()) {
    const uint8_t* table = positional_table();
    for (int b = 0; b < 4; ++b) {
      const uint8_t key = table[4 * column + b];
      if (key && keyboard_host_key_held(key)) bits |= static_cast<uint8_t>(1 << b);
    }
  }
  return static_cast<uint8_t>(bits ^ 0xFF);
}

uint8_t keyboard_read_rows(uint8_t selector) {
  if (nothing_held() || alt_held()) return 0;
  uint8_t result = 0;
  for (int row = 0; row < 8; ++row) {
    if (!(selector & (1 << row))) continue;
    for (int b = 0; b < 8; ++b) {
      const uint8_t key = kVeltraPositional[row][b];
      if (key && keyboard_host_key_held(key)) result |= static_cast<uint8_t>(1 << b);
    }
    if (!ks.symbolic) continue;
    for (const VeltraExtra& extra : kVeltraSymbolicExtras)
      if (extra.key / 8 == row && keyboard_host_key_held(extra.vk))
        result |= static_cast<uint8_t>(1 << (extra.key % 8));
  }
  return result;
}

void keyboard_set_mode(uint32_t symbolic) {
  keyboard_release_all();
  ks.symbolic = symbolic != 0 ? 1 : 0;
}

namespace {

bool flags_valid(const uint8_t* values, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (values[i] > 1) return false;
  return true;
}
bool keys_valid(const uint8_t* values, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (values[i] != kNoMatrixKey && values[i] >= 64) return false;
  return true;
}

} // namespace

void keyboard_state_save(StateWriter& w) {
  w.u8(ks.symbolic);
  w.bytes(ks.down, sizeof ks.down);
  w.u32s(ks.observedBy, 256);
  w.u32s(ks.matrixObservedBy, 64);
  w.bytes(ks.blocked, sizeof ks.blocked);
  w.bytes(ks.wanted, sizeof ks.wanted);
  w.bytes(ks.matrixKey, sizeof ks.matrixKey);
  w.bytes(ks.shifted, sizeof ks.shifted);
  w.u32s(ks.pressOrder, 256);
  w.u32(ks.pressCount);
  w.u32(ks.frame);
  w.u32(ks.pressObservedBy);
  w.u64(ks.symbolicMatrix);
  w.u8(ks.emulatedShift);
  w.u16(ks.queueHead);
  w.u16(ks.queueCount);
  for (uint16_t i = 0; i < ks.queueCount; ++i) {
    const KeyEvent& e = ks.queue[(ks.queueHead + i) % kKeyQueueSize];
    w.u8(e.vk);
    w.u8(e.down);
    w.u8(e.matrixKey);
    w.u8(e.shifted);
  }
}

bool keyboard_state_load(StateReader& r, bool apply) {
  // Read into a copy: the state is large but loads are rare, and the copy
  // is checked whole before it replaces the keyboard's.
  static KeyboardState s;
  s = KeyboardState{};
  s.symbolic = r.u8();
  r.bytes(s.down, sizeof s.down, true);
  r.u32s(s.observedBy, 256, true);
  r.u32s(s.matrixObservedBy, 64, true);
  r.bytes(s.blocked, sizeof s.blocked, true);
  r.bytes(s.wanted, sizeof s.wanted, true);
  r.bytes(s.matrixKey, sizeof s.matrixKey, true);
  r.bytes(s.shifted, sizeof s.shifted, true);
  r.u32s(s.pressOrder, 256, true);
  s.pressCount = r.u32();
  s.frame = r.u32();
  s.pressObservedBy = r.u32();
  s.symbolicMatrix = r.u64();
  s.emulatedShift = r.u8();
  const uint16_t head = r.u16();
  s.queueCount = r.u16();
  if (!r.ok() || s.symbolic > 1 || !flags_valid(s.down, 256) || !flags_valid(s.blocked, 256) ||
      !flags_valid(s.wanted, 256) || !flags_valid(s.shifted, 256) ||
      !keys_valid(s.matrixKey, 256) || s.emulatedShift > 1 || head >= kKeyQueueSize ||
      s.queueCount > kKeyQueueSize)
    return r.fail();
  // The waiting changes are stored oldest first and come back at the same
  // place of the ring.
  s.queueHead = head;
  for (uint16_t i = 0; i < s.queueCount; ++i) {
    KeyEvent& e = s.queue[(head + i) % kKeyQueueSize];
    e.vk = r.u8();
    e.down = r.u8();
    e.matrixKey = r.u8();
    e.shifted = r.u8();
    if (!r.ok() || e.down > 1 || e.shifted > 1 || !keys_valid(&e.matrixKey, 1)) return r.fail();
  }
  if (!apply) return true;
  for (uint8_t d : s.down) s.heldCount = static_cast<uint16_t>(s.heldCount + d);
  ks = s;
  return true;
}
