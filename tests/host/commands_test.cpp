// The menu and accelerator tables, the run-state machine with its titles,
// and every command reaching its operation.
#include <cstdio>
#include <cstring>

#include "cpu/cpu.h"
#include "host/output/clipboard.h"
#include "host/script/script_queue.h"
#include "host/store/recent_files.h"
#include "host/ui/menu.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "tests/host/host_fixture.h"

namespace {

class Commands : public HostTest {
protected:
  void SetUp() override {
    HostTest::SetUp();
    command_forget_address_texts();
    start({"/h"});
  }
  void TearDown() override {
    app_shutdown();
    HostTest::TearDown();
  }
  // The title of the dialog a command shows, answered with a cancel.
  std::string dialog_of(int id) {
    unsigned before = headless_dialog_count();
    window_on_command(id);
    return headless_dialog_count() == before ? "(none)" : headless_last_dialog_title();
  }
};

std::string label_of(int id) {
  const MenuEntry* e = menu_find(id);
  if (!e) return "";
  return *e->shortcut ? std::string(e->label) + "\t" + e->shortcut : e->label;
}

TEST(MenuTable, LabelsAndIdsInMenuOrder) {
  const std::vector<std::pair<int, std::string>> expected = {
      {CMD_AUTOLOAD, "&Autoload..."},
      {CMD_LOAD_BINARY, "&ROM/BIN betöltése..."},
      {CMD_SAVE_MEMORY, "&Memória kimentése..."},
      {CMD_LOAD_CHARSET, "&Saját betöltése ..."},
      {CMD_RESTORE_CHARSET, "&Eredeti visszaállítása"},
      {CMD_COPY_SCREEN, "Karaktermátrix a &vágólapra\tAlt+C"},
      {CMD_PASTE, "&Beszúrás vágólapról\tAlt+V"},
      {CMD_SNAPSHOT_SAVE, "TKS mentése..."},
      {CMD_SNAPSHOT_LOAD, "TKS betöltése..."},
      {CMD_QUICK_SAVE, "&Gyors mentés\tF11"},
      {CMD_QUICK_LOAD, "Gyors &betöltés\tF12"},
      {CMD_STATE_SAVE, "Gépállapot mentése..."},
      {CMD_STATE_LOAD, "Gépállapot betöltése..."},
      {CMD_SCREENSHOT, "&Kép mentése\tF6"},
      {CMD_SCREENSHOT_AS, "Kép& mentése másként..."},
      {CMD_SOUND_RECORD, "&Hang mentése mint..."},
      {CMD_REPLAY_RECORD, "Visszajátszás &felvétele..."},
      {CMD_RECENT_1, "(üres)"},
      {CMD_RECENT_2, "(üres)"},
      {CMD_RECENT_3, "(üres)"},
      {CMD_RECENT_4, "(üres)"},
      {CMD_RECENT_5, "(üres)"},
      {CMD_RECENT_6, "(üres)"},
      {CMD_RECENT_7, "(üres)"},
      {CMD_RECENT_8, "(üres)"},
      {CMD_EXIT, "E&xit"},
      {CMD_PAUSE, "&Szünet\tPause"},
      {CMD_RESET, "&Reset\tF1"},
      {CMD_RESTART, "R&estart"},
      {CMD_COLD_RESTART, "&Hideg Restart\tALT+F1"},
      {CMD_MONITOR, "&Monitor\tESC"},
      {CMD_CONSOLE_MONITOR, "&Interaktív monitor\tAlt+M"},
      {CMD_MODEL_VELTRA16, "Veltra-16"},
      {CMD_MODEL_TARVIK31, "Tarvik &3.1"},
      {CMD_MODEL_TARVIK41, "Tarvik 4.1"},
      {CMD_MODEL_DORVANE, "&Dorvane"},
      {CMD_RAM_4K, "&4kb RAM"},
      {CMD_RAM_6K, "&6kb RAM"},
      {CMD_RAM_8K, "&8kb RAM"},
      {CMD_RAM_16K, "&16 kb RAM"},
      {CMD_RAM_32K, "32kb RAM"},
      {CMD_RAM_64K, "&64 kb RAM"},
      {CMD_TAPE_ATTACH, "&TKT csatolása...\tALT+D"},
      {CMD_TAPE_DETACH, "T&KT lezárása"},
      {CMD_WAV_ATTACH, "WAV &csatolása...\tALT+T"},
      {CMD_WAV_CREATE, "&WAV készítés..."},
      {CMD_WAV_CLOSE, "WAV l&ezárása"},
      {CMD_WAV_PLAY_RECORD, "&Play/Record\tF5"},
      {CMD_WAV_REWIND, "&Visszacsévélés\tHome"},
      {CMD_TAPE_BROWSER, "&Blokkok..."},
      {CMD_TAPE_FILTER, "&Zajszűrés"},
      {CMD_WAV_TO_TKT, "WAV át&írása TKT-be..."},
      {CMD_TKT_TO_WAV, "TKT átí&rása WAV-ba..."},
      {CMD_SYNC_SPEED, "&50 Hz timer\tALT+W"},
      {CMD_SOUND_OFF, "&Kikapcsolva"},
      {CMD_SOUND_DIRECTSOUND, "DirectSound"},
      {CMD_SOUND_WAVEOUT, "WaveOut"},
      {CMD_SYMBOLIC_KEYBOARD, "&Szimbolikus billentyűzet"},
      {CMD_VIDEO_DRIVER, "&DDraw ki"},
      {CMD_DOUBLE_SCAN, "D&upla scan"},
      {CMD_SCREEN_MODE_32, "&32 oszlopos mód"},
      {CMD_KEEP_ASPECT, "&Képarány tartása"},
      {CMD_FULL_SCREEN, "&Teljes képernyős mód"},
      {CMD_FAST_TAPE, "&Gyors magnóbetöltés"},
      {CMD_PIXEL_EXACT, "&Pixelpontos nagyítás"},
      {CMD_REWIND, "&Visszatekerés (F3 nyomva tartva)"},
      {CMD_READ_ALOUD, "&Felolvasás"},
      {CMD_KEYBOARD_CHART, "&Tasztatúra"},
      {CMD_ABOUT, "&A programról"}};
  std::vector<std::pair<int, std::string>> items;
  for (int i = 0; i < menuEntryCount; ++i)
    if (menuEntries[i].kind == MENU_ITEM)
      items.emplace_back(menuEntries[i].id, label_of(menuEntries[i].id));
  EXPECT_EQ(items, expected);
  EXPECT_EQ(menu_find(CMD_RAM_UNLISTED), nullptr) << "RAM index 5 has no item";
  EXPECT_EQ(menu_find(CMD_AVI), nullptr) << "AVI capture has no item";
}

TEST(MenuTable, MenusSubMenusAndSeparators) {
  std::vector<std::string> popups;
  int separators = 0;
  for (int i = 0; i < menuEntryCount; ++i) {
    if (menuEntries[i].kind == MENU_POPUP)
      popups.push_back(std::to_string(menuEntries[i].depth) + menuEntries[i].label);
    if (menuEntries[i].kind == MENU_SEPARATOR) ++separators;
  }
  EXPECT_EQ(popups, (std::vector<std::string>{"0&File", "1&Karakterkészlet", "1&Pillanatfelvétel",
                                              "1&Legutóbbi file-ok", "0&Gép", "1&Típus", "1Memória",
                                              "0&Magnó", "0&Opciók", "1&Hang", "0&Segítség"}));
  EXPECT_EQ(separators, 11);
  // Every item of a sub-menu sits one level below it.
  for (int i = 1; i < menuEntryCount; ++i)
    EXPECT_LE(menuEntries[i].depth, menuEntries[i - 1].depth + 1) << i;
}

// Scripts and the Windows resources name the commands by these numbers.
TEST(MenuTable, CommandNamesAndTheirNumbers) {
  const std::vector<std::pair<std::string, int>> expected = {{"EXIT", 102},
                                                             {"ABOUT", 103},
                                                             {"PAUSE", 104},
                                                             {"RESET", 105},
                                                             {"SYNC_SPEED", 106},
                                                             {"MONITOR", 108},
                                                             {"RESTART", 109},
                                                             {"SCREENSHOT", 112},
                                                             {"WAV_CREATE", 120},
                                                             {"WAV_CLOSE", 121},
                                                             {"WAV_PLAY_RECORD", 122},
                                                             {"SCREENSHOT_AS", 129},
                                                             {"WAV_REWIND", 130},
                                                             {"COLD_RESTART", 131},
                                                             {"VIDEO_DRIVER", 132},
                                                             {"RAM_4K", 133},
                                                             {"RAM_6K", 134},
                                                             {"RAM_8K", 135},
                                                             {"RAM_16K", 136},
                                                             {"RAM_32K", 137},
                                                             {"RAM_UNLISTED", 138},
                                                             {"RAM_64K", 139},
                                                             {"SNAPSHOT_LOAD", 140},
                                                             {"SNAPSHOT_SAVE", 141},
                                                             {"KEYBOARD_CHART", 40002},
                                                             {"WAV_ATTACH", 40003},
                                                             {"SCREEN_MODE_32", 40004},
                                                             {"LOAD_BINARY", 40006},
                                                             {"LOAD_CHARSET", 40008},
                                                             {"RESTORE_CHARSET", 40009},
                                                             {"SAVE_MEMORY", 40010},
                                                             {"TAPE_ATTACH", 40011},
                                                             {"TAPE_DETACH", 40012},
                                                             {"MODEL_TARVIK31", 40014},
                                                             {"MODEL_TARVIK41", 40015},
                                                             {"MODEL_DORVANE", 40016},
                                                             {"MODEL_VELTRA16", 40017},
                                                             {"FULL_SCREEN", 40019},
                                                             {"SYMBOLIC_KEYBOARD", 40026},
                                                             {"KEEP_ASPECT", 40028},
                                                             {"AUTOLOAD", 40029},
                                                             {"SOUND_OFF", 40030},
                                                             {"SOUND_DIRECTSOUND", 40031},
                                                             {"SOUND_WAVEOUT", 40032},
                                                             {"AVI", 40037},
                                                             {"SOUND_RECORD", 40038},
                                                             {"DOUBLE_SCAN", 40040},
                                                             {"PASTE", 40041},
                                                             {"COPY_SCREEN", 40042},
                                                             {"CONSOLE_MONITOR", 40043},
                                                             {"FAST_TAPE", 40050},

                                                             {"RECENT_1", 40060},
                                                             {"RECENT_2", 40061},
                                                             {"RECENT_3", 40062},
                                                             {"RECENT_4", 40063},
                                                             {"RECENT_5", 40064},
                                                             {"RECENT_6", 40065},
                                                             {"RECENT_7", 40066},
                                                             {"RECENT_8", 40067},
                                                             {"QUICK_SAVE", 40070},
                                                             {"QUICK_LOAD", 40071},
                                                             {"PIXEL_EXACT", 40080},
                                                             {"STATE_SAVE", 40090},
                                                             {"STATE_LOAD", 40091},
                                                             {"REPLAY_RECORD", 40092},
                                                             {"REWIND", 40093},
                                                             {"TAPE_FILTER", 40094},
                                                             {"WAV_TO_TKT", 40095},
                                                             {"TKT_TO_WAV", 40096},
                                                             {"READ_ALOUD", 40097},
                                                             {"TAPE_BROWSER", 40098}};
  std::vector<std::pair<std::string, int>> names;
  for (int i = 0; i < commandNameCount; ++i) {
    names.emplace_back(commandNames[i].name, commandNames[i].id);
    EXPECT_EQ(command_by_name(commandNames[i].name), commandNames[i].id);
    EXPECT_EQ(command_by_name(std::to_string(commandNames[i].id).c_str()), commandNames[i].id);
  }
  EXPECT_EQ(names, expected);
  EXPECT_EQ(command_by_name("model_veltra16"), CMD_MODEL_VELTRA16);
  for (const char* unknown : {"", "PAUSEX", "PAUS", "CMD_PAUSE", "107", "99999", "4294967400"})
    EXPECT_EQ(command_by_name(unknown), 0) << unknown;
}

TEST(MenuTable, Accelerators) {
  EXPECT_EQ(acceleratorCount, 15);
  EXPECT_EQ(accelerator_find('I', ACCEL_ALT), CMD_AVI);
  EXPECT_EQ(accelerator_find(VKEY_F6, 0), CMD_SCREENSHOT);
  EXPECT_EQ(accelerator_find('C', ACCEL_ALT), CMD_COPY_SCREEN);
  EXPECT_EQ(accelerator_find('V', ACCEL_ALT), CMD_PASTE);
  EXPECT_EQ(accelerator_find(VKEY_RETURN, ACCEL_ALT), CMD_FULL_SCREEN);
  EXPECT_EQ(accelerator_find('T', ACCEL_ALT), CMD_WAV_ATTACH);
  EXPECT_EQ(accelerator_find(VKEY_HOME, 0), CMD_WAV_REWIND);
  EXPECT_EQ(accelerator_find(VKEY_F1, ACCEL_ALT), CMD_COLD_RESTART);
  EXPECT_EQ(accelerator_find(VKEY_F3, ACCEL_ALT), CMD_SYNC_SPEED);
  EXPECT_EQ(accelerator_find('W', ACCEL_ALT), CMD_SYNC_SPEED);
  EXPECT_EQ(accelerator_find('D', ACCEL_ALT), CMD_TAPE_ATTACH);
  EXPECT_EQ(accelerator_find(VKEY_F5, 0), CMD_WAV_PLAY_RECORD);
  EXPECT_EQ(accelerator_find('M', ACCEL_ALT), CMD_CONSOLE_MONITOR);
  EXPECT_EQ(accelerator_find(VKEY_F11, 0), CMD_QUICK_SAVE);
  EXPECT_EQ(accelerator_find(VKEY_F12, 0), CMD_QUICK_LOAD);
  EXPECT_EQ(accelerator_find('I', 0), 0);
  EXPECT_EQ(accelerator_find(VKEY_F1, 0), 0) << "F1 alone is the Reset key";
  EXPECT_EQ(accelerator_find(VKEY_F6, ACCEL_SHIFT), 0);
}

TEST_F(Commands, PauseAndResumeTitles) {
  window_on_command(CMD_PAUSE);
  EXPECT_EQ(running, 0u);
  EXPECT_EQ(headless_title(), TITLE_PAUSED);
  EXPECT_TRUE(menu_checked(CMD_PAUSE));
  window_on_key_down(VKEY_PAUSE);
  EXPECT_EQ(running, 1u);
  EXPECT_EQ(headless_title(), TITLE_RESUMED);
  EXPECT_FALSE(menu_checked(CMD_PAUSE));
}

TEST_F(Commands, PauseInsideTheMonitorChangesOnlyPaused) {
  window_on_key_down(VKEY_ESCAPE);
  EXPECT_EQ(monitorMode, 1u);
  EXPECT_EQ(running, 0u);
  EXPECT_EQ(headless_title(), TITLE_MONITOR);
  EXPECT_TRUE(menu_checked(CMD_MONITOR));
  window_on_command(CMD_PAUSE);
  EXPECT_EQ(paused, 1u);
  EXPECT_EQ(headless_title(), TITLE_MONITOR);
  EXPECT_FALSE(menu_checked(CMD_PAUSE));
  window_on_key_down(VKEY_ESCAPE);
  EXPECT_EQ(monitorMode, 0u);
  EXPECT_EQ(running, 0u) << "leaving the monitor keeps the pause";
  EXPECT_EQ(headless_title(), TITLE_PAUSED);
  EXPECT_FALSE(menu_checked(CMD_MONITOR));
}

TEST_F(Commands, MonitorWithoutPauseResumes) {
  window_on_command(CMD_MONITOR);
  window_on_command(CMD_MONITOR);
  EXPECT_EQ(running, 1u);
  EXPECT_EQ(headless_title(), TITLE_RESUMED);
}

// Esc shows the instruction the machine stands at, however long it ran
// since the monitor was last shown and whatever model it is now.
TEST_F(Commands, TheMonitorOpensAtTheCurrentInstruction) {
  auto shown_at_pc = [] {
    char pc[8];
    std::snprintf(pc, sizeof pc, " %04X ", cpu.pc);
    const std::vector<std::string>& rows = headless_monitor_rows();
    return rows.size() > 3 && rows[3].compare(0, 6, pc) == 0;
  };
  for (int model : {CMD_MODEL_TARVIK41, CMD_MODEL_VELTRA16}) {
    window_on_command(model);
    for (int i = 0; i < 20; ++i) app_run_frame();
    window_on_key_down(VKEY_ESCAPE);
    EXPECT_TRUE(shown_at_pc()) << headless_monitor_rows()[3];
    EXPECT_EQ(headless_monitor_rows().back().substr(0, 11), "Esc:vissza ");
    window_on_key_down(VKEY_ESCAPE);
  }
}

TEST_F(Commands, PageDownPausesThenStepsOneFrame) {
  window_on_key_down(VKEY_NEXT);
  EXPECT_EQ(paused, 1u);
  EXPECT_EQ(running, 0u);
  for (int i = 0; i < 3; ++i) {
    int64_t before = cpu.tcount;
    uint32_t shown = headless_present_count();
    window_on_key_down(VKEY_NEXT);
    EXPECT_EQ((cpu.tcount - before) / 59808, 1);
    EXPECT_EQ(headless_present_count(), shown + 1);
    EXPECT_EQ(paused, 1u);
  }
}

TEST_F(Commands, ActivationStopsAndStartsWithoutATitle) {
  std::string title = headless_title();
  window_on_activate(0);
  EXPECT_EQ(running, 0u);
  window_on_activate(1);
  EXPECT_EQ(running, 1u);
  window_on_command(CMD_PAUSE);
  window_on_activate(2);
  EXPECT_EQ(running, 0u) << "paused stays stopped";
  EXPECT_EQ(headless_title(), TITLE_PAUSED);
}

// The sound plays exactly while the machine runs: after every command, in
// the background, paused and in either monitor.
TEST_F(Commands, SoundPlaysOnlyWhileTheMachineRuns) {
  app_shutdown();
  write_file(settingsFile(), "SoundDriver=1\n"); // the (virtual) sound device
  start({});
  ASSERT_TRUE(sound_on());
  EXPECT_TRUE(headless_sound_playing());
  window_on_activate(0);
  EXPECT_FALSE(headless_sound_playing()) << "in the background";
  window_on_activate(1);
  EXPECT_TRUE(headless_sound_playing());

  window_on_command(CMD_PAUSE); // pause
  EXPECT_FALSE(headless_sound_playing());
  window_on_command(CMD_MODEL_DORVANE); // a model change resumes the sound on its own
  EXPECT_FALSE(headless_sound_playing()) << "a model change while paused";
  headless_console_queue_line("x");
  window_on_command(CMD_CONSOLE_MONITOR); // the interactive monitor resumes it when it ends
  EXPECT_FALSE(headless_sound_playing()) << "the interactive monitor while paused";
  window_on_activate(1);
  EXPECT_FALSE(headless_sound_playing()) << "activated while paused";
  window_on_command(CMD_PAUSE);
  EXPECT_TRUE(headless_sound_playing()) << "running again";

  window_on_command(CMD_MONITOR); // the on-screen monitor
  EXPECT_FALSE(headless_sound_playing());
  window_on_command(CMD_MODEL_TARVIK41);
  EXPECT_FALSE(headless_sound_playing()) << "a model change in the monitor";
  window_on_command(CMD_MONITOR);
  EXPECT_TRUE(headless_sound_playing());
  headless_console_queue_line("x");
  window_on_command(CMD_CONSOLE_MONITOR);
  EXPECT_TRUE(headless_sound_playing()) << "the interactive monitor while running";
}

TEST_F(Commands, DialogsOfTheFileCommands) {
  EXPECT_EQ(dialog_of(CMD_AUTOLOAD), "TKT kazettaállomány csatolása...");
  EXPECT_EQ(dialog_of(CMD_LOAD_BINARY), "ROM/BIN betöltése...");
  EXPECT_EQ(dialog_of(CMD_SAVE_MEMORY), "TKT/ROM/BIN kimentése...");
  EXPECT_EQ(dialog_of(CMD_LOAD_CHARSET), "Karakterkészlet betöltése...");
  EXPECT_EQ(dialog_of(CMD_SNAPSHOT_SAVE), "TKS file mentés");
  EXPECT_EQ(dialog_of(CMD_SNAPSHOT_LOAD), "TKS file beolvasás");
  EXPECT_EQ(dialog_of(CMD_SCREENSHOT_AS), "");
  EXPECT_EQ(dialog_of(CMD_SOUND_RECORD), "Mentés WAV formátumban");
  EXPECT_EQ(dialog_of(CMD_TAPE_ATTACH), "TKT kazettaállomány csatolása...");
  EXPECT_EQ(dialog_of(CMD_WAV_ATTACH), "WAV kazettaállomány csatolása");
  EXPECT_EQ(dialog_of(CMD_WAV_CREATE), "Mentés WAV formátumban");
  EXPECT_EQ(dialog_of(CMD_AVI), "Video mentése...");
  EXPECT_EQ(headless_message_box_count(), 0u) << "a cancelled dialog does nothing";
}

TEST_F(Commands, FirstUseAddressTexts) {
  memory[0x4018] = 0x34;
  memory[0x4019] = 0x52;
  window_on_command(CMD_SAVE_MEMORY);
  EXPECT_STREQ(headless_last_address_panel().start, "4016");
  EXPECT_STREQ(headless_last_address_panel().end, "5235");
  EXPECT_EQ(headless_last_address_panel().filterIndex, 1u);
  window_on_command(CMD_LOAD_BINARY);
  EXPECT_STREQ(headless_last_address_panel().start, "0000");
  EXPECT_STREQ(headless_last_address_panel().end, "FFFF");
  // Later uses propose what was entered last.
  headless_set_dialog_fields("5000", "50FF");
  window_on_command(CMD_SAVE_MEMORY);
  window_on_command(CMD_SAVE_MEMORY);
  EXPECT_STREQ(headless_last_address_panel().start, "5000");
  EXPECT_STREQ(headless_last_address_panel().end, "50FF");
}

TEST_F(Commands, MemorySaveAndLoadThroughTheDialogs) {
  for (int i = 0; i < 16; ++i) memory[0x5000 + i] = static_cast<uint8_t>(0xA0 + i);
  std::string bin = path("mem"); // ".bin" is appended with the second filter
  headless_set_dialog_fields("5000", "500F");
  headless_queue_dialog_answer(path("mem.bin").c_str());
  window_on_command(CMD_SAVE_MEMORY);
  EXPECT_EQ(read_file(path("mem.bin")).size(), 16u);
  EXPECT_NE(std::string(status_text(3)).find("5000h-500Fh"), std::string::npos) << status_text(3);
  std::memset(memory + 0x5000, 0, 16);
  headless_set_dialog_fields("5000", "500F");
  headless_queue_dialog_answer(path("mem.bin").c_str());
  window_on_command(CMD_LOAD_BINARY);
  EXPECT_EQ(memory[0x500F], 0xAF);
  headless_queue_dialog_answer(path("nothing-here.bin").c_str());
  window_on_command(CMD_LOAD_BINARY);
  EXPECT_EQ(headless_last_message_box(), "Hiba!: A megadott file betöltése sikertelen.");
  headless_queue_dialog_answer(path("nothing-here.chr").c_str());
  window_on_command(CMD_LOAD_CHARSET);
  EXPECT_EQ(headless_last_message_box(), "Hiba!: A megadott karakterkészlet betöltése sikertelen.");
}

TEST_F(Commands, ModelRamAndOptionCommands) {
  window_on_command(CMD_MODEL_DORVANE);
  EXPECT_EQ(model(), 2u);
  EXPECT_TRUE(menu_checked(CMD_MODEL_DORVANE));
  EXPECT_FALSE(menu_checked(CMD_MODEL_TARVIK41));
  EXPECT_STREQ(headless_status_text(0), "Dorvane");
  window_on_command(CMD_RAM_6K);
  EXPECT_EQ(machineState.ramSizeIndex, 1u);
  EXPECT_TRUE(menu_checked(CMD_RAM_6K));
  EXPECT_FALSE(menu_checked(CMD_RAM_64K));
  window_on_command(CMD_SYNC_SPEED);
  EXPECT_EQ(hostOptions.SyncSpeed, 0u);
  window_on_command(CMD_SYMBOLIC_KEYBOARD);
  EXPECT_EQ(machineState.symbolicKeyboard, 1u);
  window_on_command(CMD_DOUBLE_SCAN);
  EXPECT_EQ(hostOptions.DoubleScan, 0u);
  window_on_command(CMD_SCREEN_MODE_32);
  EXPECT_EQ(machineState.screenMode32, 1u);
  window_on_command(CMD_KEEP_ASPECT);
  EXPECT_EQ(hostOptions.KeepAspectRatio, 0u);
  window_on_command(CMD_VIDEO_DRIVER);
  EXPECT_EQ(hostOptions.VideoDriver, VIDEO_DRIVER_GDI);
  window_on_command(CMD_SOUND_WAVEOUT);
  EXPECT_EQ(hostOptions.soundDriverIndex, 2u);
  EXPECT_TRUE(menu_checked(CMD_SOUND_WAVEOUT));
  EXPECT_FALSE(menu_checked(CMD_SOUND_OFF));
  window_on_command(CMD_FULL_SCREEN);
  EXPECT_EQ(fullScreen, 1u);
  window_on_command(CMD_FULL_SCREEN);
  EXPECT_EQ(fullScreen, 0u);
}

TEST_F(Commands, MachineCommands) {
  cpu.pc = 0x1234;
  window_on_command(CMD_RESTART); // restart
  EXPECT_EQ(cpu.pc, 0u);
  memory[0x5000] = 0x77;
  window_on_command(CMD_COLD_RESTART); // cold restart clears RAM
  EXPECT_EQ(memory[0x5000], 0u);
  cpu.nmiTaken = 1;
  window_on_command(CMD_RESET); // the Reset key: one NMI
  EXPECT_EQ(cpu.nmiLine, 1u);
  EXPECT_EQ(cpu.nmiTaken, 0u);
}

TEST_F(Commands, ScreenshotNeverOverwrites) {
  char saved[4096];
  ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
  ASSERT_EQ(chdir(folder.c_str()), 0);
  write_file("tarvik0000.bmp", "a");
  write_file("tarvik0001.bmp", "b");
  window_on_command(CMD_SCREENSHOT);
  std::string written = read_file("tarvik0002.bmp");
  std::string first = read_file("tarvik0000.bmp");
  ASSERT_EQ(chdir(saved), 0);
  EXPECT_EQ(written.size(), 16446u);
  EXPECT_EQ(first, "a");
}

TEST_F(Commands, ClipboardAndDialogCommands) {
  window_on_command(CMD_COPY_SCREEN);
  EXPECT_EQ(headless_clipboard_get().size(), 2112u);
  headless_clipboard_put("AB");
  window_on_command(CMD_PASTE);
  EXPECT_TRUE(paste_active());
  window_on_input_language_change();
  EXPECT_TRUE(paste_active()) << "the trap takes itself out at its next pass";
  unsigned before = headless_message_box_count();
  window_on_command(CMD_KEYBOARD_CHART);
  window_on_command(CMD_ABOUT);
  EXPECT_EQ(headless_message_box_count(), before);
}

TEST_F(Commands, ExitPostsTheCloseWithoutResuming) {
  headless_queue_command(CMD_EXIT);
  int exitCode = -1;
  EXPECT_EQ(script_queue_next_message(false, &exitCode), PLATFORM_MESSAGE_HANDLED);
  EXPECT_EQ(script_queue_next_message(false, &exitCode), PLATFORM_MESSAGE_HANDLED); // destroy
  EXPECT_EQ(script_queue_next_message(false, &exitCode), PLATFORM_MESSAGE_QUIT);
  EXPECT_EQ(exitCode, 0);
}

TEST_F(Commands, AcceleratorsComeBeforeTheKeyHandler) {
  headless_queue_key(VKEY_MENU, true);
  headless_queue_key('W', true); // Alt+W: the 50 Hz timer
  headless_queue_key('W', false);
  headless_queue_key(VKEY_MENU, false);
  headless_queue_key(VKEY_F1, true); // F1 alone: the Reset key
  int exitCode;
  for (int i = 0; i < 5; ++i) script_queue_next_message(false, &exitCode);
  EXPECT_EQ(hostOptions.SyncSpeed, 0u);
  EXPECT_EQ(cpu.nmiLine, 1u);
}

TEST_F(Commands, DroppedFileIsAutoloaded) {
  const std::string missing = path("missing.wav");
  window_on_drop_file(missing.c_str());
  EXPECT_EQ(std::string(status_text(3)), "Nincs ilyen állomány: " + missing);
  EXPECT_EQ(headless_message_box_count(), 0u) << "no box for a file the user did not choose";
}

// A tape file chosen in a dialog that is not there gets a box as well as
// the status message; a snapshot save is confirmed.
TEST_F(Commands, MissingChosenTapeFilesAndTheSnapshotSaveAreReported) {
  for (int id : {40029, 40011, 40003}) {
    const std::string missing = path(("nincs" + std::to_string(id)).c_str());
    status_message("%s", "");
    const unsigned before = headless_message_box_count();
    headless_queue_dialog_answer(missing.c_str());
    window_on_command(id);
    EXPECT_EQ(std::string(status_text(3)), "Nincs ilyen állomány: " + missing) << id;
    EXPECT_EQ(headless_message_box_count(), before + 1) << id;
    EXPECT_EQ(headless_last_message_box(), "Hiba!: A megadott file betöltése sikertelen.") << id;
  }
  window_on_command(121); // the WAV tape closed again
  const unsigned before = headless_message_box_count();
  const std::string snapshot = path("allapot.tks");
  headless_queue_dialog_answer(snapshot.c_str());
  window_on_command(141);
  EXPECT_EQ(read_file(snapshot).size(), 115238u);
  EXPECT_EQ(std::string(status_text(3)), "Pillanatfelvétel lementve " + snapshot + " néven.");
  EXPECT_EQ(headless_message_box_count(), before);
}

// The web page picks a file before its command runs: the file opens as the
// command's dialog would have chosen it, without a dialog.
TEST_F(Commands, AFileChosenBeforeItsCommandOpensAsTheCommandDoes) {
  for (int i = 0; i < 16; ++i) memory[0x5000 + i] = static_cast<uint8_t>(0xA0 + i);
  headless_set_dialog_fields("5000", "500F");
  headless_queue_dialog_answer(path("mem.bin").c_str());
  window_on_command(CMD_SAVE_MEMORY);
  std::memset(memory + 0x5000, 0, 16);
  const unsigned dialogs = headless_dialog_count();
  auto cancel = [](AddressPanel*) { return false; };
  window_on_open_file(CMD_LOAD_BINARY, path("mem.bin").c_str(), cancel);
  EXPECT_EQ(memory[0x500F], 0x00) << "cancelled at the address fields";
  auto fields = [](AddressPanel* panel) {
    std::snprintf(panel->start, sizeof panel->start, "%s", "5000");
    std::snprintf(panel->end, sizeof panel->end, "%s", "500F");
    return true;
  };
  window_on_open_file(CMD_LOAD_BINARY, path("mem.bin").c_str(), fields);
  EXPECT_EQ(memory[0x500F], 0xAF);

  const std::string snapshot = path("allapot.tks");
  headless_queue_dialog_answer(snapshot.c_str());
  window_on_command(CMD_SNAPSHOT_SAVE);
  window_on_open_file(CMD_SNAPSHOT_LOAD, snapshot.c_str(), nullptr);
  RecentKind kind;
  const char* name;
  ASSERT_TRUE(recent_files_entry(0, &kind, &name));
  EXPECT_EQ(kind, RECENT_SNAPSHOT_LOAD);
  EXPECT_EQ(std::string(name), snapshot);

  const unsigned boxes = headless_message_box_count();
  window_on_open_file(CMD_AUTOLOAD, path("nincs.tkt").c_str(), nullptr);
  EXPECT_EQ(headless_message_box_count(), boxes + 1);
  EXPECT_EQ(headless_last_message_box(), "Hiba!: A megadott file betöltése sikertelen.");
  ASSERT_TRUE(recent_files_entry(0, &kind, &name));
  EXPECT_EQ(std::string(name), snapshot) << "a file that did not open is not listed";
  window_on_open_file(CMD_PAUSE, snapshot.c_str(), nullptr);
  EXPECT_EQ(paused, 0u) << "only the commands that open a file take one";
  EXPECT_EQ(headless_dialog_count(), dialogs + 1) << "only the snapshot save asked";
}

} // namespace
