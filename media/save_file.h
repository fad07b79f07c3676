// Whole-file saves (snapshots, memory saves, tape images, screenshots,
// listings): the bytes go to a temporary file in the target's folder, which
// is renamed over the target only when every write and the close succeeded.
// A failed save leaves no new file behind and an existing one untouched.
#pragma once

#include <cstdio>
#include <string>

struct SaveFile {
  std::FILE* file = nullptr;
  std::string temporary;
  std::string target;
};

// Opens the temporary file ("wb", or "w" for text); null when it cannot be
// created.
std::FILE* save_file_open(SaveFile* save, const char* path, bool text = false);
// Closes the temporary file and, when `ok` and the close succeeded, renames
// it over the target; otherwise removes it. True when the target now holds
// the new file.
bool save_file_commit(SaveFile* save, bool ok);

// Removes a file that a recording just created and could not start (its
// header did not fit). Only a regular file goes: a device such as /dev/full
// stays.
void remove_unstarted_file(const char* path);
