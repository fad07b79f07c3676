// The menu bar, built from the host's menu table: "&" marks become GTK
// mnemonics, the table's shortcut texts stand right of the labels, the
// items the host checks are check items and the model and RAM-size groups
// (and the sound drivers) radio items. The check marks follow the host
// (platform_menu_check); a chosen item posts its command, which runs from
// the message queue once the menu has closed.
#include <deque>
#include <string>

#include "host/core/window.h"
#include "host/gtk/gtk_host.h"
#include "host/platform.h"
#include "host/platform_script.h"
#include "host/script/script_mode.h"
#include "host/ui/menu.h"
#include "host/ui/menu_checks.h"

namespace {

GtkWidget* items[256]; // by index in menuEntries
int openMenus;
std::deque<int> commands;
bool settingChecks; // GTK reports a check set by program as the item chosen

void set_active(GtkWidget* item, bool on) {
  settingChecks = true;
  gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), on);
  settingChecks = false;
}

// "&x" marks the mnemonic, "&&" is a plain "&"; GTK writes "_x" and "__".
std::string to_mnemonic(const char* label) {
  std::string s;
  for (const char* p = label; *p; ++p) {
    if (*p == '&') {
      if (p[1] == '&') {
        s += '&';
        ++p;
      } else {
        s += '_';
      }
    } else if (*p == '_') {
      s += "__";
    } else {
      s += *p;
    }
  }
  return s;
}

std::string from_mnemonic(const char* label) {
  std::string s;
  for (const char* p = label; *p; ++p) {
    if (*p == '_') {
      if (p[1] == '_') {
        s += '_';
        ++p;
      } else {
        s += '&';
      }
    } else if (*p == '&') {
      s += "&&";
    } else {
      s += *p;
    }
  }
  return s;
}

int index_of(int id) {
  for (int i = 0; i < menuEntryCount && i < 256; ++i)
    if (menuEntries[i].kind == MENU_ITEM && menuEntries[i].id == id) return i;
  return -1;
}

// The widgets show the host's check marks (GTK toggles an item itself
// when it is chosen; the host decides).
void sync_checks() {
  for (int i = 0; i < menuEntryCount && i < 256; ++i)
    if (items[i] && GTK_IS_CHECK_MENU_ITEM(items[i]) &&
        gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(items[i])) !=
            menu_checked(menuEntries[i].id))
      set_active(items[i], menu_checked(menuEntries[i].id));
}

void on_activate(GtkMenuItem*, gpointer data) {
  if (settingChecks) return;
  gui_post_command(GPOINTER_TO_INT(data));
  sync_checks();
}

void on_menu_show(GtkWidget*, gpointer) {
  if (openMenus++ == 0) {
    script_log("menu loop entered");
    window_on_enter_modal_loop();
  }
}

void on_menu_hide(GtkWidget*, gpointer) {
  if (openMenus == 0) return;
  if (--openMenus == 0) {
    script_log("menu loop left");
    window_on_exit_modal_loop();
  }
}

GtkWidget* make_item(const MenuEntry& e, GSList** radioGroup) {
  std::string label = to_mnemonic(e.label);
  GtkWidget* item;
  if (menu_item_is_radio(e.id)) {
    item = gtk_radio_menu_item_new_with_mnemonic(*radioGroup, label.c_str());
    *radioGroup = gtk_radio_menu_item_get_group(GTK_RADIO_MENU_ITEM(item));
  } else if (menu_item_is_check(e.id)) {
    item = gtk_check_menu_item_new_with_mnemonic(label.c_str());
  } else {
    item = gtk_menu_item_new_with_mnemonic(label.c_str());
  }
  if (*e.shortcut) {
    // The label and, right-aligned beside it, the table's shortcut text.
    GtkWidget* old = gtk_bin_get_child(GTK_BIN(item));
    gtk_container_remove(GTK_CONTAINER(item), old);
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 24);
    GtkWidget* text = gtk_label_new_with_mnemonic(label.c_str());
    gtk_label_set_xalign(GTK_LABEL(text), 0.0f);
    gtk_label_set_mnemonic_widget(GTK_LABEL(text), item);
    GtkWidget* keys = gtk_label_new(e.shortcut);
    gtk_style_context_add_class(gtk_widget_get_style_context(keys), "accelerator");
    gtk_box_pack_start(GTK_BOX(box), text, TRUE, TRUE, 0);
    gtk_box_pack_end(GTK_BOX(box), keys, FALSE, FALSE, 0);
    gtk_container_add(GTK_CONTAINER(item), box);
  }
  g_signal_connect(item, "activate", G_CALLBACK(on_activate), GINT_TO_POINTER(e.id));
  return item;
}

// The mnemonic label and the shortcut label of an item.
void item_labels(GtkWidget* item, std::string* label, std::string* shortcut) {
  GtkWidget* child = gtk_bin_get_child(GTK_BIN(item));
  if (GTK_IS_LABEL(child)) {
    *label = from_mnemonic(gtk_label_get_label(GTK_LABEL(child)));
    shortcut->clear();
    return;
  }
  GList* parts = gtk_container_get_children(GTK_CONTAINER(child));
  *label = parts ? from_mnemonic(gtk_label_get_label(GTK_LABEL(parts->data))) : "";
  *shortcut = parts && parts->next ? gtk_label_get_text(GTK_LABEL(parts->next->data)) : "";
  g_list_free(parts);
}

int item_id(GtkWidget* item) {
  for (int i = 0; i < menuEntryCount && i < 256; ++i)
    if (items[i] == item) return menuEntries[i].id;
  return 0;
}

void log_shell(GtkWidget* shell, const std::string& path) {
  GList* children = gtk_container_get_children(GTK_CONTAINER(shell));
  for (GList* l = children; l; l = l->next) {
    GtkWidget* item = GTK_WIDGET(l->data);
    if (!gtk_widget_get_visible(item) && gtk_widget_get_no_show_all(item)) continue;
    if (GTK_IS_SEPARATOR_MENU_ITEM(item)) {
      script_log("menu: %s | ----", path.c_str());
      continue;
    }
    std::string label, shortcut;
    item_labels(item, &label, &shortcut);
    if (!shortcut.empty()) label += "|" + shortcut;
    std::string here = path.empty() ? label : path + " > " + label;
    GtkWidget* submenu = gtk_menu_item_get_submenu(GTK_MENU_ITEM(item));
    if (submenu) {
      log_shell(submenu, here);
    } else {
      bool checked =
          GTK_IS_CHECK_MENU_ITEM(item) && gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(item));
      script_log("menu: %s [%d]%s", here.c_str(), item_id(item), checked ? " checked" : "");
    }
  }
  g_list_free(children);
}

} // namespace

GtkWidget* gui_menu_bar_create() {
  GtkWidget* bar = gtk_menu_bar_new();
  GtkWidget* shells[3] = {bar, nullptr, nullptr};
  GSList* radioGroup = nullptr;
  int radioDepth = -1;
  for (int i = 0; i < menuEntryCount && i < 256; ++i) {
    const MenuEntry& e = menuEntries[i];
    GtkWidget* parent = shells[e.depth];
    if (!parent) continue;
    if (e.kind == MENU_SEPARATOR) {
      gtk_menu_shell_append(GTK_MENU_SHELL(parent), gtk_separator_menu_item_new());
      radioGroup = nullptr;
      continue;
    }
    if (e.kind == MENU_POPUP) {
      GtkWidget* item = gtk_menu_item_new_with_mnemonic(to_mnemonic(e.label).c_str());
      GtkWidget* menu = gtk_menu_new();
      g_signal_connect(menu, "show", G_CALLBACK(on_menu_show), nullptr);
      g_signal_connect(menu, "hide", G_CALLBACK(on_menu_hide), nullptr);
      gtk_menu_item_set_submenu(GTK_MENU_ITEM(item), menu);
      gtk_menu_shell_append(GTK_MENU_SHELL(parent), item);
      if (e.depth + 1 < 3) shells[e.depth + 1] = menu;
      for (int d = e.depth + 2; d < 3; ++d) shells[d] = nullptr;
      radioGroup = nullptr;
      continue;
    }
    if (!menu_item_is_radio(e.id) || radioDepth != e.depth) radioGroup = nullptr;
    radioDepth = menu_item_is_radio(e.id) ? e.depth : -1;
    items[i] = make_item(e, &radioGroup);
    // Items the host shows and hides itself stay as it left them when the
    // window is shown.
    if (e.id >= CMD_RECENT_FIRST && e.id <= CMD_RECENT_LAST)
      gtk_widget_set_no_show_all(items[i], TRUE);
    gtk_menu_shell_append(GTK_MENU_SHELL(parent), items[i]);
  }
  sync_checks();
  return bar;
}

void gui_menu_bar_log() {
  if (guiMenuBar) log_shell(guiMenuBar, "");
}

bool gui_menu_open() { return openMenus > 0; }

void gui_post_command(int id) { commands.push_back(id); }
void platform_script_command(int id) { gui_post_command(id); }

int gui_take_command() {
  if (commands.empty()) return 0;
  int id = commands.front();
  commands.pop_front();
  return id;
}

void platform_menu_check(int id, bool checked) {
  int i = index_of(id);
  if (i < 0) return;
  if (items[i] && GTK_IS_CHECK_MENU_ITEM(items[i]) &&
      gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(items[i])) != checked) {
    // A radio item cannot be switched off by itself: its group follows
    // when the host checks another.
    set_active(items[i], checked);
  }
  if (id == CMD_KEEP_ASPECT || id == CMD_PIXEL_EXACT) gui_apply_size_limits();
}

void platform_menu_set_item(int id, const char* label, bool enabled) {
  int i = index_of(id);
  if (i < 0 || !items[i]) return;
  if (label) gtk_menu_item_set_label(GTK_MENU_ITEM(items[i]), to_mnemonic(label).c_str());
  gtk_widget_set_sensitive(items[i], enabled);
  gtk_widget_set_visible(items[i], label != nullptr);
}
