// The headless AVI file: our own RIFF writer for AVI 1.0 files with an
// index. Stream 0 holds uncompressed 1-bit frames at 50 per second with their
// two-colour palette; stream 1, when present, 48 kHz 16-bit mono PCM. The
// headers are written with the first sample and again, with the final
// counts, when the file is closed; extra data goes into space kept free
// after the headers, or after the index when it does not fit.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/display.h"
#include "host/platform.h"

namespace {

struct IndexEntry {
  char id[4];
  uint32_t offset; // from the "movi" code
  uint32_t size;
};

constexpr uint32_t kReserve = 64; // room for extra data after the headers
constexpr uint32_t kKeyFrame = 0x10;

std::FILE* file;
bool failed;
bool headerWritten;
bool video, audio;
int32_t width, rows;
uint8_t videoFormat[48];
uint32_t videoFormatSize;
uint32_t frames;
uint32_t audioBytes;
uint32_t largestChunk;
long moviStart; // file offset of the "movi" code
std::vector<IndexEntry> chunkIndex;
std::vector<std::pair<std::string, std::string>> extraData;

void put16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& s, uint32_t v) {
  put16(s, v & 0xFFFF);
  put16(s, v >> 16);
}
void put_code(std::string& s, const char* code) { s.append(code, 4); }
void put_chunk(std::string& s, const char* code, const std::string& body) {
  put_code(s, code);
  put32(s, static_cast<uint32_t>(body.size()));
  s += body;
  if (body.size() & 1) s += '\0';
}
std::string list(const char* type, const std::string& body) {
  std::string s;
  put_code(s, type);
  s += body;
  return s;
}

// Extra data goes into the reserve in order while it fits, leaving room for
// the JUNK chunk that fills the rest.
bool in_reserve(size_t i) {
  size_t used = 0;
  for (size_t k = 0; k < extraData.size(); ++k) {
    size_t chunk = 8 + extraData[k].second.size() + (extraData[k].second.size() & 1);
    bool fits = used + chunk + 8 <= kReserve;
    if (fits) used += chunk;
    if (k == i) return fits;
  }
  return false;
}

uint32_t frame_bytes() { return static_cast<uint32_t>(rows) * 64; }

std::string stream_header(bool isVideo) {
  std::string h;
  put_code(h, isVideo ? "vids" : "auds");
  put32(h, 0); // no handler
  put32(h, 0); // flags
  put32(h, 0); // priority and language
  put32(h, 0); // initial frames
  put32(h, 1); // scale
  put32(h, isVideo ? 50 : 48000);
  put32(h, 0); // start
  put32(h, isVideo ? frames : audioBytes / 2);
  put32(h, isVideo ? frame_bytes() : 96000);
  put32(h, isVideo ? 0xFFFFFFFF : 0); // quality
  put32(h, isVideo ? 0 : 2);          // sample size
  put16(h, 0);
  put16(h, 0);
  put16(h, isVideo ? static_cast<uint32_t>(width) : 0);
  put16(h, isVideo ? static_cast<uint32_t>(rows) : 0);
  return h;
}

// Everything before the "movi" list, padded with the reserve.
std::string headers() {
  std::string avih;
  put32(avih, 20000); // microseconds per frame
  put32(avih, frame_bytes() * 50 + (audio ? 96000 : 0));
  put32(avih, 0);
  put32(avih, 0x10); // has an index
  put32(avih, frames);
  put32(avih, 0);
  put32(avih, audio ? 2 : 1);
  put32(avih, frame_bytes() > 96000 ? frame_bytes() : (audio ? 96000 : frame_bytes()));
  put32(avih, static_cast<uint32_t>(width));
  put32(avih, static_cast<uint32_t>(rows));
  for (int i = 0; i < 4; ++i) put32(avih, 0);

  std::string videoList, audioList, body;
  put_chunk(videoList, "strh", stream_header(true));
  put_chunk(videoList, "strf", std::string(reinterpret_cast<char*>(videoFormat), videoFormatSize));
  put_chunk(body, "avih", avih);
  put_chunk(body, "LIST", list("strl", videoList));
  if (audio) {
    std::string wave;
    put16(wave, 1); // PCM
    put16(wave, 1);
    put32(wave, 48000);
    put32(wave, 96000);
    put16(wave, 2);
    put16(wave, 16);
    put16(wave, 0);
    put_chunk(audioList, "strh", stream_header(false));
    put_chunk(audioList, "strf", wave);
    put_chunk(body, "LIST", list("strl", audioList));
  }
  std::string s;
  put_code(s, "RIFF");
  put32(s, 0); // patched at close
  put_code(s, "AVI ");
  put_chunk(s, "LIST", list("hdrl", body));
  // The reserve: extra data that fits, then a JUNK chunk for the rest.
  std::string reserve;
  for (size_t i = 0; i < extraData.size(); ++i)
    if (in_reserve(i)) put_chunk(reserve, extraData[i].first.c_str(), extraData[i].second);
  put_chunk(s, "JUNK", std::string(kReserve - reserve.size() - 8, '\0'));
  s.insert(s.size() - (kReserve - reserve.size()), reserve);
  return s;
}

void write(const std::string& s) {
  if (file && !failed && std::fwrite(s.data(), 1, s.size(), file) != s.size()) failed = true;
}

void write_headers_once() {
  if (headerWritten || !file) return;
  std::string h = headers();
  write(h);
  moviStart = static_cast<long>(h.size()) + 8;
  std::string movi;
  put_code(movi, "LIST");
  put32(movi, 0); // patched at close
  put_code(movi, "movi");
  write(movi);
  headerWritten = true;
}

bool write_sample(const char* id, const uint8_t* data, uint32_t bytes) {
  if (!file) return false;
  write_headers_once();
  long position = std::ftell(file);
  std::string chunk;
  put_chunk(chunk, id, std::string(reinterpret_cast<const char*>(data), bytes));
  write(chunk);
  IndexEntry entry;
  std::memcpy(entry.id, id, 4);
  entry.offset = static_cast<uint32_t>(position - moviStart);
  entry.size = bytes;
  chunkIndex.push_back(entry);
  if (bytes > largestChunk) largestChunk = bytes;
  return !failed;
}

void patch32(long offset, uint32_t value) {
  std::string s;
  put32(s, value);
  if (std::fseek(file, offset, SEEK_SET) != 0) failed = true;
  write(s);
}

void forget() {
  file = nullptr;
  failed = false;
  headerWritten = false;
  video = audio = false;
  frames = audioBytes = largestChunk = 0;
  chunkIndex.clear();
  extraData.clear();
}

} // namespace

bool platform_avi_init() { return true; }
void platform_avi_exit() {}

bool platform_avi_open(const char* fileName) {
  if (file) platform_avi_close();
  forget();
  file = std::fopen(fileName, "wb");
  if (!file) return false;
  // Ten minutes of frames and sound chunks without growing.
  chunkIndex.reserve(2 * 30000);
  return true;
}

bool platform_avi_create_video(int32_t w, int32_t r, uint32_t) {
  if (!file || w <= 0 || r <= 0 || w != 512 || r > 512) return false;
  width = w;
  rows = r;
  return true;
}

bool platform_avi_choose_compressor() { return file != nullptr; }

bool platform_avi_set_video_format(const FrameBitmap* format, uint32_t formatSize) {
  if (!file || formatSize > sizeof videoFormat || formatSize < sizeof(BitmapInfoHeader))
    return false;
  std::memcpy(videoFormat, format, formatSize);
  videoFormatSize = formatSize;
  video = true;
  return true;
}

bool platform_avi_create_audio() {
  if (!file || headerWritten) return false;
  audio = true;
  return true;
}

bool platform_avi_write_video(uint32_t, const uint8_t* data, uint32_t bytes) {
  if (!video) return false;
  ++frames;
  return write_sample("00db", data, bytes);
}

bool platform_avi_write_audio(uint32_t, const uint8_t* data, uint32_t bytes) {
  if (!audio) return false;
  audioBytes += bytes;
  return write_sample("01wb", data, bytes);
}

void platform_avi_release_audio() {
  if (!headerWritten) audio = false;
}

void platform_avi_release_streams() {}

bool platform_avi_write_data(const char* fourcc, const uint8_t* data, uint32_t bytes) {
  if (!file) return false;
  extraData.emplace_back(std::string(fourcc, 4),
                         std::string(reinterpret_cast<const char*>(data), bytes));
  return true;
}

void platform_avi_close() {
  if (!file) return;
  if (video) {
    write_headers_once();
    std::fseek(file, 0, SEEK_END);
    long moviEnd = std::ftell(file);
    std::string idx;
    for (const IndexEntry& e : chunkIndex) {
      put_code(idx, e.id);
      put32(idx, kKeyFrame);
      put32(idx, e.offset);
      put32(idx, e.size);
    }
    std::string chunk;
    put_chunk(chunk, "idx1", idx);
    for (size_t i = 0; i < extraData.size(); ++i)
      if (!in_reserve(i)) put_chunk(chunk, extraData[i].first.c_str(), extraData[i].second);
    write(chunk);
    long end = std::ftell(file);
    // Headers again with the final counts (same size as the first time).
    std::fseek(file, 0, SEEK_SET);
    write(headers());
    patch32(4, static_cast<uint32_t>(end - 8));
    patch32(moviStart - 4, static_cast<uint32_t>(moviEnd - moviStart));
  }
  if (std::fclose(file) != 0) failed = true;
  if (failed) std::fputs("AVI: the file could not be written completely.\n", stderr);
  forget();
}
