// The portable part of LDTKSETUP: the search for the tool's own folder, the lines of the two
// files, writing them, and one whole run.
#include "setup/setup.h"

#include <cerrno>
#include <cstring>

namespace {

// One line of a file: head, then (when withBase) the base folder and tail. Folder separators in
// tail are written as '\\' and become the host's separator.
struct LineTemplate {
  const char* head;
  bool withBase;
  const char* tail;
};

constexpr LineTemplate kFolderLines[] = {
    {"[Games]", false, ""},
    {"1=", true, "games\\tkt"},
    {"2=", true, "games\\wav"},
    {"", false, ""},
    {"[Pictures]", false, ""},
    {"1=", true, "pictures"},
    {"2=", false, ""},
    {"", false, ""},
    {"[Extras]", false, ""},
    {"1=", true, "Extras"},
    {"", false, ""},
    {"[Misc]", false, ""},
    {"Music=", true, "Sounds"},
    {"", false, ""},
};

constexpr LineTemplate kEmulatorLines[] = {
    {"[Emulators]", false, ""},
    {"1=Tarvik2", false, ""},
    {"2=MAME", false, ""},
    {"3=Tarvik2 wav with Turbo load", false, ""},
    {"4=", false, ""},
    {"[File Types]", false, ""},
    {"SupportTypes=tkt;wav", false, ""},
    {"[Tarvik2]", false, ""},
    {"UseShortFilenames=0", false, ""},
    {"UseDefaultTypes=1", false, ""},
    {"SupportedTypes=tkt;wav", false, ""},
    {"EmulatorPathFile=", true, "emu\\Tarvik.exe"},
    {"ScriptFile=tarvik2.txt", false, ""},
    {"WaitFinish=1", false, ""},
    {"1=", true, "Scripts\\tarvik2.txt"},
    {"2=", false, ""},
    {"[Tarvik2 wav with Turbo load]", false, ""},
    {"UseShortFilenames=0", false, ""},
    {"UseDefaultTypes=0", false, ""},
    {"SupportedTypes=wav", false, ""},
    {"EmulatorPathFile=", true, "emu\\Tarvik.exe"},
    {"ScriptFile=tarvik2wavwithturbo.txt", false, ""},
    {"WaitFinish=1", false, ""},
    // The turbo-load entry names no script path under its number 1.
    {"1=", false, ""},
    {"[MAME]", false, ""},
    {"UseShortFilenames=0", false, ""},
    {"UseDefaultTypes=1", false, ""},
    {"SupportedTypes=tkt;wav", false, ""},
    {"EmulatorPathFile=", true, "emu\\tk2_mame_win\\tarvik2.exe"},
    {"ScriptFile=mame.txt", false, ""},
    {"WaitFinish=1", false, ""},
    {"1=", true, "Scripts\\mame.txt"},
    {"2=", false, ""},
};

template <std::size_t N>
std::vector<std::string> build_lines(const LineTemplate (&table)[N], std::string_view base,
                                     const SetupHost& host) {
  std::vector<std::string> lines;
  lines.reserve(N);
  for (const LineTemplate& t : table) {
    std::string line = t.head;
    if (t.withBase) {
      line += base;
      for (const char* c = t.tail; *c != '\0'; ++c) line += *c == '\\' ? host.dirSep : *c;
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

bool ends_with_separator(std::string_view path, const SetupHost& host) {
  return !path.empty() && (path.back() == host.dirSep || path.back() == '/');
}

void report_file_error(std::FILE* errOut, const SetupError& err) {
  std::fprintf(errOut, "LDTKSETUP: cannot %s %s: %s (error %d)\n", err.action.c_str(),
               err.path.c_str(), std::strerror(err.code), err.code);
}

// The line that is too long, in a file named fileName, if there is one; reported before anything
// is written, since a path cut short would send the front end to the wrong place.
bool report_long_line(std::FILE* errOut, const std::string& base, const char* fileName,
                      const std::vector<std::string>& lines) {
  std::size_t i = setup_first_long_line(lines);
  if (i == lines.size()) return false;
  std::fprintf(errOut,
               "LDTKSETUP: the folder %s is too long: line %zu of %s would have %zu characters, "
               "more than the %zu the front end reads; nothing written\n",
               base.c_str(), i + 1, fileName, lines[i].size(), kSetupMaxLine);
  return true;
}

} // namespace

std::vector<std::string> setup_path_dirs(std::string_view pathVar, const SetupHost& host) {
  std::vector<std::string> dirs;
  std::string dir;
  bool quoted = false;
  for (char c : pathVar) {
    if (host.quotedDirs && c == '"') {
      quoted = !quoted;
    } else if (c == host.listSep && !quoted) {
      if (!dir.empty()) dirs.push_back(dir);
      dir.clear();
    } else {
      dir += c;
    }
  }
  if (!dir.empty()) dirs.push_back(dir);
  return dirs;
}

std::string setup_join(std::string_view dir, std::string_view name, const SetupHost& host) {
  std::string path(dir);
  if (!path.empty() && !ends_with_separator(path, host)) path += host.dirSep;
  path += name;
  return path;
}

bool setup_find_tool(std::string_view pathVar, const SetupHost& host,
                     bool (*isFile)(const std::string&), std::string& found) {
  std::string here(host.toolName);
  if (isFile(here)) {
    found = here;
    return true;
  }
  for (const std::string& dir : setup_path_dirs(pathVar, host)) {
    std::string candidate = setup_join(dir, host.toolName, host);
    if (isFile(candidate)) {
      found = candidate;
      return true;
    }
  }
  return false;
}

std::string setup_folder_of(std::string_view fullPath, const SetupHost& host) {
  std::size_t cut = fullPath.find_last_of(host.dirSep);
  if (cut == std::string_view::npos) return {};
  return std::string(fullPath.substr(0, cut + 1));
}

std::string setup_locate_base(std::string_view pathVar, const SetupHost& host) {
  std::string found;
  std::string full;
  if (setup_find_tool(pathVar, host, setup_is_file, found) && setup_full_path(found, full)) {
    std::string folder = setup_folder_of(full, host);
    if (!folder.empty()) return folder;
  }
  return std::string(host.defaultBase);
}

std::vector<std::string> setup_folder_lines(std::string_view base, const SetupHost& host) {
  return build_lines(kFolderLines, base, host);
}

std::vector<std::string> setup_emulator_lines(std::string_view base, const SetupHost& host) {
  return build_lines(kEmulatorLines, base, host);
}

std::size_t setup_first_long_line(const std::vector<std::string>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].size() > kSetupMaxLine) return i;
  }
  return lines.size();
}

bool setup_write_file(const std::string& path, const std::vector<std::string>& lines,
                      std::string_view lineEnd, SetupError& err) {
  // Binary mode with the host's line end written out, so the bytes are the same whichever
  // run-time library does the writing.
  errno = 0;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) {
    err = {"create", path, errno != 0 ? errno : EIO};
    return false;
  }
  bool ok = true;
  for (const std::string& line : lines) {
    if (std::fwrite(line.data(), 1, line.size(), f) != line.size() ||
        std::fwrite(lineEnd.data(), 1, lineEnd.size(), f) != lineEnd.size()) {
      ok = false;
      break;
    }
  }
  if (ok && std::fflush(f) != 0) ok = false;
  if (!ok) {
    err = {"write", path, errno != 0 ? errno : EIO};
    std::fclose(f);
    return false;
  }
  if (std::fclose(f) != 0) {
    err = {"close", path, errno != 0 ? errno : EIO};
    return false;
  }
  return true;
}

int setup_run(const std::string& base, const SetupHost& host, std::FILE* out, std::FILE* errOut) {
  std::vector<std::string> folders = setup_folder_lines(base, host);
  std::vector<std::string> emulators = setup_emulator_lines(base, host);
  if (report_long_line(errOut, base, "p.tmp", folders) ||
      report_long_line(errOut, base, "e.tmp", emulators)) {
    return 1;
  }
  SetupError err;
  if (!setup_write_file(base + "p.tmp", folders, host.lineEnd, err) ||
      !setup_write_file(base + "e.tmp", emulators, host.lineEnd, err)) {
    report_file_error(errOut, err);
    return 1;
  }
  std::fprintf(out, "%s\nOK\n", base.c_str());
  std::fflush(out);
  return 0;
}
