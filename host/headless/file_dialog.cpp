// Headless file dialogs: answers prepared by a script or a test, taken in
// order; an empty queue answers "cancelled". The address panel shows the
// fields it was given unless new ones were set for it.
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>

#include "host/file_dialogs.h"
#include "host/headless/headless.h"
#include "host/platform.h"

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

} // namespace

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
const char* headless_last_dialog_title() { return lastTitle.c_str(); }
unsigned headless_dialog_count() { return dialogsShown; }
const AddressPanel& headless_last_address_panel() { return lastPanel; }
