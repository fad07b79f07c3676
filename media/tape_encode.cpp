// The firmware's tape writer in samples. Its timing, at 3 MHz: a pulse of
// delay count n is high for 26 x n + 56 T-states and low for about as long;
// a byte is a sync pulse (n = 84) and eight bit pulses, most significant
// first (n = 56 for a 1, 27 for a 0); the save loop spends some more
// T-states low between bytes.
#include "media/tape_encode.h"

#include "media/wav_format.h"

namespace {

constexpr uint64_t kClock = 3000000;
constexpr uint32_t kRate = 44100;
constexpr uint64_t kSyncCount = 84, kOneCount = 56, kZeroCount = 27;
constexpr uint64_t kLowExtra = 0;    // the low half runs the same delay loop
constexpr uint64_t kByteExtra = 300; // the save loop between two bytes
constexpr uint64_t kPause = kClock / 2;

struct Writer {
  std::FILE* f;
  WavRecordFilter filter;
  uint64_t fraction; // T-states x rate below one sample period
  uint8_t buffer[8192];
  size_t used;
  bool ok;

  void put(uint8_t b) {
    buffer[used++] = b;
    if (used == sizeof buffer) flush();
  }
  void flush() {
    if (used && std::fwrite(buffer, 1, used, f) != used) ok = false;
    used = 0;
  }
  // The output held at `level` for `tstates`.
  void hold(int level, uint64_t tstates) {
    const uint64_t total = tstates * kRate + fraction;
    fraction = total % kClock;
    for (uint64_t n = total / kClock; n > 0; --n) put(wav_record_step(&filter, level));
  }
  void pulse(uint64_t count) {
    const uint64_t high = 26 * count + 56;
    hold(1, high);
    hold(0, high + kLowExtra);
  }
  void byte(uint8_t value) {
    pulse(kSyncCount);
    for (int bit = 7; bit >= 0; --bit) pulse(value >> bit & 1 ? kOneCount : kZeroCount);
    hold(0, kByteExtra);
  }
};

} // namespace

bool tape_encode_wav(std::FILE* f, const uint8_t* bytes, size_t size, const uint64_t* pauses,
                     size_t pauseCount) {
  static Writer w; // the buffer stays off the stack
  w = Writer{};
  w.f = f;
  w.ok = true;
  uint8_t header[WAV_HEADER_BYTES];
  wav_header(header, kRate, 8, 1);
  if (std::fwrite(header, 1, sizeof header, f) != sizeof header) return false;
  // A second of silence first, as when the recorder is started before the
  // save: the loader's search is under way when the leader comes.
  w.hold(0, kClock);
  size_t next = 0;
  for (size_t i = 0; i < size && w.ok; ++i) {
    while (next < pauseCount && pauses[next] <= i) {
      if (pauses[next] == i) w.hold(0, kPause);
      ++next;
    }
    w.byte(bytes[i]);
  }
  w.hold(0, kPause);
  w.flush();
  return w.ok && wav_fix_sizes(f);
}
