// The core options (the front end's menu for this core) and the gamepad:
// model, RAM size, keyboard mode, 32-column mode and fast tape loading,
// applied the way their desktop menu items are, and the key each gamepad
// button presses.
#include <cstring>
#include <string>

#include "host/core/keys.h"
#include "host/core/window.h"
#include "host/libretro/libretro_host.h"
#include "host/store/settings.h"
#include "host/ui/menu.h"
#include "machine/machine.h"
#include "machine/virtual_keys.h"

namespace {

struct NamedKey {
  const char* name;
  int vk;
};
// The keys a button may press, by the names the options show.
constexpr NamedKey kKeys[] = {
    {"Up", VKEY_UP},
    {"Down", VKEY_DOWN},
    {"Left", VKEY_LEFT},
    {"Right", VKEY_RIGHT},
    {"Space", VKEY_SPACE},
    {"Enter", VKEY_RETURN},
    {"Shift", VKEY_SHIFT},
    {"Ctrl", VKEY_CONTROL},
    {"Esc", VKEY_ESCAPE},
    {"Backspace", VKEY_BACK},
    {"Tab", VKEY_TAB},
    {"A", 'A'},
    {"B", 'B'},
    {"C", 'C'},
    {"D", 'D'},
    {"E", 'E'},
    {"F", 'F'},
    {"G", 'G'},
    {"H", 'H'},
    {"I", 'I'},
    {"J", 'J'},
    {"K", 'K'},
    {"L", 'L'},
    {"M", 'M'},
    {"N", 'N'},
    {"O", 'O'},
    {"P", 'P'},
    {"Q", 'Q'},
    {"R", 'R'},
    {"S", 'S'},
    {"T", 'T'},
    {"U", 'U'},
    {"V", 'V'},
    {"W", 'W'},
    {"X", 'X'},
    {"Y", 'Y'},
    {"Z", 'Z'},
    {"0", '0'},
    {"1", '1'},
    {"2", '2'},
    {"3", '3'},
    {"4", '4'},
    {"5", '5'},
    {"6", '6'},
    {"7", '7'},
    {"8", '8'},
    {"9", '9'},
    {"none", 0},
};

struct PadButton {
  unsigned id;
  const char* key;   // the option's key
  const char* label; // the button's name in the option
  const char* first; // the default key
};
constexpr PadButton kButtons[] = {
    {RETRO_DEVICE_ID_JOYPAD_UP, "tarvik_pad_up", "Up", "Up"},
    {RETRO_DEVICE_ID_JOYPAD_DOWN, "tarvik_pad_down", "Down", "Down"},
    {RETRO_DEVICE_ID_JOYPAD_LEFT, "tarvik_pad_left", "Left", "Left"},
    {RETRO_DEVICE_ID_JOYPAD_RIGHT, "tarvik_pad_right", "Right", "Right"},
    {RETRO_DEVICE_ID_JOYPAD_A, "tarvik_pad_a", "A", "Space"},
    {RETRO_DEVICE_ID_JOYPAD_B, "tarvik_pad_b", "B", "Enter"},
    {RETRO_DEVICE_ID_JOYPAD_X, "tarvik_pad_x", "X", "none"},
    {RETRO_DEVICE_ID_JOYPAD_Y, "tarvik_pad_y", "Y", "none"},
    {RETRO_DEVICE_ID_JOYPAD_L, "tarvik_pad_l", "L", "none"},
    {RETRO_DEVICE_ID_JOYPAD_R, "tarvik_pad_r", "R", "none"},
    {RETRO_DEVICE_ID_JOYPAD_SELECT, "tarvik_pad_select", "Select", "none"},
    {RETRO_DEVICE_ID_JOYPAD_START, "tarvik_pad_start", "Start", "none"},
};
constexpr size_t kButtonCount = sizeof kButtons / sizeof kButtons[0];

// The RAM sizes the menu offers, by RAM size index.
constexpr struct {
  const char* name;
  uint32_t index;
} kRamSizes[] = {{"64K", 6}, {"32K", 4}, {"16K", 3}, {"8K", 2}, {"6K", 1}, {"4K", 0}};

constexpr const char* kModelKey = "tarvik_model";
constexpr const char* kRamKey = "tarvik_ram";
constexpr const char* kKeyboardKey = "tarvik_keyboard";
constexpr const char* kColumnsKey = "tarvik_32_columns";
constexpr const char* kFastTapeKey = "tarvik_fast_tape";

// The option texts, made once (the front end keeps the pointers).
std::string optionTexts[5 + kButtonCount];
retro_variable variables[5 + kButtonCount + 1];
retro_input_descriptor descriptors[kButtonCount + 1];
std::string descriptorTexts[kButtonCount];

int buttonKey[kButtonCount]; // the virtual key of each button, 0 none
bool buttonDown[kButtonCount];

// The model names as the status bar shows them, trimmed of the padding.
std::string model_name(uint32_t index) {
  return std::string(modelTable[index].statusLabel,
                     strnlen(modelTable[index].statusLabel, sizeof modelTable[index].statusLabel));
}

const char* get(const char* key) {
  retro_variable v = {key, nullptr};
  if (!libretroEnvironment || !libretroEnvironment(RETRO_ENVIRONMENT_GET_VARIABLE, &v))
    return nullptr;
  return v.value;
}

bool is(const char* value, const char* wanted) { return value && std::strcmp(value, wanted) == 0; }

int key_by_name(const char* name) {
  for (const NamedKey& k : kKeys)
    if (is(name, k.name)) return k.vk;
  return -1;
}

void set_button_key(size_t b, int vk) {
  if (buttonKey[b] == vk) return;
  if (buttonDown[b] && buttonKey[b]) host_key_event(buttonKey[b], false, HOST_KEY_NO_CHARACTER);
  buttonDown[b] = false;
  buttonKey[b] = vk;
}

} // namespace

void libretro_options_declare() {
  size_t n = 0;
  // The models, the desktop's default (Tarvik 4.1) first.
  optionTexts[n].assign("Model; ").append(model_name(MODEL_TARVIK41));
  for (uint32_t m = 0; m < MODEL_COUNT; ++m)
    if (m != MODEL_TARVIK41) optionTexts[n].append("|").append(model_name(m));
  variables[n] = {kModelKey, optionTexts[n].c_str()};
  ++n;
  optionTexts[n] = "RAM size; ";
  for (size_t i = 0; i < sizeof kRamSizes / sizeof kRamSizes[0]; ++i)
    optionTexts[n].append(i ? "|" : "").append(kRamSizes[i].name);
  variables[n] = {kRamKey, optionTexts[n].c_str()};
  ++n;
  optionTexts[n] = "Keyboard mode; positional|symbolic";
  variables[n] = {kKeyboardKey, optionTexts[n].c_str()};
  ++n;
  optionTexts[n] = "32-column mode; off|on";
  variables[n] = {kColumnsKey, optionTexts[n].c_str()};
  ++n;
  optionTexts[n] = "Fast tape loading; on|off";
  variables[n] = {kFastTapeKey, optionTexts[n].c_str()};
  ++n;
  for (size_t b = 0; b < kButtonCount; ++b, ++n) {
    optionTexts[n].assign("Gamepad ").append(kButtons[b].label).append("; ");
    optionTexts[n].append(kButtons[b].first);
    for (const NamedKey& k : kKeys)
      if (std::strcmp(k.name, kButtons[b].first) != 0) optionTexts[n].append("|").append(k.name);
    variables[n] = {kButtons[b].key, optionTexts[n].c_str()};
  }
  variables[n] = {nullptr, nullptr};
  libretroEnvironment(RETRO_ENVIRONMENT_SET_VARIABLES, variables);
}

void libretro_options_apply() {
  const char* value = get(kModelKey);
  for (uint32_t m = 0; value && m < MODEL_COUNT; ++m)
    if (model_name(m) == value && model() != m) window_on_command(CMD_MODEL_FIRST + m);
  value = get(kRamKey);
  for (const auto& size : kRamSizes)
    if (is(value, size.name) && machineState.ramSizeIndex != size.index)
      window_on_command(CMD_RAM_FIRST + static_cast<int>(size.index));
  value = get(kKeyboardKey);
  if (value && (machineState.symbolicKeyboard == 1) != is(value, "symbolic"))
    window_on_command(CMD_SYMBOLIC_KEYBOARD);
  value = get(kColumnsKey);
  if (value && (machineState.screenMode32 == 1) != is(value, "on"))
    window_on_command(CMD_SCREEN_MODE_32);
  value = get(kFastTapeKey);
  if (value && (hostOptions.FastTapeLoad == 1) != is(value, "on")) window_on_command(CMD_FAST_TAPE);
  for (size_t b = 0; b < kButtonCount; ++b) {
    int vk = key_by_name(get(kButtons[b].key));
    if (vk < 0) vk = key_by_name(kButtons[b].first);
    set_button_key(b, vk);
  }
  // The buttons named by the keys they press.
  size_t n = 0;
  for (size_t b = 0; b < kButtonCount; ++b) {
    if (!buttonKey[b]) continue;
    const char* name = "";
    for (const NamedKey& k : kKeys)
      if (k.vk == buttonKey[b]) name = k.name;
    descriptorTexts[n].assign("Key ").append(name);
    descriptors[n] = {0, RETRO_DEVICE_JOYPAD, 0, kButtons[b].id, descriptorTexts[n].c_str()};
    ++n;
  }
  descriptors[n] = {0, 0, 0, 0, nullptr};
  libretroEnvironment(RETRO_ENVIRONMENT_SET_INPUT_DESCRIPTORS, descriptors);
}

void libretro_pad_poll(retro_input_state_t inputState) {
  for (size_t b = 0; b < kButtonCount; ++b) {
    if (!buttonKey[b]) continue;
    const bool down = inputState(0, RETRO_DEVICE_JOYPAD, 0, kButtons[b].id) != 0;
    if (down == buttonDown[b]) continue;
    buttonDown[b] = down;
    host_key_typed(buttonKey[b], down);
  }
}

void libretro_pad_release() {
  for (size_t b = 0; b < kButtonCount; ++b) {
    if (buttonDown[b] && buttonKey[b]) host_key_event(buttonKey[b], false, HOST_KEY_NO_CHARACTER);
    buttonDown[b] = false;
  }
}
