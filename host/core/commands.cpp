// The menu commands: each calls the operation of the layer that does the
// work, with the file dialog it needs, and tells the user the outcome.
#include "host/core/commands.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cpu/cpu.h"
#include "debugger/console_monitor.h"
#include "host/core/history.h"
#include "host/core/quick_snapshot.h"
#include "host/core/screen_news.h"
#include "host/core/window.h"
#include "host/output/audio.h"
#include "host/output/avi.h"
#include "host/output/clipboard.h"
#include "host/output/display.h"
#include "host/output/sound_capture.h"
#include "host/output/status.h"
#include "host/platform.h"
#include "host/script/script_mode.h"
#include "host/store/open_file.h"
#include "host/store/settings.h"
#include "host/ui/file_dialogs.h"
#include "host/ui/menu.h"
#include "host/ui/menu_checks.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "machine/video.h"
#include "media/files.h"
#include "media/messages.h"
#include "media/screenshot.h"
#include "media/snapshot.h"
#include "media/tape.h"
#include "media/tape_convert.h"
#include "media/tape_list.h"
#include "media/wav_tape.h"

namespace {

constexpr size_t kNameSize = 260;

// The two address dialogs keep their texts from one use to the next.
bool romFirstUse = true;
bool saveFirstUse = true;
AddressPanel romPanel;
AddressPanel savePanel;

bool ask(int kind, char* name, AddressPanel* panel = nullptr) {
  name[0] = '\0';
  return host_file_dialog(file_dialog_kind(kind), name, kNameSize, panel);
}

void error_box(const char* text) { host_message_box("Hiba!", text, PLATFORM_ICON_STOP); }

// The ROM/BIN dialog's address fields, with their texts of the first use.
AddressPanel* rom_panel() {
  if (romFirstUse) {
    std::snprintf(romPanel.start, sizeof romPanel.start, "%04X", 0);
    std::snprintf(romPanel.end, sizeof romPanel.end, "%04X", 65535);
    romPanel.filterIndex = 1;
    romFirstUse = false;
  }
  return &romPanel;
}

void load_binary(const char* name) {
  if (!rom_load_command(name, romPanel.start, romPanel.end)) error_box(MEDIA_LOAD_FAILED);
  uint32_t start;
  if (parse_address_field(romPanel.start, &start) && start < 0x4000) machine_restart();
}

void load_binary_command() {
  char name[kNameSize];
  if (ask(FILE_DIALOG_LOAD_BINARY, name, rom_panel())) load_binary(name);
}

// WAV to TKT or back from the chosen input: the output's name, then the
// blocks found.
void convert_file(bool toTkt, const char* in) {
  char out[kNameSize];
  if (!ask(toTkt ? FILE_DIALOG_CONVERTED_TKT : FILE_DIALOG_CONVERTED_WAV, out)) return;
  std::vector<TapeBlock> blocks;
  char message[600];
  const bool ok = toTkt ? tape_wav_to_tkt(in, out, &blocks, message, sizeof message)
                        : tape_tkt_to_wav(in, out, &blocks, message, sizeof message);
  if (!ok) {
    error_box(message);
    return;
  }
  std::string text;
  for (const TapeBlock& block : blocks) text += tape_block_line(block) + "\n";
  host_message_box(toTkt ? "WAV átírása TKT-be" : "TKT átírása WAV-ba", text.c_str(),
                   PLATFORM_ICON_NONE);
}

void convert_command(bool toTkt) {
  char in[kNameSize];
  if (ask(toTkt ? FILE_DIALOG_CONVERT_WAV : FILE_DIALOG_CONVERT_TKT, in)) convert_file(toTkt, in);
}

void load_charset_file(const char* name) {
  if (!load_charset(name)) error_box(MEDIA_CHARSET_FAILED);
}

void save_memory_command() {
  if (saveFirstUse) {
    std::snprintf(savePanel.start, sizeof savePanel.start, "%s", "4016");
    uint32_t end = (memory[0x4018] | memory[0x4019] << 8) + 1u;
    std::snprintf(savePanel.end, sizeof savePanel.end, "%04X", end & 0xFFFFF);
    savePanel.filterIndex = 1;
    saveFirstUse = false;
  }
  char name[kNameSize];
  if (!ask(FILE_DIALOG_SAVE_MEMORY, name, &savePanel)) return;
  if (!memory_save_command(name, savePanel.start, savePanel.end)) error_box(MEDIA_SAVE_FAILED);
}

// The first "tarvikNNNN.bmp" in the current folder that does not exist yet:
// a screenshot never overwrites.
void screenshot_command() {
  char name[kNameSize];
  if (screenshot_auto_name("", name, sizeof name) && !save_screenshot(name))
    error_box(SCREENSHOT_SAVE_FAILED);
}

// The box after a recording or capture that could not be written: what
// failed, and the bytes that are in the file (readable up to there).
void write_failure_box(const char* what, uint64_t bytes) {
  char text[200];
  std::snprintf(text, sizeof text,
                "%s írása sikertelen (megtelt a lemez?).\nA file lezárva, %llu byte került bele.",
                what, static_cast<unsigned long long>(bytes));
  error_box(text);
}

void sound_record_stop() {
  uint32_t bytes = 0;
  bool ok = sound_capture_stop(&bytes); // reports the bytes written
  menu_set_checked(CMD_SOUND_RECORD, false);
  if (!ok) write_failure_box("A hangfelvétel", bytes);
}

void sound_record_command() {
  if (menu_checked(CMD_SOUND_RECORD)) {
    sound_record_stop();
    return;
  }
  char name[kNameSize];
  if (!ask(FILE_DIALOG_SOUND_RECORD, name)) return;
  if (sound_capture_start(name))
    menu_set_checked(CMD_SOUND_RECORD, true);
  else
    error_box(MEDIA_SAVE_FAILED);
}

void wav_close_command() {
  uint64_t bytes = 0;
  bool recording = wavFile && !cassettePlayback;
  if (!wav_menu_close(&bytes) && recording) write_failure_box("A magnófelvétel", bytes);
}

void select_model(uint32_t index) {
  machine_select_model(index);
  audio_reset();
  audio_resume();
  for (int id = CMD_MODEL_FIRST; id <= CMD_MODEL_LAST; ++id) menu_set_checked(id, false);
  menu_set_checked(CMD_MODEL_FIRST + index, true);
  status_set_text(0, "%s", modelTable[model()].statusLabel);
  video_clear();
}

void select_ram_size(int id) {
  for (int i = CMD_RAM_FIRST; i <= CMD_RAM_LAST; ++i) menu_set_checked(i, false);
  menu_set_checked(id, true);
  machine_set_ram_size(static_cast<uint32_t>(id - CMD_RAM_FIRST));
}

void select_sound_driver(uint32_t index) {
  if (index == hostOptions.soundDriverIndex) return;
  menu_set_checked(CMD_SOUND_FIRST + hostOptions.soundDriverIndex, false);
  audio_select_driver(static_cast<int>(index));
  hostOptions.soundDriverIndex = index;
  menu_set_checked(CMD_SOUND_FIRST + index, true);
}

} // namespace

void command_check_recordings() {
  if (audio_record_failed()) sound_record_stop();
  if (wav_record_failed()) wav_close_command();
}

void command_forget_address_texts() {
  romFirstUse = true;
  saveFirstUse = true;
}

void command_execute(int id) {
  char name[kNameSize];
  if (id >= CMD_MODEL_FIRST && id <= CMD_MODEL_LAST) {
    select_model(static_cast<uint32_t>(id - CMD_MODEL_FIRST));
    return;
  }
  if (id >= CMD_RAM_FIRST && id <= CMD_RAM_LAST) {
    select_ram_size(id);
    return;
  }
  if (id >= CMD_RECENT_FIRST && id <= CMD_RECENT_LAST) {
    open_recent_file(id - CMD_RECENT_FIRST);
    return;
  }
  if (id >= CMD_SOUND_FIRST && id <= CMD_SOUND_LAST) {
    select_sound_driver(static_cast<uint32_t>(id - CMD_SOUND_FIRST));
    return;
  }
  switch (id) {
  case CMD_AUTOLOAD:
    if (ask(FILE_DIALOG_TAPE_IMAGE, name)) open_file_as(RECENT_AUTOLOAD, name);
    break;
  case CMD_LOAD_BINARY: load_binary_command(); break;
  case CMD_SAVE_MEMORY: save_memory_command(); break;
  case CMD_LOAD_CHARSET:
    if (ask(FILE_DIALOG_LOAD_CHARSET, name)) load_charset_file(name);
    break;
  case CMD_RESTORE_CHARSET: restore_charset(); break;
  case CMD_COPY_SCREEN: clipboard_copy_screen(); break;
  case CMD_PASTE: clipboard_paste(); break;
  case CMD_SNAPSHOT_SAVE:
    if (!ask(FILE_DIALOG_SNAPSHOT_SAVE, name)) break;
    if (snapshot_save(name, memory + 0x4000))
      status_message("Pillanatfelvétel lementve %s néven.", name);
    else
      error_box(SNAPSHOT_SAVE_FAILED);
    break;
  case CMD_SNAPSHOT_LOAD:
    if (ask(FILE_DIALOG_SNAPSHOT_LOAD, name)) open_file_as(RECENT_SNAPSHOT_LOAD, name);
    break;
  case CMD_QUICK_SAVE: quick_save(); break;
  case CMD_QUICK_LOAD: quick_load(); break;
  case CMD_STATE_SAVE: state_save_command(); break;
  case CMD_STATE_LOAD: state_load_command(); break;
  case CMD_REPLAY_RECORD: history_record_command(); break;
  case CMD_REWIND:
    hostOptions.Rewind = hostOptions.Rewind == 1 ? 0 : 1;
    menu_set_checked(CMD_REWIND, hostOptions.Rewind == 1);
    history_rewind_enable(hostOptions.Rewind == 1);
    break;
  case CMD_READ_ALOUD: screen_news_toggle_speech(); break;
  case CMD_SCREENSHOT: screenshot_command(); break;
  case CMD_SCREENSHOT_AS:
    if (ask(FILE_DIALOG_SCREENSHOT, name) && !save_screenshot(name))
      error_box(SCREENSHOT_SAVE_FAILED);
    break;
  case CMD_SOUND_RECORD: sound_record_command(); break;
  case CMD_EXIT: platform_post_close(); break;
  case CMD_PAUSE: run_state_pause_toggle(); break;
  case CMD_RESET: machine_reset_button(); break;
  case CMD_RESTART: machine_restart(); break; // both reset the sound themselves
  case CMD_COLD_RESTART: machine_cold_restart(); break;
  case CMD_MONITOR: run_state_monitor_toggle(); break;
  case CMD_CONSOLE_MONITOR: console_monitor_run(); break;
  case CMD_TAPE_ATTACH:
    if (ask(FILE_DIALOG_TAPE_IMAGE, name)) open_file_as(RECENT_TAPE_ATTACH, name);
    break;
  case CMD_TAPE_DETACH: tape_close(); break;
  case CMD_WAV_ATTACH:
    if (ask(FILE_DIALOG_WAV_ATTACH, name)) open_file_as(RECENT_WAV_ATTACH, name);
    break;
  case CMD_WAV_CREATE:
    if (ask(FILE_DIALOG_WAV_CREATE, name) && !wav_menu_create(name)) error_box(MEDIA_SAVE_FAILED);
    break;
  case CMD_WAV_CLOSE: wav_close_command(); break;
  case CMD_WAV_PLAY_RECORD: {
    bool on = !menu_checked(CMD_WAV_PLAY_RECORD);
    wav_set_running(on ? 1 : 0, cpu.tcount);
    menu_set_checked(CMD_WAV_PLAY_RECORD, on);
    break;
  }
  case CMD_WAV_REWIND: wav_rewind(cpu.tcount); break;
  case CMD_SYNC_SPEED:
    hostOptions.SyncSpeed = hostOptions.SyncSpeed == 1 ? 0 : 1;
    menu_set_checked(CMD_SYNC_SPEED, hostOptions.SyncSpeed == 1);
    audio_reset();
    break;
  case CMD_TAPE_FILTER:
    hostOptions.TapeFilter = hostOptions.TapeFilter == 1 ? 0 : 1;
    wavFilterOn = hostOptions.TapeFilter == 1;
    menu_set_checked(CMD_TAPE_FILTER, hostOptions.TapeFilter == 1);
    break;
  case CMD_WAV_TO_TKT: convert_command(true); break;
  case CMD_TKT_TO_WAV: convert_command(false); break;
  case CMD_FAST_TAPE:
    hostOptions.FastTapeLoad = hostOptions.FastTapeLoad == 1 ? 0 : 1;
    menu_set_checked(CMD_FAST_TAPE, hostOptions.FastTapeLoad == 1);
    break;
  case CMD_SYMBOLIC_KEYBOARD: {
    const bool on = machineState.symbolicKeyboard != 1;
    menu_set_checked(CMD_SYMBOLIC_KEYBOARD, on);
    machine_set_symbolic_keyboard(on ? 1 : 0);
    break;
  }
  case CMD_VIDEO_DRIVER:
    display_set_video_driver(hostOptions.VideoDriver == VIDEO_DRIVER_GDI ? VIDEO_DRIVER_DIRECTDRAW
                                                                         : VIDEO_DRIVER_GDI,
                             true);
    break;
  case CMD_DOUBLE_SCAN:
    hostOptions.DoubleScan = hostOptions.DoubleScan == 1 ? 0 : 1;
    video_clear();
    menu_set_checked(CMD_DOUBLE_SCAN, hostOptions.DoubleScan == 1);
    break;
  case CMD_SCREEN_MODE_32:
    machineState.screenMode32 = machineState.screenMode32 == 1 ? 0 : 1;
    menu_set_checked(CMD_SCREEN_MODE_32, machineState.screenMode32 == 1);
    display_update_target();
    platform_invalidate(true);
    break;
  case CMD_KEEP_ASPECT: display_toggle_keep_aspect(); break;
  case CMD_PIXEL_EXACT: display_toggle_pixel_exact(); break;
  case CMD_FULL_SCREEN: display_toggle_full_screen(); break;
  case CMD_AVI: avi_command(); break;
  case CMD_KEYBOARD_CHART: host_modal_dialog(HOST_DIALOG_KEYBOARD_CHART); break;
  case CMD_ABOUT: host_modal_dialog(HOST_DIALOG_ABOUT); break;
  case CMD_TAPE_BROWSER: host_modal_dialog(HOST_DIALOG_TAPE_BROWSER); break;
  default: break;
  }
}

bool tape_browser_wind(size_t index) {
  if (!tape_list_wind(index)) return false;
  history_machine_changed();
  status_message("A kazetta a(z) %u. blokk elejére tekerve.", static_cast<unsigned>(index + 1));
  return true;
}

void command_open_file(int id, const char* path, bool (*askFields)(AddressPanel* panel)) {
  switch (id) {
  case CMD_AUTOLOAD: open_file_as(RECENT_AUTOLOAD, path); break;
  case CMD_TAPE_ATTACH: open_file_as(RECENT_TAPE_ATTACH, path); break;
  case CMD_WAV_ATTACH: open_file_as(RECENT_WAV_ATTACH, path); break;
  case CMD_WAV_TO_TKT: convert_file(true, path); break;
  case CMD_TKT_TO_WAV: convert_file(false, path); break;
  case CMD_SNAPSHOT_LOAD: open_file_as(RECENT_SNAPSHOT_LOAD, path); break;
  case CMD_STATE_LOAD: open_file_as(RECENT_STATE_LOAD, path); break;
  case CMD_LOAD_CHARSET: load_charset_file(path); break;
  case CMD_LOAD_BINARY: {
    AddressPanel* panel = rom_panel();
    if (!askFields || askFields(panel)) load_binary(path);
    break;
  }
  default: break;
  }
}
