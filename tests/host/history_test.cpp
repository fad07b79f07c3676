// The machine's history at the window: state files and quick slots with the
// whole machine, the monitor's undo, going back through the rewind ring with
// the inputs replayed, and F3 held.
#include "cpu/cpu.h"
#include "host/core/history.h"
#include "host/core/keys.h"
#include "host/core/quick_snapshot.h"
#include "host/ui/menu_checks.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "media/replay.h"
#include "media/snapshot.h"
#include "tests/host/host_fixture.h"

namespace {

class History : public HostTest {
protected:
  void SetUp() override {
    HostTest::SetUp();
    start({"/h"});
  }
  void TearDown() override {
    app_shutdown();
    HostTest::TearDown();
  }
  void frames(int n) {
    for (int i = 0; i < n; ++i) app_run_frame();
  }
  void type(int vk) {
    host_key_typed(vk, true);
    app_run_frame();
    host_key_typed(vk, false);
    app_run_frame();
  }
};

TEST_F(History, AStateFileKeepsTheWholeMachineAndABadOneChangesNothing) {
  window_on_command(CMD_MODEL_DORVANE);
  frames(60);
  memory[0x5000] = 0x5A;
  cpu.i = 0x3F;
  cpu.im = 2;
  const std::string file = path("dorvane.tkm");
  headless_queue_dialog_answer(file.c_str());
  window_on_command(CMD_STATE_SAVE);
  EXPECT_EQ(read_file(file).substr(0, 4), "TKMS");

  window_on_command(CMD_MODEL_TARVIK31);
  memory[0x5000] = 0;
  cpu.i = 0;
  headless_queue_dialog_answer(file.c_str());
  window_on_command(CMD_STATE_LOAD);
  EXPECT_EQ(model(), static_cast<uint32_t>(MODEL_DORVANE));
  EXPECT_EQ(memory[0x5000], 0x5A);
  EXPECT_EQ(cpu.i, 0x3F);
  EXPECT_EQ(cpu.im, 2);
  // The window follows the machine the state holds.
  EXPECT_TRUE(menu_checked(CMD_MODEL_DORVANE));
  EXPECT_FALSE(menu_checked(CMD_MODEL_TARVIK31));
  EXPECT_STREQ(headless_status_text(0), "Dorvane");

  // A damaged file: its message, and the machine as it was.
  std::string damaged = read_file(file);
  damaged[damaged.size() / 2] ^= 0x40;
  write_file(path("damaged.tkm"), damaged);
  memory[0x5000] = 0x77;
  const uint32_t boxes = headless_message_box_count();
  headless_queue_dialog_answer(path("damaged.tkm").c_str());
  window_on_command(CMD_STATE_LOAD);
  EXPECT_EQ(headless_message_box_count(), boxes + 1);
  EXPECT_NE(headless_last_message_box().find("sérült"), std::string::npos);
  EXPECT_EQ(memory[0x5000], 0x77);
  EXPECT_EQ(model(), static_cast<uint32_t>(MODEL_DORVANE));
}

TEST_F(History, AQuickSlotOfAnEarlierVersionStillLoads) {
  memory[0x5000] = 0x42;
  char old[1100];
  ASSERT_TRUE(quick_slot_path(old, sizeof old, "tks"));
  std::remove(old);
  ASSERT_TRUE(snapshot_save(old, memory + 0x4000));
  memory[0x5000] = 0;
  window_on_command(CMD_QUICK_LOAD);
  EXPECT_EQ(memory[0x5000], 0x42);
  EXPECT_STREQ(headless_status_text(3), "Gyors betöltés: a Tarvik4 rekesz betöltve.");
}

TEST_F(History, BackspaceUndoesTheMonitorsStepsOneByOne) {
  frames(50);
  window_on_command(CMD_MONITOR);
  const uint16_t start = cpu.pc;
  window_on_key_down(VKEY_RETURN);
  const uint16_t first = cpu.pc;
  window_on_key_down(VKEY_RETURN);
  ASSERT_NE(cpu.pc, first);
  window_on_key_down(VKEY_BACK);
  EXPECT_EQ(cpu.pc, first);
  window_on_key_down(VKEY_BACK);
  EXPECT_EQ(cpu.pc, start);
  const int64_t t = cpu.tcount;
  window_on_key_down(VKEY_BACK); // nothing more to undo
  EXPECT_EQ(cpu.tcount, t);
}

// Going back lands on the very frame: the state a second before it, and the
// keys typed since then replayed.
TEST_F(History, GoingBackReplaysTheInputsToTheFrameAskedFor) {
  frames(100);
  type('L');
  frames(17);
  type(VKEY_SPACE);
  const uint32_t back = 40;
  uint64_t then = 0;
  for (int i = 0; i < 140; ++i) {
    if (i == 140 - static_cast<int>(back)) then = replay_machine_hash();
    if (i == 103) host_key_typed('4', true);
    if (i == 105) host_key_typed('4', false);
    app_run_frame();
  }
  const uint64_t now = replay_machine_hash();
  char reason[200];
  ASSERT_TRUE(history_go_back(back, reason, sizeof reason)) << reason;
  EXPECT_EQ(replay_machine_hash(), then);
  // Further back than the history reaches: said, and nothing changes.
  const uint64_t here = replay_machine_hash();
  EXPECT_FALSE(history_go_back(1000000, reason, sizeof reason));
  EXPECT_NE(std::string(reason).find("képkocká"), std::string::npos);
  EXPECT_EQ(replay_machine_hash(), here);
  EXPECT_NE(here, now);
}

TEST_F(History, F3HeldRunsBackASecondAStepAndTheOptionSwitchesItOff) {
  frames(300);
  const int64_t t = cpu.tcount;
  host_key_typed(VKEY_F3, true);
  frames(12);
  EXPECT_LT(cpu.tcount, t);
  const int64_t back = cpu.tcount;
  host_key_typed(VKEY_F3, false);
  frames(1);
  EXPECT_GT(cpu.tcount, back);

  window_on_command(CMD_REWIND);
  EXPECT_FALSE(menu_checked(CMD_REWIND));
  frames(100);
  const int64_t off = cpu.tcount;
  host_key_typed(VKEY_F3, true);
  frames(12);
  host_key_typed(VKEY_F3, false);
  EXPECT_GT(cpu.tcount, off); // the machine ran on
}

} // namespace
