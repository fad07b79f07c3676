// The lines of "p.tmp" and "e.tmp": their text for a base folder, the host's separators, and the
// limit on the line length.
#include "setup_test_util.h"

namespace {

TEST(SetupLines, FolderListIsExactForWindows) {
  const std::string base = "C:\\Games\\Ludora collection\\";
  std::vector<std::string> lines = setup_folder_lines(base, kWindowsHost);
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines, expected_folder_lines(base));
}

TEST(SetupLines, EmulatorListIsExactForWindows) {
  const std::string base = "C:\\Games\\Ludora collection\\";
  std::vector<std::string> lines = setup_emulator_lines(base, kWindowsHost);
  ASSERT_EQ(lines.size(), 33u);
  EXPECT_EQ(lines, expected_emulator_lines(base));
}

TEST(SetupLines, LinuxPortUsesSlashes) {
  const SetupHost& host = setup_host();
  ASSERT_EQ(host.dirSep, '/');
  const std::string base = "/srv/ludora/";
  EXPECT_EQ(setup_folder_lines(base, host), with_slashes(expected_folder_lines(base)));
  EXPECT_EQ(setup_emulator_lines(base, host), with_slashes(expected_emulator_lines(base)));
  EXPECT_EQ(setup_emulator_lines(base, host)[28],
            "EmulatorPathFile=/srv/ludora/emu/tk2_mame_win/tarvik2.exe");
}

TEST(SetupLines, LongestLineFitsUpToTheLimit) {
  // The longest line is "EmulatorPathFile=" B "emu\tk2_mame_win\tarvik2.exe": 45 + |B|.
  auto folder_of_length = [](std::size_t n) {
    std::string base = "C:\\";
    base.append(n - 4, 'a');
    base += '\\';
    return base;
  };
  std::string base = folder_of_length(210);
  ASSERT_EQ(base.size(), 210u);
  std::vector<std::string> emulators = setup_emulator_lines(base, kWindowsHost);
  EXPECT_EQ(emulators[28].size(), kSetupMaxLine);
  EXPECT_EQ(setup_first_long_line(emulators), emulators.size());
  EXPECT_EQ(setup_first_long_line(setup_folder_lines(base, kWindowsHost)), 14u);

  base = folder_of_length(211);
  emulators = setup_emulator_lines(base, kWindowsHost);
  EXPECT_EQ(setup_first_long_line(emulators), 28u);
  EXPECT_EQ(setup_first_long_line(setup_folder_lines(base, kWindowsHost)), 14u);
}

TEST(SetupLines, FirstLongLine) {
  EXPECT_EQ(setup_first_long_line({}), 0u);
  EXPECT_EQ(setup_first_long_line({"a", std::string(255, 'x'), "b"}), 3u);
  EXPECT_EQ(setup_first_long_line({"a", std::string(256, 'x'), std::string(300, 'y')}), 1u);
}

} // namespace
