// Headless file dialogs: the answers a script or a test queued (the script
// queue, host/script/script_queue.h), taken in order; with none queued the dialog
// is cancelled. A dialog with the address panel shows the fields it was
// given unless new ones were set for it.
#include "host/headless/headless.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "host/script/script_queue.h"
#include "host/ui/file_dialogs.h"

namespace {

std::string lastTitle;
unsigned dialogsShown;
AddressPanel lastPanel;

} // namespace

void headless_queue_dialog_answer(const char* path) { script_queue_answer(path ? path : ""); }
void headless_queue_dialog_cancel() { script_queue_answer(nullptr); }
void headless_clear_dialog_answers() { script_queue_clear_answers(); }
void headless_set_dialog_fields(const char* start, const char* end) {
  script_queue_fields(start, end);
}
const AddressPanel& headless_last_address_panel() { return lastPanel; }
const char* headless_last_dialog_title() { return lastTitle.c_str(); }
unsigned headless_dialog_count() { return dialogsShown; }

bool platform_save_file_dialog(const char* title, const char* /*filter*/,
                               const char* defaultExtension, char* path, size_t pathSize) {
  ++dialogsShown;
  lastTitle = title ? title : "";
  if (pathSize > 0) path[0] = '\0';
  std::string chosen;
  if (script_queue_take_answer(&chosen, nullptr, nullptr) != 1 || chosen.empty()) return false;
  if (chosen.size() + 1 > pathSize) return false;
  std::memcpy(path, chosen.c_str(), chosen.size() + 1);
  return file_name_add_extension(path, pathSize, defaultExtension);
}

bool platform_file_dialog(const FileDialogKind* kind, char* name, size_t size,
                          AddressPanel* panel) {
  ++dialogsShown;
  lastTitle = kind && kind->title ? kind->title : "";
  std::string chosen;
  int answer;
  if (panel) {
    lastPanel = *panel;
    answer = script_queue_take_answer(&chosen, panel->start, panel->end);
  } else {
    answer = script_queue_take_answer(&chosen, nullptr, nullptr);
  }
  if (answer < 0) {
    if (headless_verbose()) std::fprintf(stderr, "dialog: %s: cancelled\n", lastTitle.c_str());
    return false;
  }
  if (answer == 0 || chosen.empty()) return false;
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
