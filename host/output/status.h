// The status bar along the bottom of the main window: four parts (the model
// label, the indicator boxes, the tape counter or recording progress, and
// the last message). It does not exist in full screen.
#pragma once

#include <cstdint>

enum : int { STATUS_PARTS = 4, STATUS_TEXT_SIZE = 256 };

// Right edges of the four parts in pixels; the last runs to the border.
extern const int32_t statusPartEdges[4];

void status_create();
void status_destroy();
// printf-style; part 1 (the indicators) has no text and is left alone.
void status_set_text(int part, const char* format, ...) __attribute__((format(printf, 2, 3)));
// The common way to report a completed operation: part 3.
void status_message(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The text a part shows now, kept also while there is no bar ("" for part 1
// and parts out of range).
const char* status_text(int part);
// The bar's height in pixels, 0 when there is no bar.
int32_t status_height();
void status_layout();
bool status_exists();

// One indicator box, for a bar whose client rectangle has this left and
// bottom edge: the frame is drawn round (x0, y0)-(x1, y1), the inside is red
// for the active box and black for the others.
struct StatusIndicator {
  int32_t x0, y0, x1, y1;
  bool active;
};
enum { STATUS_INDICATORS = 4, STATUS_ASSUMED_HEIGHT = 24 };
StatusIndicator status_indicator(int index, int32_t left, int32_t bottom);
