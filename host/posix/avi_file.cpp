// The headless AVI file: our own RIFF writer. Stream 0 holds uncompressed
// 1-bit frames at the machine's frame rate with their two-colour palette;
// stream 1, when present, 48 kHz 16-bit mono PCM.
//
// A file stays a plain AVI 1.0 file (one RIFF "AVI " part with an idx1
// index) while it is below the part size (1 GiB). Past it the file goes on
// in the OpenDML (AVI 2.0) way: further RIFF "AVIX" parts, each with its own
// "movi" list and a standard index per stream ("ix00", "ix01") at its end,
// a super index ("indx") per stream in the headers, and the total frame
// count in "odml"/"dmlh". The first part keeps its idx1 for old readers.
// The super indexes and the odml list have room kept for them as JUNK in
// the headers; they take its place when the file is closed.
//
// The headers are written with the first sample and again, with the final
// counts, when the file is closed; extra data goes into space kept free
// after the headers, or after the index when it does not fit.
//
// A capture that never gets its close (the program killed, a crash, the
// power gone) is still readable up to at most half a second of frames
// before the end: every half second the last part's RIFF and "movi" sizes
// and the frame and sample counts in the headers are brought up to what is
// in the file, a few 4-byte writes in place, and at a new part the headers
// are written again with the super index of the finished parts. Until the
// first part ends the headers do not claim an idx1: an old index can only
// follow the whole "movi" list, so keeping one current would mean writing
// all of it again each time. Readers walk the "movi" list of such a file,
// and of the part being written, instead.
//
// The file is unbuffered and every write checked. After the first failed
// write (a full disk) nothing more goes into the file: the close cuts off
// the sample that failed and finishes the headers and the index for what
// is in the file before it.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "host/output/display.h"
#include "host/platform.h"
#include "host/posix/posix.h"
#include "media/save_file.h"

namespace {

constexpr uint32_t kReserve = 64; // room for extra data after the headers
constexpr uint32_t kKeyFrame = 0x10;
constexpr uint32_t kHasIndex = 0x10;
constexpr uint32_t kSuperEntries = 256;                        // parts the file can have
constexpr uint32_t kSuperIndexBytes = 24 + 16 * kSuperEntries; // "indx" body
constexpr uint32_t kOdmlBytes = 4 + 8 + 248;                   // "odml" list body
constexpr uint64_t kDefaultPartLimit = uint64_t{1} << 30;

struct IndexEntry {
  uint8_t stream;  // 0 video, 1 audio
  uint64_t offset; // of the chunk's header in the file
  uint32_t size;
};
struct SuperEntry {
  uint64_t offset; // of the standard index chunk
  uint32_t size;   // with its header
  uint32_t duration;
};
struct Part {
  uint64_t riff;     // "RIFF"
  uint64_t moviList; // "LIST" of the "movi" list
  uint32_t frames;   // video frames in it
  uint64_t audioBytes;
  uint64_t end; // once it is ended
};

uint64_t partLimit = kDefaultPartLimit;
uint64_t pendingGap;

std::FILE* file;
std::string fileName;
bool failed;
bool partOpen; // the last part's movi list is still open
bool noIndex;  // the file could not take its index
bool headerWritten;
bool video, audio;
int32_t width, rows;
uint32_t frameRate = 50, frameScale = 1;
uint8_t videoFormat[48];
uint32_t videoFormatSize;
uint32_t frames;     // in the file
uint64_t audioBytes; // in the file
uint32_t largestChunk;
uint64_t position; // where the next chunk goes: the end of what was written
std::vector<Part> parts;
std::vector<IndexEntry> partIndex; // the current part's chunks
std::vector<SuperEntry> superIndex[2];
std::vector<std::pair<std::string, std::string>> extraData;
bool closing;              // the headers are the final ones
uint32_t checkpointFrames; // frames when the headers were last brought up to date
// Where headers() put the counts that are kept current (file offsets).
struct CountFields {
  uint64_t avihFrames, videoLength, audioLength, dmlhFrames;
} fields;

void put16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& s, uint32_t v) {
  put16(s, v & 0xFFFF);
  put16(s, v >> 16);
}
void put64(std::string& s, uint64_t v) {
  put32(s, static_cast<uint32_t>(v));
  put32(s, static_cast<uint32_t>(v >> 32));
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

bool seek(uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

bool cut(uint64_t length) {
  std::fflush(file);
#ifdef _WIN32
  return _chsize_s(_fileno(file), static_cast<__int64>(length)) == 0;
#else
  return ftruncate(fileno(file), static_cast<off_t>(length)) == 0;
#endif
}

// Writes at `offset`; false (and the writer failed) when not all of it got
// there.
bool write_at(uint64_t offset, const void* data, size_t bytes) {
  if (!file || failed) return false;
  if (!seek(offset) || std::fwrite(data, 1, bytes, file) != bytes) failed = true;
  return !failed;
}
bool append(const std::string& s) {
  if (!write_at(position, s.data(), s.size())) return false;
  position += s.size();
  return true;
}
bool patch32(uint64_t offset, uint32_t value) {
  std::string s;
  put32(s, value);
  return write_at(offset, s.data(), s.size());
}

bool multipart() { return parts.size() > 1; }

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

uint32_t first_part_frames() { return parts.empty() ? frames : parts[0].frames; }

std::string stream_header(bool isVideo) {
  std::string h;
  put_code(h, isVideo ? "vids" : "auds");
  put32(h, 0); // no handler
  put32(h, 0); // flags
  put32(h, 0); // priority and language
  put32(h, 0); // initial frames
  put32(h, isVideo ? frameScale : 1);
  put32(h, isVideo ? frameRate : 48000);
  put32(h, 0); // start
  put32(h, isVideo ? frames : static_cast<uint32_t>(audioBytes / 2));
  put32(h, isVideo ? frame_bytes() : 96000);
  put32(h, isVideo ? 0xFFFFFFFF : 0); // quality
  put32(h, isVideo ? 0 : 2);          // sample size
  put16(h, 0);
  put16(h, 0);
  put16(h, isVideo ? static_cast<uint32_t>(width) : 0);
  put16(h, isVideo ? static_cast<uint32_t>(rows) : 0);
  return h;
}

// The stream's super index once the file has more than one part; before
// that, JUNK of the same size.
void put_super_index(std::string& s, int stream) {
  std::string body;
  if (multipart()) {
    put16(body, 4); // longs per entry
    body += '\0';   // sub-type
    body += '\0';   // an index of indexes
    put32(body, static_cast<uint32_t>(superIndex[stream].size()));
    put_code(body, stream == 0 ? "00db" : "01wb");
    for (int i = 0; i < 3; ++i) put32(body, 0);
    for (const SuperEntry& e : superIndex[stream]) {
      put64(body, e.offset);
      put32(body, e.size);
      put32(body, e.duration);
    }
  }
  body.resize(kSuperIndexBytes, '\0');
  put_chunk(s, multipart() ? "indx" : "JUNK", body);
}

// Everything before the "movi" list, padded with the reserve.
std::string headers() {
  std::string avih;
  uint32_t microseconds =
      static_cast<uint32_t>((uint64_t{1000000} * frameScale + frameRate / 2) / frameRate);
  uint64_t videoRate = uint64_t{frame_bytes()} * frameRate / frameScale;
  put32(avih, microseconds);
  put32(avih, static_cast<uint32_t>(videoRate + (audio ? 96000 : 0)));
  put32(avih, 0);
  // While the file grows only a finished first part has its idx1.
  put32(avih, noIndex || (!closing && !multipart()) ? 0 : kHasIndex);
  put32(avih, first_part_frames()); // the first part's; the total is in dmlh
  put32(avih, 0);
  put32(avih, audio ? 2 : 1);
  put32(avih, frame_bytes() > 96000 ? frame_bytes() : (audio ? 96000 : frame_bytes()));
  put32(avih, static_cast<uint32_t>(width));
  put32(avih, static_cast<uint32_t>(rows));
  for (int i = 0; i < 4; ++i) put32(avih, 0);

  std::string videoList, audioList, body;
  put_chunk(videoList, "strh", stream_header(true));
  put_chunk(videoList, "strf", std::string(reinterpret_cast<char*>(videoFormat), videoFormatSize));
  put_super_index(videoList, 0);
  // The body starts after "RIFF", "AVI " and the "hdrl" list's head; the
  // length of a stream is at 32 in its "strh", after the list's head.
  constexpr uint64_t kBody = 24, kStrhLength = 12 + 8 + 32;
  fields.avihFrames = kBody + 8 + 16;
  put_chunk(body, "avih", avih);
  fields.videoLength = kBody + body.size() + kStrhLength;
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
    put_super_index(audioList, 1);
    fields.audioLength = kBody + body.size() + kStrhLength;
    put_chunk(body, "LIST", list("strl", audioList));
  }
  std::string odml;
  if (multipart()) {
    std::string dmlh;
    put32(dmlh, frames);
    dmlh.resize(248, '\0');
    put_code(odml, "odml");
    put_chunk(odml, "dmlh", dmlh);
    fields.dmlhFrames = kBody + body.size() + 8 + 4 + 8;
    put_chunk(body, "LIST", odml);
  } else {
    put_chunk(body, "JUNK", std::string(kOdmlBytes, '\0'));
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

void begin_movi(const char* riffType) {
  Part part{position, 0, 0, 0, 0};
  std::string s;
  if (riffType) {
    put_code(s, "RIFF");
    put32(s, 0); // patched when the part ends
    put_code(s, riffType);
  }
  part.moviList = position + s.size();
  put_code(s, "LIST");
  put32(s, 0); // patched when the part ends
  put_code(s, "movi");
  if (!append(s)) return;
  parts.push_back(part);
  partOpen = true;
}

void write_headers_once() {
  if (headerWritten || !file) return;
  headerWritten = true;
  position = 0;
  std::string h = headers();
  if (!append(h)) return;
  begin_movi(nullptr);
  if (!parts.empty()) parts[0].riff = 0; // the first part is the file's RIFF
}

// The part's standard index of one stream, at the end of its "movi" list.
bool write_standard_index(int stream) {
  const Part& part = parts.back();
  uint64_t base = part.moviList + 8; // the "movi" code
  std::string body;
  uint32_t count = 0;
  for (const IndexEntry& e : partIndex) count += e.stream == stream;
  put16(body, 2); // longs per entry
  body += '\0';
  body += '\x01'; // an index of chunks
  put32(body, count);
  put_code(body, stream == 0 ? "00db" : "01wb");
  put64(body, base);
  put32(body, 0);
  for (const IndexEntry& e : partIndex) {
    if (e.stream != stream) continue;
    put32(body, static_cast<uint32_t>(e.offset + 8 - base)); // to the data
    put32(body, e.size);                                     // all key frames
  }
  std::string chunk;
  put_chunk(chunk, stream == 0 ? "ix00" : "ix01", body);
  uint64_t at = position;
  if (!append(chunk)) return false;
  uint32_t duration = stream == 0 ? part.frames : static_cast<uint32_t>(part.audioBytes / 2);
  superIndex[stream].push_back({at, static_cast<uint32_t>(chunk.size()), duration});
  return true;
}

// The old index of the first part, after its "movi" list.
bool write_idx1() {
  uint64_t base = parts[0].moviList + 8;
  std::string idx;
  for (const IndexEntry& e : partIndex) {
    put_code(idx, e.stream == 0 ? "00db" : "01wb");
    put32(idx, kKeyFrame);
    put32(idx, static_cast<uint32_t>(e.offset - base));
    put32(idx, e.size);
  }
  std::string chunk;
  put_chunk(chunk, "idx1", idx);
  return append(chunk);
}

// Ends the current part: its standard indexes (in a file of several parts),
// the "movi" size, the idx1 of the first part, the RIFF size.
bool end_part(bool more) {
  Part& part = parts.back();
  bool ok = true;
  if (more || multipart()) {
    ok = write_standard_index(0);
    if (ok && audio) ok = write_standard_index(1);
  }
  ok = ok && patch32(part.moviList + 4, static_cast<uint32_t>(position - part.moviList - 8));
  if (ok && parts.size() == 1) ok = write_idx1();
  if (ok && !more) {
    std::string tail;
    for (size_t i = 0; i < extraData.size(); ++i)
      if (!in_reserve(i)) put_chunk(tail, extraData[i].first.c_str(), extraData[i].second);
    ok = tail.empty() || append(tail);
  }
  part.end = position;
  return ok && patch32(part.riff + 4, static_cast<uint32_t>(position - part.riff - 8));
}

// Brings the headers up to the samples in the file: the last part's sizes
// and the counts. A write that fails leaves the writer failed.
void keep_current() {
  const Part& part = parts.back();
  checkpointFrames = frames;
  (void)(patch32(part.moviList + 4, static_cast<uint32_t>(position - part.moviList - 8)) &&
         patch32(part.riff + 4, static_cast<uint32_t>(position - part.riff - 8)) &&
         patch32(fields.avihFrames, first_part_frames()) && patch32(fields.videoLength, frames) &&
         (!audio || patch32(fields.audioLength, static_cast<uint32_t>(audioBytes / 2))) &&
         (!multipart() || patch32(fields.dmlhFrames, frames)));
}

// The headers again, with the super index of the finished parts, and the
// size of the first part after them.
bool rewrite_headers() {
  std::string h = headers();
  return write_at(0, h.data(), h.size()) && patch32(4, static_cast<uint32_t>(parts[0].end - 8));
}

bool write_sample(int stream, const uint8_t* data, uint32_t bytes) {
  if (!file || failed) return false;
  write_headers_once();
  if (failed) return false;
  uint64_t chunkBytes = 8 + uint64_t{bytes} + (bytes & 1);
  if (position + chunkBytes - parts.back().riff > partLimit && !partIndex.empty()) {
    // A new part, while the super index has room for it.
    if (parts.size() == kSuperEntries || !end_part(true)) {
      failed = true;
      return false;
    }
    partOpen = false;
    partIndex.clear();
    begin_movi("AVIX");
    if (failed || !rewrite_headers()) return false;
  }
  if (pendingGap >= 8) {
    // Tests: a hole of this size (sparse on disk), skipped as JUNK.
    std::string junk;
    put_code(junk, "JUNK");
    put32(junk, static_cast<uint32_t>(pendingGap - 8));
    if (!append(junk)) return false;
    position += pendingGap - 8;
    pendingGap = 0;
  }
  std::string header;
  put_code(header, stream == 0 ? "00db" : "01wb");
  put32(header, bytes);
  uint64_t at = position;
  static const uint8_t pad = 0;
  if (!append(header) || !write_at(position, data, bytes) ||
      ((bytes & 1) && !write_at(position + bytes, &pad, 1))) {
    position = at; // the chunk that failed is cut off at the close
    return false;
  }
  position += bytes + (bytes & 1);
  partIndex.push_back({static_cast<uint8_t>(stream), at, bytes});
  if (stream == 0) {
    ++frames;
    ++parts.back().frames;
    // Every half second of frames. A write that fails here stops the next
    // sample; this one is in the file.
    uint32_t every = frameRate / frameScale / 2;
    if (frames - checkpointFrames >= (every > 0 ? every : 1)) keep_current();
  } else {
    audioBytes += bytes;
    parts.back().audioBytes += bytes;
  }
  if (bytes > largestChunk) largestChunk = bytes;
  return true;
}

void forget() {
  file = nullptr;
  fileName.clear();
  failed = false;
  partOpen = false;
  noIndex = false;
  headerWritten = false;
  video = audio = false;
  frames = largestChunk = 0;
  checkpointFrames = 0;
  closing = false;
  fields = CountFields{};
  audioBytes = 0;
  position = 0;
  pendingGap = 0;
  frameRate = 50;
  frameScale = 1;
  parts.clear();
  partIndex.clear();
  superIndex[0].clear();
  superIndex[1].clear();
  extraData.clear();
}

// After a failed write: the file is cut back to what was complete (the
// counts are those of the samples in it), and the close tries to finish the
// file there.
void recover() {
  failed = false;
  cut(position);
}

// The close found no room for the last part's index. In a file of several
// parts that part cannot be found without it and goes; a single part is
// left without idx1, and readers walk its "movi" list.
void drop_unindexed_part() {
  if (multipart()) {
    const Part last = parts.back();
    frames -= last.frames;
    audioBytes -= last.audioBytes;
    position = last.riff;
    cut(position);
    parts.pop_back();
    for (auto& entries : superIndex)
      if (entries.size() > parts.size()) entries.resize(parts.size());
  } else {
    noIndex = true;
    Part& part = parts.back();
    part.end = position;
    patch32(part.moviList + 4, static_cast<uint32_t>(position - part.moviList - 8));
  }
  partOpen = false;
}

} // namespace

bool platform_avi_init() { return true; }
void platform_avi_exit() {}

bool platform_avi_open(const char* name) {
  uint32_t ignored;
  if (file) platform_avi_close(&ignored);
  forget();
  file = std::fopen(name, "wb");
  if (!file) return false;
  fileName = name;
  // Unbuffered: a chunk is in the file, or its write failed, when fwrite
  // returns.
  std::setvbuf(file, nullptr, _IONBF, 0);
  // A part's frames and sound chunks without growing.
  partIndex.reserve(2 * 40000);
  parts.reserve(kSuperEntries);
  for (auto& s : superIndex) s.reserve(kSuperEntries);
  return true;
}

bool platform_avi_create_video(int32_t w, int32_t r, uint32_t, uint32_t rate, uint32_t scale) {
  if (!file || w <= 0 || r <= 0 || w != 512 || r > 512 || rate == 0 || scale == 0) return false;
  width = w;
  rows = r;
  frameRate = rate;
  frameScale = scale;
  return true;
}

bool platform_avi_choose_compressor(bool) { return file != nullptr; }

bool platform_avi_set_video_format(const FrameBitmap* format, uint32_t formatSize) {
  if (!file || formatSize > sizeof videoFormat || formatSize < sizeof(BitmapInfoHeader))
    return false;
  std::memcpy(videoFormat, format, formatSize);
  videoFormatSize = formatSize;
  video = true;
  return true;
}

void platform_avi_set_video_rate(uint32_t rate, uint32_t scale) {
  if (rate == 0 || scale == 0) return;
  frameRate = rate;
  frameScale = scale;
}

bool platform_avi_create_audio() {
  if (!file || headerWritten) return false;
  audio = true;
  return true;
}

bool platform_avi_write_video(uint32_t, const uint8_t* data, uint32_t bytes) {
  return video && write_sample(0, data, bytes);
}

bool platform_avi_write_audio(uint32_t, const uint8_t* data, uint32_t bytes) {
  return audio && write_sample(1, data, bytes);
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

bool platform_avi_close(uint32_t* framesInFile) {
  *framesInFile = 0;
  if (!file) return false;
  bool ok = !failed;
  if (video) {
    write_headers_once();
    if (failed) recover();
    if (partOpen) {
      uint64_t end = position;
      if (!end_part(false)) {
        ok = false;
        recover();
        position = end;
        cut(end);
        drop_unindexed_part();
      }
    }
    if (parts.empty()) {
      // Not even the headers fit: nothing of the capture is readable.
      std::fclose(file);
      remove_unstarted_file(fileName.c_str());
      forget();
      std::fputs("AVI: the file could not be written.\n", stderr);
      return false;
    }
    // Headers again with the final counts (same size as the first time),
    // and the first part's size after them.
    closing = true;
    std::string h = headers();
    if (!write_at(0, h.data(), h.size()) || !patch32(4, static_cast<uint32_t>(parts[0].end - 8)))
      ok = false;
  }
  if (std::fclose(file) != 0) ok = false;
  *framesInFile = frames;
  if (!ok) std::fputs("AVI: the file could not be written completely.\n", stderr);
  forget();
  return ok;
}

void posix_avi_set_part_limit(uint64_t bytes) { partLimit = bytes ? bytes : kDefaultPartLimit; }
void posix_avi_insert_gap(uint64_t bytes) { pendingGap = bytes & ~uint64_t{1}; }
