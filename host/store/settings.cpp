// Settings persistence: two tables bind the value names to the variables.
#include "host/store/settings.h"

#include <cstring>

#include "host/platform.h"
#include "host/store/recent_files.h"
#include "host/ui/menu.h"
#include "host/ui/menu_checks.h"
#include "machine/machine.h"
#include "media/wav_tape.h"

HostOptions hostOptions = kDefaultHostOptions;

namespace {

constexpr uint32_t kAny = 0xFFFFFFFF;

const SettingsEntry hostSettings[] = {
    {"SoundDriver", SETTINGS_NUMBER, &hostOptions.soundDriverIndex, 2},
    {"VideoDriver", SETTINGS_NUMBER, &hostOptions.VideoDriver, 1},
    {"SyncSpeed", SETTINGS_NUMBER, &hostOptions.SyncSpeed, 1},
    {"DoubleScan", SETTINGS_NUMBER, &hostOptions.DoubleScan, 1},
    {"KeepAspectRatio", SETTINGS_NUMBER, &hostOptions.KeepAspectRatio, 1},
    {"CompositeBlur", SETTINGS_NUMBER, &hostOptions.CompositeBlur, kAny},
    {"PixelExact", SETTINGS_NUMBER, &hostOptions.PixelExact, 1},
    {"FastTapeLoad", SETTINGS_NUMBER, &hostOptions.FastTapeLoad, 1},
    {"Rewind", SETTINGS_NUMBER, &hostOptions.Rewind, 1},
    {"TapeFilter", SETTINGS_NUMBER, &hostOptions.TapeFilter, 1},
    {"ReadAloud", SETTINGS_NUMBER, &hostOptions.ReadAloud, 1},
    {nullptr, 0, nullptr, 0},
};

const SettingsEntry machineSettings[] = {
    {"Model", SETTINGS_NUMBER, &machineState.currentModel, MODEL_COUNT - 1},
    {"KeyMapping", SETTINGS_NUMBER, &machineState.symbolicKeyboard, 1},
    {"TarvikMemSetup", SETTINGS_NUMBER, &machineState.ramSizeIndex, 6},
    {"TarvikScreenMode", SETTINGS_NUMBER, &machineState.screenMode32, 1},
    {nullptr, 0, nullptr, 0},
};

// The program's name, under which its key lives.
constexpr const char* kProgramName = "Tarvik";

} // namespace

const SettingsEntry* const settingsTables[] = {hostSettings, machineSettings, recentFileSettings,
                                               nullptr};

bool settings_open() {
  char path[160] = "Software\\Emulators\\";
  std::strncat(path, kProgramName, sizeof path - std::strlen(path) - 1);
  return platform_settings_open(path);
}

void settings_load() {
  for (int t = 0; settingsTables[t]; ++t)
    for (const SettingsEntry* e = settingsTables[t]; e->name; ++e) {
      if (e->type == SETTINGS_TEXT) {
        if (!platform_settings_read_text(e->name, e->text, e->textSize)) {
          e->text[0] = '\0';
          platform_settings_write_text(e->name, e->text);
        }
        continue;
      }
      uint32_t value;
      if (platform_settings_read(e->name, &value) && value <= e->maximum)
        *e->variable = value;
      else
        platform_settings_write(e->name, *e->variable);
    }
  recent_files_loaded();
  wavFilterOn = hostOptions.TapeFilter == 1;
  settings_show();
}

const SettingsEntry* settings_lookup(const char* name) {
  for (int t = 0; settingsTables[t]; ++t)
    for (const SettingsEntry* e = settingsTables[t]; e->name; ++e)
      if (std::strcmp(e->name, name) == 0) return e;
  return nullptr;
}

uint32_t settings_get(const char* name) {
  const SettingsEntry* e = settings_lookup(name);
  return e && e->variable ? *e->variable : 0;
}

void settings_save() {
  for (int t = 0; settingsTables[t]; ++t)
    for (const SettingsEntry* e = settingsTables[t]; e->name; ++e)
      if (e->type == SETTINGS_TEXT)
        platform_settings_write_text(e->name, e->text);
      else
        platform_settings_write(e->name, *e->variable);
}

void settings_close() { platform_settings_close(); }

void settings_show() {
  menu_set_checked(CMD_SYNC_SPEED, hostOptions.SyncSpeed == 1);
  menu_set_checked(CMD_SOUND_FIRST + hostOptions.soundDriverIndex, true);
  menu_set_checked(CMD_DOUBLE_SCAN, hostOptions.DoubleScan == 1);
  menu_set_checked(CMD_MODEL_FIRST + model(), true);
  menu_set_checked(CMD_SYMBOLIC_KEYBOARD, machineState.symbolicKeyboard == 1);
  menu_set_checked(CMD_RAM_FIRST + machineState.ramSizeIndex, true);
  menu_set_checked(CMD_SCREEN_MODE_32, machineState.screenMode32 == 1);
  menu_set_checked(CMD_KEEP_ASPECT, hostOptions.KeepAspectRatio == 1);
  recent_files_show();
  menu_set_checked(CMD_PIXEL_EXACT, hostOptions.PixelExact == 1);
  menu_set_checked(CMD_FAST_TAPE, hostOptions.FastTapeLoad == 1);
  menu_set_checked(CMD_REWIND, hostOptions.Rewind == 1);
  menu_set_checked(CMD_TAPE_FILTER, hostOptions.TapeFilter == 1);
  menu_set_checked(CMD_READ_ALOUD, hostOptions.ReadAloud == 1);
  if (hostOptions.VideoDriver == VIDEO_DRIVER_GDI) {
    menu_set_checked(CMD_VIDEO_DRIVER, true);
    platform_set_maximize_box(hostOptions.PixelExact == 1);
  }
}
