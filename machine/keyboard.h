// The keyboard matrices and the positional and symbolic key mapping.
#pragma once

#include <cstddef>
#include <cstdint>

#include "machine/virtual_keys.h"

// The host's modifiers as the host reports them with a key event.
enum : uint32_t { KEY_MOD_SHIFT = 0x100, KEY_MOD_CTRL = 0x200, KEY_MOD_ALT = 0x400 };
// What a key event types on the host's layout: a code page 1250 character,
// none (a key that types nothing, or a character the machine's code page
// lacks), or a dead key (an accent that waits for the next key).
enum : uint16_t { KEY_CHARACTER_NONE = 0, KEY_CHARACTER_DEAD = 0x100 };

// The host keys as the machine sees them. The host reports every key change
// as it comes (keyboard_key_event); the machine takes the changes in their
// order, at most one press and one change of any key in a frame, so that a
// key that went down and up between two reads of its column is still seen
// for a whole frame, and quickly typed keys arrive one by one (two host keys
// that press the same matrix key, "=" and "-", are apart by a frame). In symbolic
// mode the matrix key a host key presses is decided when it goes down and
// kept until it is released. A key that went down while Alt was held (a
// menu shortcut) stays away from the machine until it is released.
constexpr int kKeyQueueSize = 256;
constexpr uint8_t kNoMatrixKey = 0xFF;
struct KeyEvent {
  uint8_t vk;
  uint8_t down;
  uint8_t matrixKey; // symbolic mode: the key it presses, kNoMatrixKey for none
  uint8_t shifted;   // symbolic mode: with the emulated Shift
};
struct KeyboardState {
  uint8_t symbolic;              // symbolic mode (Tarvik models: by character)
  uint8_t down[256];             // by virtual key: held as the machine sees it
  uint32_t observedBy[256];      // the frame that sees the key's last change
  uint32_t matrixObservedBy[64]; // symbolic mode: the same for the matrix keys
  uint8_t blocked[256];          // went down with Alt held: kept away until released
  uint8_t wanted[256];           // held once the changes waiting are taken
  uint8_t matrixKey[256];        // symbolic mode: the key a held host key presses
  uint8_t shifted[256];          // ... and whether it needs the emulated Shift
  uint32_t pressOrder[256];      // symbolic mode: the newest press decides the Shift
  uint32_t pressCount;           // the last press order given
  uint32_t frame;                // the frame running now (or the last that ran)
  uint32_t pressObservedBy;      // the frame that sees the last press
  uint64_t symbolicMatrix;       // symbolic mode: the Tarvik keys held, bit = key index
  uint8_t emulatedShift;         // symbolic mode: the emulated Shift keys are down
  uint16_t heldCount;            // host keys down as the machine sees them (not stored)
  uint16_t queueHead;            // the oldest change not yet taken
  uint16_t queueCount;
  KeyEvent queue[kKeyQueueSize];
};
extern KeyboardState keyboardState;

// A host key went down or up: vk is the Windows virtual key the host's
// layout gives it, character what it types (KEY_CHARACTER_*), modifiers
// the host's Shift, Ctrl and Alt held at that moment (KEY_MOD_*). A repeat
// of a held key changes nothing (after all keys were released, it presses
// the key again).
void keyboard_key_event(uint8_t vk, bool down, uint16_t character, uint32_t modifiers);
// A frame begins: the changes waiting are taken as far as the rules allow.
void keyboard_frame_begin();
// Every key released at once and the changes waiting dropped.
void keyboard_release_all();
// True while the machine sees the host key held (Shift, Ctrl and Alt count
// with their left and right keys).
bool keyboard_host_key_held(int vk);

// Tarvik column read (address AND 0x0F): pressed keys as 0 bits, bits 4-7 = 1.
uint8_t keyboard_read_column(uint16_t address);
// Veltra-16: the OR of the rows selected by 1 bits, pressed keys as 1 bits.
uint8_t keyboard_read_rows(uint8_t selector);
// Switches between positional and symbolic mode for the current model and
// releases every key.
void keyboard_set_mode(uint32_t symbolic);

// The key map for the help: every key of a model's matrix with its legend
// and the host keys that press it in a mode, read from the same tables as
// the matrix reads above, so that the two never disagree.
struct KeyMapHost {
  uint8_t virtualKey; // the host key, or 0 for a character
  uint8_t character;  // symbolic mode: a code page 1250 character, pressed
                      // by whatever the host layout types it with
  bool fallback;      // symbolic mode: the key presses it only where the
                      // host layout gives that key no letter and no
                      // character of the machine's
};
struct KeyMapEntry {
  uint8_t index;      // Tarvik: 4 * column + bit; Veltra-16: 8 * row + bit
  const char* legend; // UTF-8, as on the key: "shifted/plain" where it has two
  uint8_t hostCount;  // 0: no host key reaches it
  KeyMapHost host[4]; // the plain entry first
  bool automatic;     // symbolic mode: pressed by the emulator for a
                      // character typed with Shift
};
constexpr int kKeyMapMost = 64;
// Fills entries (room for kKeyMapMost) for the model (a MachineModel) and
// mode; returns how many.
int keyboard_key_map(uint32_t model, bool symbolic, KeyMapEntry* entries);

// "KEYS": keyboardState whole: the keys held as the machine sees them, the
// latches of the last changes, the changes waiting, the symbolic mode's
// decided keys and the emulated Shift.
class StateWriter;
class StateReader;
void keyboard_state_save(StateWriter& w);
bool keyboard_state_load(StateReader& r, bool apply);
