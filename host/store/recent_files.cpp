// The recent files: eight texts in the settings, "KIND|full path", newest
// first, the unused ones empty.
#include "host/store/recent_files.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/platform.h"
#include "host/ui/menu.h"

namespace {

char texts[RECENT_FILES][RECENT_TEXT_SIZE];

struct KindName {
  const char* stored; // before the "|" in the settings
  const char* shown;  // after the name in the menu
};
const KindName kinds[] = {
    {"TKT", "TKT csatolás"}, {"AUTOLOAD", "Autoload"}, {"WAV", "WAV csatolás"},
    {"TKS", "TKS betöltés"}, {"TKM", "TKM betöltés"},
};

// The kind and the path of a stored text; false for an unusable one.
bool parse(const char* text, RecentKind* kind, const char** path) {
  const char* bar = std::strchr(text, '|');
  if (!bar || !bar[1]) return false;
  for (int k = 0; k < static_cast<int>(sizeof kinds / sizeof kinds[0]); ++k)
    if (std::strlen(kinds[k].stored) == static_cast<size_t>(bar - text) &&
        std::strncmp(text, kinds[k].stored, bar - text) == 0) {
      *kind = static_cast<RecentKind>(k);
      *path = bar + 1;
      return true;
    }
  return false;
}

bool is_absolute(const std::string& p) {
  return p[0] == '/' || p[0] == '\\' ||
         (p.size() > 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':' &&
          (p[2] == '\\' || p[2] == '/'));
}

// The name with the current folder before it, so that the entry still finds
// the file when the program next starts elsewhere.
std::string full_path(const char* name) {
  std::string p = name;
  if (p.empty() || is_absolute(p)) return p;
  char folder[4096];
  if (!getcwd(folder, sizeof folder)) return p;
  while (p.size() > 2 && p[0] == '.' && (p[1] == '/' || p[1] == '\\')) p.erase(0, 2);
  std::string base = folder;
  if (!base.empty() && base.back() != '/' && base.back() != '\\') base += platform_path_separator();
  return base + p;
}

std::vector<std::string> entries() {
  std::vector<std::string> list;
  for (const char* text : texts)
    if (*text) list.emplace_back(text);
  return list;
}

void store(const std::vector<std::string>& list) {
  for (int i = 0; i < RECENT_FILES; ++i) {
    texts[i][0] = '\0';
    if (i < static_cast<int>(list.size()))
      std::snprintf(texts[i], RECENT_TEXT_SIZE, "%s", list[i].c_str());
  }
  recent_files_show();
}

std::string label(int index, RecentKind kind, const char* path) {
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '/' || *p == '\\') name = p + 1;
  char number[8];
  std::snprintf(number, sizeof number, "&%d ", index + 1);
  std::string text = number;
  for (const char* p = name; *p; ++p) {
    if (*p == '&') text += '&';
    text += *p;
  }
  text += " (";
  text += kinds[kind].shown;
  text += ')';
  return text;
}

} // namespace

#define RECENT(n)                                                                                  \
  { "RecentFile" #n, SETTINGS_TEXT, nullptr, 0, texts[n - 1], RECENT_TEXT_SIZE }
const SettingsEntry recentFileSettings[] = {
    RECENT(1), RECENT(2), RECENT(3),
    RECENT(4), RECENT(5), RECENT(6),
    RECENT(7), RECENT(8), {nullptr, 0, nullptr, 0},
};
#undef RECENT

void recent_files_add(RecentKind kind, const char* path) {
  if (!path || !*path) return;
  std::string full = full_path(path);
  // A name the settings cannot hold on one line is not kept.
  if (full.find_first_of("\r\n") != std::string::npos) return;
  std::string text = std::string(kinds[kind].stored) + "|" + full;
  if (text.size() >= RECENT_TEXT_SIZE) return;
  std::vector<std::string> list = {text};
  for (const std::string& entry : entries()) {
    RecentKind k;
    const char* p;
    if (parse(entry.c_str(), &k, &p) && full != p) list.push_back(entry);
  }
  if (list.size() > RECENT_FILES) list.resize(RECENT_FILES);
  store(list);
  platform_keep_file(full.c_str());
}

void recent_files_remove(int index) {
  std::vector<std::string> list = entries();
  if (index < 0 || index >= static_cast<int>(list.size())) return;
  list.erase(list.begin() + index);
  store(list);
}

void recent_files_loaded() {
  std::vector<std::string> list;
  for (const std::string& entry : entries()) {
    RecentKind kind;
    const char* path;
    if (parse(entry.c_str(), &kind, &path)) list.push_back(entry);
  }
  store(list);
}

void recent_files_show() {
  RecentKind kind;
  const char* path;
  bool empty = !recent_files_entry(0, &kind, &path);
  for (int i = 0; i < RECENT_FILES; ++i) {
    if (recent_files_entry(i, &kind, &path))
      platform_menu_set_item(CMD_RECENT_FIRST + i, label(i, kind, path).c_str(), true);
    else if (i == 0 && empty) // one greyed item rather than an empty menu
      platform_menu_set_item(CMD_RECENT_FIRST, MENU_EMPTY_LABEL, false);
    else
      platform_menu_set_item(CMD_RECENT_FIRST + i, nullptr, false);
  }
}

bool recent_files_entry(int index, RecentKind* kind, const char** path) {
  if (index < 0 || index >= RECENT_FILES || !texts[index][0]) return false;
  return parse(texts[index], kind, path);
}

void recent_files_clear() {
  for (char* text : texts) text[0] = '\0';
}
