// AVI capture: stream set-up, one video frame per emulated frame with the
// sound output since the previous one, and the closing subject record. The
// file itself is the platform's.
#include "host/avi.h"

#include <cstring>

#include "host/audio.h"
#include "host/display.h"
#include "host/file_dialogs.h"
#include "host/platform.h"
#include "host/settings.h"
#include "host/sound_driver.h"
#include "host/status.h"

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

void message(const char* text) { platform_message_box("", text, PLATFORM_ICON_EXCLAMATION); }

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
  if (!platform_avi_create_video(description.header.width, static_cast<int32_t>(rows),
                                 description.header.sizeImage)) {
    message("Could not create video stream!");
    platform_avi_close();
    return false;
  }
  if (!platform_avi_choose_compressor()) {
    platform_avi_release_streams();
    platform_avi_close();
    return false;
  }
  description.header.height = static_cast<int32_t>(rows); // bottom-up rows in the file
  bool formatSet = platform_avi_set_video_format(&description, sizeof(BitmapInfoHeader) +
                                                                   4 * description.header.clrUsed);
  description.header.height = -static_cast<int32_t>(rows);
  if (!formatSet) {
    message("Could not create video stream!");
    platform_avi_release_streams();
    platform_avi_close();
    return false;
  }
  videoStream = true;
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
    platform_avi_write_video(aviVideoFrames, pixelBuffer, rows * rowBytes);
    ++aviVideoFrames;
  }
  // The sound is every block the output completed since the previous frame,
  // so that the stream runs on without gaps or repeats (about one 20 ms
  // block per frame).
  if (audioStream) {
    uint32_t samples = audio_capture_take(soundBuffer);
    if (samples > 0) {
      platform_avi_write_audio(aviAudioSamples, reinterpret_cast<const uint8_t*>(soundBuffer),
                               samples * 2);
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
  platform_avi_close();
  fileOpen = false;
  videoStream = false;
  if (audioStream) audio_capture_stop();
  audioStream = false;
  status_message("Video stream closed. %u frames written.", aviVideoFrames);
}

void avi_command() {
  if (aviState == AVI_CAPTURING) {
    aviState = AVI_OFF;
    avi_stop();
    return;
  }
  char name[260] = "";
  if (!platform_file_dialog(file_dialog_kind(FILE_DIALOG_VIDEO), name, sizeof name, nullptr))
    return;
  if (!avi_setup(&frameBitmap, VideoDriver == VIDEO_DRIVER_DIRECTDRAW)) {
    status_message("AVI: hiba történt.");
    aviState = AVI_OFF;
    return;
  }
  if (avi_start(name, currentSoundDriver != &silentSoundDriver)) aviState = AVI_CAPTURING;
}
