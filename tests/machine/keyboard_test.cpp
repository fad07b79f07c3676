// Keyboard reads in positional and symbolic mode, with and without Alt, on
// both matrices; pasting through the key-input trap.
#include <cstring>
#include <vector>

#include "cpu/state_io.h"
#include "cpu/traps.h"
#include "host/headless/headless.h"
#include "host/ui/key_layout.h"
#include "machine/keyboard.h"
#include "machine/rom.h"
#include "machine_fixture.h"

namespace {

class Keyboard : public MachineTest {};
class Paste : public MachineTest {};

TEST_F(Keyboard, PositionalColumnReads) {
  bring_up(MODEL_TARVIK41);
  EXPECT_EQ(keyboard_read_column(0xE000), 0xFF);
  press(VKEY_DOWN);
  EXPECT_EQ(keyboard_read_column(0xE000), 0xFE);
  press('Z'); // column 15 bit 3
  EXPECT_EQ(keyboard_read_column(0xE00F), 0xF7);
  press(VKEY_MENU); // Alt belongs to the host: everything reads released
  EXPECT_EQ(keyboard_read_column(0xE000), 0xFF);
  EXPECT_EQ(keyboard_read_column(0xE00F), 0xFF);
  release(VKEY_MENU);
  press(0xA5); // right Alt alone counts as Alt as well
  EXPECT_EQ(keyboard_read_column(0xE00F), 0xFF);
  release(0xA5);
  press('0'); // the host's 0 key is the machine's "0" on both tables
  EXPECT_EQ(keyboard_read_column(0xE004), 0xFE);
  bring_up(MODEL_DORVANE);
  press('0');
  EXPECT_EQ(keyboard_read_column(0xE004), 0xFE);
}

TEST_F(Keyboard, DorvaneHasItsOwnWiring) {
  bring_up(MODEL_DORVANE);
  press(VKEY_DOWN);
  EXPECT_EQ(keyboard_read_column(0xE000), 0xFF);
  EXPECT_EQ(keyboard_read_column(0xE006), 0xF7); // Down at column 6 bit 3
  release(VKEY_DOWN);
  press(VKEY_OEM_1);
  EXPECT_EQ(keyboard_read_column(0xE000), 0xFE);
  press(VKEY_LEFT);
  EXPECT_EQ(keyboard_read_column(0xE000), 0xFA);
}

// A symbolic key event as a host layout reports it: the key and what it types.
void key(int vk, bool down, uint16_t character, uint32_t modifiers = 0) {
  keyboard_key_event(static_cast<uint8_t>(vk), down, character, modifiers);
}

bool emulated_shift() { return (keyboard_read_column(0xE002) & 0x06) == 0; }

TEST_F(Keyboard, SymbolicCharacterIsDecidedWhenItsKeyGoesDown) {
  bring_up(MODEL_TARVIK41);
  machine_set_symbolic_keyboard(1);
  // "(" typed as Shift+9 (a US layout): the emulated "8" key with Shift.
  key(VKEY_LSHIFT, true, 0);
  keyboard_frame_begin();
  key('9', true, '(', KEY_MOD_SHIFT);
  keyboard_frame_begin();
  EXPECT_EQ(keyboard_read_column(0xE006), 0xFE);
  EXPECT_TRUE(emulated_shift());
  // Shift let go first: the key stays what it was when it went down.
  key(VKEY_LSHIFT, false, 0);
  keyboard_frame_begin();
  EXPECT_EQ(keyboard_read_column(0xE006), 0xFE);
  EXPECT_TRUE(emulated_shift());
  key('9', false, 0);
  keyboard_frame_begin();
  EXPECT_EQ(keyboard_read_column(0xE006), 0xFF);
  EXPECT_FALSE(emulated_shift());
  // A character typed without Shift releases the emulated Shift; "0" is
  // on column 4 bit 0.
  key('0', true, '0');
  keyboard_frame_begin();
  EXPECT_EQ(keyboard_read_column(0xE004), 0xFE);
  EXPECT_FALSE(emulated_shift());
}

TEST_F(Keyboard, SymbolicBackspaceIsShiftedLeftAndAltReleasesAll) {
  bring_up(MODEL_TARVIK41);
  machine_set_symbolic_keyboard(1);
  press(VKEY_BACK);
  EXPECT_EQ(keyboard_read_column(0xE000), 0xF7);
  EXPECT_TRUE(emulated_shift());
  press(VKEY_MENU);
  EXPECT_EQ(keyboard_read_column(0xE000), 0xFF);
  // AltGr (Ctrl+Alt) is not Alt: "#" is AltGr+X, Shift+3 on the machine.
  release(VKEY_BACK);
  press(VKEY_CONTROL);
  press('X');
  EXPECT_EQ(keyboard_read_column(0xE004), 0xF7);
}

TEST_F(Keyboard, SymbolicNationalLettersAndStandIns) {
  bring_up(MODEL_TARVIK41);
  machine_set_symbolic_keyboard(1);
  press(VKEY_OEM_1); // é on the host
  EXPECT_EQ(keyboard_read_column(0xE009), 0xF7);
  EXPECT_EQ(keyboard_read_column(0xE006), 0xFF); // not the positional OEM_1 key
  release(VKEY_OEM_1);
  press(VKEY_SHIFT);
  press(VKEY_OEM_7); // Á
  EXPECT_EQ(keyboard_read_column(0xE008), 0xFB);
  EXPECT_TRUE(emulated_shift());
  release(VKEY_OEM_7);
  release(VKEY_SHIFT);
  // A key that types none of the machine's characters presses its
  // positional key: End is "é"; "]" on a US layout is "ó"; the key above
  // Enter stands in for "ü"; a letter the machine lacks presses nothing.
  key(VKEY_END, true, 0);
  keyboard_frame_begin();
  EXPECT_EQ(keyboard_read_column(0xE009), 0xF7);
  key(VKEY_END, false, 0);
  keyboard_frame_begin();
  key(VKEY_OEM_6, true, ']');
  keyboard_frame_begin();
  EXPECT_EQ(keyboard_read_column(0xE00C), 0xFB);
  key(VKEY_OEM_6, false, 0);
  keyboard_frame_begin();
  key(VKEY_OEM_5, true, '\\');
  keyboard_frame_begin();
  EXPECT_EQ(keyboard_read_column(0xE00E), 0xFB);
  key(VKEY_OEM_5, false, 0);
  keyboard_frame_begin();
  key(VKEY_OEM_6, true, 0xFA); // ú
  keyboard_frame_begin();
  EXPECT_EQ(keyboard_read_column(0xE00C), 0xFF);
  // A dead key types nothing by itself.
  key(VKEY_OEM_6, false, 0);
  keyboard_frame_begin();
  key(VKEY_OEM_4, true, KEY_CHARACTER_DEAD);
  keyboard_frame_begin();
  EXPECT_EQ(keyboard_read_column(0xE00C), 0xFF);
}

// Keys typed faster than frames come: every press is seen for a whole
// frame, in order; a press and release between two frames is not lost.
TEST_F(Keyboard, QuickKeysAreSeenOneFrameEachInOrder) {
  bring_up(MODEL_TARVIK41);
  for (int vk : {'A', 'B', 'A'}) {
    headless_set_key(vk, true);
    headless_set_key(vk, false);
  }
  auto held = [] { return keyboard_read_column(0xE008); };
  EXPECT_EQ(held(), 0xFD); // A, taken at once
  keyboard_frame_begin();
  EXPECT_EQ(held(), 0xFD); // and seen by the frame that follows
  keyboard_frame_begin();
  EXPECT_EQ(held(), 0xF7); // A up, B down
  keyboard_frame_begin();
  EXPECT_EQ(held(), 0xFD); // B up, A down again: its release was seen
  keyboard_frame_begin();
  EXPECT_EQ(held(), 0xFF);
  EXPECT_EQ(keyboardState.queueCount, 0);
}

// A key pressed while Alt is held (a menu shortcut) never reaches the
// machine, even when Alt is let go first.
TEST_F(Keyboard, KeysPressedWithAltStayAwayUntilReleased) {
  for (uint32_t symbolic : {0u, 1u}) {
    bring_up(MODEL_TARVIK41);
    machine_set_symbolic_keyboard(symbolic);
    press(VKEY_LMENU);
    press('C');
    release(VKEY_LMENU);
    EXPECT_EQ(keyboard_read_column(0xE009), 0xFF) << symbolic;
    keyboard_frame_begin();
    EXPECT_EQ(keyboard_read_column(0xE009), 0xFF) << symbolic;
    release('C');
    press('C');
    EXPECT_EQ(keyboard_read_column(0xE009), 0xFE) << symbolic;
  }
}

TEST_F(Keyboard, SetModeClearsTheHostKeys) {
  bring_up(MODEL_TARVIK41);
  press('A');
  EXPECT_EQ(keyboard_read_column(0xE008), 0xFD);
  machine_set_symbolic_keyboard(0);
  EXPECT_EQ(keyboard_read_column(0xE008), 0xFF);
  EXPECT_EQ(machineState.symbolicKeyboard, 0u);
}

// The reads skip the matrix while no key is held; the count of held keys
// behind that follows presses, releases, two keys at once and a stored state.
TEST_F(Keyboard, HeldKeysCountThroughReleasesAndStoredStates) {
  bring_up(MODEL_TARVIK41);
  press(VKEY_DOWN);
  press('Z');
  release(VKEY_DOWN);
  EXPECT_EQ(keyboard_read_column(0xE000), 0xFF);
  EXPECT_EQ(keyboard_read_column(0xE00F), 0xF7); // Z still held
  std::vector<uint8_t> stored;
  StateWriter w(stored);
  keyboard_state_save(w);
  keyboard_release_all();
  EXPECT_EQ(keyboard_read_column(0xE00F), 0xFF);
  StateReader r(stored.data(), stored.size());
  ASSERT_TRUE(keyboard_state_load(r, true));
  EXPECT_EQ(keyboard_read_column(0xE00F), 0xF7);
  release('Z');
  EXPECT_EQ(keyboard_read_column(0xE00F), 0xFF);
  press(VKEY_DOWN); // the count did not go below zero on the way
  EXPECT_EQ(keyboard_read_column(0xE000), 0xFE);
}

TEST_F(Keyboard, VeltraRows) {
  bring_up(MODEL_VELTRA16);
  EXPECT_EQ(keyboard_read_rows(0xFF), 0);
  press('A'); // row 4 bit 1
  press('P'); // row 6 bit 0
  EXPECT_EQ(keyboard_read_rows(1 << 4), 0x02);
  EXPECT_EQ(keyboard_read_rows(1 << 6), 0x01);
  EXPECT_EQ(keyboard_read_rows((1 << 4) | (1 << 6)), 0x03);
  EXPECT_EQ(keyboard_read_rows(1 << 5), 0);
  press(VKEY_MENU);
  EXPECT_EQ(keyboard_read_rows(0xFF), 0);
}

TEST_F(Keyboard, VeltraSymbolicExtras) {
  bring_up(MODEL_VELTRA16);
  press(VKEY_DOWN);
  EXPECT_EQ(keyboard_read_rows(0x03), 0); // positional: Down is no key
  machine_set_symbolic_keyboard(1);
  press(VKEY_DOWN);
  EXPECT_EQ(keyboard_read_rows(0x01), 0x01); // Shift
  EXPECT_EQ(keyboard_read_rows(0x02), 0x02); // with Up
  release(VKEY_DOWN);
  press(VKEY_BACK);
  EXPECT_EQ(keyboard_read_rows(0x04), 0x01);
  EXPECT_EQ(keyboard_read_rows(0x01), 0x01);
}

// A key-input poll as the ROM makes it: execute from 0x0566.
uint8_t tarvik_poll() {
  cpu.pc = 0x0566;
  cpu.af.h = 0xEE;
  cpu_run(0); // ED n: the trap
  return cpu.af.h;
}

TEST_F(Paste, RepeatedCharacterIsSeparatedByAZero) {
  bring_up(MODEL_TARVIK41);
  uint8_t original[3];
  std::memcpy(original, memory + 0x0566, 3);
  const uint32_t trapsBefore = trapCount; // the tape traps stay installed
  ASSERT_TRUE(paste_begin("AA", 2));
  EXPECT_EQ(trapCount, trapsBefore + 1);
  EXPECT_EQ(memory[0x0566], 0xED);
  EXPECT_EQ(tarvik_poll(), 'A');
  EXPECT_EQ(tarvik_poll(), 0);
  EXPECT_EQ(tarvik_poll(), 'A');
  EXPECT_TRUE(paste_active());
  // Exhausted: the ROM bytes come back and the ROM's own instruction runs.
  cpu.pc = 0x0566;
  cpu_run(0);
  EXPECT_FALSE(paste_active());
  EXPECT_EQ(cpu.pc, 0x0566);
  EXPECT_EQ(std::memcmp(memory + 0x0566, original, 3), 0);
  EXPECT_EQ(trapCount, trapsBefore);
}

TEST_F(Paste, NationalLettersAndLineEnds) {
  bring_up(MODEL_TARVIK41);
  const char text[] = "\xC1\r\nb\xFB";
  ASSERT_TRUE(paste_begin(text, sizeof text - 1));
  EXPECT_EQ(tarvik_poll(), 0x40);
  EXPECT_EQ(tarvik_poll(), 13);
  EXPECT_EQ(tarvik_poll(), 'b'); // the line feed is skipped
  EXPECT_EQ(tarvik_poll(), 0xBD);
  EXPECT_EQ(paste_translate_tarvik('x'), 'x');
}

TEST_F(Paste, VeltraDeliversInCWithCarryAndComplement) {
  bring_up(MODEL_VELTRA16);
  ASSERT_TRUE(paste_begin("a ", 2));
  EXPECT_EQ(memory[0x0309], 0xED);
  cpu.pc = 0x0309;
  cpu.af.l = 0;
  cpu_run(0);
  EXPECT_EQ(cpu.bc.l, 0x21);
  EXPECT_EQ(memory[0x404B], 0xDE);
  EXPECT_TRUE(cpu.af.l & FLAG_C);
  cpu.pc = 0x0309;
  cpu_run(0);
  EXPECT_EQ(cpu.bc.l, 0x40);
  EXPECT_EQ(paste_translate_veltra('0'), 0x10);
  EXPECT_EQ(paste_translate_veltra('='), 0x67);
  EXPECT_EQ(paste_translate_veltra('_'), 0x3F);
  // Punctuation below "0" never lands on a letter's code.
  for (int c = 0x21; c < 0x30; ++c)
    EXPECT_GE(paste_translate_veltra(static_cast<uint8_t>(c)), 0x60) << c;
}

TEST_F(Paste, EmptyTextAndDropAndModelChange) {
  bring_up(MODEL_TARVIK41);
  EXPECT_FALSE(paste_begin("", 0));
  EXPECT_FALSE(paste_begin(nullptr, 3));
  EXPECT_FALSE(paste_active());
  ASSERT_TRUE(paste_begin("XYZ", 3));
  paste_drop();
  cpu.pc = 0x0566;
  cpu_run(0); // the trap finds nothing and removes itself
  EXPECT_FALSE(paste_active());
  EXPECT_NE(memory[0x0566], 0xED);

  ASSERT_TRUE(paste_begin("XYZ", 3));
  ASSERT_TRUE(machine_select_model(MODEL_VELTRA16));
  EXPECT_FALSE(paste_active());
  EXPECT_EQ(trapCount, 0u);
  EXPECT_EQ(memory[0x0566], rom_for_model(MODEL_VELTRA16)[0x0566]);
}

} // namespace

namespace {

// A stand-in key presses its key where the layout gives it no letter and
// none of the characters the map names.
bool stands_in_on_hungarian(int vk, const KeyMapEntry* map, int count) {
  int place = 0;
  const uint8_t c = layout_key_label(hungarianLayout, vk, &place);
  if (c == 0) return true;
  if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') return false;
  if (c >= 0xC0) return false;
  for (int i = 0; i < count; ++i)
    for (int h = 0; h < map[i].hostCount; ++h)
      if (map[i].host[h].character == c) return false;
  return true;
}

bool matrix_pressed(uint32_t m, int index) {
  if (m == MODEL_VELTRA16)
    return (keyboard_read_rows(static_cast<uint8_t>(1 << (index / 8))) >> (index % 8)) & 1;
  return !((keyboard_read_column(static_cast<uint16_t>(0xE000 + index / 4)) >> (index % 4)) & 1);
}

} // namespace

// The help's key map on every model in both modes: each host key or
// character it names presses that key of the matrix (characters typed as
// the host layout types them); in positional mode no other host key
// presses a key without the map naming it there.
TEST_F(Keyboard, TheKeyMapAgreesWithTheMatrix) {
  for (uint32_t m : {MODEL_TARVIK31, MODEL_TARVIK41, MODEL_DORVANE, MODEL_VELTRA16})
    for (bool symbolic : {false, true}) {
      SCOPED_TRACE(testing::Message() << "model " << m << (symbolic ? " symbolic" : " positional"));
      bring_up(m);
      machine_set_symbolic_keyboard(symbolic ? 1 : 0);
      KeyMapEntry map[kKeyMapMost];
      const int count = keyboard_key_map(m, symbolic, map);
      ASSERT_GE(count, 55);
      int reachable = 0;
      for (int i = 0; i < count; ++i) {
        const KeyMapEntry& e = map[i];
        ASSERT_NE(e.legend, nullptr) << int(e.index);
        for (int h = 0; h < e.hostCount; ++h) {
          int vk = e.host[h].virtualKey, modifiers = 0;
          if (e.host[h].fallback && !stands_in_on_hungarian(vk, map, count)) continue;
          if (!vk) {
            const int scanned = layout_key_for_character(hungarianLayout, e.host[h].character);
            ASSERT_GE(scanned, 0) << e.legend;
            vk = scanned & 0xFF;
            modifiers = scanned >> 8;
          }
          const int held[] = {modifiers & 1 ? VKEY_SHIFT : 0, modifiers & 2 ? VKEY_CONTROL : 0,
                              modifiers & 4 ? VKEY_MENU : 0, vk};
          for (int k : held)
            if (k) press(k);
          EXPECT_TRUE(matrix_pressed(m, e.index)) << e.legend << " by key " << vk;
          for (int k : held)
            if (k) release(k);
          ++reachable;
        }
      }
      EXPECT_GE(reachable, 50);
      if (symbolic) continue;
      for (int vk = 1; vk < 255; ++vk) {
        if (vk == VKEY_MENU || (vk >= 0xA0 && vk <= 0xA5 && m != MODEL_VELTRA16)) continue;
        press(vk);
        for (int index = 0; index < 64; ++index) {
          if (!matrix_pressed(m, index)) continue;
          bool named = false;
          for (int i = 0; i < count; ++i)
            if (map[i].index == index && map[i].hostCount && map[i].host[0].virtualKey == vk)
              named = true;
          EXPECT_TRUE(named) << "key " << vk << " presses " << index;
        }
        release(vk);
      }
    }
}
