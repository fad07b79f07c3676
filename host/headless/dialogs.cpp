// Headless file dialogs: a small queue of prepared answers, taken in order;
// an empty queue answers "cancelled". A dialog with the address panel shows
// the fields it was given unless new ones were set for it.
#include "host/headless/headless.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <string>

#include "host/dialogs.h"
#include "host/file_dialogs.h"

namespace {

struct Answer {
  bool cancelled;
  std::string path;
};
std::deque<Answer> answers;
std::string lastTitle;
unsigned dialogsShown;
bool haveFields;
std::string fieldStart, fieldEnd;
AddressPanel lastPanel;

void copy_field(char* field, const std::string& text) {
  std::strncpy(field, text.c_str(), 5);
  field[5] = '\0';
}

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
void headless_clear_dialog_answers() {
  answers.clear();
  haveFields = false;
}
void headless_set_dialog_fields(const char* start, const char* end) {
  fieldStart = start;
  fieldEnd = end;
  haveFields = true;
}
const AddressPanel& headless_last_address_panel() { return lastPanel; }
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

bool platform_file_dialog(const FileDialogKind* kind, char* name, size_t size,
                          AddressPanel* panel) {
  ++dialogsShown;
  lastTitle = kind && kind->title ? kind->title : "";
  if (panel) {
    lastPanel = *panel;
    if (haveFields) {
      copy_field(panel->start, fieldStart);
      copy_field(panel->end, fieldEnd);
      haveFields = false;
    }
  }
  if (answers.empty()) {
    if (headless_verbose()) std::fprintf(stderr, "dialog: %s: cancelled\n", lastTitle.c_str());
    return false;
  }
  Answer answer = answers.front();
  answers.pop_front();
  if (answer.cancelled || answer.path.empty()) return false;
  std::string chosen = answer.path;
  const char* extension =
      kind ? file_dialog_extension_for(kind, chosen.c_str(), panel ? panel->filterIndex : 1)
           : nullptr;
  if (extension) chosen += extension;
  if (chosen.size() + 1 > size) return false;
  std::memcpy(name, chosen.c_str(), chosen.size() + 1);
  if (headless_verbose())
    std::fprintf(stderr, "dialog: %s: %s\n", lastTitle.c_str(), chosen.c_str());
  return true;
}
