// The status bar: one widget along the bottom, 24 pixels high, drawn here
// with the host's four parts (right edges from the host, the last to the
// border): the model label, the indicator boxes, the tape counter and the
// last message. The part under the pointer gives its text as the tooltip.
#include <string>

#include "host/gtk/gtk_host.h"
#include "host/output/status.h"
#include "host/platform.h"
#include "host/script/script_mode.h"

namespace {

constexpr int kHeight = STATUS_ASSUMED_HEIGHT;
int32_t edges[4] = {80, 176, 224, -1};
std::string texts[4];

int part_left(int part) { return part == 0 ? 0 : edges[part - 1]; }

int part_right(int part, int width) { return edges[part] < 0 ? width : edges[part]; }

gboolean draw(GtkWidget* widget, cairo_t* cr, gpointer) {
  int width = gtk_widget_get_allocated_width(widget);
  GtkStyleContext* style = gtk_widget_get_style_context(widget);
  gtk_render_background(style, cr, 0, 0, width, kHeight);
  GdkRGBA ink;
  gtk_style_context_get_color(style, GTK_STATE_FLAG_NORMAL, &ink);
  PangoLayout* layout = gtk_widget_create_pango_layout(widget, nullptr);
  for (int part = 0; part < 4; ++part) {
    int left = part_left(part), right = part_right(part, width);
    // A sunken frame round each part.
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 0.5, 0.5, 0.5, 1);
    cairo_rectangle(cr, left + 0.5, 2.5, right - left - 3, kHeight - 4);
    cairo_stroke(cr);
    if (part == 1) continue;
    pango_layout_set_text(layout, texts[part].c_str(), -1);
    pango_layout_set_width(layout, (right - left - 8) * PANGO_SCALE);
    pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    int h = 0;
    pango_layout_get_pixel_size(layout, nullptr, &h);
    cairo_save(cr);
    cairo_rectangle(cr, left + 2, 2, right - left - 5, kHeight - 4);
    cairo_clip(cr);
    gdk_cairo_set_source_rgba(cr, &ink);
    cairo_move_to(cr, left + 4, (kHeight - h) / 2);
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
  }
  g_object_unref(layout);
  for (int k = 0; k < STATUS_INDICATORS; ++k) {
    StatusIndicator box = status_indicator(k, 0, kHeight);
    cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
    cairo_rectangle(cr, box.x0 - 1.5, box.y0 - 1.5, box.x1 - box.x0 + 2, box.y1 - box.y0 + 2);
    cairo_stroke(cr);
    if (box.active)
      cairo_set_source_rgb(cr, 1, 0, 0);
    else
      cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_rectangle(cr, box.x0, box.y0, box.x1 - box.x0, box.y1 - box.y0);
    cairo_fill(cr);
  }
  return TRUE;
}

gboolean tooltip(GtkWidget* widget, gint x, gint, gboolean, GtkTooltip* tip, gpointer) {
  int width = gtk_widget_get_allocated_width(widget);
  for (int part = 0; part < 4; ++part)
    if (x >= part_left(part) && x < part_right(part, width) && !texts[part].empty()) {
      gtk_tooltip_set_text(tip, texts[part].c_str());
      return TRUE;
    }
  return FALSE;
}

// A screen reader reads the bar's texts as its description.
void tell_screen_reader() {
  std::string all;
  for (int part : {0, 2, 3}) {
    if (texts[part].empty()) continue;
    if (!all.empty()) all += ", ";
    all += texts[part];
  }
  atk_object_set_description(gtk_widget_get_accessible(guiStatus), all.c_str());
}

} // namespace

GtkWidget* gui_status_bar_create() {
  GtkWidget* bar = gtk_drawing_area_new();
  AtkObject* accessible = gtk_widget_get_accessible(bar);
  atk_object_set_role(accessible, ATK_ROLE_STATUSBAR);
  atk_object_set_name(accessible, "Állapotsor");
  gtk_widget_set_size_request(bar, -1, kHeight);
  gtk_widget_set_has_tooltip(bar, TRUE);
  gtk_style_context_add_class(gtk_widget_get_style_context(bar), "statusbar");
  g_signal_connect(bar, "draw", G_CALLBACK(draw), nullptr);
  g_signal_connect(bar, "query-tooltip", G_CALLBACK(tooltip), nullptr);
  return bar;
}

bool platform_status_create(const int32_t* rightEdges, int parts) {
  if (!guiStatus || parts != 4) return false;
  for (int i = 0; i < 4; ++i) edges[i] = rightEdges[i];
  for (std::string& t : texts) t.clear();
  gtk_widget_show(guiStatus);
  gui_apply_size_limits();
  return true;
}

void platform_status_destroy() {
  if (guiStatus) gtk_widget_hide(guiStatus);
}

void platform_status_set_text(int part, const char* text) {
  if (!guiStatus || part < 0 || part > 3) return;
  const bool changed = texts[part] != text;
  texts[part] = text;
  gtk_widget_queue_draw(guiStatus);
  if (changed) tell_screen_reader();
  if (*text && part == 0) script_log("status label: %s", text);
}

int32_t platform_status_height() {
  return guiStatus && gtk_widget_get_visible(guiStatus) ? kHeight : 0;
}

void platform_status_layout() {
  if (guiStatus) gtk_widget_queue_draw(guiStatus);
}
