// Video: the Tarvik text screen rendered from video RAM, and the Veltra-16
// picture that the CPU deposits cell by cell as it runs through 0xE000-0xFFFF.
#include "machine/video.h"

#include <cstring>

#include "cpu/cpu.h"
#include "cpu/state_io.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "machine/rom.h"

uint8_t frameBuffer[kFrameBufferSize];
uint64_t frameBufferVersion;
uint8_t userCharset[2048];
const uint8_t* currentCharset;

namespace {

constexpr uint32_t kVideoRam = 0xF800;
constexpr int kTextRows = 32;
constexpr int kTextColumns = 64;

// Each pixel of a glyph byte doubled: bits 7-4 into the first byte, 3-0
// into the second (0xA5 gives 0xCC, 0x33).
struct Widened {
  uint8_t first[256];
  uint8_t second[256];
};

constexpr Widened make_widened() {
  Widened w{};
  for (int g = 0; g < 256; ++g) {
    int hi = 0, lo = 0;
    for (int bit = 0; bit < 4; ++bit) {
      if (g & (0x10 << bit)) hi |= 3 << (2 * bit);
      if (g & (0x01 << bit)) lo |= 3 << (2 * bit);
    }
    w.first[g] = static_cast<uint8_t>(hi);
    w.second[g] = static_cast<uint8_t>(lo);
  }
  return w;
}
constexpr Widened kWidened = make_widened();

// What the frame buffer was last drawn from: while the text, the character
// set and the mode are the same, drawing again would give the same pixels.
// Anything else that writes the frame buffer (a clear, a loaded state, the
// Veltra-16's picture) forgets it.
struct Drawn {
  bool valid;
  uint8_t mode32;
  const uint8_t* charsetSource;
  uint8_t text[kTextRows * kTextColumns];
  uint8_t charset[2048];
};
Drawn drawn;

} // namespace

void video_restore_charset() {
  const uint8_t* builtin = rom_image(ROM_TARVIK_CHR);
  std::memcpy(userCharset, builtin, sizeof userCharset);
  currentCharset = builtin;
}

void video_select_charset(bool user) {
  currentCharset = user ? userCharset : rom_image(ROM_TARVIK_CHR);
}

void video_clear() {
  std::memset(frameBuffer, 0, sizeof frameBuffer);
  drawn.valid = false;
  frame_buffer_changed();
}

bool video_render() {
  const uint8_t* charset = currentCharset ? currentCharset : rom_image(ROM_TARVIK_CHR);
  const uint8_t* text = memory + kVideoRam;
  const uint8_t mode32 = machineState.screenMode32 ? 1 : 0;
  if (drawn.valid && drawn.mode32 == mode32 && drawn.charsetSource == charset &&
      std::memcmp(drawn.text, text, sizeof drawn.text) == 0 &&
      std::memcmp(drawn.charset, charset, sizeof drawn.charset) == 0)
    return false;
  frame_buffer_changed();
  drawn.valid = true;
  drawn.mode32 = mode32;
  drawn.charsetSource = charset;
  std::memcpy(drawn.text, text, sizeof drawn.text);
  std::memcpy(drawn.charset, charset, sizeof drawn.charset);
  for (int y = 0; y < kTextRows; ++y) {
    const uint8_t* codes = text + y * kTextColumns;
    for (int r = 0; r < 8; ++r) {
      uint8_t* row = frameBuffer + (8 * y + r) * kFrameRowBytes;
      const uint8_t* glyphRow = charset + r * 256;
      if (machineState.screenMode32) {
        for (int x = 0; x < kTextColumns / 2; ++x) {
          const uint8_t g = glyphRow[codes[2 * x + 1]];
          row[2 * x] = kWidened.first[g];
          row[2 * x + 1] = kWidened.second[g];
        }
      } else {
        for (int x = 0; x < kTextColumns; ++x) row[x] = glyphRow[codes[x]];
      }
    }
  }
  return true;
}

void video_forget_drawn() { drawn.valid = false; }

uint8_t veltra_picture_fetch(uint16_t a) {
  const uint8_t r = cpu.r;
  if (machineState.veltraBitmapMode) {
    if (machineState.scanLine < kVeltraPictureLines) {
      const uint32_t column = r <= 16 ? r + 128u : r;
      frameBuffer[kVeltraBitmapOffset + 64 * machineState.scanLine + column] =
          memory[0x6000 | (a & 0x1FFF)];
    }
    if (r != 2) return 0x3F;
    machineState.scanLine =
        machineState.scanLine + 1 == kVeltraLines ? 0 : machineState.scanLine + 1;
    return 0xF7;
  }
  if (machineState.scanLine < kVeltraPictureLines) {
    const uint8_t code = memory[0xC000 | (a & 0x03FF)];
    const uint8_t glyph = rom_image(ROM_VELTRA_CHR)[((a >> 10) & 7) * 256 + code];
    frameBuffer[kVeltraPictureOffset + 64 * machineState.scanLine + ((a - 1) & 0x03FF) % 40] =
        glyph;
  }
  if (r != 2) return 0x3F;
  machineState.scanLine = machineState.scanLine + 1 == kVeltraLines ? 0 : machineState.scanLine + 1;
  return 0xFF;
}

namespace {
constexpr uint32_t kPictureBytes = 256 * kFrameRowBytes;
}

void video_state_save(StateWriter& w) {
  w.bytes(frameBuffer, kPictureBytes);
  w.bytes(userCharset, sizeof userCharset);
  w.u8(currentCharset == userCharset ? 1 : 0);
}

bool video_state_load(StateReader& r, bool apply) {
  const uint8_t* picture = r.view(kPictureBytes);
  const uint8_t* charset = r.view(sizeof userCharset);
  const uint8_t user = r.u8();
  if (!r.ok() || user > 1) return r.fail();
  if (!apply) return true;
  std::memcpy(frameBuffer, picture, kPictureBytes);
  std::memset(frameBuffer + kPictureBytes, 0, sizeof frameBuffer - kPictureBytes);
  drawn.valid = false;
  frame_buffer_changed();
  std::memcpy(userCharset, charset, sizeof userCharset);
  video_select_charset(user != 0);
  return true;
}
