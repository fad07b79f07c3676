// The speech chip driven by a Z80 program through its ports while the CPU
// runs, heard through the audio output chain: the spectrum of a spoken
// phrase shows the frames' formants, and an unvoiced frame gives a flat,
// non-periodic spectrum.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "host/sound_driver.h"
#include "tests/machine/mea8000_helpers.h"

namespace {

// ---- a flat machine with the chip on ports 0xF8/0xF9 ----------------------------

uint8_t ram[65536];
uint8_t ram_read(uint16_t a) { return ram[a]; }
void ram_write(uint16_t a, uint8_t v) { ram[a] = v; }
uint8_t port_in(uint8_t port) { return port == 0xF8 || port == 0xF9 ? mea_read(port) : 0xFF; }
void port_out(uint8_t port, uint8_t value) {
  if (port == 0xF8 || port == 0xF9) mea_write(port, value);
}

// Sets auto-stop, sends the start pitch at 0x0200, then the frames from
// 0x0202 (their count at 0x0201), four bytes each time the chip reports
// ready; marks 0x01FF when done and halts.
const uint8_t kSpeaker[] = {
    0x31, 0xF0, 0xFF, // 0000 ld sp,0FFF0h
    0x3E, 0x18,       // 0003 ld a,18h
    0xD3, 0xF9,       // 0005 out (0F9h),a   ; stop, auto-stop on
    0x3A, 0x00, 0x02, // 0007 ld a,(0200h)
    0xD3, 0xF8,       // 000A out (0F8h),a   ; start pitch
    0x21, 0x02, 0x02, // 000C ld hl,0202h
    0x3A, 0x01, 0x02, // 000F ld a,(0201h)
    0x57,             // 0012 ld d,a
    0xDB, 0xF8,       // 0013 wait: in a,(0F8h)
    0xE6, 0x80,       // 0015 and 80h
    0x28, 0xFA,       // 0017 jr z,wait
    0x06, 0x04,       // 0019 ld b,4
    0x0E, 0xF8,       // 001B ld c,0F8h
    0xED, 0xB3,       // 001D otir
    0x15,             // 001F dec d
    0x20, 0xF1,       // 0020 jr nz,wait
    0x3E, 0x01,       // 0022 ld a,1
    0x32, 0xFF, 0x01, // 0024 ld (01FFh),a
    0x76,             // 0027 halt
};

// ---- the audio chain's output, kept -----------------------------------------------

std::vector<int16_t> heard;
uint32_t written;

bool capture_open(int);
void capture_close() {}
int capture_write(const int16_t* samples, uint32_t offset, uint32_t bytes) {
  heard.insert(heard.end(), samples, samples + bytes / 2);
  written = (offset + bytes) % AUDIO_RING_BYTES;
  return static_cast<int>(bytes);
}
void capture_nothing() {}
// Always five blocks queued: the drift check keeps every block.
int32_t capture_position() {
  return static_cast<int32_t>((written + AUDIO_RING_BYTES - 5 * AUDIO_BLOCK_BYTES) %
                              AUDIO_RING_BYTES);
}
const SoundDriver captureDriver = {"Capture",       capture_open,    capture_close,
                                   capture_write,   capture_nothing, capture_nothing,
                                   capture_nothing, capture_position};
bool capture_open(int) {
  sound_driver_install(&captureDriver);
  return true;
}

// The cycle count at which the output reaches sample m (3 MHz: 62.5
// T-states per sample).
int64_t sample_time(int64_t m) { return (m * 125 + 1) / 2; }

class MeaSpeech : public ::testing::Test {
protected:
  void SetUp() override {
    event_init();
    cpu_set_memory_routines(ram_read, ram_write);
    cpu_set_port_routines(port_in, port_out);
    cpu_init(3000000);
    while (soundHead) sound_unregister(soundHead);
    audio_open_driver(&captureDriver);
    audio_init();
    audio_resume();
    // Silence until the drift history has settled and the sample clock
    // stands on a block boundary; the chip's output starts there.
    cpu.tcount = 0;
    audio_update(0);
    int64_t m = 960 - audio_block_fill();
    for (int i = 0; i < 30; ++i, m += 960) audio_update(sample_time(m));
    ASSERT_EQ(audio_block_fill(), 0u);
    ASSERT_EQ(audio_last_verdict(), 1);
    heard.clear();
    start = sample_time(m - 960);
    cpu.tcount = start;
    mea_start();
    std::fill(std::begin(ram), std::end(ram), 0);
    std::copy(std::begin(kSpeaker), std::end(kSpeaker), ram);
  }
  void TearDown() override {
    mea_stop();
    audio_shutdown();
    cpu_set_port_routines(nullptr, nullptr);
    cpu_set_memory_routines(nullptr, nullptr);
  }

  void load_phrase(uint8_t pitch, const std::vector<FrameCodes>& frames) {
    ram[0x0200] = pitch;
    ram[0x0201] = static_cast<uint8_t>(frames.size());
    uint16_t a = 0x0202;
    for (const FrameCodes& f : frames)
      for (uint8_t b : encode_frame(f)) ram[a++] = b;
  }

  // Runs the machine frame by frame (two slices of 30 000 T-states), the
  // output brought up to the cycle counter after each frame.
  void run_frames(int frames) {
    for (int i = 0; i < frames; ++i) {
      cpu_run(30000);
      cpu_run(30000);
      audio_update(cpu.tcount);
    }
  }

  int64_t start = 0;
};

// ---- analysis ------------------------------------------------------------------

constexpr double kRate = 48000.0;

// Magnitudes of a Hann-windowed DFT of samples [from, from + length) at the
// frequencies fmin, fmin + step, ... up to fmax.
std::vector<double> spectrum(const std::vector<int16_t>& s, size_t from, size_t length, double fmin,
                             double fmax, double step) {
  std::vector<double> w(length);
  for (size_t i = 0; i < length; ++i)
    w[i] = s[from + i] * (0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / (length - 1)));
  std::vector<double> mags;
  for (double f = fmin; f <= fmax + 1e-9; f += step) {
    double dr = std::cos(2 * std::numbers::pi * f / kRate);
    double di = -std::sin(2 * std::numbers::pi * f / kRate);
    double zr = 1, zi = 0, re = 0, im = 0;
    for (size_t i = 0; i < length; ++i) {
      re += w[i] * zr;
      im += w[i] * zi;
      double t = zr * dr - zi * di;
      zi = zr * di + zi * dr;
      zr = t;
      if ((i & 1023) == 1023) { // keep the rotation on the unit circle
        double r = std::hypot(zr, zi);
        zr /= r;
        zi /= r;
      }
    }
    mags.push_back(std::hypot(re, im));
  }
  return mags;
}

// Frequencies of the local maxima, strongest first, once the sawtooth's own
// fall of 6 dB per octave (harmonic k at 1/k) is taken out, so that what
// stands out is the shape the resonators give it.
std::vector<double> formant_peaks(const std::vector<double>& mags, double fmin, double step) {
  std::vector<double> flat(mags.size());
  for (size_t i = 0; i < mags.size(); ++i) flat[i] = mags[i] * (fmin + i * step);
  std::vector<std::pair<double, double>> found;
  for (size_t i = 1; i + 1 < flat.size(); ++i)
    if (flat[i] > flat[i - 1] && flat[i] >= flat[i + 1])
      found.push_back({flat[i], fmin + i * step});
  std::sort(found.begin(), found.end(), [](auto& a, auto& b) { return a.first > b.first; });
  std::vector<double> f;
  for (auto& p : found) f.push_back(p.second);
  return f;
}

double rms(const std::vector<int16_t>& s, size_t from, size_t length) {
  double sum = 0;
  for (size_t i = from; i < from + length; ++i) sum += double(s[i]) * s[i];
  return std::sqrt(sum / length);
}

size_t at_ms(double ms) { return static_cast<size_t>(ms * 48); }

// Averaged power spectrum (Welch, Hann, 2048-sample pieces) from 200 to
// 3800 Hz in 25 Hz steps.
std::vector<double> power_spectrum(const std::vector<int16_t>& s, size_t from, size_t length) {
  std::vector<double> sum;
  int pieces = 0;
  for (size_t at = from; at + 2048 <= from + length; at += 1024, ++pieces) {
    std::vector<double> m = spectrum(s, at, 2048, 200, 3800, 25);
    if (sum.empty()) sum.assign(m.size(), 0.0);
    for (size_t i = 0; i < m.size(); ++i) sum[i] += m[i] * m[i];
  }
  for (double& v : sum) v /= pieces;
  return sum;
}

// Geometric over arithmetic mean: 1 for a flat spectrum, near 0 for lines.
double flatness(const std::vector<double>& power) {
  double logSum = 0, sum = 0;
  for (double p : power) {
    logSum += std::log(p + 1e-9);
    sum += p;
  }
  return std::exp(logSum / power.size()) / (sum / power.size());
}

// The strongest normalised autocorrelation at lags of 2.5 to 20 ms, where
// the periods of every pitch the chip can make below 400 Hz lie.
double periodicity(const std::vector<int16_t>& s, size_t from, size_t length) {
  double best = 0;
  for (size_t lag = 120; lag <= 960; ++lag) {
    double xy = 0, xx = 0, yy = 0;
    for (size_t i = from; i < from + length; ++i) {
      xy += double(s[i]) * s[i + lag];
      xx += double(s[i]) * s[i];
      yy += double(s[i + lag]) * s[i + lag];
    }
    best = std::max(best, xy / std::sqrt(xx * yy + 1e-9));
  }
  return best;
}

// ---- tests ---------------------------------------------------------------------

// 110 Hz puts harmonics on 440, 659/660, 1100 and 1760/1761 Hz.
const FrameCodes kVowelA = {
    .bw3 = 0, .bw4 = 0, .f3 = 5, .f2 = 16, .f1 = 16, .amplitude = 8, .fd = 3};
const FrameCodes kVowelE = {
    .bw3 = 0, .bw4 = 0, .f3 = 6, .f2 = 23, .f1 = 23, .amplitude = 10, .fd = 3};

TEST_F(MeaSpeech, AProgramSpeaksAPhraseWhoseSpectrumShowsTheFormants) {
  std::vector<FrameCodes> phrase(6, kVowelA);
  phrase.insert(phrase.end(), 6, kVowelE);
  load_phrase(55, phrase);
  run_frames(70); // 1.4 s
  EXPECT_EQ(ram[0x01FF], 1) << "the program sent every frame";
  EXPECT_EQ(mea.stopped, 16) << "the watchdog stopped the chip once the data ended";
  ASSERT_GE(heard.size(), at_ms(1400) - 960);

  struct Part {
    const char* name;
    double from, to; // ms after the start
    double f1, f2;
  } parts[] = {{"first vowel", 120, 320, 440, 1100}, {"second vowel", 480, 680, 659, 1761}};
  for (const Part& p : parts) {
    SCOPED_TRACE(p.name);
    size_t from = at_ms(p.from), length = at_ms(p.to) - from;
    double level = rms(heard, from, length);
    std::vector<double> m = spectrum(heard, from, length, 60, 4000, 5);
    std::vector<double> f = formant_peaks(m, 60, 5);
    ASSERT_GE(f.size(), 2u);
    auto [lo, hi] = std::minmax_element(heard.begin() + from, heard.begin() + from + length);
    EXPECT_GT(level, 1000.0);
    double a = std::min(f[0], f[1]), b = std::max(f[0], f[1]);
    EXPECT_NEAR(a, p.f1, 30.0);
    EXPECT_NEAR(b, p.f2, 30.0);
    EXPECT_GT(*lo, -32767);
    EXPECT_LT(*hi, 32767);
  }
  // Silent after the stop (the output filter has settled).
  for (size_t i = at_ms(1300); i < at_ms(1380); ++i) ASSERT_EQ(heard[i], 0) << i;
}

TEST_F(MeaSpeech, AnUnvoicedFrameHasAFlatNonPeriodicSpectrum) {
  const FrameCodes hiss = {.bw1 = 0,
                           .bw2 = 0,
                           .bw3 = 0,
                           .bw4 = 0,
                           .f3 = 5,
                           .f2 = 20,
                           .f1 = 16,
                           .amplitude = 12,
                           .fd = 3,
                           .pi = 16};
  const FrameCodes voiced = {.bw1 = 0,
                             .bw2 = 0,
                             .bw3 = 0,
                             .bw4 = 0,
                             .f3 = 5,
                             .f2 = 20,
                             .f1 = 16,
                             .amplitude = 12,
                             .fd = 3};
  std::vector<FrameCodes> phrase(5, hiss);
  phrase.insert(phrase.end(), 5, voiced);
  load_phrase(55, phrase);
  run_frames(40);
  ASSERT_GE(heard.size(), at_ms(800) - 960);

  size_t noiseFrom = at_ms(100), voicedFrom = at_ms(440), length = at_ms(200);
  double noiseFlat = flatness(power_spectrum(heard, noiseFrom, length));
  double voicedFlat = flatness(power_spectrum(heard, voicedFrom, length));
  double noisePeriodic = periodicity(heard, noiseFrom, at_ms(150));
  double voicedPeriodic = periodicity(heard, voicedFrom, at_ms(150));
  EXPECT_GT(rms(heard, noiseFrom, length), 300.0);
  EXPECT_GT(noiseFlat, 0.4);
  EXPECT_LT(noisePeriodic, 0.3);
  // The same frame voiced has lines at the harmonics and repeats itself.
  EXPECT_LT(voicedFlat, 0.15);
  EXPECT_GT(voicedPeriodic, 0.8);
}

} // namespace
