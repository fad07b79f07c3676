// One run of the tool for a base folder: the files' bytes, the console output, and what happens
// when a file cannot be written.
#include "setup_test_util.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

ToolRun run_tool(const std::string& base, const SetupHost& host) {
  Capture out;
  Capture err;
  ToolRun r;
  r.status = setup_run(base, host, out.file, err.file);
  r.out = out.text();
  r.err = err.text();
  return r;
}

std::string error_report(const std::string& action, const std::string& path, int code) {
  return "LDTKSETUP: cannot " + action + " " + path + ": " + std::strerror(code) + " (error " +
         std::to_string(code) + ")\n";
}

TEST(SetupRun, WritesBothFilesWithCrLfAndPrintsFolder) {
  TempDir dir;
  const std::string base = dir.base();
  ToolRun r = run_tool(base, kWindowsHost);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, base + "\nOK\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(file_bytes(dir.path / "p.tmp"), joined(expected_folder_lines(base), "\r\n"));
  EXPECT_EQ(file_bytes(dir.path / "e.tmp"), joined(expected_emulator_lines(base), "\r\n"));
}

TEST(SetupRun, LinuxPortWritesLfAndSlashes) {
  TempDir dir;
  const std::string base = dir.base();
  ToolRun r = run_tool(base, setup_host());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, base + "\nOK\n");
  EXPECT_EQ(file_bytes(dir.path / "p.tmp"),
            joined(with_slashes(expected_folder_lines(base)), "\n"));
  EXPECT_EQ(file_bytes(dir.path / "e.tmp"),
            joined(with_slashes(expected_emulator_lines(base)), "\n"));
}

TEST(SetupRun, ReplacesLongerOldFiles) {
  TempDir dir;
  const std::string base = dir.base();
  put_file(dir.path / "p.tmp", std::string(10000, 'p'));
  put_file(dir.path / "e.tmp", std::string(10000, 'e'));
  EXPECT_EQ(run_tool(base, kWindowsHost).status, 0);
  EXPECT_EQ(file_bytes(dir.path / "p.tmp"), joined(expected_folder_lines(base), "\r\n"));
  EXPECT_EQ(file_bytes(dir.path / "e.tmp"), joined(expected_emulator_lines(base), "\r\n"));
}

TEST(SetupRun, SecondRunGivesIdenticalFiles) {
  TempDir dir;
  const std::string base = dir.base();
  ASSERT_EQ(run_tool(base, kWindowsHost).status, 0);
  std::string p = file_bytes(dir.path / "p.tmp");
  std::string e = file_bytes(dir.path / "e.tmp");
  ToolRun second = run_tool(base, kWindowsHost);
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(second.out, base + "\nOK\n");
  EXPECT_EQ(file_bytes(dir.path / "p.tmp"), p);
  EXPECT_EQ(file_bytes(dir.path / "e.tmp"), e);
}

TEST(SetupRun, MissingFolderIsAFileError) {
  TempDir dir;
  const std::string base = dir.base() + "absent/";
  ToolRun r = run_tool(base, kWindowsHost);
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, error_report("create", base + "p.tmp", ENOENT));
}

TEST(SetupRun, UncreatableFolderListStopsAtOnce) {
  TempDir dir;
  fs::create_directory(dir.path / "p.tmp");
  ToolRun r = run_tool(dir.base(), kWindowsHost);
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, error_report("create", dir.base() + "p.tmp", EISDIR));
  EXPECT_FALSE(fs::exists(dir.path / "e.tmp"));
}

TEST(SetupRun, UncreatableEmulatorListKeepsFolderList) {
  TempDir dir;
  const std::string base = dir.base();
  fs::create_directory(dir.path / "e.tmp");
  ToolRun r = run_tool(base, kWindowsHost);
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, error_report("create", base + "e.tmp", EISDIR));
  EXPECT_EQ(file_bytes(dir.path / "p.tmp"), joined(expected_folder_lines(base), "\r\n"));
}

TEST(SetupRun, FailedWriteIsReported) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  TempDir dir;
  fs::create_symlink("/dev/full", dir.path / "p.tmp");
  ToolRun r = run_tool(dir.base(), kWindowsHost);
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, error_report("write", dir.base() + "p.tmp", ENOSPC));
  EXPECT_FALSE(fs::exists(dir.path / "e.tmp"));
}

TEST(SetupRun, FolderTooLongForTheEmulatorListWritesNothing) {
  TempDir dir;
  // |B| = 211: the MAME program line (45 + |B|) would be 256 characters.
  std::string base = dir.base();
  base += std::string(211 - base.size() - 1, 'x') + "/";
  ASSERT_EQ(base.size(), 211u);
  ASSERT_TRUE(fs::create_directory(base));
  ToolRun r = run_tool(base, kWindowsHost);
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("is too long: line 29 of e.tmp would have 256 characters"),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(fs::is_empty(base));
}

TEST(SetupRun, FolderTooLongForTheFolderListWritesNothing) {
  TempDir dir;
  // |B| = 244: "Music=" B "Sounds" would be 256 characters.
  std::string base = dir.base();
  base += std::string(244 - base.size() - 1, 'y') + "/";
  ASSERT_TRUE(fs::create_directory(base));
  ToolRun r = run_tool(base, kWindowsHost);
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("is too long: line 13 of p.tmp would have 256 characters"),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(fs::is_empty(base));
}

TEST(SetupWriteFile, WritesLinesWithTheLineEnd) {
  TempDir dir;
  SetupError err;
  const std::string path = (dir.path / "f.txt").string();
  ASSERT_TRUE(setup_write_file(path, {"a", "", "bc"}, "\r\n", err));
  EXPECT_EQ(file_bytes(path), "a\r\n\r\nbc\r\n");
  ASSERT_TRUE(setup_write_file(path, {}, "\n", err));
  EXPECT_EQ(file_bytes(path), "");
}

TEST(SetupWriteFile, FullDeviceFailsWithItsCode) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  SetupError err;
  EXPECT_FALSE(setup_write_file("/dev/full", {"line"}, "\n", err));
  EXPECT_EQ(err.action, "write");
  EXPECT_EQ(err.path, "/dev/full");
  EXPECT_EQ(err.code, ENOSPC);
}

} // namespace
