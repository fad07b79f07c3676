// The AVI file of the capture, through AVIFile and Video for Windows: a
// video stream made compressed with the user's choice of compressor, an
// optional PCM sound stream, and extra data records.
//
// AVIFile writes AVI 1.0 files with 32-bit offsets, which break as a file
// nears 2 GiB: the capture is stopped (the write refused) before the bytes
// written, their chunk headers and the index would pass kFileLimit.
#include <windows.h> // before the other Windows headers, which need it

#include <vfw.h>

#include "host/output/display.h"
#include "host/platform.h"
#include "host/script/script_mode.h"
#include "host/win32/sound.h"
#include "host/win32/win32.h"

namespace {

PAVIFILE file;
PAVISTREAM video;
PAVISTREAM compressed;
PAVISTREAM audio;
AVICOMPRESSOPTIONS options;
uint64_t fileBytes; // written so far, with chunk headers and index entries
uint32_t framesWritten;

constexpr uint64_t kFileLimit = (uint64_t{2} << 30) - (uint64_t{64} << 20);
constexpr uint64_t kChunkOverhead = 8 + 16 + 1; // header, idx1 entry, padding

// False when a chunk of this size would take the file past the limit.
bool room_for(uint32_t bytes) { return fileBytes + bytes + kChunkOverhead <= kFileLimit; }

void release(PAVISTREAM* stream) {
  if (*stream) AVIStreamRelease(*stream);
  *stream = nullptr;
}

} // namespace

bool platform_avi_init() {
  if (HIWORD(VideoForWindowsVersion()) < 0x010A) return false;
  AVIFileInit();
  return true;
}

void platform_avi_exit() { AVIFileExit(); }

bool platform_avi_open(const char* fileName) {
  if (AVIFileOpenA(&file, to_ansi(fileName).c_str(), OF_WRITE | OF_CREATE, nullptr) != AVIERR_OK) {
    file = nullptr;
    return false;
  }
  return true;
}

bool platform_avi_create_video(int32_t width, int32_t rows, uint32_t suggestedBufferSize,
                               uint32_t rate, uint32_t scale) {
  if (!file || rate == 0 || scale == 0) return false;
  fileBytes = 8192; // the headers
  framesWritten = 0;
  AVISTREAMINFOA info;
  ZeroMemory(&info, sizeof info);
  info.fccType = streamtypeVIDEO;
  info.fccHandler = 0;
  info.dwScale = scale;
  info.dwRate = rate;
  info.dwSuggestedBufferSize = suggestedBufferSize;
  SetRect(&info.rcFrame, 0, 0, width, rows);
  if (AVIFileCreateStreamA(file, &video, &info) != AVIERR_OK) {
    video = nullptr;
    return false;
  }
  return true;
}

bool platform_avi_choose_compressor(bool ask) {
  ZeroMemory(&options, sizeof options);
  if (!ask) {
    // Nobody to choose: the frames are stored as they are.
    options.fccType = streamtypeVIDEO;
    options.fccHandler = mmioFOURCC('D', 'I', 'B', ' ');
    script_log("dialog: compressor: uncompressed");
    return true;
  }
  AVICOMPRESSOPTIONS* list[1] = {&options};
  return AVISaveOptions(mainWindow, 0, 1, &video, list) != 0;
}

bool platform_avi_set_video_format(const FrameBitmap* format, uint32_t formatSize) {
  if (AVIMakeCompressedStream(&compressed, video, &options, nullptr) != AVIERR_OK) {
    compressed = nullptr;
    return false;
  }
  return AVIStreamSetFormat(compressed, 0, const_cast<FrameBitmap*>(format),
                            static_cast<LONG>(formatSize)) == AVIERR_OK;
}

void platform_avi_set_video_rate(uint32_t, uint32_t) {}

bool platform_avi_create_audio() {
  if (!file) return false;
  WAVEFORMATEX format = win_sound_format(48000);
  AVISTREAMINFOA info;
  ZeroMemory(&info, sizeof info);
  info.fccType = streamtypeAUDIO;
  info.dwScale = 1;
  info.dwRate = 48000;
  info.dwSuggestedBufferSize = 96000;
  info.dwQuality = 0;
  info.dwSampleSize = format.nBlockAlign;
  if (AVIFileCreateStreamA(file, &audio, &info) != AVIERR_OK) {
    audio = nullptr;
    return false;
  }
  return AVIStreamSetFormat(audio, 0, &format, sizeof format) == AVIERR_OK;
}

bool platform_avi_write_video(uint32_t position, const uint8_t* data, uint32_t bytes) {
  // A compressor may make the frame smaller, never much larger.
  if (!compressed || !room_for(bytes)) return false;
  LONG written = 0;
  if (AVIStreamWrite(compressed, static_cast<LONG>(position), 1, const_cast<uint8_t*>(data),
                     static_cast<LONG>(bytes), AVIIF_KEYFRAME, nullptr, &written) != AVIERR_OK)
    return false;
  fileBytes +=
      static_cast<uint64_t>(written > 0 ? written : static_cast<LONG>(bytes)) + kChunkOverhead;
  ++framesWritten;
  return true;
}

bool platform_avi_write_audio(uint32_t samplePosition, const uint8_t* data, uint32_t bytes) {
  if (!audio || !room_for(bytes)) return false;
  if (AVIStreamWrite(audio, static_cast<LONG>(samplePosition), static_cast<LONG>(bytes / 2),
                     const_cast<uint8_t*>(data), static_cast<LONG>(bytes), AVIIF_KEYFRAME, nullptr,
                     nullptr) != AVIERR_OK)
    return false;
  fileBytes += bytes + kChunkOverhead;
  return true;
}

void platform_avi_release_audio() { release(&audio); }

void platform_avi_release_streams() {
  release(&video);
  release(&compressed);
  release(&audio);
}

bool platform_avi_write_data(const char* fourcc, const uint8_t* data, uint32_t bytes) {
  if (!file) return false;
  return AVIFileWriteData(file, mmioStringToFOURCCA(fourcc, 0), const_cast<uint8_t*>(data),
                          static_cast<LONG>(bytes)) == AVIERR_OK;
}

bool platform_avi_close(uint32_t* framesInFile) {
  *framesInFile = file ? framesWritten : 0;
  platform_avi_release_streams();
  // AVIFileRelease writes the headers and the index; it reports nothing.
  if (file) AVIFileRelease(file);
  file = nullptr;
  AVIFileExit();
  return true;
}
