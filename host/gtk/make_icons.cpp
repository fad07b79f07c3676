// Build-time tool: writes the icon as PNG files for the icon theme.
//   make_icons OUTPUT_DIR SIZE...   (writes OUTPUT_DIR/SIZE/tarvik.png)
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <glib/gstdio.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/ui/icon.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: make_icons OUTPUT_DIR SIZE...\n", stderr);
    return 2;
  }
  for (int i = 2; i < argc; ++i) {
    int size = std::atoi(argv[i]);
    if (size < 8 || size > 1024) {
      std::fprintf(stderr, "make_icons: bad size %s\n", argv[i]);
      return 2;
    }
    std::vector<Rgba> pixels = draw_icon(size);
    GdkPixbuf* image = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, size, size);
    guchar* out = gdk_pixbuf_get_pixels(image);
    int stride = gdk_pixbuf_get_rowstride(image);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const Rgba& c = pixels[static_cast<size_t>(y * size + x)];
        guchar* p = out + y * stride + x * 4;
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
        p[3] = c.a;
      }
    std::string dir = std::string(argv[1]) + "/" + argv[i];
    g_mkdir_with_parents(dir.c_str(), 0755);
    std::string file = dir + "/tarvik.png";
    GError* error = nullptr;
    if (!gdk_pixbuf_save(image, file.c_str(), "png", &error, nullptr)) {
      std::fprintf(stderr, "make_icons: cannot write %s: %s\n", file.c_str(),
                   error ? error->message : "");
      if (error) g_error_free(error);
      g_object_unref(image);
      return 1;
    }
    g_object_unref(image);
  }
  return 0;
}
