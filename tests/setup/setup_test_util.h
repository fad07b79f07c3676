// Helpers for the tests of the collection setup tool: a throw-away folder, file bytes, the
// expected lines of both files spelled out, and the host conventions of the Windows tool.
#pragma once

#include "setup/setup.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <stdlib.h>

// The Windows tool's conventions, so that its exact output can be checked on Linux too.
inline const SetupHost kWindowsHost{
    "LDTKSETUP.EXE", "c:\\Program Files\\Ludora\\Tarvik2 Veltra16\\", '\\', ';', true, "\r\n"};

// A fresh folder under the system's temporary folder, removed with everything in it.
struct TempDir {
  std::filesystem::path path;
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ldtksetup-test.XXXXXX");
    if (mkdtemp(pattern.data()) != nullptr) path = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // The folder as a base folder: ending in '/'.
  std::string base() const { return path.string() + "/"; }
};

inline std::string file_bytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void put_file(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary);
  out << bytes;
}

inline std::string joined(const std::vector<std::string>& lines, const std::string& lineEnd) {
  std::string text;
  for (const std::string& line : lines) text += line + lineEnd;
  return text;
}

// What a FILE* received: a temporary file read back.
struct Capture {
  std::FILE* file = std::tmpfile();
  ~Capture() {
    if (file != nullptr) std::fclose(file);
  }
  Capture() = default;
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;
  std::string text() {
    std::fflush(file);
    std::rewind(file);
    std::string s;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) s += static_cast<char>(c);
    return s;
  }
};

// The 14 lines of "p.tmp" for base folder b, as the Windows tool writes them.
inline std::vector<std::string> expected_folder_lines(const std::string& b) {
  return {"[Games]",
          "1=" + b + "games\\tkt",
          "2=" + b + "games\\wav",
          "",
          "[Pictures]",
          "1=" + b + "pictures",
          "2=",
          "",
          "[Extras]",
          "1=" + b + "Extras",
          "",
          "[Misc]",
          "Music=" + b + "Sounds",
          ""};
}

// The 33 lines of "e.tmp" for base folder b, as the Windows tool writes them.
inline std::vector<std::string> expected_emulator_lines(const std::string& b) {
  return {"[Emulators]",
          "1=Tarvik2",
          "2=MAME",
          "3=Tarvik2 wav with Turbo load",
          "4=",
          "[File Types]",
          "SupportTypes=tkt;wav",
          "[Tarvik2]",
          "UseShortFilenames=0",
          "UseDefaultTypes=1",
          "SupportedTypes=tkt;wav",
          "EmulatorPathFile=" + b + "emu\\Tarvik.exe",
          "ScriptFile=tarvik2.txt",
          "WaitFinish=1",
          "1=" + b + "Scripts\\tarvik2.txt",
          "2=",
          "[Tarvik2 wav with Turbo load]",
          "UseShortFilenames=0",
          "UseDefaultTypes=0",
          "SupportedTypes=wav",
          "EmulatorPathFile=" + b + "emu\\Tarvik.exe",
          "ScriptFile=tarvik2wavwithturbo.txt",
          "WaitFinish=1",
          "1=",
          "[MAME]",
          "UseShortFilenames=0",
          "UseDefaultTypes=1",
          "SupportedTypes=tkt;wav",
          "EmulatorPathFile=" + b + "emu\\tk2_mame_win\\tarvik2.exe",
          "ScriptFile=mame.txt",
          "WaitFinish=1",
          "1=" + b + "Scripts\\mame.txt",
          "2="};
}

// The same lines as the Linux port writes them: a base folder without backslashes, and '/' in
// the folder parts after it.
inline std::vector<std::string> with_slashes(std::vector<std::string> lines) {
  for (std::string& line : lines) {
    for (char& c : line) {
      if (c == '\\') c = '/';
    }
  }
  return lines;
}
