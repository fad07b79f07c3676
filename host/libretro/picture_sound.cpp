// The picture and the sound as the front end takes them: the frame bitmap
// converted into 0RGB pixels once a frame, and a sound device that keeps
// the audio chain's blocks for the batch callback of the same retro_run.
#include <cstring>

#include "host/libretro/libretro_host.h"
#include "host/output/display.h"
#include "host/platform.h"
#include "host/sound_driver.h"

namespace {

// ---- picture ---------------------------------------------------------------------------
uint32_t picture[LIBRETRO_WIDTH * LIBRETRO_HEIGHT];
// What the host presented last; converted when the frame goes out.
const FrameBitmap* presentedBitmap;
const uint8_t* presentedPixels;

uint32_t rgb(const RgbQuad& q) { return uint32_t{q.red} << 16 | uint32_t{q.green} << 8 | q.blue; }

// ---- sound: a device that plays what it is given, in step with the frames --------------
// Room for a few blocks: a frame hands over one, two when the blocks and
// the frames drift apart by a sample.
constexpr uint32_t kHeldBlocks = 4;
int16_t pairs[kHeldBlocks * AUDIO_BLOCK_SAMPLES * 2];
size_t heldPairs;
bool open;
uint32_t written; // ring offset after the last block written

bool device_open(int);
void device_close() { open = false; }
int device_write(const int16_t* samples, uint32_t offset, uint32_t bytes) {
  if (!open) return 0;
  written = (offset + bytes) % AUDIO_RING_BYTES;
  size_t count = bytes / sizeof(int16_t);
  if (heldPairs + count > kHeldBlocks * AUDIO_BLOCK_SAMPLES) return 0; // nobody took them
  int16_t* out = pairs + heldPairs * 2;
  for (size_t i = 0; i < count; ++i) out[2 * i] = out[2 * i + 1] = samples[i];
  heldPairs += count;
  return static_cast<int>(bytes);
}
void device_nothing() {}
// Always a few blocks behind the writes: the drift check keeps every block.
int32_t device_position() {
  if (!open) return -1;
  return static_cast<int32_t>((written + AUDIO_RING_BYTES - 5 * AUDIO_BLOCK_BYTES) %
                              AUDIO_RING_BYTES);
}

const SoundDriver frontEndDriver = {"libretro",     device_open,    device_close,
                                    device_write,   device_nothing, device_nothing,
                                    device_nothing, device_position};

bool device_open(int sampleRate) {
  if (sampleRate != 48000) return false;
  sound_driver_install(&frontEndDriver);
  open = true;
  written = 0;
  heldPairs = 0;
  return true;
}

} // namespace

const uint32_t* libretro_picture() {
  if (!presentedBitmap) return picture;
  // The eight pixels of each byte value, made again when the palette changes.
  static uint32_t eight[256][8];
  static uint32_t tableColours[2] = {1, 1}; // no palette has these: made at the first frame
  const uint32_t colour[2] = {rgb(presentedBitmap->palette[0]), rgb(presentedBitmap->palette[1])};
  if (colour[0] != tableColours[0] || colour[1] != tableColours[1]) {
    for (int v = 0; v < 256; ++v)
      for (int b = 0; b < 8; ++b) eight[v][b] = colour[(v >> (7 - b)) & 1];
    tableColours[0] = colour[0];
    tableColours[1] = colour[1];
  }
  uint32_t* out = picture;
  for (size_t i = 0; i < LIBRETRO_WIDTH / 8 * LIBRETRO_HEIGHT; ++i, out += 8)
    std::memcpy(out, eight[presentedPixels[i]], sizeof eight[0]);
  return picture;
}

size_t libretro_sound_take(const int16_t** out) {
  *out = pairs;
  size_t n = heldPairs;
  heldPairs = 0;
  return n;
}

const SoundDriver* platform_sound_driver(SoundOutput) { return &frontEndDriver; }

// The host presents the stretched way: the whole 512 x 256 bitmap, which
// the front end scales. Only the last one is kept; retro_run converts it.
bool platform_present_prepare(PresentScaling how, int32_t width, int32_t height) {
  return how == PRESENT_STRETCHED && width == static_cast<int32_t>(LIBRETRO_WIDTH) &&
         height == static_cast<int32_t>(LIBRETRO_HEIGHT);
}

void platform_present(const FrameBitmap* bitmap, const uint8_t* pixels, const Rect&, const Rect&,
                      PresentScaling how) {
  if (how != PRESENT_STRETCHED) return;
  presentedBitmap = bitmap;
  presentedPixels = pixels;
}

void platform_present_same() {}
void platform_present_release() { presentedBitmap = nullptr; }

// ---- on-screen monitor: not shown (no console either) -------------------------------------
void platform_monitor_geometry(MonitorGeometry* geometry) {
  *geometry = {static_cast<int32_t>(LIBRETRO_WIDTH), static_cast<int32_t>(LIBRETRO_HEIGHT), 0, 8,
               16};
}
void platform_monitor_draw(const char* const*, int, int) {}
