// AVI capture: stream set-up, one video frame per emulated frame with the
// sound output since the previous one, and the closing subject record. The
// file itself is the platform's.
#include "host/output/avi.h"

#include <cstdio>
#include <cstring>
#include <numeric>

#include "cpu/cpu.h"
#include "host/output/audio.h"
#include "host/output/display.h"
#include "host/output/status.h"
#include "host/platform.h"
#include "host/script/script_mode.h"
#include "host/sound_driver.h"
#include "host/store/settings.h"
#include "host/ui/file_dialogs.h"
#include "machine/machine.h"
#include "machine/scheduler.h"

AviState aviState;
uint32_t aviVideoFrames;
uint32_t aviAudioChunks;
uint32_t aviAudioSamples;

namespace {

constexpr uint32_t kRowBytesMax = 64;
constexpr uint32_t kRowsMax = 512;

FrameBitmap description; // the recorded frame's format (height negative)
uint32_t rows;
uint32_t rowBytes;
uint8_t pixelBuffer[kRowsMax * kRowBytesMax];

bool fileOpen;
bool videoStream;
bool audioStream;
int16_t soundBuffer[AUDIO_CAPTURE_BLOCKS * AUDIO_BLOCK_SAMPLES];

bool writeFailed;         // a sample could not be written: the capture ends
int64_t lastTcount;       // the cycle counter after the previous frame
uint64_t capturedTstates; // emulated T-states of the frames captured

void message(const char* text) { host_message_box("", text, PLATFORM_ICON_EXCLAMATION); }

// The machine's own frame rate: its clock over the T-states of a frame, as
// a reduced fraction (31 250 / 623 on the Tarvik models, 15 625 / 312 on
// the Veltra-16), so that the picture lasts as long as the sound. With
// frames > 0, the frame length is the average of `tstates` over that many
// frames, in thousandths of a T-state: a Tarvik frame runs a few T-states
// long, as its last instruction runs past the budget.
void frame_rate(uint32_t* rate, uint32_t* scale, uint64_t tstates = 0, uint32_t frames = 0) {
  uint64_t clock = modelTable[model()].clockHz;
  uint64_t frame = frame_tstates();
  if (frames > 0 && tstates > 0 && clock <= UINT32_MAX / 1000) {
    clock *= 1000;
    frame = (tstates * 1000 + frames / 2) / frames;
  }
  if (clock == 0 || frame == 0) {
    *rate = 50;
    *scale = 1;
    return;
  }
  uint64_t common = std::gcd(clock, frame);
  clock /= common;
  frame /= common;
  while (clock > UINT32_MAX || frame > UINT32_MAX) {
    clock >>= 1;
    frame >>= 1;
  }
  *rate = static_cast<uint32_t>(clock);
  *scale = static_cast<uint32_t>(frame ? frame : 1);
}

} // namespace

bool avi_setup(const FrameBitmap* bitmap, bool directDraw) {
  if (bitmap->header.size != sizeof(BitmapInfoHeader) || bitmap->header.bitCount != 1 ||
      bitmap->header.width != 512)
    return false;
  description = *bitmap;
  description.header.clrUsed = 2;
  std::memcpy(description.palette, bitmap->palette, sizeof description.palette);
  // DirectDraw shows the first 256 rows of the bitmap; record all of them.
  if (directDraw) description.header.height = -256;
  int32_t height = description.header.height;
  rows = static_cast<uint32_t>(height < 0 ? -height : height);
  rowBytes = static_cast<uint32_t>(description.header.width) * description.header.bitCount / 8;
  if (rows > kRowsMax || rowBytes > kRowBytesMax) return false;
  return true;
}

bool avi_start(const char* fileName, bool withSound) {
  if (fileOpen) avi_stop();
  if (!platform_avi_init()) {
    message("Could not init AVI subsystem!");
    return false;
  }
  if (!platform_avi_open(fileName)) {
    message("Could not open file stream!");
    platform_avi_exit();
    return false;
  }
  uint32_t rate = 50, scale = 1;
  frame_rate(&rate, &scale);
  uint32_t frames = 0;
  if (!platform_avi_create_video(description.header.width, static_cast<int32_t>(rows),
                                 description.header.sizeImage, rate, scale)) {
    message("Could not create video stream!");
    platform_avi_close(&frames);
    return false;
  }
  if (!platform_avi_choose_compressor(!script_mode_active())) {
    platform_avi_release_streams();
    platform_avi_close(&frames);
    return false;
  }
  description.header.height = static_cast<int32_t>(rows); // bottom-up rows in the file
  bool formatSet = platform_avi_set_video_format(&description, sizeof(BitmapInfoHeader) +
                                                                   4 * description.header.clrUsed);
  description.header.height = -static_cast<int32_t>(rows);
  if (!formatSet) {
    message("Could not create video stream!");
    platform_avi_release_streams();
    platform_avi_close(&frames);
    return false;
  }
  videoStream = true;
  writeFailed = false;
  lastTcount = cpu.tcount;
  capturedTstates = 0;
  audioStream = false;
  if (withSound) {
    if (platform_avi_create_audio()) {
      audioStream = true;
      audio_capture_start();
    } else {
      message("Could not create sound stream!");
      platform_avi_release_audio();
    }
  }
  fileOpen = true;
  aviVideoFrames = 0;
  aviAudioChunks = 0;
  aviAudioSamples = 0;
  status_message("Streaming video to file: %s...", fileName);
  return true;
}

void avi_frame(const FrameBitmap*, bool, const uint8_t* pixels) {
  for (uint32_t i = 0; i < rows; ++i)
    std::memcpy(pixelBuffer + i * rowBytes, pixels + (rows - 1 - i) * rowBytes, rowBytes);
  if (fileOpen && videoStream) {
    // Positions count from 0: the first frame is the stream's first sample.
    if (!platform_avi_write_video(aviVideoFrames, pixelBuffer, rows * rowBytes)) {
      writeFailed = true;
      aviState = AVI_OFF;
      avi_stop();
      return;
    }
    ++aviVideoFrames;
    // The frame's emulated length (a restart may have reset the counter).
    int64_t spent = cpu.tcount - lastTcount;
    uint64_t nominal = frame_tstates();
    capturedTstates += spent > 0 && static_cast<uint64_t>(spent) < 2 * nominal
                           ? static_cast<uint64_t>(spent)
                           : nominal;
    lastTcount = cpu.tcount;
  }
  // The sound is every block the output completed since the previous frame,
  // so that the stream runs on without gaps or repeats (about one 20 ms
  // block per frame).
  if (audioStream) {
    uint32_t samples = audio_capture_take(soundBuffer);
    if (samples > 0) {
      if (!platform_avi_write_audio(aviAudioSamples, reinterpret_cast<const uint8_t*>(soundBuffer),
                                    samples * 2)) {
        writeFailed = true;
        aviState = AVI_OFF;
        avi_stop();
        return;
      }
      aviAudioSamples += samples;
      ++aviAudioChunks;
    }
  }
  if (aviVideoFrames != 0 && aviVideoFrames % 100 == 0)
    status_message("Streaming video... %u frames written so far. Alt+I to stop.", aviVideoFrames);
}

void avi_stop() {
  if (!fileOpen) return;
  platform_avi_release_streams();
  uint8_t subject[29] = {'I', 'N', 'F', 'O', 'I', 'S', 'B', 'J', 17, 0, 0, 0};
  std::memcpy(subject + 12, "Vorn's emulators", 16);
  platform_avi_write_data("LIST", subject, sizeof subject);
  if (aviVideoFrames > 0) {
    uint32_t rate = 50, scale = 1;
    frame_rate(&rate, &scale, capturedTstates, aviVideoFrames);
    platform_avi_set_video_rate(rate, scale);
  }
  uint32_t frames = 0;
  bool ok = platform_avi_close(&frames) && !writeFailed;
  fileOpen = false;
  videoStream = false;
  if (audioStream) audio_capture_stop();
  audioStream = false;
  writeFailed = false;
  // The frames a reader finds in the file, fewer than those captured when
  // the file could not take them all.
  aviVideoFrames = frames;
  status_message("Video stream closed. %u frames written.", frames);
  if (!ok) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "A videó írása sikertelen (megtelt a lemez, vagy túl nagy a file).\n"
                  "A file lezárva, %u képkocka került bele.",
                  frames);
    host_message_box("Hiba!", text, PLATFORM_ICON_STOP);
  }
}

void avi_command() {
  if (aviState == AVI_CAPTURING) {
    aviState = AVI_OFF;
    avi_stop();
    return;
  }
  char name[260] = "";
  if (!host_file_dialog(file_dialog_kind(FILE_DIALOG_VIDEO), name, sizeof name, nullptr)) return;
  if (!avi_setup(&frameBitmap, hostOptions.VideoDriver == VIDEO_DRIVER_DIRECTDRAW)) {
    status_message("AVI: hiba történt.");
    aviState = AVI_OFF;
    return;
  }
  if (avi_start(name, currentSoundDriver != &silentSoundDriver)) aviState = AVI_CAPTURING;
}
