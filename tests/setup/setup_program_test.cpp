// The Linux build of the tool, run as a program: it finds its own folder from the current
// directory or PATH, writes both files there and prints the folder and "OK".
#include "setup_test_util.h"

#include <cstdlib>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

struct ProgramRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs `command` through the shell in folder `cwd` with PATH set to `path`.
ProgramRun run_program(const TempDir& scratch, const std::string& cwd, const std::string& path,
                       const std::string& command) {
  const fs::path out = scratch.path / "stdout";
  const fs::path err = scratch.path / "stderr";
  std::string line = "cd '" + cwd + "' && PATH='" + path + "' " + command + " >'" + out.string() +
                     "' 2>'" + err.string() + "'";
  int wait = std::system(line.c_str());
  ProgramRun r;
  r.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
  r.out = file_bytes(out);
  r.err = file_bytes(err);
  return r;
}

class SetupProgram : public ::testing::Test {
protected:
  TempDir dir;
  TempDir scratch;
  std::string tools;
  std::string other;
  std::string program;
  void SetUp() override {
    tools = (dir.path / "Ludora tools").string();
    other = (dir.path / "other").string();
    fs::create_directory(tools);
    fs::create_directory(other);
    program = tools + "/ldtksetup";
    fs::copy_file(LDTKSETUP_PROGRAM, program);
  }
  void expect_files_in(const std::string& folder) {
    const std::string base = folder + "/";
    EXPECT_EQ(file_bytes(base + "p.tmp"), joined(with_slashes(expected_folder_lines(base)), "\n"));
    EXPECT_EQ(file_bytes(base + "e.tmp"),
              joined(with_slashes(expected_emulator_lines(base)), "\n"));
  }
};

TEST_F(SetupProgram, RunFromItsFolder) {
  ProgramRun r = run_program(scratch, tools, "/usr/bin:/bin", "./ldtksetup");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, tools + "/\nOK\n");
  EXPECT_EQ(r.err, "");
  expect_files_in(tools);
}

TEST_F(SetupProgram, FoundAlongPath) {
  ProgramRun r = run_program(scratch, other, "/usr/bin:" + tools + ":/bin", "ldtksetup");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, tools + "/\nOK\n");
  expect_files_in(tools);
  EXPECT_TRUE(fs::is_empty(other));
}

TEST_F(SetupProgram, NotFoundUsesTheDefaultFolder) {
  const std::string fallback = "/opt/Ludora/Tarvik2 Veltra16/";
  if (fs::exists(fallback)) GTEST_SKIP() << fallback << " exists on this machine";
  ProgramRun r = run_program(scratch, other, "/usr/bin:/bin", "'" + program + "'");
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err.rfind("LDTKSETUP: cannot create " + fallback + "p.tmp: ", 0), 0u) << r.err;
  EXPECT_TRUE(fs::is_empty(other));
  EXPECT_FALSE(fs::exists(tools + "/p.tmp"));
}

TEST_F(SetupProgram, UnwritableFolderFailsWithoutOk) {
  fs::create_directory(tools + "/p.tmp");
  ProgramRun r = run_program(scratch, tools, "/usr/bin:/bin", "./ldtksetup");
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("cannot create " + tools + "/p.tmp"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(tools + "/e.tmp"));
}

} // namespace
