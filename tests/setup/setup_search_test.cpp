// The search for the tool's own folder: the folders of PATH, the order of the search, the folder
// part of the path found, and the whole search on the real file system of the Linux port.
#include "setup_test_util.h"

#include <set>

namespace {

namespace fs = std::filesystem;

const SetupHost kLinuxHost{"ldtksetup", "/opt/Ludora/Tarvik2 Veltra16/", '/', ':', false, "\n"};

// The files that the stand-in for the file system knows.
std::set<std::string> g_files;
bool fake_is_file(const std::string& path) { return g_files.count(path) != 0; }

// Changes the current directory for one test and changes it back.
struct InDirectory {
  fs::path saved = fs::current_path();
  explicit InDirectory(const fs::path& dir) { fs::current_path(dir); }
  ~InDirectory() { fs::current_path(saved); }
  InDirectory(const InDirectory&) = delete;
  InDirectory& operator=(const InDirectory&) = delete;
};

TEST(SetupPathDirs, WindowsListWithQuotesAndEmptyEntries) {
  using V = std::vector<std::string>;
  EXPECT_EQ(setup_path_dirs("C:\\a;;\"C:\\Program Files\\x;y\";D:\\b\\;", kWindowsHost),
            (V{"C:\\a", "C:\\Program Files\\x;y", "D:\\b\\"}));
  EXPECT_EQ(setup_path_dirs("", kWindowsHost), V{});
  EXPECT_EQ(setup_path_dirs(";;", kWindowsHost), V{});
  EXPECT_EQ(setup_path_dirs("C:\\one", kWindowsHost), V{"C:\\one"});
}

TEST(SetupPathDirs, LinuxListKeepsQuotes) {
  using V = std::vector<std::string>;
  EXPECT_EQ(setup_path_dirs("/usr/bin::/opt/x/:", kLinuxHost), (V{"/usr/bin", "/opt/x/"}));
  EXPECT_EQ(setup_path_dirs("\"/a\":/b;c", kLinuxHost), (V{"\"/a\"", "/b;c"}));
}

TEST(SetupJoin, OneSeparatorBetween) {
  EXPECT_EQ(setup_join("C:\\a", "LDTKSETUP.EXE", kWindowsHost), "C:\\a\\LDTKSETUP.EXE");
  EXPECT_EQ(setup_join("C:\\a\\", "LDTKSETUP.EXE", kWindowsHost), "C:\\a\\LDTKSETUP.EXE");
  EXPECT_EQ(setup_join("C:/a/", "LDTKSETUP.EXE", kWindowsHost), "C:/a/LDTKSETUP.EXE");
  EXPECT_EQ(setup_join("/usr/bin", "ldtksetup", kLinuxHost), "/usr/bin/ldtksetup");
  EXPECT_EQ(setup_join("/", "ldtksetup", kLinuxHost), "/ldtksetup");
}

TEST(SetupFindTool, CurrentDirectoryComesFirst) {
  g_files = {"LDTKSETUP.EXE", "C:\\tools\\LDTKSETUP.EXE"};
  std::string found;
  ASSERT_TRUE(setup_find_tool("C:\\tools", kWindowsHost, fake_is_file, found));
  EXPECT_EQ(found, "LDTKSETUP.EXE");
}

TEST(SetupFindTool, PathInOrder) {
  g_files = {"C:\\second\\LDTKSETUP.EXE", "C:\\third\\LDTKSETUP.EXE"};
  std::string found;
  ASSERT_TRUE(
      setup_find_tool("C:\\first;C:\\second\\;C:\\third", kWindowsHost, fake_is_file, found));
  EXPECT_EQ(found, "C:\\second\\LDTKSETUP.EXE");
}

TEST(SetupFindTool, QuotedPathEntry) {
  g_files = {"C:\\Program Files\\Ludora\\LDTKSETUP.EXE"};
  std::string found;
  ASSERT_TRUE(
      setup_find_tool("C:\\x;\"C:\\Program Files\\Ludora\"", kWindowsHost, fake_is_file, found));
  EXPECT_EQ(found, "C:\\Program Files\\Ludora\\LDTKSETUP.EXE");
}

TEST(SetupFindTool, NothingFound) {
  g_files = {"C:\\tools\\other.exe"};
  std::string found = "unchanged";
  EXPECT_FALSE(setup_find_tool("C:\\tools;C:\\more", kWindowsHost, fake_is_file, found));
  EXPECT_FALSE(setup_find_tool("", kWindowsHost, fake_is_file, found));
  EXPECT_EQ(found, "unchanged");
}

TEST(SetupFolderOf, CutsAfterTheLastSeparator) {
  EXPECT_EQ(setup_folder_of("C:\\x\\y z\\LDTKSETUP.EXE", kWindowsHost), "C:\\x\\y z\\");
  EXPECT_EQ(setup_folder_of("Z:\\LDTKSETUP.EXE", kWindowsHost), "Z:\\");
  EXPECT_EQ(setup_folder_of("/srv/ludora/ldtksetup", kLinuxHost), "/srv/ludora/");
  EXPECT_EQ(setup_folder_of("/ldtksetup", kLinuxHost), "/");
  EXPECT_EQ(setup_folder_of("ldtksetup", kLinuxHost), "");
}

TEST(SetupFullPath, AbsoluteAndNormalised) {
  TempDir dir;
  fs::create_directory(dir.path / "sub");
  InDirectory in(dir.path);
  const std::string here = fs::current_path().string();
  std::string full;
  ASSERT_TRUE(setup_full_path("ldtksetup", full));
  EXPECT_EQ(full, here + "/ldtksetup");
  ASSERT_TRUE(setup_full_path("sub/../sub/./ldtksetup", full));
  EXPECT_EQ(full, here + "/sub/ldtksetup");
  ASSERT_TRUE(setup_full_path("/a//b/../c", full));
  EXPECT_EQ(full, "/a/c");
}

TEST(SetupIsFile, FilesOnly) {
  TempDir dir;
  put_file(dir.path / "f", "x");
  fs::create_directory(dir.path / "d");
  EXPECT_TRUE(setup_is_file((dir.path / "f").string()));
  EXPECT_FALSE(setup_is_file((dir.path / "d").string()));
  EXPECT_FALSE(setup_is_file((dir.path / "none").string()));
}

class SetupLocateBase : public ::testing::Test {
protected:
  TempDir dir;
  std::string tools;
  std::string cwd;
  void SetUp() override {
    tools = (dir.path / "tool folder").string();
    cwd = (dir.path / "elsewhere").string();
    fs::create_directory(tools);
    fs::create_directory(cwd);
    put_file(fs::path(tools) / "ldtksetup", "");
  }
};

TEST_F(SetupLocateBase, FolderOfTheToolInTheCurrentDirectory) {
  InDirectory in(tools);
  EXPECT_EQ(setup_locate_base("/usr/bin", kLinuxHost), fs::current_path().string() + "/");
}

TEST_F(SetupLocateBase, FolderOfTheToolAlongPath) {
  InDirectory in(cwd);
  EXPECT_EQ(setup_locate_base("/nowhere:" + tools + ":/usr/bin", kLinuxHost), tools + "/");
  EXPECT_EQ(setup_locate_base(tools + "/../tool folder/.", kLinuxHost), tools + "/");
}

TEST_F(SetupLocateBase, RelativePathEntryIsMadeAbsolute) {
  InDirectory in(dir.path);
  EXPECT_EQ(setup_locate_base("tool folder", kLinuxHost),
            fs::current_path().string() + "/tool folder/");
}

TEST_F(SetupLocateBase, FolderNamedLikeTheToolDoesNotCount) {
  fs::create_directory(fs::path(cwd) / "ldtksetup");
  InDirectory in(cwd);
  EXPECT_EQ(setup_locate_base(tools, kLinuxHost), tools + "/");
}

TEST_F(SetupLocateBase, DefaultFolderWhenNotFound) {
  InDirectory in(cwd);
  EXPECT_EQ(setup_locate_base("/nowhere:" + cwd, kLinuxHost), "/opt/Ludora/Tarvik2 Veltra16/");
  EXPECT_EQ(setup_locate_base("", kLinuxHost), "/opt/Ludora/Tarvik2 Veltra16/");
}

} // namespace
