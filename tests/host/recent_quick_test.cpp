// The recent files (kept in the settings, reopened the way they were opened)
// and the quick snapshots (one slot per model in the data folder).
#include "cpu/cpu.h"
#include "host/core/quick_snapshot.h"
#include "host/store/recent_files.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "media/snapshot.h"
#include "tests/host/host_fixture.h"

namespace {

class RecentAndQuick : public HostTest {
protected:
  void SetUp() override {
    HostTest::SetUp();
    start({"/h"});
  }
  void TearDown() override {
    app_shutdown();
    HostTest::TearDown();
  }
  void restart() {
    app_shutdown();
    start({"/h"});
  }
};

TEST_F(RecentAndQuick, RecentFilesSurviveARestartAndReopenTheWayTheyWereOpened) {
  const uint8_t program[4] = {1, 2, 3, 4};
  ASSERT_TRUE(tape_save_memory(path("game.tkt").c_str(), 0x4016, 4, program));
  memory[0x6000] = 0x5A;
  ASSERT_TRUE(snapshot_save(path("state.tks").c_str(), memory + 0x4000));
  EXPECT_EQ(headless_menu_label(CMD_RECENT_1), "(üres)");
  EXPECT_FALSE(headless_menu_enabled(CMD_RECENT_1));

  headless_queue_dialog_answer(path("game.tkt").c_str());
  window_on_command(CMD_TAPE_ATTACH);
  headless_queue_dialog_answer(path("state.tks").c_str());
  window_on_command(CMD_SNAPSHOT_LOAD);
  EXPECT_EQ(headless_menu_label(CMD_RECENT_1), "&1 state.tks (TKS betöltés)");
  EXPECT_EQ(headless_menu_label(CMD_RECENT_2), "&2 game.tkt (TKT csatolás)");
  // The same file dropped: one entry, on top, now autoloaded.
  window_on_drop_file(path("game.tkt").c_str());
  EXPECT_EQ(headless_menu_label(CMD_RECENT_1), "&1 game.tkt (Autoload)");
  EXPECT_EQ(headless_menu_label(CMD_RECENT_2), "&2 state.tks (TKS betöltés)");
  EXPECT_EQ(headless_menu_label(CMD_RECENT_3), "");
  // A file that could not be opened is not listed.
  headless_queue_dialog_answer(path("missing.tks").c_str());
  window_on_command(CMD_SNAPSHOT_LOAD);
  EXPECT_EQ(headless_menu_label(CMD_RECENT_3), "");

  restart();
  EXPECT_NE(read_file(settingsFile()).find("RecentFile1=AUTOLOAD|" + path("game.tkt") + "\n"),
            std::string::npos);
  EXPECT_EQ(headless_menu_label(CMD_RECENT_1), "&1 game.tkt (Autoload)");
  EXPECT_EQ(headless_menu_label(CMD_RECENT_2), "&2 state.tks (TKS betöltés)");
  memory[0x6000] = 0;
  window_on_command(CMD_RECENT_2);
  EXPECT_EQ(memory[0x6000], 0x5A) << "loaded as a snapshot again";
  EXPECT_EQ(headless_menu_label(CMD_RECENT_1), "&1 state.tks (TKS betöltés)");

  // A file that is gone leaves the list with a message.
  std::remove(path("game.tkt").c_str());
  uint32_t boxes = headless_message_box_count();
  window_on_command(CMD_RECENT_2);
  EXPECT_EQ(headless_message_box_count(), boxes + 1);
  EXPECT_NE(headless_last_message_box().find("nem található"), std::string::npos);
  EXPECT_NE(headless_last_message_box().find(path("game.tkt")), std::string::npos);
  EXPECT_EQ(headless_menu_label(CMD_RECENT_2), "");
  restart();
  EXPECT_EQ(headless_menu_label(CMD_RECENT_1), "&1 state.tks (TKS betöltés)");
  EXPECT_EQ(headless_menu_label(CMD_RECENT_2), "");
}

// A machine state opens the same by every route (the command line, a drop,
// the web page's picker, the recent files) as the menu's state load: the
// machine and the window follow it, and it joins the recent files. A bad one
// says why in a box and changes nothing.
TEST_F(RecentAndQuick, AStateFileOpensByEveryRouteAsTheMenuOpensIt) {
  window_on_command(CMD_MODEL_DORVANE);
  memory[0x5000] = 0x5A;
  const uint8_t program[4] = {1, 2, 3, 4};
  ASSERT_TRUE(tape_save_memory(path("game.tkt").c_str(), 0x4016, 4, program));
  const std::string state = path("allapot.tkm");
  headless_queue_dialog_answer(state.c_str());
  window_on_command(CMD_STATE_SAVE);
  std::string damaged = read_file(state);
  damaged[damaged.size() / 2] ^= 0x40;
  write_file(path("serult.tkm"), damaged);

  auto away = [] {
    window_on_command(CMD_MODEL_TARVIK31);
    memory[0x5000] = 0;
  };
  auto opened = [&](const char* route) {
    EXPECT_EQ(model(), static_cast<uint32_t>(MODEL_DORVANE)) << route;
    EXPECT_EQ(memory[0x5000], 0x5A) << route;
    EXPECT_TRUE(menu_checked(CMD_MODEL_DORVANE)) << route;
    EXPECT_STREQ(headless_status_text(3), ("Gépállapot betöltve: " + state).c_str()) << route;
    EXPECT_EQ(headless_menu_label(CMD_RECENT_1), "&1 allapot.tkm (TKM betöltés)") << route;
  };
  away();
  const char* args[] = {"tarvik", state.c_str()};
  app_command_line(2, args);
  EXPECT_TRUE(app_command_line_failures().empty());
  opened("command line");
  recent_files_clear();
  away();
  window_on_drop_file(state.c_str());
  opened("drop");
  away();
  window_on_open_file(CMD_STATE_LOAD, state.c_str(), nullptr);
  opened("picker");
  window_on_drop_file(path("game.tkt").c_str()); // another file on top
  away();
  window_on_command(CMD_RECENT_2);
  opened("recent file");

  // A damaged state by each route: its reason in a box, nothing changed, not
  // listed.
  away();
  status_message("%s", "");
  const std::string bad = path("serult.tkm");
  const char* badArgs[] = {"tarvik", bad.c_str()};
  uint32_t boxes = headless_message_box_count();
  app_command_line(2, badArgs);
  EXPECT_EQ(app_command_line_failures(),
            std::vector<std::string>{COMMAND_LINE_STATE_FAILED + (": " + bad)});
  window_on_drop_file(bad.c_str());
  window_on_open_file(CMD_STATE_LOAD, bad.c_str(), nullptr);
  EXPECT_EQ(headless_message_box_count(), boxes + 3);
  EXPECT_NE(headless_last_message_box().find("sérült"), std::string::npos);
  EXPECT_EQ(model(), static_cast<uint32_t>(MODEL_TARVIK31));
  EXPECT_EQ(memory[0x5000], 0);
  EXPECT_EQ(headless_menu_label(CMD_RECENT_1), "&1 allapot.tkm (TKM betöltés)");

  restart();
  EXPECT_NE(read_file(settingsFile()).find("RecentFile1=TKM|" + state + "\n"), std::string::npos);
}

TEST_F(RecentAndQuick, TheListKeepsEightAndDropsUnusableSettings) {
  for (int i = 0; i < 10; ++i)
    recent_files_add(RECENT_WAV_ATTACH, path(std::to_string(i).c_str()).c_str());
  RecentKind kind;
  const char* name;
  ASSERT_TRUE(recent_files_entry(0, &kind, &name));
  EXPECT_EQ(std::string(name), path("9"));
  ASSERT_TRUE(recent_files_entry(7, &kind, &name));
  EXPECT_EQ(std::string(name), path("2"));
  EXPECT_FALSE(recent_files_entry(8, &kind, &name));
  app_shutdown();
  write_file(settingsFile(), "RecentFile1=NOKIND|/x.tkt\nRecentFile2=7\nRecentFile3=TKT|/y.tkt\n");
  start({"/h"});
  ASSERT_TRUE(recent_files_entry(0, &kind, &name));
  EXPECT_EQ(kind, RECENT_TAPE_ATTACH);
  EXPECT_STREQ(name, "/y.tkt");
  EXPECT_FALSE(recent_files_entry(1, &kind, &name));
}

TEST_F(RecentAndQuick, QuickSaveThenLoadRestoresTheMachineAndAnEmptySlotChangesNothing) {
  memory[0x5000] = 0x11;
  cpu.pc = 0x1234;
  window_on_command(CMD_QUICK_LOAD);
  EXPECT_STREQ(headless_status_text(3),
               "Gyors betöltés: a Tarvik4 rekesz üres, nincs mit betölteni.");
  EXPECT_EQ(memory[0x5000], 0x11);
  EXPECT_EQ(cpu.pc, 0x1234);

  window_on_command(CMD_QUICK_SAVE);
  EXPECT_STREQ(headless_status_text(3), "Gyors mentés: a Tarvik4 rekesz lementve.");
  EXPECT_EQ(read_file(path("data/quick-tarvik4.tkm")).substr(0, 4), "TKMS");
  memory[0x5000] = 0x22;
  cpu.pc = 0x4321;
  window_on_command(CMD_QUICK_LOAD);
  EXPECT_STREQ(headless_status_text(3), "Gyors betöltés: a Tarvik4 rekesz betöltve.");
  EXPECT_EQ(memory[0x5000], 0x11);
  EXPECT_EQ(cpu.pc, 0x1234);

  // Another model has its own slot, empty so far.
  window_on_command(CMD_MODEL_DORVANE);
  memory[0x5000] = 0x33;
  window_on_command(CMD_QUICK_LOAD);
  EXPECT_STREQ(headless_status_text(3),
               "Gyors betöltés: a Dorvane rekesz üres, nincs mit betölteni.");
  EXPECT_EQ(memory[0x5000], 0x33);

  // No data folder can be made: the save says so.
  write_file(path("plain"), "x");
  posix_set_data_folder(path("plain/tarvik").c_str());
  uint32_t boxes = headless_message_box_count();
  window_on_command(CMD_QUICK_SAVE);
  EXPECT_EQ(headless_message_box_count(), boxes + 1);
  EXPECT_EQ(headless_last_message_box(),
            "Hiba!: A gyors mentés sikertelen (Dorvane rekesz); a korábbi mentés megmaradt.");
}

} // namespace
