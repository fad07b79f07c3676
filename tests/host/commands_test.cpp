// The menu and accelerator tables, the run-state machine with its titles,
// and every command reaching its operation.
#include <cstring>

#include "cpu/cpu.h"
#include "host/clipboard.h"
#include "host/menu.h"
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
      {40029, "&Autoload..."},
      {40006, "&ROM/BIN betöltése..."},
      {40010, "&Memória kimentése..."},
      {40008, "&Saját betöltése ..."},
      {40009, "&Eredeti visszaállítása"},
      {40042, "Karaktermátrix a &vágólapra\tAlt+C"},
      {40041, "&Beszúrás vágólapról\tAlt+V"},
      {141, "TKS mentése..."},
      {140, "TKS betöltése..."},
      {112, "&Kép mentése\tF6"},
      {129, "Kép& mentése másként..."},
      {40038, "&Hang mentése mint..."},
      {102, "E&xit"},
      {104, "&Szünet\tPause"},
      {105, "&Reset\tF1"},
      {109, "R&estart"},
      {131, "&Hideg Restart\tALT+F1"},
      {108, "&Monitor\tESC"},
      {40043, "&Interaktív monitor\tAlt+M"},
      {40017, "Veltra-16"},
      {40014, "Tarvik &3.1"},
      {40015, "Tarvik 4.1"},
      {40016, "&Dorvane"},
      {133, "&4kb RAM"},
      {134, "&6kb RAM"},
      {135, "&8kb RAM"},
      {136, "&16 kb RAM"},
      {137, "32kb RAM"},
      {139, "&64 kb RAM"},
      {40011, "&TKT csatolása...\tALT+D"},
      {40012, "T&KT lezárása"},
      {40003, "WAV &csatolása...\tALT+T"},
      {120, "&WAV készítés..."},
      {121, "WAV l&ezárása"},
      {122, "&Play/Record\tF5"},
      {130, "&Visszacsévélés\tHome"},
      {106, "&50 Hz timer\tALT+W"},
      {40030, "&Kikapcsolva"},
      {40031, "DirectSound"},
      {40032, "WaveOut"},
      {40026, "&Szimbolikus billentyűzet"},
      {132, "&DDraw ki"},
      {40040, "D&upla scan"},
      {40004, "&32 oszlopos mód"},
      {40028, "&Képarány tartása"},
      {40019, "&Teljes képernyős mód"},
      {40002, "&Tasztatúra"},
      {103, "&A programról"}};
  std::vector<std::pair<int, std::string>> items;
  for (int i = 0; i < menuEntryCount; ++i)
    if (menuEntries[i].kind == MENU_ITEM)
      items.emplace_back(menuEntries[i].id, label_of(menuEntries[i].id));
  EXPECT_EQ(items, expected);
  EXPECT_EQ(menu_find(138), nullptr) << "RAM index 5 has no item";
  EXPECT_EQ(menu_find(40037), nullptr) << "AVI capture has no item";
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
                                              "0&Gép", "1&Típus", "1Memória", "0&Magnó", "0&Opciók",
                                              "1&Hang", "0&Segítség"}));
  EXPECT_EQ(separators, 9);
  // Every item of a sub-menu sits one level below it.
  for (int i = 1; i < menuEntryCount; ++i)
    EXPECT_LE(menuEntries[i].depth, menuEntries[i - 1].depth + 1) << i;
}

TEST(MenuTable, Accelerators) {
  EXPECT_EQ(acceleratorCount, 13);
  EXPECT_EQ(accelerator_find('I', ACCEL_ALT), 40037);
  EXPECT_EQ(accelerator_find(VKEY_F6, 0), 112);
  EXPECT_EQ(accelerator_find('C', ACCEL_ALT), 40042);
  EXPECT_EQ(accelerator_find('V', ACCEL_ALT), 40041);
  EXPECT_EQ(accelerator_find(VKEY_RETURN, ACCEL_ALT), 40019);
  EXPECT_EQ(accelerator_find('T', ACCEL_ALT), 40003);
  EXPECT_EQ(accelerator_find(VKEY_HOME, 0), 130);
  EXPECT_EQ(accelerator_find(VKEY_F1, ACCEL_ALT), 131);
  EXPECT_EQ(accelerator_find(VKEY_F3, ACCEL_ALT), 106);
  EXPECT_EQ(accelerator_find('W', ACCEL_ALT), 106);
  EXPECT_EQ(accelerator_find('D', ACCEL_ALT), 40011);
  EXPECT_EQ(accelerator_find(VKEY_F5, 0), 122);
  EXPECT_EQ(accelerator_find('M', ACCEL_ALT), 40043);
  EXPECT_EQ(accelerator_find('I', 0), 0);
  EXPECT_EQ(accelerator_find(VKEY_F1, 0), 0) << "F1 alone is the Reset key";
  EXPECT_EQ(accelerator_find(VKEY_F6, ACCEL_SHIFT), 0);
}

TEST_F(Commands, PauseAndResumeTitles) {
  window_on_command(104);
  EXPECT_EQ(running, 0u);
  EXPECT_EQ(headless_title(), TITLE_PAUSED);
  EXPECT_TRUE(platform_menu_checked(104));
  window_on_key_down(VKEY_PAUSE);
  EXPECT_EQ(running, 1u);
  EXPECT_EQ(headless_title(), TITLE_RESUMED);
  EXPECT_FALSE(platform_menu_checked(104));
}

TEST_F(Commands, PauseInsideTheMonitorChangesOnlyPaused) {
  window_on_key_down(VKEY_ESCAPE);
  EXPECT_EQ(monitorMode, 1u);
  EXPECT_EQ(running, 0u);
  EXPECT_EQ(headless_title(), TITLE_MONITOR);
  EXPECT_TRUE(platform_menu_checked(108));
  window_on_command(104);
  EXPECT_EQ(paused, 1u);
  EXPECT_EQ(headless_title(), TITLE_MONITOR);
  EXPECT_FALSE(platform_menu_checked(104));
  window_on_key_down(VKEY_ESCAPE);
  EXPECT_EQ(monitorMode, 0u);
  EXPECT_EQ(running, 0u) << "leaving the monitor keeps the pause";
  EXPECT_EQ(headless_title(), TITLE_PAUSED);
  EXPECT_FALSE(platform_menu_checked(108));
}

TEST_F(Commands, MonitorWithoutPauseResumes) {
  window_on_command(108);
  window_on_command(108);
  EXPECT_EQ(running, 1u);
  EXPECT_EQ(headless_title(), TITLE_RESUMED);
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
  window_on_command(104);
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

  window_on_command(104); // pause
  EXPECT_FALSE(headless_sound_playing());
  window_on_command(40016); // a model change resumes the sound on its own
  EXPECT_FALSE(headless_sound_playing()) << "a model change while paused";
  headless_console_queue_line("x");
  window_on_command(40043); // the interactive monitor resumes it when it ends
  EXPECT_FALSE(headless_sound_playing()) << "the interactive monitor while paused";
  window_on_activate(1);
  EXPECT_FALSE(headless_sound_playing()) << "activated while paused";
  window_on_command(104);
  EXPECT_TRUE(headless_sound_playing()) << "running again";

  window_on_command(108); // the on-screen monitor
  EXPECT_FALSE(headless_sound_playing());
  window_on_command(40015);
  EXPECT_FALSE(headless_sound_playing()) << "a model change in the monitor";
  window_on_command(108);
  EXPECT_TRUE(headless_sound_playing());
  headless_console_queue_line("x");
  window_on_command(40043);
  EXPECT_TRUE(headless_sound_playing()) << "the interactive monitor while running";
}

TEST_F(Commands, DialogsOfTheFileCommands) {
  EXPECT_EQ(dialog_of(40029), "TKT kazettaállomány csatolása...");
  EXPECT_EQ(dialog_of(40006), "ROM/BIN betöltése...");
  EXPECT_EQ(dialog_of(40010), "TKT/ROM/BIN kimentése...");
  EXPECT_EQ(dialog_of(40008), "Karakterkészlet betöltése...");
  EXPECT_EQ(dialog_of(141), "TKS file mentés");
  EXPECT_EQ(dialog_of(140), "TKS file beolvasás");
  EXPECT_EQ(dialog_of(129), "");
  EXPECT_EQ(dialog_of(40038), "Mentés WAV formátumban");
  EXPECT_EQ(dialog_of(40011), "TKT kazettaállomány csatolása...");
  EXPECT_EQ(dialog_of(40003), "WAV kazettaállomány csatolása");
  EXPECT_EQ(dialog_of(120), "Mentés WAV formátumban");
  EXPECT_EQ(dialog_of(40037), "Video mentése...");
  EXPECT_EQ(headless_message_box_count(), 0u) << "a cancelled dialog does nothing";
}

TEST_F(Commands, FirstUseAddressTexts) {
  memory[0x4018] = 0x34;
  memory[0x4019] = 0x52;
  window_on_command(40010);
  EXPECT_STREQ(headless_last_address_panel().start, "4016");
  EXPECT_STREQ(headless_last_address_panel().end, "5235");
  EXPECT_EQ(headless_last_address_panel().filterIndex, 1u);
  window_on_command(40006);
  EXPECT_STREQ(headless_last_address_panel().start, "0000");
  EXPECT_STREQ(headless_last_address_panel().end, "FFFF");
  // Later uses propose what was entered last.
  headless_set_dialog_fields("5000", "50FF");
  window_on_command(40010);
  window_on_command(40010);
  EXPECT_STREQ(headless_last_address_panel().start, "5000");
  EXPECT_STREQ(headless_last_address_panel().end, "50FF");
}

TEST_F(Commands, MemorySaveAndLoadThroughTheDialogs) {
  for (int i = 0; i < 16; ++i) memory[0x5000 + i] = static_cast<uint8_t>(0xA0 + i);
  std::string bin = path("mem"); // ".bin" is appended with the second filter
  headless_set_dialog_fields("5000", "500F");
  headless_queue_dialog_answer(path("mem.bin").c_str());
  window_on_command(40010);
  EXPECT_EQ(read_file(path("mem.bin")).size(), 16u);
  EXPECT_NE(std::string(status_text(3)).find("5000h-500Fh"), std::string::npos) << status_text(3);
  std::memset(memory + 0x5000, 0, 16);
  headless_set_dialog_fields("5000", "500F");
  headless_queue_dialog_answer(path("mem.bin").c_str());
  window_on_command(40006);
  EXPECT_EQ(memory[0x500F], 0xAF);
  headless_queue_dialog_answer(path("nothing-here.bin").c_str());
  window_on_command(40006);
  EXPECT_EQ(headless_last_message_box(), "Hiba!: A megadott file betöltése sikertelen.");
  headless_queue_dialog_answer(path("nothing-here.chr").c_str());
  window_on_command(40008);
  EXPECT_EQ(headless_last_message_box(), "Hiba!: A megadott karakterkészlet betöltése sikertelen.");
}

TEST_F(Commands, ModelRamAndOptionCommands) {
  window_on_command(40016);
  EXPECT_EQ(model(), 2u);
  EXPECT_TRUE(platform_menu_checked(40016));
  EXPECT_FALSE(platform_menu_checked(40015));
  EXPECT_STREQ(headless_status_text(0), "Dorvane");
  window_on_command(134);
  EXPECT_EQ(ramSizeIndex, 1u);
  EXPECT_TRUE(platform_menu_checked(134));
  EXPECT_FALSE(platform_menu_checked(139));
  window_on_command(106);
  EXPECT_EQ(SyncSpeed, 0u);
  window_on_command(40026);
  EXPECT_EQ(symbolicKeyboard, 1u);
  window_on_command(40040);
  EXPECT_EQ(DoubleScan, 0u);
  window_on_command(40004);
  EXPECT_EQ(screenMode32, 1u);
  window_on_command(40028);
  EXPECT_EQ(KeepAspectRatio, 0u);
  window_on_command(132);
  EXPECT_EQ(VideoDriver, 1u);
  window_on_command(40032);
  EXPECT_EQ(soundDriverIndex, 2u);
  EXPECT_TRUE(platform_menu_checked(40032));
  EXPECT_FALSE(platform_menu_checked(40030));
  window_on_command(40019);
  EXPECT_EQ(fullScreen, 1u);
  window_on_command(40019);
  EXPECT_EQ(fullScreen, 0u);
}

TEST_F(Commands, MachineCommands) {
  cpu.pc = 0x1234;
  window_on_command(109); // restart
  EXPECT_EQ(cpu.pc, 0u);
  memory[0x5000] = 0x77;
  window_on_command(131); // cold restart clears RAM
  EXPECT_EQ(memory[0x5000], 0u);
  cpu.nmiTaken = 1;
  window_on_command(105); // the Reset key: one NMI
  EXPECT_EQ(cpu.nmiLine, 1u);
  EXPECT_EQ(cpu.nmiTaken, 0u);
}

TEST_F(Commands, ScreenshotNeverOverwrites) {
  char saved[4096];
  ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
  ASSERT_EQ(chdir(folder.c_str()), 0);
  write_file("tarvik0000.bmp", "a");
  write_file("tarvik0001.bmp", "b");
  window_on_command(112);
  std::string written = read_file("tarvik0002.bmp");
  std::string first = read_file("tarvik0000.bmp");
  ASSERT_EQ(chdir(saved), 0);
  EXPECT_EQ(written.size(), 16446u);
  EXPECT_EQ(first, "a");
}

TEST_F(Commands, ClipboardAndDialogCommands) {
  window_on_command(40042);
  EXPECT_EQ(headless_clipboard_get().size(), 2112u);
  headless_clipboard_put("AB");
  window_on_command(40041);
  EXPECT_TRUE(paste_active());
  window_on_input_language_change();
  EXPECT_TRUE(paste_active()) << "the trap takes itself out at its next pass";
  unsigned before = headless_message_box_count();
  window_on_command(40002);
  window_on_command(103);
  EXPECT_EQ(headless_message_box_count(), before);
}

TEST_F(Commands, ExitPostsTheCloseWithoutResuming) {
  headless_queue_command(102);
  int exitCode = -1;
  EXPECT_EQ(platform_handle_message(false, &exitCode), PLATFORM_MESSAGE_HANDLED);
  EXPECT_EQ(platform_handle_message(false, &exitCode), PLATFORM_MESSAGE_HANDLED); // destroy
  EXPECT_EQ(platform_handle_message(false, &exitCode), PLATFORM_MESSAGE_QUIT);
  EXPECT_EQ(exitCode, 0);
}

TEST_F(Commands, AcceleratorsComeBeforeTheKeyHandler) {
  headless_queue_key(VKEY_MENU, true);
  headless_queue_key('W', true); // Alt+W: the 50 Hz timer
  headless_queue_key('W', false);
  headless_queue_key(VKEY_MENU, false);
  headless_queue_key(VKEY_F1, true); // F1 alone: the Reset key
  int exitCode;
  for (int i = 0; i < 5; ++i) platform_handle_message(false, &exitCode);
  EXPECT_EQ(SyncSpeed, 0u);
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

} // namespace
