// Headless file dialogs: a small queue of prepared answers.
#include "host/headless/headless.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <string>

#include "host/dialogs.h"

namespace {

struct Answer {
  bool cancelled;
  std::string path;
};
std::deque<Answer> answers;
std::string lastTitle;
unsigned dialogsShown;

bool has_extension(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  size_t start = slash == std::string::npos ? 0 : slash + 1;
  return path.find('.', start) != std::string::npos;
}

} // namespace

void headless_queue_dialog_answer(const char* path) {
  answers.push_back({false, path ? path : ""});
}
void headless_queue_dialog_cancel() { answers.push_back({true, {}}); }
void headless_clear_dialog_answers() { answers.clear(); }
const char* headless_last_dialog_title() { return lastTitle.c_str(); }
unsigned headless_dialog_count() { return dialogsShown; }

bool host_save_file_dialog(const char* title, const char* /*filter*/, const char* defaultExtension,
                           char* path, size_t pathSize) {
  ++dialogsShown;
  lastTitle = title ? title : "";
  if (pathSize > 0) path[0] = '\0';
  if (answers.empty()) return false;
  Answer answer = answers.front();
  answers.pop_front();
  if (answer.cancelled || answer.path.empty()) return false;
  std::string chosen = answer.path;
  if (defaultExtension && *defaultExtension && !has_extension(chosen))
    chosen += std::string(".") + defaultExtension;
  if (chosen.size() + 1 > pathSize) return false;
  std::memcpy(path, chosen.c_str(), chosen.size() + 1);
  return true;
}
