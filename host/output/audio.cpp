// The audio output chain. The machine's cycle counter is turned into a
// 48 000 Hz sample position; the missing samples are rendered from the
// sound sources into 960-sample (20 ms) blocks, high-pass filtered at 50 Hz
// and handed to the current driver at their place in a one-second ring. A
// drift check keeps four to six blocks queued by dropping or adding blocks.
#include "host/output/audio.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

#include "cpu/cpu.h"
#include "host/platform.h"
#include "host/script/script_mode.h"
#include "host/sound_driver.h"
#include "machine/sound.h"
#include "media/save_file.h"

namespace {

constexpr int kSampleRate = 48000;
constexpr int kHistory = 14;

int16_t block[AUDIO_BLOCK_SAMPLES];
uint32_t fill;
uint32_t writePosition;
uint32_t lastSample;
int64_t lastTime;

int verdict = 1;
int32_t history[kHistory];
int historyIndex;
bool paused;
bool muted;

struct OutputFilter {
  double cutoff = 50.0;
  int mode = 0; // high-pass output
  double rate = 0.0;
  double a = 0.0, b = 0.0;
  double y = 0.0;
};
OutputFilter filter;
bool haveFilter;

std::FILE* recordFile;
uint32_t recordedBytes;
uint32_t blocksSinceSizes; // blocks written since the header's sizes were last set
bool recordFailed;         // a write failed: nothing more is written
bool recordReported;       // audio_record_failed said so

// The blocks kept for an AVI capture until it takes them (oldest first).
bool capturing;
int16_t captured[AUDIO_CAPTURE_BLOCKS][AUDIO_BLOCK_SAMPLES];
uint32_t capturedFirst;
uint32_t capturedCount;

// "No sound": accepts everything and plays nothing. It has no play position
// to drift against, so it reports none: the drift check then keeps every
// block, and devices that advance only as their samples are rendered (the
// speech chip) run at the same emulated speed with sound off as with sound on.
bool silent_open(int) {
  sound_driver_install(&silentSoundDriver);
  return true;
}
void silent_close() {}
int silent_write(const int16_t*, uint32_t, uint32_t) { return 0; }
void silent_nothing() {}
int32_t silent_position() { return -1; }

// 0 = too much queued (drop), 1 = keep, 2 = too little (add a block).
int drift_check() {
  // A paused device would fall behind; "No sound" has none, and what it
  // drops would stop the devices that advance with their samples.
  if (paused && currentSoundDriver != &silentSoundDriver) return 0;
  if (muted) return 1;
  int32_t p = currentSoundDriver->position();
  if (p == -1) return 1;
  int32_t d = static_cast<int32_t>((writePosition + AUDIO_RING_BYTES - static_cast<uint32_t>(p)) %
                                   AUDIO_RING_BYTES);
  if (d >= static_cast<int32_t>(AUDIO_RING_BYTES / 2)) d -= AUDIO_RING_BYTES;
  history[historyIndex] = d / static_cast<int32_t>(AUDIO_BLOCK_BYTES);
  historyIndex = (historyIndex + 1) % kHistory;
  // A recording, to the WAV file or an AVI capture, takes the sound of
  // every emulated moment: nothing is dropped or added while it runs.
  if (recordFile || capturing) return 1;
  int32_t sum = 0;
  for (int32_t h : history) sum += h;
  int32_t average = sum / kHistory;
  if (average > 6) {
    for (int32_t& h : history) --h;
    return 0;
  }
  if (average < 4) {
    for (int32_t& h : history) ++h;
    return 2;
  }
  return 1;
}

void put_le(uint8_t* p, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// The header's RIFF and data sizes for the whole blocks in the file. False
// when they could not be written.
bool write_record_sizes() {
  uint8_t field[4];
  put_le(field, recordedBytes + 36, 4);
  bool ok = std::fseek(recordFile, 4, SEEK_SET) == 0 && std::fwrite(field, 1, 4, recordFile) == 4;
  put_le(field, recordedBytes, 4);
  return std::fseek(recordFile, 40, SEEK_SET) == 0 && std::fwrite(field, 1, 4, recordFile) == 4 &&
         ok;
}

void filter_block() {
  if (!haveFilter) return;
  if (filter.rate != kSampleRate) {
    filter.rate = kSampleRate;
    filter.a = std::exp(-2.0 * std::numbers::pi * filter.cutoff / kSampleRate);
    filter.b = 1.0 - filter.a;
  }
  for (int16_t& sample : block) {
    double x = sample;
    filter.y = filter.b * x + filter.a * filter.y;
    double out = x - std::trunc(filter.y + 0.5);
    // Saturate rather than wrap: a wrapped sample is a loud click.
    if (out > 32767.0) out = 32767.0;
    if (out < -32768.0) out = -32768.0;
    sample = static_cast<int16_t>(out);
  }
}

void submit_block() {
  filter_block();
  if (!muted) {
    currentSoundDriver->write(block, writePosition, AUDIO_BLOCK_BYTES);
    writePosition = (writePosition + AUDIO_BLOCK_BYTES) % AUDIO_RING_BYTES;
  }
  if (recordFile && !recordFailed) {
    if (std::fwrite(block, 1, AUDIO_BLOCK_BYTES, recordFile) == AUDIO_BLOCK_BYTES)
      recordedBytes += AUDIO_BLOCK_BYTES;
    else
      recordFailed = true;
    // Every half second the header counts what is in the file, so that a
    // run that ends without closing it (killed, a crash) leaves a readable
    // file: two 4-byte writes in place, then on at the end.
    if (!recordFailed && ++blocksSinceSizes == kSampleRate / 2 / AUDIO_BLOCK_SAMPLES) {
      blocksSinceSizes = 0;
      if (!write_record_sizes() || std::fseek(recordFile, 0, SEEK_END) != 0) recordFailed = true;
    }
  }
  if (capturing) {
    if (capturedCount == AUDIO_CAPTURE_BLOCKS) { // not taken in time: the oldest goes
      capturedFirst = (capturedFirst + 1) % AUDIO_CAPTURE_BLOCKS;
      --capturedCount;
    }
    std::memcpy(captured[(capturedFirst + capturedCount) % AUDIO_CAPTURE_BLOCKS], block,
                AUDIO_BLOCK_BYTES);
    ++capturedCount;
  }
}

} // namespace

const SoundDriver silentSoundDriver = {"No sound",     silent_open,    silent_close,
                                       silent_write,   silent_nothing, silent_nothing,
                                       silent_nothing, silent_position};
const SoundDriver* currentSoundDriver = &silentSoundDriver;

void sound_driver_install(const SoundDriver* driver) {
  if (currentSoundDriver != driver) currentSoundDriver->close();
  currentSoundDriver = driver;
}

void sound_driver_failed(const char* caption, const char* reason) {
  std::fprintf(stderr, "%s\n", reason ? reason : "");
  host_message_box_modeless(caption && *caption ? caption : "Error", SOUND_DEVICE_FAILED,
                            PLATFORM_ICON_STOP);
}

void audio_init() {
  writePosition = 0;
  fill = 0;
  currentSoundDriver->reset();
  if (!haveFilter) {
    filter = OutputFilter{};
    haveFilter = true;
  }
}

void audio_update(int64_t t) {
  double position =
      static_cast<double>(t) * kSampleRate / static_cast<double>(cpu.lineTicks * 15625) + 0.5;
  if (!(position > 0)) position = 0; // also when the clock is not set yet
  uint32_t s = static_cast<uint32_t>(static_cast<uint64_t>(position));
  uint32_t n = s - lastSample;
  if (n == 0) return;
  if (verdict == 0) {
    verdict = drift_check();
  } else {
    if (fill + static_cast<uint64_t>(n) >= AUDIO_BLOCK_SAMPLES) {
      verdict = drift_check();
      sound_render(block + fill, static_cast<int>(AUDIO_BLOCK_SAMPLES - fill));
      submit_block();
      n = static_cast<uint32_t>((fill + static_cast<uint64_t>(n)) % AUDIO_BLOCK_SAMPLES);
      fill = 0;
      if (verdict == 2) {
        sound_render(block, AUDIO_BLOCK_SAMPLES);
        submit_block();
        n = 0;
      }
    }
    if (n > 0) {
      sound_render(block + fill, static_cast<int>(n));
      fill += n;
    }
  }
  lastTime = t;
  lastSample = s;
}

void audio_pause() {
  paused = true;
  currentSoundDriver->pause();
}

void audio_resume() {
  paused = false;
  if (!muted) currentSoundDriver->resume();
}

void audio_set_muted(bool on) {
  if (on == muted) return;
  muted = on;
  // The device stops where it is and goes on from there: what it still
  // held before the mute is heard first.
  if (muted)
    currentSoundDriver->pause();
  else if (!paused)
    currentSoundDriver->resume();
}

void audio_reset() {
  currentSoundDriver->reset();
  for (SoundSource* s = soundHead; s; s = s->next)
    if (s->reset) s->reset();
}

bool audio_open_driver(const SoundDriver* driver) {
  // A switch of driver keeps the output filter with its state, so that a
  // held level stays centred instead of stepping and clicking.
  OutputFilter kept = filter;
  bool hadFilter = haveFilter;
  audio_shutdown();
  bool opened = driver->open(kSampleRate);
  filter = hadFilter ? kept : OutputFilter{};
  haveFilter = true;
  if (muted) currentSoundDriver->pause();
  return opened;
}

void audio_select_driver(int index) {
  const SoundDriver* driver = nullptr;
  if (index == 1) driver = platform_sound_driver(SOUND_OUTPUT_RING);
  if (index == 2) driver = platform_sound_driver(SOUND_OUTPUT_QUEUE);
  audio_open_driver(driver ? driver : &silentSoundDriver);
}

void audio_shutdown() {
  audio_record_stop();
  currentSoundDriver->close();
  currentSoundDriver = &silentSoundDriver;
  haveFilter = false;
}

bool audio_record_start(const char* fileName) {
  audio_record_stop();
  std::FILE* f = std::fopen(fileName, "wb");
  if (!f) return false;
  // Unbuffered: a block is in the file, or its write failed, when fwrite
  // returns.
  std::setvbuf(f, nullptr, _IONBF, 0);
  uint8_t header[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                        'f', 'm', 't', ' ', 0, 0, 0, 0, 0,   0,   0,   0};
  put_le(header + 16, 16, 4);
  put_le(header + 20, 1, 2);
  put_le(header + 22, 1, 2);
  put_le(header + 24, kSampleRate, 4);
  put_le(header + 28, kSampleRate * 2, 4);
  put_le(header + 32, 2, 2);
  put_le(header + 34, 16, 2);
  header[36] = 'd';
  header[37] = 'a';
  header[38] = 't';
  header[39] = 'a';
  if (std::fwrite(header, 1, sizeof header, f) != sizeof header) {
    std::fclose(f);
    remove_unstarted_file(fileName); // nothing of it is usable
    return false;
  }
  recordFile = f;
  recordedBytes = blocksSinceSizes = 0;
  recordFailed = recordReported = false;
  return true;
}

bool audio_record_stop(uint32_t* bytesInFile) {
  if (bytesInFile) *bytesInFile = 0;
  if (!recordFile) return false;
  // The sizes describe the whole blocks that reached the file; a block cut
  // short by a full disk lies after the data chunk, where readers skip it.
  bool ok = write_record_sizes() && !recordFailed;
  if (std::fclose(recordFile) != 0) ok = false;
  recordFile = nullptr;
  if (bytesInFile) *bytesInFile = recordedBytes;
  recordFailed = false;
  return ok;
}

bool audio_record_failed() {
  if (!recordFile || !recordFailed || recordReported) return false;
  recordReported = true;
  return true;
}

bool audio_recording(uint32_t* bytesRecorded) {
  if (bytesRecorded) *bytesRecorded = recordedBytes;
  return recordFile != nullptr;
}

void audio_capture_start() {
  capturing = true;
  capturedFirst = capturedCount = 0;
}

void audio_capture_stop() { capturing = false; }

uint32_t audio_capture_take(int16_t* out) {
  uint32_t blocks = capturedCount;
  for (uint32_t i = 0; i < blocks; ++i)
    std::memcpy(out + i * AUDIO_BLOCK_SAMPLES, captured[(capturedFirst + i) % AUDIO_CAPTURE_BLOCKS],
                AUDIO_BLOCK_BYTES);
  capturedFirst = capturedCount = 0;
  return blocks * AUDIO_BLOCK_SAMPLES;
}

uint32_t audio_block_fill() { return fill; }
int audio_last_verdict() { return verdict; }
uint32_t audio_write_position() { return writePosition; }
