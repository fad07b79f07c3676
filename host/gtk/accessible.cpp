// The picture area as a screen reader sees it: a terminal whose text is the
// character screen (screen_reader_text), with the caret at the machine's
// cursor and a text-changed event for each new line, so that a reader
// speaks new output as it comes.
#include <gtk/gtk-a11y.h>

#include "host/gtk/gtk_host.h"
#include "host/output/screen_reader.h"
#include "host/platform.h"

namespace {

const char* text_of(glong* characters, size_t* bytes) {
  const char* text = screen_reader_text(bytes);
  *characters = g_utf8_strlen(text, static_cast<gssize>(*bytes));
  return text;
}

glong character_offset(size_t byte) {
  size_t length = 0;
  const char* text = screen_reader_text(&length);
  return g_utf8_pointer_to_offset(text, text + (byte < length ? byte : length));
}

gchar* get_text(AtkText*, gint start, gint end) {
  glong count = 0;
  size_t bytes = 0;
  const char* text = text_of(&count, &bytes);
  if (end < 0 || end > count) end = static_cast<gint>(count);
  if (start < 0) start = 0;
  if (start > end) start = end;
  const char* from = g_utf8_offset_to_pointer(text, start);
  return g_strndup(from, static_cast<gsize>(g_utf8_offset_to_pointer(text, end) - from));
}

gint get_character_count(AtkText*) {
  glong count = 0;
  size_t bytes = 0;
  text_of(&count, &bytes);
  return static_cast<gint>(count);
}

gunichar get_character_at_offset(AtkText*, gint offset) {
  glong count = 0;
  size_t bytes = 0;
  const char* text = text_of(&count, &bytes);
  if (offset < 0 || offset >= count) return 0;
  return g_utf8_get_char(g_utf8_offset_to_pointer(text, offset));
}

gint get_caret_offset(AtkText*) {
  int row = 0, column = 0;
  if (!screen_reader_cursor(&row, &column) || row > screen_reader_rows()) return -1;
  const size_t start = screen_reader_row_offset(row - 1);
  const size_t end = screen_reader_row_offset(row) - 1; // before the "\n"
  const glong first = character_offset(start);
  const glong last = character_offset(end);
  return static_cast<gint>(first + (column - 1 < last - first ? column - 1 : last - first));
}

// The line, word or character round a character offset.
gchar* get_string_at_offset(AtkText* text, gint offset, AtkTextGranularity granularity,
                            gint* startOffset, gint* endOffset) {
  glong count = 0;
  size_t bytes = 0;
  const char* all = text_of(&count, &bytes);
  if (offset < 0) offset = 0;
  if (offset > count) offset = static_cast<gint>(count);
  glong start = offset, end = offset;
  auto at = [&](glong i) { return g_utf8_get_char(g_utf8_offset_to_pointer(all, i)); };
  if (granularity == ATK_TEXT_GRANULARITY_CHAR) {
    end = offset < count ? offset + 1 : offset;
  } else if (granularity == ATK_TEXT_GRANULARITY_WORD) {
    while (start > 0 && at(start - 1) != ' ' && at(start - 1) != '\n') --start;
    while (end < count && at(end) != ' ' && at(end) != '\n') ++end;
  } else {
    while (start > 0 && at(start - 1) != '\n') --start;
    while (end < count && at(end) != '\n') ++end;
    if (end < count) ++end;
  }
  *startOffset = static_cast<gint>(start);
  *endOffset = static_cast<gint>(end);
  return get_text(text, *startOffset, *endOffset);
}

gchar* get_text_at_offset(AtkText* text, gint offset, AtkTextBoundary boundary, gint* start,
                          gint* end) {
  AtkTextGranularity granularity = ATK_TEXT_GRANULARITY_LINE;
  if (boundary == ATK_TEXT_BOUNDARY_CHAR) granularity = ATK_TEXT_GRANULARITY_CHAR;
  if (boundary == ATK_TEXT_BOUNDARY_WORD_START || boundary == ATK_TEXT_BOUNDARY_WORD_END)
    granularity = ATK_TEXT_GRANULARITY_WORD;
  return get_string_at_offset(text, offset, granularity, start, end);
}

void text_interface_init(gpointer iface, gpointer) {
  AtkTextIface* text = static_cast<AtkTextIface*>(iface);
  text->get_text = get_text;
  text->get_character_count = get_character_count;
  text->get_character_at_offset = get_character_at_offset;
  text->get_caret_offset = get_caret_offset;
  text->get_string_at_offset = get_string_at_offset;
  text->get_text_at_offset = get_text_at_offset;
}

GType accessible_type() {
  static GType type = 0;
  if (type) return type;
  GTypeQuery parent;
  g_type_query(GTK_TYPE_WIDGET_ACCESSIBLE, &parent);
  type = g_type_register_static_simple(GTK_TYPE_WIDGET_ACCESSIBLE, "TarvikScreenAccessible",
                                       parent.class_size, nullptr, parent.instance_size, nullptr,
                                       static_cast<GTypeFlags>(0));
  const GInterfaceInfo text = {text_interface_init, nullptr, nullptr};
  g_type_add_interface_static(type, ATK_TYPE_TEXT, &text);
  return type;
}

void screen_class_init(gpointer widgetClass, gpointer) {
  gtk_widget_class_set_accessible_type(static_cast<GtkWidgetClass*>(widgetClass),
                                       accessible_type());
}

GType screen_type() {
  static GType type = 0;
  if (type) return type;
  GTypeQuery parent;
  g_type_query(GTK_TYPE_DRAWING_AREA, &parent);
  type = g_type_register_static_simple(GTK_TYPE_DRAWING_AREA, "TarvikScreen", parent.class_size,
                                       screen_class_init, parent.instance_size, nullptr,
                                       static_cast<GTypeFlags>(0));
  return type;
}

} // namespace

GtkWidget* gui_screen_area_new() {
  GtkWidget* area = GTK_WIDGET(g_object_new(screen_type(), nullptr));
  AtkObject* accessible = gtk_widget_get_accessible(area);
  atk_object_set_role(accessible, ATK_ROLE_TERMINAL);
  atk_object_set_name(accessible, "A gép képernyője");
  return area;
}

void platform_screen_changed(const char*) {
  if (!guiArea) return;
  AtkObject* accessible = gtk_widget_get_accessible(guiArea);
  for (int row = 0; row < screen_reader_rows(); ++row) {
    size_t start = 0;
    if (!screen_reader_row_news(row, &start)) continue;
    const glong from = character_offset(start);
    const glong to = character_offset(screen_reader_row_offset(row + 1) - 1);
    g_signal_emit_by_name(accessible, "text-changed::insert", static_cast<gint>(from),
                          static_cast<gint>(to - from));
  }
  g_signal_emit_by_name(accessible, "text-caret-moved", get_caret_offset(nullptr));
}
