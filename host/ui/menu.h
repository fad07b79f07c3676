// The menu bar and the accelerator table as data: the Windows shell builds
// its menu from this table, the headless platform keeps the check marks by
// it, and both translate keys through the accelerators.
#pragma once

#include <cstdint>

#include "machine/virtual_keys.h"

// Command identifiers of the menu items and accelerators. Scripts name them
// without the prefix ("command PAUSE"); commandNames lists those names.
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
  CMD_RAM_4K = 133, // 133-139: RAM size index = id - 133
  CMD_RAM_6K = 134,
  CMD_RAM_8K = 135,
  CMD_RAM_16K = 136,
  CMD_RAM_32K = 137,
  CMD_RAM_UNLISTED = 138, // RAM size index 5 (top 0xD7FF): no menu item
  CMD_RAM_64K = 139,
  CMD_RAM_FIRST = CMD_RAM_4K,
  CMD_RAM_LAST = CMD_RAM_64K,
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
  CMD_MODEL_TARVIK31 = 40014, // 40014-40017: model index = id - 40014
  CMD_MODEL_TARVIK41 = 40015,
  CMD_MODEL_DORVANE = 40016,
  CMD_MODEL_VELTRA16 = 40017,
  CMD_MODEL_FIRST = CMD_MODEL_TARVIK31,
  CMD_MODEL_LAST = CMD_MODEL_VELTRA16,
  CMD_FULL_SCREEN = 40019,
  CMD_SYMBOLIC_KEYBOARD = 40026,
  CMD_KEEP_ASPECT = 40028,
  CMD_AUTOLOAD = 40029,
  CMD_SOUND_OFF = 40030, // 40030-40032: sound driver index = id - 40030
  CMD_SOUND_DIRECTSOUND = 40031,
  CMD_SOUND_WAVEOUT = 40032,
  CMD_SOUND_FIRST = CMD_SOUND_OFF,
  CMD_SOUND_LAST = CMD_SOUND_WAVEOUT,
  CMD_AVI = 40037,
  CMD_SOUND_RECORD = 40038,
  CMD_DOUBLE_SCAN = 40040,
  CMD_PASTE = 40041,
  CMD_COPY_SCREEN = 40042,
  CMD_CONSOLE_MONITOR = 40043,
  CMD_FAST_TAPE = 40050,
  CMD_RECENT_1 = 40060, // 40060-40067: the recent files, newest first
  CMD_RECENT_2 = 40061,
  CMD_RECENT_3 = 40062,
  CMD_RECENT_4 = 40063,
  CMD_RECENT_5 = 40064,
  CMD_RECENT_6 = 40065,
  CMD_RECENT_7 = 40066,
  CMD_RECENT_8 = 40067,
  CMD_RECENT_FIRST = CMD_RECENT_1,
  CMD_RECENT_LAST = CMD_RECENT_8,
  CMD_QUICK_SAVE = 40070,
  CMD_QUICK_LOAD = 40071,
  CMD_PIXEL_EXACT = 40080,
  CMD_STATE_SAVE = 40090,
  CMD_STATE_LOAD = 40091,
  CMD_REPLAY_RECORD = 40092,
  CMD_REWIND = 40093,
  CMD_TAPE_FILTER = 40094,
  CMD_WAV_TO_TKT = 40095,
  CMD_TKT_TO_WAV = 40096,
  CMD_READ_ALOUD = 40097,
  CMD_TAPE_BROWSER = 40098,
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
// The items one of a group is chosen from (model, RAM size, sound), and the
// items that are switched on and off; both show a check mark.
bool menu_item_is_radio(int id);
bool menu_item_is_check(int id);
// The label of the items whose text the host sets while it runs (the recent
// files) until it does; the platform shows or hides them as told
// (platform_menu_set_item).
inline constexpr const char* MENU_EMPTY_LABEL = "(üres)";

// Every command by its script name: the identifier without "CMD_".
struct CommandName {
  const char* name;
  uint16_t id;
};
extern const CommandName commandNames[];
extern const int commandNameCount;
// The command of a script name (case-insensitive) or of a decimal id, or 0
// when there is no such command.
int command_by_name(const char* text);

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
