// The picture: the frame bitmap (one bit a pixel, a two-colour palette) is
// turned into an image surface and drawn into the picture area with
// nearest-neighbour scaling, onto black margins: the source scaled to the
// host's destination, or unscaled at the top left. Every way of scaling
// ends in the same drawing. The on-screen monitor draws its rows instead,
// white on black in a monospace font.
#include <time.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/gtk/gtk_host.h"
#include "host/output/display.h"
#include "host/platform.h"

namespace {

cairo_surface_t* frame; // 512 x 512, RGB24
int frameRows;          // rows of frame in use (256 or 512)
bool stretched;         // scaled to the destination
Rect source = {0, 0, 512, 256};
Rect destination;

bool showMonitor;
std::vector<std::string> monitorRows;
int monitorSeparator = -1;
PangoFontDescription* monitorFont;
int charWidth = 8, lineHeight = 16;

cairo_surface_t* frame_surface() {
  if (!frame) frame = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 512, 512);
  return frame;
}

uint32_t colour(const RgbQuad& q) {
  return 0xFF000000u | uint32_t{q.red} << 16 | uint32_t{q.green} << 8 | q.blue;
}

// The eight pixels of every bitmap byte, for the palette they were made with.
uint32_t expansion[256][8];
uint32_t expandedInk[2] = {1, 1};

void convert(const FrameBitmap* bitmap, const uint8_t* pixels, int rows) {
  cairo_surface_t* s = frame_surface();
  cairo_surface_flush(s);
  uint8_t* out = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  const uint32_t ink[2] = {colour(bitmap->palette[0]), colour(bitmap->palette[1])};
  if (ink[0] != expandedInk[0] || ink[1] != expandedInk[1]) {
    for (int v = 0; v < 256; ++v)
      for (int b = 0; b < 8; ++b) expansion[v][b] = ink[(v >> (7 - b)) & 1];
    expandedInk[0] = ink[0];
    expandedInk[1] = ink[1];
  }
  int height = bitmap->header.height < 0 ? -bitmap->header.height : bitmap->header.height;
  if (rows > height) rows = height;
  if (rows > 512) rows = 512;
  bool bottomUp = bitmap->header.height > 0;
  for (int y = 0; y < rows; ++y) {
    const uint8_t* in = pixels + (bottomUp ? rows - 1 - y : y) * 64;
    uint32_t* row = reinterpret_cast<uint32_t*>(out + y * stride);
    for (int x = 0; x < 64; ++x) std::memcpy(row + 8 * x, expansion[in[x]], sizeof expansion[0]);
  }
  cairo_surface_mark_dirty(s);
  frameRows = rows;
}

// Black everywhere but inside the rectangle (which the picture covers).
void paint_margins(cairo_t* cr, int width, int height, int left, int top, int right, int bottom) {
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_rectangle(cr, 0, 0, width, top);
  cairo_rectangle(cr, 0, bottom, width, height - bottom);
  cairo_rectangle(cr, 0, top, left, bottom - top);
  cairo_rectangle(cr, right, top, width - right, bottom - top);
  cairo_fill(cr);
}

void draw_frame(cairo_t* cr, int width, int height) {
  int sw = source.right - source.left, sh = source.bottom - source.top;
  int dw = destination.right - destination.left, dh = destination.bottom - destination.top;
  if (!frame || frameRows == 0 || (stretched && (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0))) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    return;
  }
  cairo_save(cr);
  if (stretched) {
    paint_margins(cr, width, height, destination.left, destination.top, destination.right,
                  destination.bottom);
    cairo_rectangle(cr, destination.left, destination.top, dw, dh);
    cairo_clip(cr);
    cairo_translate(cr, destination.left, destination.top);
    cairo_scale(cr, static_cast<double>(dw) / sw, static_cast<double>(dh) / sh);
    cairo_set_source_surface(cr, frame, -source.left, -source.top);
  } else {
    int w = width < 512 ? width : 512, h = height < frameRows ? height : frameRows;
    paint_margins(cr, width, height, 0, 0, w, h);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_clip(cr);
    cairo_set_source_surface(cr, frame, 0, 0);
  }
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
  cairo_restore(cr);
}

PangoFontDescription* font() {
  if (!monitorFont) monitorFont = pango_font_description_from_string("Monospace 10");
  return monitorFont;
}

// The cell of the monospace font: the widest of the characters the monitor
// shows, and the line height.
void measure_font() {
  if (!guiArea) return;
  PangoLayout* layout = gtk_widget_create_pango_layout(guiArea, "W");
  pango_layout_set_font_description(layout, font());
  int w = 0, h = 0;
  pango_layout_get_pixel_size(layout, &w, &h);
  g_object_unref(layout);
  if (w > 0) charWidth = w;
  if (h > 0) lineHeight = h;
}

void draw_monitor(cairo_t* cr, int width) {
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_paint(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  PangoLayout* layout = gtk_widget_create_pango_layout(guiArea, nullptr);
  pango_layout_set_font_description(layout, font());
  for (size_t r = 0; r < monitorRows.size(); ++r) {
    pango_layout_set_text(layout, monitorRows[r].c_str(), -1);
    cairo_move_to(cr, 0, static_cast<double>(r) * lineHeight);
    pango_cairo_show_layout(cr, layout);
  }
  g_object_unref(layout);
  if (monitorSeparator >= 0) {
    double y = monitorSeparator * lineHeight - 0.5;
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, 0, y);
    cairo_line_to(cr, width, y);
    cairo_stroke(cr);
  }
}

} // namespace

gboolean gui_area_draw(GtkWidget* widget, cairo_t* cr, gpointer) {
  int width = gtk_widget_get_allocated_width(widget);
  int height = gtk_widget_get_allocated_height(widget);
  if (showMonitor)
    draw_monitor(cr, width);
  else
    draw_frame(cr, width, height);
  return TRUE;
}

bool platform_present_prepare(PresentScaling, int32_t width, int32_t height) {
  return width > 0 && height > 0 && width <= 512 && height <= 512;
}

void platform_present(const FrameBitmap* bitmap, const uint8_t* pixels, const Rect& src,
                      const Rect& dst, PresentScaling how) {
  showMonitor = false;
  convert(bitmap, pixels, src.bottom);
  // Whole multiples of one are the unscaled picture.
  stretched = how == PRESENT_STRETCHED ||
              (how == PRESENT_WHOLE_MULTIPLES &&
               (dst.right - dst.left != src.right - src.left ||
                dst.bottom - dst.top != src.bottom - src.top || dst.left != 0 || dst.top != 0));
  source = src;
  destination = dst;
  if (guiArea) gtk_widget_queue_draw(guiArea);
}

void platform_present_same() {}

void platform_present_release() {
  if (!frame) return;
  cairo_surface_destroy(frame);
  frame = nullptr;
  frameRows = 0;
}

void platform_monitor_geometry(MonitorGeometry* geometry) {
  if (!geometry) return;
  measure_font();
  Rect client = platform_client_rect();
  geometry->clientWidth = client.right;
  geometry->clientHeight = client.bottom;
  geometry->statusBarHeight = platform_status_height();
  geometry->charWidth = charWidth;
  geometry->lineHeight = lineHeight;
}

void platform_monitor_draw(const char* const* rows, int count, int separatorRow) {
  measure_font();
  monitorRows.clear();
  for (int r = 0; r < count; ++r) monitorRows.emplace_back(rows[r] ? rows[r] : "");
  monitorSeparator = separatorRow;
  showMonitor = true;
  if (guiArea) gtk_widget_queue_draw(guiArea);
}

void gui_present_benchmark(int width, int height, int frames, double* convertMs, double* drawMs) {
  static uint8_t pixels[512 * 64];
  for (size_t i = 0; i < sizeof pixels; ++i) pixels[i] = static_cast<uint8_t>(i * 37 + (i >> 6));
  FrameBitmap bitmap{};
  bitmap.header.width = 512;
  bitmap.header.height = -256;
  bitmap.palette[1] = {255, 255, 255, 0};
  cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(target);
  Rect screen = {0, 0, width, height};
  Rect fitted = display_fit_4_3(screen);
  // The thread's processor time: what the drawing costs, also on a busy machine.
  auto now = [] {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
  };
  double convertTotal = 0, drawTotal = 0;
  for (int i = 0; i < frames; ++i) {
    double t0 = now();
    convert(&bitmap, pixels, 256);
    stretched = true;
    source = {0, 0, 512, 256};
    destination = fitted;
    double t1 = now();
    draw_frame(cr, width, height);
    cairo_surface_flush(target);
    double t2 = now();
    convertTotal += t1 - t0;
    drawTotal += t2 - t1;
  }
  cairo_destroy(cr);
  cairo_surface_destroy(target);
  *convertMs = convertTotal / frames;
  *drawMs = drawTotal / frames;
}
