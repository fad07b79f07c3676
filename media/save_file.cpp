// Whole-file saves through a temporary file beside the target.
#include "media/save_file.h"

#include <filesystem>
#include <system_error>

namespace {

bool exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::path(path), error) || error;
}

} // namespace

std::FILE* save_file_open(SaveFile* save, const char* path, bool text) {
  save->file = nullptr;
  if (!path || !*path) return nullptr;
  save->target = path;
  // "NAME.tmp", or "NAME.1.tmp" and on when that name is taken: a file of
  // the user's is never overwritten on the way.
  for (int n = 0; n < 100; ++n) {
    save->temporary = save->target;
    if (n) {
      save->temporary += '.';
      save->temporary += std::to_string(n);
    }
    save->temporary += ".tmp";
    if (exists(save->temporary)) continue;
    save->file = std::fopen(save->temporary.c_str(), text ? "w" : "wb");
    return save->file;
  }
  return nullptr;
}

void remove_unstarted_file(const char* path) {
  std::error_code error;
  if (path && std::filesystem::is_regular_file(std::filesystem::path(path), error))
    std::filesystem::remove(std::filesystem::path(path), error);
}

bool save_file_commit(SaveFile* save, bool ok) {
  if (!save->file) return false;
  if (std::fclose(save->file) != 0) ok = false;
  save->file = nullptr;
  if (ok) {
    // std::filesystem::rename replaces an existing file on every platform
    // (the C library's rename does not on Windows).
    std::error_code error;
    std::filesystem::rename(save->temporary, save->target, error);
    if (!error) return true;
  }
  std::remove(save->temporary.c_str());
  return false;
}
