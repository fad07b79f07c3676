// The WAV tape recorder and player.
//
// Recording: every call of wav_record_level writes the samples whose periods
// ended since the previous call, all at the level given, through two
// filters: a fast low-pass towards the level (amplitude 112) and a slow one
// whose output is subtracted, so that the signal swings around 0x80 like a
// tape signal without a direct-current part. Fractions of a sample period
// carry over from call to call, so the recording keeps time exactly.
//
// Playback: on the Tarvik models timed event 2 fires once per sample period
// and reads one sample; the Veltra-16 asks for the level when it reads its
// cassette input and the player reads up to the sample due at that time.
// Samples of any PCM layout are reduced to the first channel as an unsigned
// 8-bit level; 1-bit files give one sample per bit, most significant first.
#include "media/wav_tape.h"

#include <cmath>
#include <cstring>

#include "cpu/cpu.h"
#include "cpu/events.h"
#include "cpu/state_io.h"
#include "machine/cassette.h"
#include "machine/hooks.h"
#include "machine/machine.h"
#include "machine/sound.h"
#include "media/files.h"
#include "media/hooks.h"
#include "media/save_file.h"
#include "media/tape.h"
#include "media/tape_filter.h"
#include "media/wav_format.h"

std::FILE* wavFile;
bool wavFilterOn = false; // the host turns it on from its setting
uint64_t wavSampleCount;
int64_t wavStopTime, wavPausedTotal, wavLastRecordTime;
double wavSamplesPerTstate;

namespace {

constexpr uint32_t kRecordRate = 44100;
constexpr int kHysteresis = 1;

WavFormat format;
uint64_t dataRead;       // bytes of sample data consumed (playback)
uint64_t samplesPassed;  // samples played or recorded since the start of the data
uint64_t recordFraction; // (T-states x rate) left over from the last call, below the clock
uint64_t tickFraction;   // the same for the playback event's period
int bitsLeft;            // 1-bit playback: bits left in the current byte
uint8_t currentByte;
// The last sample read as a signed 16-bit value, its channels summed: what
// the conditioning stage hears.
int32_t lastWide;
TapeFilter conditioner;
// The recording filters' states.
WavRecordFilter filter;
// Recorded samples wait here and go to the (unbuffered) file a block at a
// time; after the first failed write nothing more is written.
uint8_t recordBuffer[4096];
size_t recordBuffered;
bool recordFailed;
bool recordReported;
// Samples recorded since the header's sizes were last set.
uint64_t unsizedSamples;
uint32_t fileSerial; // changes whenever a file is opened or closed
uint32_t shownSerial = UINT32_MAX;
uint64_t shownSeconds = UINT64_MAX;

// The name of the file in the deck.
char wavPath[1024];
char stateNotice[1200];

uint64_t clock_hz() { return cpu.clockHz; }

bool flush_recording() {
  if (recordBuffered > 0 && !recordFailed &&
      std::fwrite(recordBuffer, 1, recordBuffered, wavFile) != recordBuffered)
    recordFailed = true;
  recordBuffered = 0;
  return !recordFailed;
}

// Next data byte, or 0xFF past the end of the sample data.
uint8_t next_data_byte() {
  if (dataRead >= format.dataSize) return 0xFF;
  int c = std::getc(wavFile);
  if (c == EOF) {
    dataRead = format.dataSize;
    return 0xFF;
  }
  ++dataRead;
  return static_cast<uint8_t>(c);
}

bool data_exhausted() { return dataRead >= format.dataSize && bitsLeft == 0; }

// The next sample of the first channel as an unsigned 8-bit level (0x00 or
// 0xFF for 1-bit data); 0xFF past the end of the data.
uint8_t next_sample() {
  lastWide = tape_filter_from8(0xFF);
  if (data_exhausted()) return 0xFF;
  ++samplesPassed;
  if (format.bits == 1) {
    uint8_t level = 0;
    for (uint16_t channel = 0; channel < format.channels; ++channel) {
      if (bitsLeft == 0) {
        currentByte = next_data_byte();
        bitsLeft = 8;
      }
      --bitsLeft;
      if (channel == 0) level = (currentByte >> bitsLeft) & 1 ? 0xFF : 0x00;
    }
    lastWide = tape_filter_from8(level);
    return level;
  }
  if (dataRead + format.frameBytes > format.dataSize) {
    // A partial sample at the end of the data reads as past the end.
    while (dataRead < format.dataSize) next_data_byte();
    return 0xFF;
  }
  uint32_t sampleBytes = (format.bits + 7u) / 8u;
  uint8_t level = 0;
  uint8_t below = 0;
  int32_t sum = 0;
  for (uint32_t i = 0; i < format.frameBytes; ++i) {
    uint8_t b = next_data_byte();
    // 8-bit samples are unsigned; wider ones are signed, most significant
    // byte last.
    if (sampleBytes == 1 && i == 0) level = b;
    if (sampleBytes > 1 && i == sampleBytes - 1) level = static_cast<uint8_t>(b ^ 0x80);
    // Every channel's top 16 bits, summed, for the conditioning stage.
    tape_filter_add_byte(&sum, &below, b, i, sampleBytes);
  }
  lastWide = sum;
  return level;
}

// The player's sample period in T-states, exact on average: the remainder
// of clock / rate is carried from period to period.
int64_t next_period() {
  uint64_t clock = clock_hz();
  tickFraction += clock % format.rate;
  int64_t period = static_cast<int64_t>(clock / format.rate);
  if (tickFraction >= format.rate) {
    tickFraction -= format.rate;
    ++period;
  }
  return period > 0 ? period : 1;
}

void forget_file() {
  wavFile = nullptr;
  wavPath[0] = '\0';
  cassettePlayback = 0;
  format = WavFormat{};
  dataRead = samplesPassed = 0;
  bitsLeft = 0;
  ++fileSerial;
}

} // namespace

uint64_t wav_tape_position() { return samplesPassed; }

const char* wav_tape_playing() { return wavFile && cassettePlayback ? wavPath : nullptr; }

uint64_t wav_tape_length() {
  if (!wavFile || !cassettePlayback || format.channels == 0) return 0;
  return format.bits == 1         ? format.dataSize * 8 / format.channels
         : format.frameBytes == 0 ? 0
                                  : format.dataSize / format.frameBytes;
}

uint32_t wav_tape_serial() { return fileSerial; }
uint32_t wav_tape_rate() { return wav_tape_playing() ? format.rate : 0; }

bool wav_wind_to(uint64_t sample) {
  if (!wav_tape_playing() || format.rate == 0) return false;
  const uint64_t length = wav_tape_length();
  if (sample > length) sample = length;
  const uint64_t bit = format.bits == 1 ? sample * format.channels : 0;
  const uint64_t byte = format.bits == 1 ? bit / 8 : sample * format.frameBytes;
  if (std::fseek(wavFile, static_cast<long>(format.dataStart + byte), SEEK_SET) != 0) return false;
  dataRead = byte;
  bitsLeft = 0;
  if (bit % 8) {
    currentByte = next_data_byte();
    bitsLeft = static_cast<int>(8 - bit % 8);
  }
  samplesPassed = sample;
  wavSampleCount = sample;
  tape_filter_reset(&conditioner, format.rate);
  // The Veltra-16 reads the sample due at (t - wavPausedTotal) x rate /
  // clock: that is `sample` now, or when a stopped tape starts.
  const int64_t offset =
      wavSamplesPerTstate > 0 ? std::llround(static_cast<double>(sample) / wavSamplesPerTstate) : 0;
  wavPausedTotal = (cassetteRunning ? cpu.tcount : wavStopTime) - offset;
  return true;
}

void wav_record_level(int level, int64_t t) {
  uint64_t clock = clock_hz();
  if (clock == 0 || t <= wavLastRecordTime) return;
  uint64_t total = static_cast<uint64_t>(t - wavLastRecordTime) * format.rate + recordFraction;
  uint64_t n = format.rate ? total / clock : 0;
  recordFraction = format.rate ? total % clock : 0;
  wavLastRecordTime = t;
  if (!wavFile || cassettePlayback || !cassetteRunning || recordFailed) return;
  for (uint64_t i = 0; i < n; ++i) {
    recordBuffer[recordBuffered++] = wav_record_step(&filter, level);
    if (recordBuffered == sizeof recordBuffer && !flush_recording()) return;
  }
  samplesPassed += n;
  // Every half second of tape the header counts what is in the file, so that
  // a run that ends without closing it (killed, a crash) leaves it readable.
  unsizedSamples += n;
  if (unsizedSamples >= format.rate / 2) {
    unsizedSamples = 0;
    if (flush_recording() && !wav_fix_sizes(wavFile)) recordFailed = true;
  }
}

bool wav_create(const char* path, uint32_t rate) {
  wav_close();
  cassetteInputLevel = 0;
  bitsLeft = 0;
  if (!path || !*path || rate == 0) return false;
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  // Unbuffered: what fwrite reports written is in the file.
  std::setvbuf(f, nullptr, _IONBF, 0);
  uint8_t header[WAV_HEADER_BYTES];
  wav_header(header, rate, 8, 1);
  if (std::fwrite(header, 1, sizeof header, f) != sizeof header) {
    std::fclose(f);
    remove_unstarted_file(path); // nothing of it is usable
    return false;
  }
  recordBuffered = 0;
  unsizedSamples = 0;
  recordFailed = recordReported = false;
  std::snprintf(wavPath, sizeof wavPath, "%s", path);
  wavFile = f;
  cassettePlayback = 0;
  format = WavFormat{1, rate, 8, 1, WAV_HEADER_BYTES, 0};
  dataRead = samplesPassed = 0;
  filter = WavRecordFilter{};
  // Samples start now, whether or not the switch is already on.
  wavLastRecordTime = cpu.tcount;
  recordFraction = 0;
  ++fileSerial;
  return true;
}

bool wav_close(uint64_t* bytesInFile) {
  event_remove(EVENT_WAV_TAPE);
  if (bytesInFile) *bytesInFile = 0;
  if (!wavFile) return true;
  machine_audio_update(cpu.tcount);
  cassetteInputLevel = 0;
  beeper_set(0);
  bool ok = true;
  if (!cassettePlayback) {
    // The header describes the samples that reached the file.
    ok = flush_recording();
    uint64_t length = 0;
    if (!wav_fix_sizes(wavFile)) ok = false;
    if (bytesInFile && std::fseek(wavFile, 0, SEEK_END) == 0) {
      long end = std::ftell(wavFile);
      length = end > static_cast<long>(WAV_HEADER_BYTES) ? static_cast<uint64_t>(end) : 0;
      *bytesInFile = length ? length - WAV_HEADER_BYTES : 0;
    }
  }
  if (std::fclose(wavFile) != 0) ok = false;
  recordFailed = recordReported = false;
  recordBuffered = 0;
  forget_file();
  return ok;
}

bool wav_record_failed() {
  if (!wavFile || cassettePlayback || !recordFailed || recordReported) return false;
  recordReported = true;
  return true;
}

bool wav_attach(const char* path) {
  wav_close();
  std::FILE* f = media_open_for_reading(path);
  if (!f) return false;
  WavFormat found{};
  if (!wav_read_format(f, &found) ||
      std::fseek(f, static_cast<long>(found.dataStart), SEEK_SET) != 0) {
    std::fclose(f);
    media_message("Hibás WAV állomány: %s", path);
    return false;
  }
  wavFile = f;
  std::snprintf(wavPath, sizeof wavPath, "%s", path);
  format = found;
  cassettePlayback = 1;
  cassetteInputLevel = 0;
  bitsLeft = 0;
  dataRead = samplesPassed = 0;
  wavSampleCount = 0;
  tickFraction = 0;
  tape_filter_reset(&conditioner, format.rate);
  ++fileSerial;
  int64_t now = cpu.tcount;
  if (cassetteRunning) {
    // The tape starts now: on-demand positions count from here.
    wavStopTime = wavLastRecordTime = now;
    wavPausedTotal = now;
  } else {
    wavStopTime = 0;
    wavPausedTotal = 0;
  }
  uint64_t samples = format.bits == 1 ? format.dataSize * 8 / format.channels
                                      : format.dataSize / format.frameBytes;
  unsigned seconds = static_cast<unsigned>(samples / format.rate);
  wavSamplesPerTstate = clock_hz() ? static_cast<double>(format.rate) / clock_hz() : 0.0;
  media_message("Magnófelvétel: %i-bit, %02.1f kHz, %u mp.", format.bits, format.rate / 1000.0,
                seconds);
  event_remove(EVENT_WAV_TAPE);
  if (model() != MODEL_VELTRA16) event_add(EVENT_WAV_TAPE, now, wav_playback_tick);
  return true;
}

void wav_playback_tick(int64_t* tcount, TimedEvent* self) {
  int64_t now = *tcount;
  if (!wavFile || !cassettePlayback || format.rate == 0) {
    event_remove(EVENT_WAV_TAPE);
    return;
  }
  // The next sample is due one period after this one was due, not after the
  // moment the event ran, so that playback keeps the file's rate. Periods
  // missed in between are read too; a gap of more than a second (which the
  // instruction cycle never makes) starts the count afresh.
  int samples = 1;
  int64_t next = self->due + next_period();
  if (now - self->due > static_cast<int64_t>(clock_hz())) {
    next = now + next_period();
  } else {
    while (next <= now) {
      next += next_period();
      ++samples;
    }
  }
  event_move(EVENT_WAV_TAPE, next);
  if (!cassetteRunning) return;
  uint8_t b = 0;
  if (wavFilterOn) {
    int level = conditioner.level;
    for (int i = 0; i < samples; ++i) {
      next_sample();
      level = tape_filter_step(&conditioner, lastWide);
    }
    cassette_set_input_level(level, now);
    return;
  }
  for (int i = 0; i < samples; ++i) b = next_sample();
  if (b > 128 + kHysteresis)
    cassette_set_input_level(1, now);
  else if (b < 128 - kHysteresis)
    cassette_set_input_level(0, now);
}

int wav_playback_sample(int64_t t) {
  if (!wavFile || !cassettePlayback || !cassetteRunning) return 0;
  double target = std::floor(static_cast<double>(t - wavPausedTotal) * wavSamplesPerTstate + 0.5);
  if (!(target > static_cast<double>(wavSampleCount))) return cassetteInputLevel;
  uint64_t p = static_cast<uint64_t>(target);
  uint8_t b = 0;
  if (wavFilterOn) {
    // Every sample passes the stage; past the end the level holds.
    while (wavSampleCount < p && !data_exhausted()) {
      next_sample();
      tape_filter_step(&conditioner, lastWide);
      ++wavSampleCount;
    }
    wavSampleCount = p;
    cassette_set_input_level(conditioner.level, t);
    return cassetteInputLevel;
  }
  while (wavSampleCount < p) {
    if (data_exhausted()) {
      // Past the end every sample reads 0xFF: no need to count them one by one.
      wavSampleCount = p;
      b = 0xFF;
      break;
    }
    b = next_sample();
    ++wavSampleCount;
  }
  if (b > 129)
    cassette_set_input_level(1, t);
  else if (b <= 127)
    cassette_set_input_level(0, t);
  return cassetteInputLevel;
}

void wav_set_running(int state, int64_t t) {
  if (state && !cassetteRunning) {
    wavLastRecordTime = t;
    recordFraction = 0;
    wavPausedTotal += t - wavStopTime;
    cassetteRunning = 1;
  } else if (!state && cassetteRunning) {
    if (wavFile) wavStopTime = t;
    cassetteRunning = 0;
  } else if (state && cassetteRunning) {
    if (wavFile) wavStopTime = t;
  }
}

void wav_rewind(int64_t) {
  if (wavFile) {
    if (!cassettePlayback) flush_recording();
    std::fflush(wavFile);
    std::fseek(wavFile, static_cast<long>(format.dataStart), SEEK_SET);
    dataRead = samplesPassed = 0;
    bitsLeft = 0;
    tape_filter_reset(&conditioner, format.rate);
  }
  cassetteRunning = 0;
  wavSampleCount = 0;
  wavPausedTotal = 0;
  wavStopTime = 0;
}

bool wav_being_read(int64_t now) {
  return wavFile && cassettePlayback && cassetteRunning && !data_exhausted() &&
         cassette_read_within(now, static_cast<int64_t>(clock_hz()));
}

void wav_frame_status(int64_t) {
  if (shownSerial != fileSerial) {
    shownSerial = fileSerial;
    shownSeconds = UINT64_MAX;
    media_status_text(MEDIA_STATUS_COUNTER, "%s", "");
  }
  if (!wavFile || format.rate == 0) return;
  uint64_t seconds = samplesPassed / format.rate;
  if (seconds == shownSeconds) return;
  shownSeconds = seconds;
  media_status_text(MEDIA_STATUS_COUNTER, "%04u", static_cast<unsigned>(seconds));
}

bool wav_menu_attach(const char* path) {
  tape_traps_remove();
  return wav_attach(path);
}

bool wav_menu_create(const char* path) {
  if (!wav_create(path, kRecordRate)) return false;
  tape_traps_remove();
  return true;
}

bool wav_menu_close(uint64_t* bytesInFile) {
  bool ok = wav_close(bytesInFile);
  tape_traps_install();
  return ok;
}

namespace {

enum : uint8_t { kDeckEmpty = 0, kDeckPlaying = 1, kDeckRecording = 2 };

void put_format(StateWriter& w, const WavFormat& f) {
  w.u16(f.channels);
  w.u32(f.rate);
  w.u16(f.bits);
  w.u32(f.frameBytes);
  w.u64(f.dataStart);
  w.u64(f.dataSize);
}

WavFormat get_format(StateReader& r) {
  WavFormat f{};
  f.channels = r.u16();
  f.rate = r.u32();
  f.bits = r.u16();
  f.frameBytes = r.u32();
  f.dataStart = r.u64();
  f.dataSize = r.u64();
  return f;
}

bool same_format(const WavFormat& a, const WavFormat& b) {
  return a.channels == b.channels && a.rate == b.rate && a.bits == b.bits &&
         a.frameBytes == b.frameBytes && a.dataStart == b.dataStart && a.dataSize == b.dataSize;
}

// Opens the file of a saved playback again and checks that it is the same
// tape; null when it is not there or has changed.
std::FILE* reopen(const char* path, const WavFormat& saved) {
  std::FILE* f = media_open_for_reading(path);
  if (!f) return nullptr;
  WavFormat found{};
  if (!wav_read_format(f, &found) || !same_format(found, saved)) {
    std::fclose(f);
    return nullptr;
  }
  return f;
}

} // namespace

void wav_state_save(StateWriter& w) {
  const uint8_t deck = !wavFile ? kDeckEmpty : cassettePlayback ? kDeckPlaying : kDeckRecording;
  w.u8(deck);
  w.text(wavPath, sizeof wavPath);
  put_format(w, format);
  w.u64(dataRead);
  w.u64(samplesPassed);
  w.u64(recordFraction);
  w.u64(tickFraction);
  w.u8(static_cast<uint8_t>(bitsLeft));
  w.u8(currentByte);
  w.f64(filter.y1);
  w.f64(filter.y2);
  w.u64(wavSampleCount);
  w.i64(wavStopTime);
  w.i64(wavPausedTotal);
  w.i64(wavLastRecordTime);
  w.f64(wavSamplesPerTstate);
  // Version 2: the conditioning stage.
  for (double v : {conditioner.highPass, conditioner.lowPass, conditioner.release,
                   conditioner.lastIn, conditioner.high, conditioner.low, conditioner.peak})
    w.f64(v);
  w.u8(conditioner.primed);
  w.u8(conditioner.level);
}

bool wav_state_load(StateReader& r, bool apply) {
  const uint8_t deck = r.u8();
  char path[sizeof wavPath];
  if (!r.text(path, sizeof path, true)) return false;
  const WavFormat f = get_format(r);
  const uint64_t read = r.u64(), passed = r.u64(), fraction = r.u64(), tick = r.u64();
  const uint8_t bits = r.u8(), byte = r.u8();
  const double y1 = r.f64(), y2 = r.f64();
  const uint64_t sampleCount = r.u64();
  const int64_t stopTime = r.i64(), pausedTotal = r.i64(), lastRecord = r.i64();
  const double perTstate = r.f64();
  // A version 1 state has no conditioning stage: it starts afresh.
  TapeFilter stage{};
  tape_filter_reset(&stage, deck == kDeckPlaying ? f.rate : 0);
  if (r.version() >= 2) {
    stage.highPass = r.f64();
    stage.lowPass = r.f64();
    stage.release = r.f64();
    stage.lastIn = r.f64();
    stage.high = r.f64();
    stage.low = r.f64();
    stage.peak = r.f64();
    stage.primed = r.u8();
    stage.level = r.u8();
    if (!tape_filter_valid(stage)) return r.fail();
  }
  if (!r.ok() || deck > kDeckRecording || bits > 8 || !std::isfinite(y1) || !std::isfinite(y2) ||
      !std::isfinite(perTstate) || perTstate < 0 || perTstate > 1)
    return r.fail();
  for (int64_t t : {stopTime, pausedTotal, lastRecord})
    if (t < -kStateMostTicks || t > kStateMostTicks) return r.fail();
  if (deck == kDeckPlaying &&
      (f.rate == 0 || f.channels == 0 || f.bits == 0 || f.bits > 32 || read > f.dataSize ||
       (f.bits != 1 && f.frameBytes == 0) || tick >= f.rate))
    return r.fail();
  if (deck == kDeckRecording && (f.rate == 0 || f.rate > 1000000 || fraction > (uint64_t{1} << 40)))
    return r.fail();
  if (!apply) return true;
  stateNotice[0] = '\0';
  const bool sameRecording =
      deck == kDeckRecording && wavFile && !cassettePlayback && std::strcmp(path, wavPath) == 0;
  if (sameRecording) {
    // The recorder outside the machine goes on writing the same file.
    filter = WavRecordFilter{y1, y2};
    recordFraction = fraction;
    wavLastRecordTime = lastRecord;
  } else {
    wav_close();
    if (deck == kDeckRecording)
      std::snprintf(stateNotice, sizeof stateNotice,
                    "A WAV felvétel (%s) nem folytatódik: a szalag üres.", path);
  }
  if (deck == kDeckPlaying) {
    std::FILE* file = reopen(path, f);
    if (file && std::fseek(file, static_cast<long>(f.dataStart + read), SEEK_SET) == 0) {
      wavFile = file;
      std::snprintf(wavPath, sizeof wavPath, "%s", path);
      format = f;
      cassettePlayback = 1;
      ++fileSerial;
    } else {
      if (file) std::fclose(file);
      std::snprintf(stateNotice, sizeof stateNotice,
                    "A WAV szalag (%s) nem található vagy megváltozott: a magnó üres.", path);
    }
  }
  // A tape played on, or an empty deck: its counters as they were (an
  // empty deck's only matter to the next save, which then gives the same
  // bytes).
  if ((deck == kDeckPlaying && wavFile) || deck == kDeckEmpty) {
    if (deck == kDeckEmpty) {
      filter = WavRecordFilter{y1, y2};
      recordFraction = fraction;
    }
    dataRead = read;
    samplesPassed = passed;
    tickFraction = tick;
    bitsLeft = bits;
    currentByte = byte;
    wavSampleCount = sampleCount;
    wavStopTime = stopTime;
    wavPausedTotal = pausedTotal;
    wavLastRecordTime = lastRecord;
    wavSamplesPerTstate = perTstate;
    conditioner = stage;
  }
  return true;
}

const char* wav_state_notice() { return stateNotice[0] ? stateNotice : nullptr; }
