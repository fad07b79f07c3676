// The tape browser as a GTK dialog: the blocks of the tape in the deck in a
// tree view with named columns, the tape's place below it, "Tekerés" winds
// the tape to the chosen block (a double click on a row too) and "Bezárás"
// closes.
#include <gtk/gtk.h>

#include <string>

#include "host/core/commands.h"
#include "host/gtk/gtk_host.h"
#include "host/ui/tape_browser.h"
#include "media/tape_list.h"

namespace {

enum { kWind = 1 };

struct Browser {
  GtkWidget* dialog;
  GtkWidget* heading;
  GtkWidget* place;
  GtkWidget* view;
  GtkListStore* rows;
};

// "&x" as GTK's mnemonic "_x".
std::string mnemonic(const char* label) {
  std::string out;
  for (const char* p = label; *p; ++p) out += *p == '&' ? '_' : *p;
  return out;
}

void fill(Browser* b) {
  gtk_list_store_clear(b->rows);
  const size_t count = tape_list().blocks.size();
  for (size_t i = 0; i < count; ++i) {
    std::string c[TAPE_BROWSER_COLUMNS];
    tape_browser_columns(i, c);
    GtkTreeIter row;
    gtk_list_store_append(b->rows, &row);
    gtk_list_store_set(b->rows, &row, 0, c[0].c_str(), 1, c[1].c_str(), 2, c[2].c_str(), 3,
                       c[3].c_str(), 4, c[4].c_str(), -1);
  }
  gtk_label_set_text(GTK_LABEL(b->heading), tape_browser_heading().c_str());
  gtk_label_set_text(GTK_LABEL(b->place), count ? tape_list_place_text().c_str() : "");
  TapePlace place;
  if (tape_list_place(&place) && place.kind != TAPE_PLACE_AFTER_LAST) {
    GtkTreePath* path = gtk_tree_path_new_from_indices(static_cast<int>(place.block), -1);
    gtk_tree_view_set_cursor(GTK_TREE_VIEW(b->view), path, nullptr, FALSE);
    gtk_tree_path_free(path);
  }
  gtk_dialog_set_response_sensitive(GTK_DIALOG(b->dialog), kWind, count > 0);
}

void row_activated(GtkTreeView*, GtkTreePath*, GtkTreeViewColumn*, gpointer dialog) {
  gtk_dialog_response(GTK_DIALOG(dialog), kWind);
}

Browser make() {
  Browser b{};
  b.dialog = gtk_dialog_new_with_buttons(
      tapeBrowserTitle, guiWindow ? GTK_WINDOW(guiWindow) : nullptr,
      static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
      mnemonic(tapeBrowserWind).c_str(), kWind, tapeBrowserClose, GTK_RESPONSE_CLOSE, nullptr);
  gtk_dialog_set_default_response(GTK_DIALOG(b.dialog), kWind);
  GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(b.dialog));
  gtk_container_set_border_width(GTK_CONTAINER(content), 8);
  b.heading = gtk_label_new("");
  gtk_widget_set_halign(b.heading, GTK_ALIGN_START);
  gtk_box_pack_start(GTK_BOX(content), b.heading, FALSE, FALSE, 2);
  b.rows = gtk_list_store_new(TAPE_BROWSER_COLUMNS, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING,
                              G_TYPE_STRING, G_TYPE_STRING);
  b.view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(b.rows));
  g_object_unref(b.rows); // the view keeps it
  for (int c = 0; c < TAPE_BROWSER_COLUMNS; ++c) {
    GtkCellRenderer* text = gtk_cell_renderer_text_new();
    if (c != 1) g_object_set(text, "family", "monospace", nullptr);
    gtk_tree_view_append_column(
        GTK_TREE_VIEW(b.view),
        gtk_tree_view_column_new_with_attributes(tapeBrowserColumns[c], text, "text", c, nullptr));
  }
  g_signal_connect(b.view, "row-activated", G_CALLBACK(row_activated), b.dialog);
  GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER,
                                 GTK_POLICY_AUTOMATIC);
  gtk_widget_set_size_request(scrolled, 460, 220);
  gtk_container_add(GTK_CONTAINER(scrolled), b.view);
  gtk_box_pack_start(GTK_BOX(content), scrolled, TRUE, TRUE, 2);
  b.place = gtk_label_new("");
  gtk_widget_set_halign(b.place, GTK_ALIGN_START);
  gtk_box_pack_start(GTK_BOX(content), b.place, FALSE, FALSE, 2);
  fill(&b);
  return b;
}

// The dialog read back from its widgets, as one line.
std::string describe(const Browser& b) {
  std::string line = std::string("dialog: ") + gtk_window_get_title(GTK_WINDOW(b.dialog)) + " | " +
                     gtk_label_get_text(GTK_LABEL(b.heading));
  const char* place = gtk_label_get_text(GTK_LABEL(b.place));
  if (*place) line += std::string(" | ") + place;
  GtkTreeModel* model = GTK_TREE_MODEL(b.rows);
  GtkTreeIter row;
  for (bool more = gtk_tree_model_get_iter_first(model, &row); more;
       more = gtk_tree_model_iter_next(model, &row)) {
    line += " |";
    for (int c = 0; c < TAPE_BROWSER_COLUMNS; ++c) {
      gchar* text = nullptr;
      gtk_tree_model_get(model, &row, c, &text, -1);
      line += std::string(" ") + (text ? text : "");
      g_free(text);
    }
  }
  return line;
}

} // namespace

std::string gui_tape_browser(bool describeOnly) {
  Browser b = make();
  std::string text;
  if (describeOnly) {
    text = describe(b);
  } else {
    gtk_widget_show_all(b.dialog);
    while (gtk_dialog_run(GTK_DIALOG(b.dialog)) == kWind) {
      GtkTreeModel* model = nullptr;
      GtkTreeIter row;
      GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(b.view));
      if (!gtk_tree_selection_get_selected(selection, &model, &row)) continue;
      GtkTreePath* path = gtk_tree_model_get_path(model, &row);
      const int index = gtk_tree_path_get_indices(path)[0];
      gtk_tree_path_free(path);
      if (tape_browser_wind(static_cast<size_t>(index))) fill(&b);
    }
  }
  gtk_widget_destroy(b.dialog);
  return text;
}
