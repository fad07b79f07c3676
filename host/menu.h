// The menu bar and the accelerator table as data: the Windows shell builds
// its menu from this table, the headless platform keeps the check marks by
// it, and both translate keys through the accelerators.
#pragma once

#include <cstdint>

// Command identifiers of the menu items and accelerators.
enum Command : uint16_t {
  CMD_EXIT = 102,
  CMD_ABOUT = 103,
  CMD_PAUSE = 104,
  CMD_RESET = 105,
  CMD_SYNC_SPEED = 106,
  CMD_MONITOR = 108,
  CMD_RESTART = 109,
  CMD_SCREENSHOT = 112,
  CMD_WAV_CREATE = 120,
  CMD_WAV_CLOSE = 121,
  CMD_WAV_PLAY_RECORD = 122,
  CMD_SCREENSHOT_AS = 129,
  CMD_WAV_REWIND = 130,
  CMD_COLD_RESTART = 131,
  CMD_VIDEO_DRIVER = 132,
  CMD_RAM_FIRST = 133, // 133-139: RAM size index = id - 133 (138 has no item)
  CMD_RAM_LAST = 139,
  CMD_SNAPSHOT_LOAD = 140,
  CMD_SNAPSHOT_SAVE = 141,
  CMD_KEYBOARD_CHART = 40002,
  CMD_WAV_ATTACH = 40003,
  CMD_SCREEN_MODE_32 = 40004,
  CMD_LOAD_BINARY = 40006,
  CMD_LOAD_CHARSET = 40008,
  CMD_RESTORE_CHARSET = 40009,
  CMD_SAVE_MEMORY = 40010,
  CMD_TAPE_ATTACH = 40011,
  CMD_TAPE_DETACH = 40012,
  CMD_MODEL_FIRST = 40014, // 40014-40017: model index = id - 40014
  CMD_MODEL_LAST = 40017,
  CMD_FULL_SCREEN = 40019,
  CMD_SYMBOLIC_KEYBOARD = 40026,
  CMD_KEEP_ASPECT = 40028,
  CMD_AUTOLOAD = 40029,
  CMD_SOUND_FIRST = 40030, // 40030-40032: sound driver index = id - 40030
  CMD_SOUND_LAST = 40032,
  CMD_AVI = 40037,
  CMD_SOUND_RECORD = 40038,
  CMD_DOUBLE_SCAN = 40040,
  CMD_PASTE = 40041,
  CMD_COPY_SCREEN = 40042,
  CMD_CONSOLE_MONITOR = 40043,
};

enum MenuEntryKind : uint8_t { MENU_POPUP, MENU_ITEM, MENU_SEPARATOR };

// One row of the menu bar, top to bottom. depth 0 is a menu of the bar,
// depth 1 its items and sub-menus, depth 2 the items of a sub-menu; a
// pop-up holds the rows of greater depth that follow it.
struct MenuEntry {
  MenuEntryKind kind;
  uint8_t depth;
  uint16_t id;          // 0 for pop-ups and separators
  const char* label;    // "&" marks the mnemonic
  const char* shortcut; // shown after a tab, or ""
};
extern const MenuEntry menuEntries[];
extern const int menuEntryCount;
// The menu entry with this id, or null.
const MenuEntry* menu_find(int id);

// Virtual-key codes of the keys the host itself looks at.
enum VirtualKey : uint8_t {
  VKEY_BACK = 0x08,
  VKEY_TAB = 0x09,
  VKEY_RETURN = 0x0D,
  VKEY_SHIFT = 0x10,
  VKEY_CONTROL = 0x11,
  VKEY_MENU = 0x12, // Alt
  VKEY_PAUSE = 0x13,
  VKEY_ESCAPE = 0x1B,
  VKEY_SPACE = 0x20,
  VKEY_PRIOR = 0x21, // Page Up
  VKEY_NEXT = 0x22,  // Page Down
  VKEY_END = 0x23,
  VKEY_HOME = 0x24,
  VKEY_LEFT = 0x25,
  VKEY_UP = 0x26,
  VKEY_RIGHT = 0x27,
  VKEY_DOWN = 0x28,
  VKEY_DELETE = 0x2E,
  VKEY_F1 = 0x70,
  VKEY_F2 = 0x71,
  VKEY_F3 = 0x72,
  VKEY_F5 = 0x74,
  VKEY_F6 = 0x75,
  VKEY_F7 = 0x76,
  VKEY_F8 = 0x77,
  VKEY_F9 = 0x78,
};

enum : uint8_t { ACCEL_ALT = 1, ACCEL_CONTROL = 2, ACCEL_SHIFT = 4 };
struct Accelerator {
  uint8_t key; // virtual key
  uint8_t modifiers;
  uint16_t command;
};
extern const Accelerator accelerators[];
extern const int acceleratorCount;
// The command of a key pressed with exactly these modifiers, or 0.
int accelerator_find(int key, uint8_t modifiers);
