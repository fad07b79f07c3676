// LDTKSETUP, the collection setup tool: writes the Ludora front end's folder list "p.tmp" and
// emulator list "e.tmp" into the folder that holds the tool, every path in them absolute.
//
// The file logic here is portable; the two host files (setup_win32.cpp, setup_posix.cpp) supply
// the host's conventions and the two operating-system calls the search needs.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// The host's conventions for the tool.
struct SetupHost {
  std::string_view toolName;    // the file searched for: the tool's own program file
  std::string_view defaultBase; // the folder used when the search finds nothing
  char dirSep;                  // folder separator in the paths written
  char listSep;                 // separator of the folders in "PATH"
  bool quotedDirs;              // "PATH" entries may be enclosed in double quotes
  std::string_view lineEnd;     // the text line end of the platform
};

// A failed file operation: what was done, on which file, and the run-time library's error code.
struct SetupError {
  std::string action;
  std::string path;
  int code = 0;
};

// The front end reads lines of at most this many characters.
constexpr std::size_t kSetupMaxLine = 255;

// ---- host (one of setup_win32.cpp / setup_posix.cpp) ----

const SetupHost& setup_host();
// True when the path names an existing file that is not a folder.
bool setup_is_file(const std::string& path);
// The absolute, normalised form of a path; false when the host cannot give one.
bool setup_full_path(const std::string& path, std::string& full);

// ---- portable logic (setup.cpp) ----

// The folders listed in a "PATH" value, in order, without empty entries (and without enclosing
// quotes where the host allows them).
std::vector<std::string> setup_path_dirs(std::string_view pathVar, const SetupHost& host);
// dir + name with one separator between them.
std::string setup_join(std::string_view dir, std::string_view name, const SetupHost& host);
// Looks for host.toolName in the current directory and then along pathVar; on success `found`
// is the path that names it (relative for the current directory).
bool setup_find_tool(std::string_view pathVar, const SetupHost& host,
                     bool (*isFile)(const std::string&), std::string& found);
// The folder part of a full path, ending in the separator.
std::string setup_folder_of(std::string_view fullPath, const SetupHost& host);
// The base folder: the folder of the tool found along pathVar, or host.defaultBase.
std::string setup_locate_base(std::string_view pathVar, const SetupHost& host);

// The lines of "p.tmp" (14) and "e.tmp" (33) for base folder `base`.
std::vector<std::string> setup_folder_lines(std::string_view base, const SetupHost& host);
std::vector<std::string> setup_emulator_lines(std::string_view base, const SetupHost& host);
// The index of the first line longer than kSetupMaxLine, or lines.size() when all fit.
std::size_t setup_first_long_line(const std::vector<std::string>& lines);

// Creates (or truncates) `path` and writes the lines, each followed by lineEnd.
bool setup_write_file(const std::string& path, const std::vector<std::string>& lines,
                      std::string_view lineEnd, SetupError& err);
// One run of the tool for base folder `base`: writes both files, prints the folder and "OK" on
// `out`, or a report on `errOut`. Returns the exit status (0 on success).
int setup_run(const std::string& base, const SetupHost& host, std::FILE* out, std::FILE* errOut);
