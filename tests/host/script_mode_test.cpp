// Script mode ("/script FILE"): the host answers the dialogs, boxes and
// console reads from the script and logs them; the platform is never asked.
#include <cstring>
#include <string>
#include <vector>

#include "host/script/script_mode.h"
#include "host/script/script_queue.h"
#include "host/ui/file_dialogs.h"
#include "tests/host/host_fixture.h"

namespace {

class ScriptMode : public HostTest {};

// Runs the script's lines until it has ended (its quit is posted).
int run_script() {
  int exitCode = -1;
  for (int turns = 0; turns < 100; ++turns)
    if (script_queue_next_message(true, &exitCode) == PLATFORM_MESSAGE_QUIT) return exitCode;
  return -1;
}

TEST_F(ScriptMode, TheScriptAnswersInsteadOfTheWindowAndTheLogShowsIt) {
  write_file(path("run.txt"),
             "fields 4000 40ff\nanswer " + path("out") + "\nanswer-cancel\nmonitor r\n");
  const char* argv[] = {"tarvik", "/h", "/script", nullptr, "/w"};
  const std::string script = path("run.txt");
  argv[3] = script.c_str();
  std::vector<const char*> args;
  ASSERT_TRUE(script_mode_arguments(5, argv, &args));
  ASSERT_EQ(args.size(), 3u);
  EXPECT_STREQ(args[1], "/h");
  EXPECT_STREQ(args[2], "/w");
  ASSERT_TRUE(script_mode_active());
  EXPECT_EQ(run_script(), 0);

  const unsigned dialogs = headless_dialog_count();
  const uint32_t boxes = headless_message_box_count();
  testing::internal::CaptureStderr();
  const FileDialogKind* kind = file_dialog_kind(FILE_DIALOG_SAVE_MEMORY);
  AddressPanel panel = {"0000", "FFFF", 1};
  char name[256] = "";
  EXPECT_TRUE(host_file_dialog(kind, name, sizeof name, &panel));
  EXPECT_EQ(std::string(name), path("out") + ".tkt");
  EXPECT_STREQ(panel.start, "4000");
  EXPECT_STREQ(panel.end, "40ff");
  char saved[256] = "";
  EXPECT_FALSE(host_save_file_dialog("Mentés", "TKT\0*.tkt\0", "tkt", saved, sizeof saved));
  EXPECT_STREQ(saved, "");
  host_message_box("Hiba!", "Nincs ilyen file.", PLATFORM_ICON_STOP);
  char line[64];
  ASSERT_TRUE(script_console_read_line(line, sizeof line));
  EXPECT_STREQ(line, "r\n");
  EXPECT_FALSE(script_console_read_line(line, sizeof line)); // the input has ended
  const std::string log = testing::internal::GetCapturedStderr();

  EXPECT_EQ(headless_dialog_count(), dialogs);
  EXPECT_EQ(headless_message_box_count(), boxes);
  const std::string title = kind->title;
  const std::string expected = "dialog: " + title + ": fields 0000 FFFF\n" + "dialog: " + title +
                               ": " + path("out") + ".tkt\n" + "dialog: Mentés: cancelled\n" +
                               "message box: Hiba!: Nincs ilyen file.\n" + "console input: r\n\n";
  EXPECT_EQ(log, expected);

  // Back to the start-up state: the platform shows the box again.
  host_reset_state();
  EXPECT_FALSE(script_mode_active());
  host_message_box("Hiba!", "Nincs ilyen file.", PLATFORM_ICON_STOP);
  EXPECT_EQ(headless_message_box_count(), boxes + 1);
}

TEST_F(ScriptMode, AMissingScriptIsRefusedAndScriptModeStaysOff) {
  const std::string missing = path("no-such-script.txt");
  const char* argv[] = {"tarvik", "/script", missing.c_str()};
  std::vector<const char*> args;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(script_mode_arguments(3, argv, &args));
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(log, "tarvik: cannot open the script " + missing + "\n");
  EXPECT_FALSE(script_mode_active());
}

} // namespace
