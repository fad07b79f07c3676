// tarvik_libretro: the emulator as a libretro core. The front end calls the
// entry points below and drives the frames from outside (retro_run), as the
// browser's animation frames do for the web page; the start-up, the files
// and the frames are the desktop program's (host/core/app.h). The complete
// machine state (media/machine_state.h) is the front end's save state,
// rewind and run-ahead.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cpu/cpu.h"
#include "host/core/app.h"
#include "host/core/fast_mode.h"
#include "host/core/history.h"
#include "host/core/quick_snapshot.h"
#include "host/core/window.h"
#include "host/libretro/libretro_host.h"
#include "host/output/display.h"
#include "host/store/settings.h"
#include "host/ui/menu.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "media/machine_state.h"

namespace {

retro_video_refresh_t videoRefresh;
retro_audio_sample_batch_t audioBatch;
retro_input_poll_t inputPoll;
retro_input_state_t inputState;

bool started; // the host is up: a game (or none) is loaded

// While a tape loads fast, each retro_run runs this many frames: the front
// end paces retro_run, so running faster means more frames in one.
constexpr int kFastTapeFrames = 8;

// The save state: "TKLR", the length of the machine state, the state, and
// zeros up to the size given to the front end, which stays the same for the
// whole game (its rewind and run-ahead need that). The size is a generous
// bound over the state at the start: the state grows only by a tape image
// or a paste inside it.
constexpr char kStateMagic[4] = {'T', 'K', 'L', 'R'};
constexpr size_t kStateHeaderBytes = 8;
constexpr size_t kStateLeastBound = 1u << 20;
constexpr size_t kStateMargin = 256u << 10;
size_t stateBound;
std::vector<uint8_t> stateBuffer;

std::string systemFolder;

bool has_extension(const char* path, const char* extension) {
  size_t n = std::strlen(path), e = std::strlen(extension);
  if (n < e) return false;
  for (size_t i = 0; i < e; ++i) {
    char c = path[n - e + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != extension[i]) return false;
  }
  return true;
}

void fix_state_bound() {
  machine_state_save(stateBuffer);
  size_t wanted = stateBuffer.size() + kStateHeaderBytes + kStateMargin;
  stateBound = wanted < kStateLeastBound ? kStateLeastBound : wanted;
  stateBuffer.reserve(stateBound);
}

void keyboard_callback(bool down, unsigned keycode, uint32_t character, uint16_t modifiers) {
  if (started) libretro_keyboard_event(down, keycode, character, modifiers);
}

} // namespace

retro_environment_t libretroEnvironment;
retro_log_printf_t libretroLog;

void libretro_log(retro_log_level level, const char* text) {
  if (libretroLog)
    libretroLog(level, "[Tarvik] %s\n", text);
  else
    std::fprintf(stderr, "[Tarvik] %s\n", text);
}

void libretro_show(const char* text) {
  libretro_log(RETRO_LOG_WARN, text);
  if (!libretroEnvironment) return;
  retro_message message = {text, 250};
  libretroEnvironment(RETRO_ENVIRONMENT_SET_MESSAGE, &message);
}

RETRO_EXPORT unsigned retro_api_version() { return RETRO_API_VERSION; }

RETRO_EXPORT void retro_set_environment(retro_environment_t environment) {
  libretroEnvironment = environment;
  bool noGame = true;
  environment(RETRO_ENVIRONMENT_SET_SUPPORT_NO_GAME, &noGame);
  retro_log_callback log = {nullptr};
  if (environment(RETRO_ENVIRONMENT_GET_LOG_INTERFACE, &log)) libretroLog = log.log;
  libretro_options_declare();
}

RETRO_EXPORT void retro_set_video_refresh(retro_video_refresh_t callback) {
  videoRefresh = callback;
}
RETRO_EXPORT void retro_set_audio_sample(retro_audio_sample_t) {}
RETRO_EXPORT void retro_set_audio_sample_batch(retro_audio_sample_batch_t callback) {
  audioBatch = callback;
}
RETRO_EXPORT void retro_set_input_poll(retro_input_poll_t callback) { inputPoll = callback; }
RETRO_EXPORT void retro_set_input_state(retro_input_state_t callback) { inputState = callback; }
RETRO_EXPORT void retro_set_controller_port_device(unsigned, unsigned) {}

RETRO_EXPORT void retro_init() {}

RETRO_EXPORT void retro_get_system_info(retro_system_info* info) {
  *info = {"Tarvik", "1.0", "tkt|tks|tkm|wav", true, false};
}

RETRO_EXPORT void retro_get_system_av_info(retro_system_av_info* info) {
  info->geometry = {LIBRETRO_WIDTH, LIBRETRO_HEIGHT, LIBRETRO_WIDTH, LIBRETRO_HEIGHT, 4.0f / 3.0f};
  info->timing = {50.0, 48000.0};
}

RETRO_EXPORT bool retro_load_game(const retro_game_info* game) {
  if (started) return false;
  {
    int format = RETRO_PIXEL_FORMAT_XRGB8888;
    if (!libretroEnvironment(RETRO_ENVIRONMENT_SET_PIXEL_FORMAT, &format)) {
      libretro_log(RETRO_LOG_ERROR, "the front end cannot take 32-bit pixels");
      return false;
    }
  }
  retro_keyboard_callback keyboard = {keyboard_callback};
  libretroEnvironment(RETRO_ENVIRONMENT_SET_KEYBOARD_CALLBACK, &keyboard);
  // The user's ROM dumps: "roms" in the folder "tarvik" of the front end's
  // system folder, as the desktop programs have it beside the program.
  const char* system = nullptr;
  systemFolder.clear();
  if (libretroEnvironment(RETRO_ENVIRONMENT_GET_SYSTEM_DIRECTORY, &system) && system && *system)
    systemFolder = std::string(system) + "/tarvik/";
  const std::string program = systemFolder + "tarvik_libretro";
  // "/w": no real-time pacing of our own, the front end paces retro_run.
  const char* startArgs[] = {program.c_str(), "/w"};
  host_reset_state();
  if (!app_start(2, startArgs)) return false;
  started = true;
  history_rewind_enable(false); // the front end's rewind takes its place
  hostOptions.Rewind = 0;
  libretro_options_apply();
  const char* path = game && game->path ? game->path : nullptr;
  bool loaded = true;
  if (path && has_extension(path, ".tkm")) {
    loaded = state_load_file(path);
  } else if (path) {
    const char* args[] = {program.c_str(), path};
    app_command_line(2, args);
    for (const std::string& failure : app_command_line_failures()) {
      libretro_show(failure.c_str());
      loaded = false;
    }
  }
  if (!loaded) {
    app_shutdown();
    started = false;
    return false;
  }
  fix_state_bound();
  return true;
}

RETRO_EXPORT bool retro_load_game_special(unsigned, const retro_game_info*, size_t) {
  return false;
}

RETRO_EXPORT void retro_unload_game() {
  if (!started) return;
  libretro_pad_release();
  app_shutdown();
  started = false;
}

RETRO_EXPORT void retro_deinit() { retro_unload_game(); }

RETRO_EXPORT unsigned retro_get_region() { return RETRO_REGION_PAL; }

RETRO_EXPORT void retro_reset() {
  if (started) window_on_command(CMD_COLD_RESTART);
}

RETRO_EXPORT void retro_run() {
  if (!started) return;
  bool updated = false;
  if (libretroEnvironment(RETRO_ENVIRONMENT_GET_VARIABLE_UPDATE, &updated) && updated)
    libretro_options_apply();
  if (inputPoll) inputPoll();
  if (inputState) libretro_pad_poll(inputState);
  const int frames = fast_mode_tape() ? kFastTapeFrames : 1;
  for (int i = 0; i < frames && running; ++i) app_run_frame();
  present_frame(1);
  if (videoRefresh)
    videoRefresh(libretro_picture(), LIBRETRO_WIDTH, LIBRETRO_HEIGHT,
                 LIBRETRO_WIDTH * sizeof(uint32_t));
  const int16_t* pairs = nullptr;
  size_t count = libretro_sound_take(&pairs);
  if (audioBatch && count > 0) audioBatch(pairs, count);
}

RETRO_EXPORT size_t retro_serialize_size() { return started ? stateBound : 0; }

RETRO_EXPORT bool retro_serialize(void* data, size_t size) {
  if (!started || size < stateBound) return false;
  machine_state_save(stateBuffer);
  const size_t length = stateBuffer.size();
  if (length + kStateHeaderBytes > size) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "the machine state (%zu bytes) does not fit the save state's %zu bytes", length,
                  size - kStateHeaderBytes);
    libretro_show(text);
    return false;
  }
  uint8_t* out = static_cast<uint8_t*>(data);
  std::memcpy(out, kStateMagic, 4);
  for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<uint8_t>(length >> (8 * i));
  std::memcpy(out + kStateHeaderBytes, stateBuffer.data(), length);
  std::memset(out + kStateHeaderBytes + length, 0, size - kStateHeaderBytes - length);
  return true;
}

RETRO_EXPORT bool retro_unserialize(const void* data, size_t size) {
  if (!started) return false;
  const uint8_t* in = static_cast<const uint8_t*>(data);
  if (size < kStateHeaderBytes || std::memcmp(in, kStateMagic, 4) != 0) {
    libretro_show("not a save state of this core");
    return false;
  }
  size_t length = 0;
  for (int i = 0; i < 4; ++i) length |= static_cast<size_t>(in[4 + i]) << (8 * i);
  if (length > size - kStateHeaderBytes) {
    libretro_show("the save state is cut short");
    return false;
  }
  char message[300] = "";
  if (!machine_state_load(in + kStateHeaderBytes, length, message, sizeof message)) {
    libretro_show(message);
    return false;
  }
  history_state_loaded();
  libretro_log(RETRO_LOG_DEBUG, "the machine state put back");
  if (message[0]) libretro_show(message);
  return true;
}

RETRO_EXPORT void retro_cheat_reset() {}
RETRO_EXPORT void retro_cheat_set(unsigned, bool, const char*) {}

// The address space as the CPU sees it without paging: ROM, then RAM.
RETRO_EXPORT void* retro_get_memory_data(unsigned id) {
  return id == RETRO_MEMORY_SYSTEM_RAM ? memory : nullptr;
}
RETRO_EXPORT size_t retro_get_memory_size(unsigned id) {
  return id == RETRO_MEMORY_SYSTEM_RAM ? 0x10000 : 0;
}
