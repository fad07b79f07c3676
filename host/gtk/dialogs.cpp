// The file dialogs: GTK's file chooser with the titles, filters and default
// extensions of the host's dialog kinds, the overwrite question of the save
// dialogs (asked for the name with its extension), and the address panel
// (two hexadecimal fields of up to five characters) as the chooser's extra
// widget.
#include <sys/stat.h>

#include <cctype>
#include <cstring>
#include <string>

#include "host/gtk/gtk_host.h"
#include "host/platform.h"
#include "host/ui/file_dialogs.h"

namespace {

// "*.rom;*.bin": each pattern in small and capital letters.
void add_patterns(GtkFileFilter* filter, const char* patterns) {
  std::string all = patterns;
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = all.find(';', start);
    if (end == std::string::npos) end = all.size();
    std::string one = all.substr(start, end - start);
    if (!one.empty()) {
      gtk_file_filter_add_pattern(filter, one.c_str());
      std::string upper = one;
      for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (upper != one) gtk_file_filter_add_pattern(filter, upper.c_str());
    }
    start = end + 1;
  }
}

bool exists(const char* path) {
  struct stat info;
  return stat(path, &info) == 0;
}

bool confirm_overwrite(GtkWidget* parent, const char* path) {
  GtkWidget* box = gtk_message_dialog_new(GTK_WINDOW(parent), GTK_DIALOG_MODAL, GTK_MESSAGE_WARNING,
                                          GTK_BUTTONS_YES_NO, "%s már létezik.\nLecseréli?", path);
  gtk_window_set_title(GTK_WINDOW(box), "Mentés másként megerősítése");
  int answer = gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  return answer == GTK_RESPONSE_YES;
}

GtkWidget* address_field(GtkWidget* row, const char* label, const char* text) {
  gtk_box_pack_start(GTK_BOX(row), gtk_label_new(label), FALSE, FALSE, 0);
  GtkWidget* entry = gtk_entry_new();
  gtk_entry_set_max_length(GTK_ENTRY(entry), 5);
  gtk_entry_set_width_chars(GTK_ENTRY(entry), 6);
  gtk_entry_set_text(GTK_ENTRY(entry), text);
  gtk_box_pack_start(GTK_BOX(row), entry, FALSE, FALSE, 0);
  return entry;
}

// The field's text in capitals, as the Windows field types it.
void read_field(GtkWidget* entry, char* out) {
  std::snprintf(out, 6, "%s", gtk_entry_get_text(GTK_ENTRY(entry)));
  for (char* p = out; *p; ++p) *p = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
}

// Runs a chooser until a name is chosen (and, for a save, the overwrite
// question is answered yes) or the dialog is cancelled. extension gives
// the name's missing extension for the filter chosen.
bool run_chooser(GtkWidget* chooser, bool save, char* name, size_t size, int* filterIndex,
                 const char* (*extension)(const void*, const char*, uint32_t),
                 const void* context) {
  for (;;) {
    if (gtk_dialog_run(GTK_DIALOG(chooser)) != GTK_RESPONSE_ACCEPT) return false;
    gchar* file = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser));
    if (!file) continue;
    GtkFileFilter* chosen = gtk_file_chooser_get_filter(GTK_FILE_CHOOSER(chooser));
    GSList* filters = gtk_file_chooser_list_filters(GTK_FILE_CHOOSER(chooser));
    int index = g_slist_index(filters, chosen);
    g_slist_free(filters);
    *filterIndex = index >= 0 ? index + 1 : 1;
    std::string path = file;
    g_free(file);
    const char* missing = extension(context, path.c_str(), static_cast<uint32_t>(*filterIndex));
    if (missing) path += missing;
    if (path.size() + 1 > size) continue;
    if (save && exists(path.c_str()) && !confirm_overwrite(chooser, path.c_str())) continue;
    std::memcpy(name, path.c_str(), path.size() + 1);
    return true;
  }
}

const char* kind_extension(const void* kind, const char* name, uint32_t filterIndex) {
  return file_dialog_extension_for(static_cast<const FileDialogKind*>(kind), name, filterIndex);
}

// A name without "." in its last part gets the default extension.
const char* plain_extension(const void* extension, const char* name, uint32_t) {
  static std::string dotted;
  const char* ext = static_cast<const char*>(extension);
  const char* base = std::strrchr(name, '/');
  base = base ? base + 1 : name;
  if (!ext || !*ext || std::strchr(base, '.')) return nullptr;
  dotted = std::string(".") + ext;
  return dotted.c_str();
}

GtkWidget* new_chooser(const char* title, bool save) {
  return gtk_file_chooser_dialog_new(
      title, guiWindow ? GTK_WINDOW(guiWindow) : nullptr,
      save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN, "_Mégse",
      GTK_RESPONSE_CANCEL, save ? "_Mentés" : "_Megnyitás", GTK_RESPONSE_ACCEPT, nullptr);
}

} // namespace

bool platform_file_dialog(const FileDialogKind* kind, char* name, size_t size,
                          AddressPanel* panel) {
  if (!kind || size == 0) return false;
  const char* shownTitle =
      kind->title ? kind->title : (kind->save ? "Mentés másként" : "Megnyitás");
  GtkWidget* chooser = new_chooser(shownTitle, kind->save);
  GtkFileFilter* first = nullptr;
  for (int i = 0; i < kind->filterCount; ++i) {
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, kind->filters[i].description);
    add_patterns(filter, kind->filters[i].pattern);
    gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(chooser), filter);
    if (i == 0 || (panel && panel->filterIndex == static_cast<uint32_t>(i + 1))) first = filter;
  }
  if (first) gtk_file_chooser_set_filter(GTK_FILE_CHOOSER(chooser), first);
  if (*name) {
    if (kind->save)
      gtk_file_chooser_set_current_name(GTK_FILE_CHOOSER(chooser), name);
    else
      gtk_file_chooser_set_filename(GTK_FILE_CHOOSER(chooser), name);
  }
  GtkWidget* startField = nullptr;
  GtkWidget* endField = nullptr;
  if (kind->addressPanel && panel) {
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
    startField = address_field(row, "Memóriacím eleje: $", panel->start);
    endField = address_field(row, "vége: $", panel->end);
    gtk_widget_show_all(row);
    gtk_file_chooser_set_extra_widget(GTK_FILE_CHOOSER(chooser), row);
  }
  int filterIndex = 1;
  bool chosen = run_chooser(chooser, kind->save, name, size, &filterIndex, kind_extension, kind);
  if (chosen && panel) {
    panel->filterIndex = static_cast<uint32_t>(filterIndex);
    if (startField) read_field(startField, panel->start);
    if (endField) read_field(endField, panel->end);
  }
  gtk_widget_destroy(chooser);
  return chosen;
}

bool platform_save_file_dialog(const char* title, const char* filter, const char* defaultExtension,
                               char* path, size_t pathSize) {
  if (pathSize == 0) return false;
  path[0] = '\0';
  GtkWidget* chooser = new_chooser(title, true);
  // The filter's pairs, each zero-terminated, end with an empty string.
  for (const char* p = filter; p && *p;) {
    const char* pattern = p + std::strlen(p) + 1;
    GtkFileFilter* f = gtk_file_filter_new();
    gtk_file_filter_set_name(f, p);
    add_patterns(f, pattern);
    gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(chooser), f);
    if (!*pattern) break;
    p = pattern + std::strlen(pattern) + 1;
  }
  int filterIndex = 1;
  bool chosen =
      run_chooser(chooser, true, path, pathSize, &filterIndex, plain_extension, defaultExtension);
  gtk_widget_destroy(chooser);
  if (!chosen) path[0] = '\0';
  return chosen;
}
