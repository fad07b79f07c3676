// Replays: the recording written as the run goes and a recording played
// back frame by frame.
#include "media/replay.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "cpu/cpu.h"
#include "cpu/state_io.h"
#include "machine/keyboard.h"
#include "machine/machine.h"
#include "machine/memory.h"
#include "machine/video.h"
#include "media/files.h"
#include "media/machine_state.h"

namespace {

constexpr char kMagic[4] = {'T', 'K', 'R', 'P'};
constexpr size_t kHeaderBytes = 8;
constexpr size_t kChunkHeader = 12;
constexpr size_t kKeyBytes = 6;
// The largest recording a replay reads whole.
constexpr size_t kMostBytes = size_t{1} << 30;

enum KeyKind : uint8_t { KEY_CHANGE = 0, KEY_RELEASE_ALL = 1 };
// The modifiers as the machine takes them, stored shifted into one byte.
constexpr uint32_t kModifiers = KEY_MOD_SHIFT | KEY_MOD_CTRL | KEY_MOD_ALT;
static_assert((kModifiers & 0xFF) == 0 && kModifiers >> 8 <= 0xFF);

void say(char* message, size_t size, const char* text) {
  if (message && size) std::snprintf(message, size, "%s", text);
}

void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24);
}

uint64_t get64(const uint8_t* p) { return get32(p) | static_cast<uint64_t>(get32(p + 4)) << 32; }

// A 64-bit hash of whole words, one multiply and a rotation a word.
uint64_t hash_bytes(uint64_t h, const uint8_t* p, size_t size) {
  constexpr uint64_t kPrime = 0x9E3779B97F4A7C15ull;
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    uint64_t word;
    std::memcpy(&word, p + i, 8);
    h = (h ^ word) * kPrime;
    h = h << 29 | h >> 35;
  }
  for (; i < size; ++i) h = ((h ^ p[i]) * kPrime) << 7 | ((h ^ p[i]) * kPrime) >> 57;
  return h ^ (h >> 31);
}

// ---- recording ----
std::FILE* recordFile;
bool recordFailed;
bool machineChanged;
std::vector<uint8_t> pendingKeys; // reused: no allocation once large enough
std::vector<uint8_t> stateBytes;
uint32_t frame;

bool write_chunk(const char tag[4], uint32_t at, const void* payload, size_t size) {
  if (!recordFile || recordFailed) return false;
  uint8_t header[kChunkHeader];
  std::memcpy(header, tag, 4);
  put32(header + 4, at);
  put32(header + 8, static_cast<uint32_t>(size));
  if (std::fwrite(header, 1, sizeof header, recordFile) != sizeof header ||
      (size && std::fwrite(payload, 1, size, recordFile) != size))
    recordFailed = true;
  return !recordFailed;
}

bool write_state(uint32_t at) {
  machine_state_save(stateBytes);
  return write_chunk("STAT", at, stateBytes.data(), stateBytes.size());
}

void close_record() {
  if (recordFile) std::fclose(recordFile);
  recordFile = nullptr;
}

// ---- playing ----
std::vector<uint8_t> play;
size_t playPos; // the next chunk
size_t playEnd; // the end of the last whole chunk
uint32_t playLength;
bool playingNow;

struct Chunk {
  const uint8_t* tag;
  uint32_t frame;
  const uint8_t* payload;
  uint32_t size;
};

bool chunk_at(size_t pos, Chunk* c) {
  if (pos + kChunkHeader > playEnd) return false;
  c->tag = play.data() + pos;
  c->frame = get32(play.data() + pos + 4);
  c->size = get32(play.data() + pos + 8);
  c->payload = play.data() + pos + kChunkHeader;
  return true;
}

bool is_tag(const Chunk& c, const char* tag) { return std::memcmp(c.tag, tag, 4) == 0; }

// The whole chunks, checked for what can be checked without the machine:
// known tags, frames that never go back, key changes in range. Sets playEnd
// to the end of the last good chunk and playLength to the frames.
bool scan(char* message, size_t messageSize) {
  size_t pos = kHeaderBytes;
  uint32_t last = 0;
  bool first = true;
  playLength = 0;
  while (pos + kChunkHeader <= play.size()) {
    const uint8_t* p = play.data() + pos;
    const uint32_t at = get32(p + 4), size = get32(p + 8);
    if (size > play.size() - pos - kChunkHeader) break; // cut short: plays up to here
    const bool state = std::memcmp(p, "STAT", 4) == 0, keys = std::memcmp(p, "KEYS", 4) == 0;
    const bool hash = std::memcmp(p, "HASH", 4) == 0, end = std::memcmp(p, "END ", 4) == 0;
    if (!state && !keys && !hash && !end) {
      say(message, messageSize, "A visszajátszás sérült: ismeretlen rész van benne.");
      return false;
    }
    if (first && (!state || at != 0)) {
      say(message, messageSize, "A visszajátszás sérült: nem a kezdő gépállapottal kezdődik.");
      return false;
    }
    const bool badSize =
        (keys && (size == 0 || size % kKeyBytes != 0)) || (hash && size != 8) || (end && size != 0);
    if (at < last || badSize) {
      say(message, messageSize, "A visszajátszás sérült.");
      return false;
    }
    if (keys) {
      for (uint32_t k = 0; k < size; k += kKeyBytes) {
        const uint8_t* e = p + kChunkHeader + k;
        if (e[0] > KEY_RELEASE_ALL || e[2] > 1 || e[3] > kModifiers >> 8) {
          say(message, messageSize, "A visszajátszás sérült: hibás billentyűadat.");
          return false;
        }
      }
    }
    first = false;
    last = at;
    pos += kChunkHeader + size;
    playEnd = pos;
    // A frame's inputs come before it and its hash after it: either way the
    // frame was run (or was about to be, in a run that was killed).
    const uint32_t frames = end ? at : at + 1;
    if (frames > playLength) playLength = frames;
    if (end) break;
  }
  if (first) {
    say(message, messageSize, "A visszajátszás üres vagy csonka.");
    return false;
  }
  return true;
}

bool play_begin(char* message, size_t messageSize) {
  Chunk c;
  while (chunk_at(playPos, &c) && c.frame <= frame) {
    if (c.frame == frame && is_tag(c, "HASH")) break; // read after the frame
    if (is_tag(c, "END ")) return false;
    playPos += kChunkHeader + c.size;
    if (c.frame < frame) continue; // a hash of a frame gone by
    if (is_tag(c, "STAT")) {
      char reason[200];
      if (!machine_state_load(c.payload, c.size, reason, sizeof reason)) {
        if (message && messageSize)
          std::snprintf(message, messageSize, "A visszajátszás %u. képkockájánál: %s", frame,
                        reason);
        return false;
      }
    } else if (is_tag(c, "KEYS")) {
      for (uint32_t k = 0; k < c.size; k += kKeyBytes) {
        const uint8_t* e = c.payload + k;
        if (e[0] == KEY_RELEASE_ALL)
          keyboard_release_all();
        else
          keyboard_key_event(e[1], e[2] != 0, static_cast<uint16_t>(e[4] | e[5] << 8),
                             static_cast<uint32_t>(e[3]) << 8);
      }
    }
  }
  return frame < playLength;
}

} // namespace

uint64_t replay_machine_hash() {
  static std::vector<uint8_t> registers;
  // The Tarvik models' picture is drawn from video RAM when it is shown.
  if (model() != MODEL_VELTRA16) video_render();
  uint64_t h = 0xCBF29CE484222325ull;
  h = hash_bytes(h, frameBuffer, kFrameBufferSize);
  h = hash_bytes(h, memory, kMemorySize);
  registers.clear();
  StateWriter w(registers);
  cpu_state_save(w);
  return hash_bytes(h, registers.data(), registers.size());
}

bool replay_record_start(const char* path, char* message, size_t messageSize) {
  replay_record_stop();
  replay_play_close();
  recordFile = path ? std::fopen(path, "wb") : nullptr;
  if (!recordFile) {
    say(message, messageSize, "A visszajátszás-állomány nem hozható létre.");
    return false;
  }
  recordFailed = false;
  machineChanged = false;
  pendingKeys.clear();
  frame = 0;
  uint8_t header[kHeaderBytes] = {'T', 'K', 'R', 'P', REPLAY_VERSION & 0xFF, REPLAY_VERSION >> 8};
  const bool ok = std::fwrite(header, 1, sizeof header, recordFile) == sizeof header &&
                  write_state(0) && std::fflush(recordFile) == 0;
  if (!ok) {
    close_record();
    std::remove(path);
    say(message, messageSize, "A visszajátszás-állomány nem írható.");
    return false;
  }
  return true;
}

bool replay_recording() { return recordFile != nullptr; }

void replay_record_key(uint8_t vk, bool down, uint16_t character, uint32_t modifiers) {
  if (!recordFile) return;
  const uint8_t e[kKeyBytes] = {KEY_CHANGE,
                                vk,
                                static_cast<uint8_t>(down),
                                static_cast<uint8_t>((modifiers & kModifiers) >> 8),
                                static_cast<uint8_t>(character),
                                static_cast<uint8_t>(character >> 8)};
  pendingKeys.insert(pendingKeys.end(), e, e + kKeyBytes);
}

void replay_record_release_all() {
  if (!recordFile) return;
  const uint8_t e[kKeyBytes] = {KEY_RELEASE_ALL, 0, 0, 0, 0, 0};
  pendingKeys.insert(pendingKeys.end(), e, e + kKeyBytes);
}

void replay_record_machine_changed() {
  if (recordFile) machineChanged = true;
}

bool replay_record_stop() {
  if (!recordFile) return true;
  write_chunk("END ", frame, nullptr, 0);
  const bool ok = !recordFailed && std::fflush(recordFile) == 0;
  const bool closed = std::fclose(recordFile) == 0;
  recordFile = nullptr;
  return ok && closed;
}

bool replay_play_open(const char* path, char* message, size_t messageSize) {
  std::FILE* f = path ? media_open_for_reading(path) : nullptr;
  if (!f) {
    say(message, messageSize, "A visszajátszás-állomány nem nyitható meg.");
    return false;
  }
  std::vector<uint8_t> bytes;
  if (media_read_whole(f, kMostBytes, &bytes) != 1) {
    say(message, messageSize, "A visszajátszás-állomány nem olvasható.");
    return false;
  }
  return replay_play_bytes(bytes.data(), bytes.size(), message, messageSize);
}

bool replay_play_bytes(const uint8_t* data, size_t size, char* message, size_t messageSize) {
  if (!data || size < kHeaderBytes || std::memcmp(data, kMagic, 4) != 0) {
    say(message, messageSize, "Ez nem Tarvik visszajátszás (TKR) állomány.");
    return false;
  }
  const uint16_t version = static_cast<uint16_t>(data[4] | data[5] << 8);
  if (version != REPLAY_VERSION) {
    if (message && messageSize)
      std::snprintf(message, messageSize,
                    "A visszajátszás %u. változatú; ez a program a %u. változatot olvassa.",
                    version, REPLAY_VERSION);
    return false;
  }
  replay_record_stop();
  replay_play_close();
  play.assign(data, data + size);
  playEnd = kHeaderBytes;
  if (!scan(message, messageSize)) {
    replay_play_close();
    return false;
  }
  // The starting state: refused as a whole, the machine as it was.
  Chunk start{};
  chunk_at(kHeaderBytes, &start);
  if (!machine_state_load(start.payload, start.size, message, messageSize)) {
    replay_play_close();
    return false;
  }
  playPos = kHeaderBytes + kChunkHeader + start.size;
  frame = 0;
  playingNow = true;
  return true;
}

bool replay_playing() { return playingNow; }
uint32_t replay_play_length() { return playingNow ? playLength : 0; }

void replay_play_close() {
  playingNow = false;
  play.clear();
  play.shrink_to_fit();
}

bool replay_frame_begin(char* message, size_t messageSize) {
  if (playingNow) return play_begin(message, messageSize);
  if (!recordFile) return true;
  if (machineChanged) {
    // The state holds every change since the last frame, the keys' too.
    write_state(frame);
    machineChanged = false;
  } else if (!pendingKeys.empty()) {
    write_chunk("KEYS", frame, pendingKeys.data(), pendingKeys.size());
  }
  pendingKeys.clear();
  return true;
}

bool replay_frame_end(bool* differs) {
  if (differs) *differs = false;
  if (playingNow) {
    Chunk c;
    if (chunk_at(playPos, &c) && is_tag(c, "HASH") && c.frame == frame) {
      playPos += kChunkHeader + c.size;
      if (differs) *differs = get64(c.payload) != replay_machine_hash();
    }
    ++frame;
    return true;
  }
  if (!recordFile) return true;
  ++frame;
  if (frame % REPLAY_HASH_INTERVAL == 0) {
    uint8_t h[8];
    const uint64_t hash = replay_machine_hash();
    for (int i = 0; i < 8; ++i) h[i] = static_cast<uint8_t>(hash >> (8 * i));
    write_chunk("HASH", frame - 1, h, sizeof h);
    // Once a second what is written reaches the file.
    if (!recordFailed && std::fflush(recordFile) != 0) recordFailed = true;
  }
  if (recordFailed) {
    close_record();
    return false;
  }
  return true;
}

uint32_t replay_frame() { return frame; }
