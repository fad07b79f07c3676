// The menu bar, the accelerators and the script names of the commands.
#include "host/ui/menu.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#define POPUP(depth, label)                                                                        \
  { MENU_POPUP, depth, 0, label, "" }
#define ITEM(depth, id, label, shortcut)                                                           \
  { MENU_ITEM, depth, id, label, shortcut }
#define SEPARATOR(depth)                                                                           \
  { MENU_SEPARATOR, depth, 0, "", "" }

const MenuEntry menuEntries[] = {
    POPUP(0, "&File"),
    ITEM(1, CMD_AUTOLOAD, "&Autoload...", ""),
    ITEM(1, CMD_LOAD_BINARY, "&ROM/BIN betöltése...", ""),
    ITEM(1, CMD_SAVE_MEMORY, "&Memória kimentése...", ""),
    SEPARATOR(1),
    POPUP(1, "&Karakterkészlet"),
    ITEM(2, CMD_LOAD_CHARSET, "&Saját betöltése ...", ""),
    ITEM(2, CMD_RESTORE_CHARSET, "&Eredeti visszaállítása", ""),
    ITEM(1, CMD_COPY_SCREEN, "Karaktermátrix a &vágólapra", "Alt+C"),
    ITEM(1, CMD_PASTE, "&Beszúrás vágólapról", "Alt+V"),
    SEPARATOR(1),
    POPUP(1, "&Pillanatfelvétel"),
    ITEM(2, CMD_SNAPSHOT_SAVE, "TKS mentése...", ""),
    ITEM(2, CMD_SNAPSHOT_LOAD, "TKS betöltése...", ""),
    ITEM(2, CMD_QUICK_SAVE, "&Gyors mentés", "F11"),
    ITEM(2, CMD_QUICK_LOAD, "Gyors &betöltés", "F12"),
    ITEM(2, CMD_STATE_SAVE, "Gépállapot mentése...", ""),
    ITEM(2, CMD_STATE_LOAD, "Gépállapot betöltése...", ""),
    ITEM(1, CMD_SCREENSHOT, "&Kép mentése", "F6"),
    ITEM(1, CMD_SCREENSHOT_AS, "Kép& mentése másként...", ""),
    ITEM(1, CMD_SOUND_RECORD, "&Hang mentése mint...", ""),
    ITEM(1, CMD_REPLAY_RECORD, "Visszajátszás &felvétele...", ""),
    POPUP(1, "&Legutóbbi file-ok"),
    ITEM(2, CMD_RECENT_1, MENU_EMPTY_LABEL, ""),
    ITEM(2, CMD_RECENT_2, MENU_EMPTY_LABEL, ""),
    ITEM(2, CMD_RECENT_3, MENU_EMPTY_LABEL, ""),
    ITEM(2, CMD_RECENT_4, MENU_EMPTY_LABEL, ""),
    ITEM(2, CMD_RECENT_5, MENU_EMPTY_LABEL, ""),
    ITEM(2, CMD_RECENT_6, MENU_EMPTY_LABEL, ""),
    ITEM(2, CMD_RECENT_7, MENU_EMPTY_LABEL, ""),
    ITEM(2, CMD_RECENT_8, MENU_EMPTY_LABEL, ""),
    SEPARATOR(1),
    ITEM(1, CMD_EXIT, "E&xit", ""),

    POPUP(0, "&Gép"),
    ITEM(1, CMD_PAUSE, "&Szünet", "Pause"),
    ITEM(1, CMD_RESET, "&Reset", "F1"),
    ITEM(1, CMD_RESTART, "R&estart", ""),
    ITEM(1, CMD_COLD_RESTART, "&Hideg Restart", "ALT+F1"),
    SEPARATOR(1),
    ITEM(1, CMD_MONITOR, "&Monitor", "ESC"),
    ITEM(1, CMD_CONSOLE_MONITOR, "&Interaktív monitor", "Alt+M"),
    SEPARATOR(1),
    POPUP(1, "&Típus"),
    ITEM(2, CMD_MODEL_VELTRA16, "Veltra-16", ""),
    ITEM(2, CMD_MODEL_TARVIK31, "Tarvik &3.1", ""),
    ITEM(2, CMD_MODEL_TARVIK41, "Tarvik 4.1", ""),
    ITEM(2, CMD_MODEL_DORVANE, "&Dorvane", ""),
    POPUP(1, "Memória"),
    ITEM(2, CMD_RAM_4K, "&4kb RAM", ""),
    ITEM(2, CMD_RAM_6K, "&6kb RAM", ""),
    ITEM(2, CMD_RAM_8K, "&8kb RAM", ""),
    ITEM(2, CMD_RAM_16K, "&16 kb RAM", ""),
    ITEM(2, CMD_RAM_32K, "32kb RAM", ""),
    ITEM(2, CMD_RAM_64K, "&64 kb RAM", ""),

    POPUP(0, "&Magnó"),
    ITEM(1, CMD_TAPE_ATTACH, "&TKT csatolása...", "ALT+D"),
    ITEM(1, CMD_TAPE_DETACH, "T&KT lezárása", ""),
    SEPARATOR(1),
    ITEM(1, CMD_WAV_ATTACH, "WAV &csatolása...", "ALT+T"),
    ITEM(1, CMD_WAV_CREATE, "&WAV készítés...", ""),
    ITEM(1, CMD_WAV_CLOSE, "WAV l&ezárása", ""),
    ITEM(1, CMD_WAV_PLAY_RECORD, "&Play/Record", "F5"),
    SEPARATOR(1),
    ITEM(1, CMD_WAV_REWIND, "&Visszacsévélés", "Home"),
    ITEM(1, CMD_TAPE_BROWSER, "&Blokkok...", ""),
    ITEM(1, CMD_TAPE_FILTER, "&Zajszűrés", ""),
    SEPARATOR(1),
    ITEM(1, CMD_WAV_TO_TKT, "WAV át&írása TKT-be...", ""),
    ITEM(1, CMD_TKT_TO_WAV, "TKT átí&rása WAV-ba...", ""),

    POPUP(0, "&Opciók"),
    ITEM(1, CMD_SYNC_SPEED, "&50 Hz timer", "ALT+W"),
    POPUP(1, "&Hang"),
    ITEM(2, CMD_SOUND_OFF, "&Kikapcsolva", ""),
    ITEM(2, CMD_SOUND_DIRECTSOUND, "DirectSound", ""),
    ITEM(2, CMD_SOUND_WAVEOUT, "WaveOut", ""),
    ITEM(1, CMD_SYMBOLIC_KEYBOARD, "&Szimbolikus billentyűzet", ""),
    SEPARATOR(1),
    ITEM(1, CMD_VIDEO_DRIVER, "&DDraw ki", ""),
    ITEM(1, CMD_DOUBLE_SCAN, "D&upla scan", ""),
    ITEM(1, CMD_SCREEN_MODE_32, "&32 oszlopos mód", ""),
    ITEM(1, CMD_KEEP_ASPECT, "&Képarány tartása", ""),
    SEPARATOR(1),
    ITEM(1, CMD_FULL_SCREEN, "&Teljes képernyős mód", ""),
    SEPARATOR(1),
    ITEM(1, CMD_FAST_TAPE, "&Gyors magnóbetöltés", ""),
    ITEM(1, CMD_PIXEL_EXACT, "&Pixelpontos nagyítás", ""),
    ITEM(1, CMD_REWIND, "&Visszatekerés (F3 nyomva tartva)", ""),
    ITEM(1, CMD_READ_ALOUD, "&Felolvasás", ""),

    POPUP(0, "&Segítség"),
    ITEM(1, CMD_KEYBOARD_CHART, "&Tasztatúra", ""),
    ITEM(1, CMD_ABOUT, "&A programról", ""),
};
const int menuEntryCount = sizeof menuEntries / sizeof menuEntries[0];

bool menu_item_is_radio(int id) {
  return (id >= CMD_MODEL_FIRST && id <= CMD_MODEL_LAST) ||
         (id >= CMD_RAM_FIRST && id <= CMD_RAM_LAST) ||
         (id >= CMD_SOUND_FIRST && id <= CMD_SOUND_LAST);
}

bool menu_item_is_check(int id) {
  switch (id) {
  case CMD_PAUSE:
  case CMD_MONITOR:
  case CMD_SOUND_RECORD:
  case CMD_WAV_PLAY_RECORD:
  case CMD_SYNC_SPEED:
  case CMD_SYMBOLIC_KEYBOARD:
  case CMD_VIDEO_DRIVER:
  case CMD_DOUBLE_SCAN:
  case CMD_SCREEN_MODE_32:
  case CMD_KEEP_ASPECT:
  case CMD_FAST_TAPE:
  case CMD_PIXEL_EXACT:
  case CMD_REPLAY_RECORD:
  case CMD_TAPE_FILTER:
  case CMD_REWIND:
  case CMD_READ_ALOUD: return true;
  default: return false;
  }
}

const MenuEntry* menu_find(int id) {
  for (const MenuEntry& entry : menuEntries)
    if (entry.kind == MENU_ITEM && entry.id == id) return &entry;
  return nullptr;
}

const Accelerator accelerators[] = {
    {'I', ACCEL_ALT, CMD_AVI},
    {VKEY_F6, 0, CMD_SCREENSHOT},
    {'C', ACCEL_ALT, CMD_COPY_SCREEN},
    {'V', ACCEL_ALT, CMD_PASTE},
    {VKEY_RETURN, ACCEL_ALT, CMD_FULL_SCREEN},
    {'T', ACCEL_ALT, CMD_WAV_ATTACH},
    {VKEY_HOME, 0, CMD_WAV_REWIND},
    {VKEY_F1, ACCEL_ALT, CMD_COLD_RESTART},
    {VKEY_F3, ACCEL_ALT, CMD_SYNC_SPEED},
    {'W', ACCEL_ALT, CMD_SYNC_SPEED},
    {'D', ACCEL_ALT, CMD_TAPE_ATTACH},
    {VKEY_F5, 0, CMD_WAV_PLAY_RECORD},
    {'M', ACCEL_ALT, CMD_CONSOLE_MONITOR},
    {VKEY_F11, 0, CMD_QUICK_SAVE},
    {VKEY_F12, 0, CMD_QUICK_LOAD},
};
const int acceleratorCount = sizeof accelerators / sizeof accelerators[0];

int accelerator_find(int key, uint8_t modifiers) {
  for (const Accelerator& a : accelerators)
    if (a.key == key && a.modifiers == modifiers) return a.command;
  return 0;
}

#define COMMAND(name)                                                                              \
  { #name, CMD_##name }

const CommandName commandNames[] = {
    COMMAND(EXIT),
    COMMAND(ABOUT),
    COMMAND(PAUSE),
    COMMAND(RESET),
    COMMAND(SYNC_SPEED),
    COMMAND(MONITOR),
    COMMAND(RESTART),
    COMMAND(SCREENSHOT),
    COMMAND(WAV_CREATE),
    COMMAND(WAV_CLOSE),
    COMMAND(WAV_PLAY_RECORD),
    COMMAND(SCREENSHOT_AS),
    COMMAND(WAV_REWIND),
    COMMAND(COLD_RESTART),
    COMMAND(VIDEO_DRIVER),
    COMMAND(RAM_4K),
    COMMAND(RAM_6K),
    COMMAND(RAM_8K),
    COMMAND(RAM_16K),
    COMMAND(RAM_32K),
    COMMAND(RAM_UNLISTED),
    COMMAND(RAM_64K),
    COMMAND(SNAPSHOT_LOAD),
    COMMAND(SNAPSHOT_SAVE),
    COMMAND(KEYBOARD_CHART),
    COMMAND(WAV_ATTACH),
    COMMAND(SCREEN_MODE_32),
    COMMAND(LOAD_BINARY),
    COMMAND(LOAD_CHARSET),
    COMMAND(RESTORE_CHARSET),
    COMMAND(SAVE_MEMORY),
    COMMAND(TAPE_ATTACH),
    COMMAND(TAPE_DETACH),
    COMMAND(MODEL_TARVIK31),
    COMMAND(MODEL_TARVIK41),
    COMMAND(MODEL_DORVANE),
    COMMAND(MODEL_VELTRA16),
    COMMAND(FULL_SCREEN),
    COMMAND(SYMBOLIC_KEYBOARD),
    COMMAND(KEEP_ASPECT),
    COMMAND(AUTOLOAD),
    COMMAND(SOUND_OFF),
    COMMAND(SOUND_DIRECTSOUND),
    COMMAND(SOUND_WAVEOUT),
    COMMAND(AVI),
    COMMAND(SOUND_RECORD),
    COMMAND(DOUBLE_SCAN),
    COMMAND(PASTE),
    COMMAND(COPY_SCREEN),
    COMMAND(CONSOLE_MONITOR),
    COMMAND(FAST_TAPE),
    COMMAND(RECENT_1),
    COMMAND(RECENT_2),
    COMMAND(RECENT_3),
    COMMAND(RECENT_4),
    COMMAND(RECENT_5),
    COMMAND(RECENT_6),
    COMMAND(RECENT_7),
    COMMAND(RECENT_8),
    COMMAND(QUICK_SAVE),
    COMMAND(QUICK_LOAD),
    COMMAND(PIXEL_EXACT),
    COMMAND(STATE_SAVE),
    COMMAND(STATE_LOAD),
    COMMAND(REPLAY_RECORD),
    COMMAND(REWIND),
    COMMAND(TAPE_FILTER),
    COMMAND(WAV_TO_TKT),
    COMMAND(TKT_TO_WAV),
    COMMAND(READ_ALOUD),
    COMMAND(TAPE_BROWSER),
};
const int commandNameCount = sizeof commandNames / sizeof commandNames[0];

int command_by_name(const char* text) {
  const size_t length = std::strlen(text);
  if (length > 0 && length <= 10 && std::strspn(text, "0123456789") == length) {
    const unsigned long long id = std::strtoull(text, nullptr, 10);
    for (const CommandName& c : commandNames)
      if (c.id == id) return c.id;
    return 0;
  }
  for (const CommandName& c : commandNames) {
    size_t i = 0;
    while (c.name[i] && std::toupper(static_cast<unsigned char>(text[i])) == c.name[i]) ++i;
    if (!c.name[i] && !text[i]) return c.id;
  }
  return 0;
}
