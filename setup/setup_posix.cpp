// LDTKSETUP on Linux and other POSIX systems, used to test the file logic on the build machine.
//
// The port searches for its own program file, "ldtksetup", as the Windows tool searches for
// "LDTKSETUP.EXE": a port that looked for the Windows name would never find itself and would
// always fall back to the default folder. The default folder moves from "Program Files" to
// /opt. Paths use '/' throughout (also inside the relative parts of the lines), so every path
// written names a real place on the host; lines end in LF.
#include "setup/setup.h"

#include <filesystem>
#include <sys/stat.h>
#include <system_error>

const SetupHost& setup_host() {
  static const SetupHost host{"ldtksetup", "/opt/Ludora/Tarvik2 Veltra16/", '/', ':', false, "\n"};
  return host;
}

bool setup_is_file(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool setup_full_path(const std::string& path, std::string& full) {
  // Like GetFullPathNameA: made absolute against the current directory and normalised by its
  // text ("." and ".." taken out), without resolving symbolic links.
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  if (ec) return false;
  full = absolute.lexically_normal().string();
  return true;
}
