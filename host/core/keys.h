// The host keyboard as every platform reports it: one entry point for a key
// going down or up. The host keeps which keys are held (Shift, Ctrl and Alt
// with their left and right keys), runs the accelerators and its own keys,
// and hands every change to the machine's keyboard.
#pragma once

#include <cstdint>

// What a key event types (Unicode), besides a character.
enum : uint32_t { HOST_KEY_NO_CHARACTER = 0, HOST_KEY_DEAD = 0xFFFFFFFF };

// A key went down or up. vk: the Windows virtual key the host's layout gives
// it (left and right modifiers may come as their own keys or as the generic
// one); character: what it types with the modifiers held (HOST_KEY_* when it
// types none, or for a dead key that waits for the next one). A press goes
// through the accelerators, then to the host's own keys; Alt+key is left to
// the menu bar. Returns true when the host used the press (a platform then
// does not hand it on to its own menu handling).
bool host_key_event(int vk, bool down, uint32_t character);
// A key from where no keyboard layout is at hand (script lines, the
// headless platform): what it types with the modifiers held now comes from
// the Hungarian layout, the one the program's users type on. The first as a
// character (HOST_KEY_NO_CHARACTER when it types none), the second as
// host_key_event with that character on a press.
uint32_t host_key_hungarian_character(int vk);
// What the key shows on the Hungarian layout (platform_key_label of the
// programs without a keyboard layout of their own: tarvik-cli, the libretro
// core).
uint32_t host_key_hungarian_label(int vk, int* place);
bool host_key_typed(int vk, bool down);
// The same change without the accelerators and the host's keys: the key is
// held (or released) for the machine and for host_key_held only.
void host_key_state(int vk, bool down, uint32_t character);
bool host_key_held(int vk);
// The host's Shift, Ctrl and Alt held now, as KEY_MOD_* (machine/keyboard.h).
uint32_t host_key_modifiers();
// Every key released: the window lost the keys (focus, a menu loop).
void host_keys_release();
// The host's input language changed: keys released, a paste in progress
// dropped.
void host_input_language_changed();
