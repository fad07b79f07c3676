// The conditioning stage of WAV tape playback and the conversions between
// recordings and tape images: with the stage off, playback is the fixed
// threshold sample for sample (on the files the end-to-end test degrades,
// named in TARVIK_TAPE_WAVS, and on files of every layout made here); with
// it on, the emulator's own recordings give the same pulses; its state
// survives a machine state; the converters keep bad blocks and refuse
// wrong files without leaving anything behind.
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cpu/state_io.h"
#include "media/tape_blocks.h"
#include "media/tape_convert.h"
#include "media/tape_encode.h"
#include "media/tape_filter.h"
#include "media/wav_format.h"
#include "tests/media/media_fixture.h"

namespace {

using TapeFilterPlayback = MediaTest;
using TapeConvert = MediaTest;

int64_t due(int64_t start, uint64_t k) {
  return start + static_cast<int64_t>(k * cpu.clockHz / 44100);
}

void run_until(int64_t t) {
  while (cpu.tcount < t) {
    cpu.tcount = std::min<int64_t>(cpu.tcount + 4, t);
    event_run_due();
  }
  event_run_due();
}

// The first channel of every sample as the unsigned 8-bit level the fixed
// threshold compares (its top byte; 1-bit data as 0x00/0xFF).
std::vector<uint8_t> first_channel(const std::string& path, uint32_t* rate) {
  std::vector<uint8_t> levels;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  WavFormat w{};
  if (!f || !wav_read_format(f, &w)) {
    if (f) std::fclose(f);
    return levels;
  }
  std::vector<uint8_t> data(static_cast<size_t>(w.dataSize));
  std::fseek(f, static_cast<long>(w.dataStart), SEEK_SET);
  data.resize(std::fread(data.data(), 1, data.size(), f));
  std::fclose(f);
  *rate = w.rate;
  if (w.bits == 1) {
    for (size_t bit = 0; bit + w.channels <= data.size() * 8; bit += w.channels)
      levels.push_back(data[bit / 8] >> (7 - bit % 8) & 1 ? 0xFF : 0x00);
    return levels;
  }
  const size_t width = (w.bits + 7u) / 8u;
  for (size_t at = 0; at + w.frameBytes <= data.size(); at += w.frameBytes)
    levels.push_back(width == 1 ? data[at] : static_cast<uint8_t>(data[at + width - 1] ^ 0x80));
  return levels;
}

// Files of the other layouts, with a DC offset and noise that the threshold
// alone reads badly: 8-bit mono, 16-bit stereo, 1-bit.
std::vector<std::string> made_files() {
  std::vector<std::string> paths;
  std::vector<uint8_t> mono8, stereo16, bits1((30000 + 7) / 8);
  uint32_t x = 1;
  for (int i = 0; i < 30000; ++i) {
    x = x * 1103515245 + 12345;
    const int noise = static_cast<int>(x >> 16 & 7) - 3;
    const int signal = (i / 17) % 2 ? 3 : -3;
    mono8.push_back(static_cast<uint8_t>(150 + signal + noise));
    const int16_t s = static_cast<int16_t>((signal + noise) * 300);
    for (int16_t v : {static_cast<int16_t>(noise * 50), s}) {
      stereo16.push_back(static_cast<uint8_t>(v));
      stereo16.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
    }
    if (signal > 0) bits1[i / 8] = static_cast<uint8_t>(bits1[i / 8] | 0x80 >> (i % 8));
  }
  struct Layout {
    const char* name;
    uint16_t channels, bits;
    const std::vector<uint8_t>& data;
  };
  for (const Layout& l : {Layout{"m8.wav", 1, 8, mono8}, Layout{"s16.wav", 2, 16, stereo16},
                          Layout{"b1.wav", 1, 1, bits1}}) {
    uint8_t header[WAV_HEADER_BYTES];
    wav_header(header, 44100, l.bits, l.channels);
    std::vector<uint8_t> file(header, header + sizeof header);
    file.insert(file.end(), l.data.begin(), l.data.end());
    const uint32_t size = static_cast<uint32_t>(l.data.size());
    for (int i = 0; i < 4; ++i) {
      file[4 + i] = static_cast<uint8_t>((size + 36) >> (8 * i));
      file[40 + i] = static_cast<uint8_t>(size >> (8 * i));
    }
    paths.push_back(temp_path(l.name));
    write_file(paths.back(), file);
  }
  return paths;
}

std::vector<std::string> files_to_check() {
  std::vector<std::string> paths = made_files();
  if (const char* listed = std::getenv("TARVIK_TAPE_WAVS")) {
    std::istringstream words(listed);
    for (std::string path; words >> path;) paths.push_back(path);
  }
  return paths;
}

// The levels the emulator's own recording gives: pulses as (rise, width)
// pairs in samples.
std::vector<std::pair<size_t, size_t>> pulses(const std::vector<int>& levels) {
  std::vector<std::pair<size_t, size_t>> out;
  size_t rise = 0;
  for (size_t i = 1; i < levels.size(); ++i) {
    if (levels[i] && !levels[i - 1]) rise = i;
    if (!levels[i] && levels[i - 1]) out.push_back({rise, i - rise});
  }
  return out;
}

std::vector<uint8_t> image_of(const std::vector<TapeBlock>& blocks) {
  std::vector<uint8_t> image;
  for (const TapeBlock& b : blocks) tape_block_append(&image, b);
  return image;
}

TapeBlock make_block(const char* name, uint16_t address, std::vector<uint8_t> data, int sumError) {
  TapeBlock b;
  b.name = name;
  b.address = address;
  b.length = static_cast<uint16_t>(data.size());
  uint8_t sum = 0;
  for (uint8_t v : data) sum = static_cast<uint8_t>(sum + v);
  b.checksum = static_cast<uint8_t>(sum + sumError);
  b.data = std::move(data);
  return b;
}

} // namespace

TEST_F(TapeFilterPlayback, OffIsTheFixedThresholdSampleForSampleOnBothPaths) {
  for (const std::string& path : files_to_check()) {
    SCOPED_TRACE(path);
    uint32_t rate = 0;
    const std::vector<uint8_t> samples = first_channel(path, &rate);
    ASSERT_FALSE(samples.empty());
    ASSERT_EQ(rate, 44100u);
    for (uint32_t model : {1u, 3u}) {
      media_machine_reset(model);
      wavFilterOn = false;
      wav_set_running(1, 0);
      cpu.tcount = 1000;
      ASSERT_TRUE(wav_menu_attach(path.c_str()));
      int expected = 0;
      for (size_t k = 0; k < samples.size(); ++k) {
        const uint8_t b = samples[k];
        if (b > 129)
          expected = 1;
        else if (b < 127 || (model == 3 && b == 127))
          expected = 0;
        int got;
        if (model == 3) {
          cpu.tcount = due(1000, k + 1) + 1;
          got = wav_playback_sample(cpu.tcount);
        } else {
          run_until(due(1000, k));
          got = cassetteInputLevel;
        }
        ASSERT_EQ(got, expected) << "model " << model << ", sample " << k;
      }
      wav_menu_close();
      wav_set_running(0, cpu.tcount);
    }
  }
}

TEST_F(TapeFilterPlayback, OwnRecordingGivesTheSamePulsesThroughTheStage) {
  const std::vector<uint8_t> image = image_of({make_block("EGY", 0x4100, {0, 0xFF, 0x5A, 1}, 0)});
  const std::string path = temp_path("own.wav");
  std::FILE* f = std::fopen(path.c_str(), "wb+");
  ASSERT_TRUE(tape_encode_wav(f, image.data(), image.size(), nullptr, 0));
  std::fclose(f);
  uint32_t rate = 0;
  const std::vector<uint8_t> samples = first_channel(path, &rate);
  std::vector<int> plain, staged;
  TapeFilter stage;
  tape_filter_reset(&stage, rate);
  int level = 0;
  for (uint8_t b : samples) {
    level = b > 129 ? 1 : b < 127 ? 0 : level;
    plain.push_back(level);
    staged.push_back(tape_filter_step(&stage, tape_filter_from8(b)));
  }
  const auto a = pulses(plain), b = pulses(staged);
  ASSERT_EQ(a.size(), b.size());
  ASSERT_EQ(a.size(), image.size() * 9);
  // Every pulse reads as the same symbol (the firmware's limits: about
  // 610 us for a sync, 370 us for a 1); once the recording's own filter has
  // settled (after the first two bytes) both edges come within a sample.
  auto symbol = [](size_t width) { return width >= 27 ? 2 : width >= 17 ? 1 : 0; };
  for (size_t i = 0; i < a.size(); ++i) {
    ASSERT_EQ(symbol(a[i].second), symbol(b[i].second)) << i;
    if (i < 18) continue;
    EXPECT_LE(b[i].first - a[i].first, 2u) << i; // a little later, never earlier
    EXPECT_LE(std::max(a[i].second, b[i].second) - std::min(a[i].second, b[i].second), 1u) << i;
  }
}

TEST_F(TapeFilterPlayback, StageStateSurvivesAMachineStateAndTheOldRecordLoads) {
  const std::vector<uint8_t> image = image_of({make_block("K", 0x4200, {1, 2, 3}, 0)});
  const std::string path = temp_path("state.wav");
  std::FILE* f = std::fopen(path.c_str(), "wb+");
  ASSERT_TRUE(tape_encode_wav(f, image.data(), image.size(), nullptr, 0));
  std::fclose(f);
  wavFilterOn = true;
  wav_set_running(1, 0);
  ASSERT_TRUE(wav_menu_attach(path.c_str()));
  run_until(due(0, 30000));
  std::vector<uint8_t> saved;
  StateWriter w(saved);
  wav_state_save(w);
  auto levels_from_here = [] {
    std::vector<int> out;
    const int64_t start = cpu.tcount;
    for (uint64_t k = 1; k <= 3000; ++k) {
      run_until(due(start, k));
      out.push_back(cassetteInputLevel);
    }
    return out;
  };
  const int64_t at = cpu.tcount;
  const int64_t nextDue = event_find(EVENT_WAV_TAPE)->due;
  const std::vector<int> first = levels_from_here();
  cpu.tcount = at;
  StateReader r(saved.data(), saved.size());
  r.set_version(2);
  ASSERT_TRUE(wav_state_load(r, true));
  ASSERT_TRUE(r.at_end());
  event_remove(EVENT_WAV_TAPE);
  // The event's timing is the event list's record; here it is put back as
  // it was.
  event_add(EVENT_WAV_TAPE, nextDue, wav_playback_tick);
  EXPECT_EQ(levels_from_here(), first);
  // A version 1 record ends before the stage's 58 bytes; it loads with a
  // fresh stage.
  StateReader old(saved.data(), saved.size() - 58);
  old.set_version(1);
  EXPECT_TRUE(wav_state_load(old, false));
  EXPECT_TRUE(old.at_end());
  // A stage out of range is refused.
  std::vector<uint8_t> broken = saved;
  broken[broken.size() - 1] = 7; // the level
  StateReader bad(broken.data(), broken.size());
  bad.set_version(2);
  EXPECT_FALSE(wav_state_load(bad, false));
}

TEST_F(TapeConvert, RoundTripKeepsEveryBlockAndMarksABadChecksum) {
  std::vector<uint8_t> data;
  for (int i = 0; i < 300; ++i) data.push_back(static_cast<uint8_t>(i * 7 + 3));
  const std::vector<TapeBlock> blocks = {make_block("ELSO", 0x4100, data, 0),
                                         make_block("MASODIK-HOSSZU-NEV", 0x5000, {9, 8, 7}, 1)};
  const std::vector<uint8_t> image = image_of(blocks);
  const std::string tkt = temp_path("in.tkt"), wav = temp_path("out.wav"),
                    back = temp_path("back.tkt");
  write_file(tkt, image);
  std::vector<TapeBlock> found;
  char message[300];
  ASSERT_TRUE(tape_tkt_to_wav(tkt.c_str(), wav.c_str(), &found, message, sizeof message))
      << message;
  ASSERT_EQ(found.size(), 2u);
  ASSERT_TRUE(tape_wav_to_tkt(wav.c_str(), back.c_str(), &found, message, sizeof message))
      << message;
  ASSERT_EQ(found.size(), 2u);
  EXPECT_TRUE(found[0].checksumOk);
  EXPECT_FALSE(found[1].checksumOk);
  EXPECT_EQ(found[1].name, "MASODIK-HOSSZU-N"); // cut to 16 as the loader cuts it
  EXPECT_NE(tape_block_line(found[1]).find("5000-5002     3 byte  ellenőrzőösszeg HIBÁS"),
            std::string::npos)
      << tape_block_line(found[1]);
  std::vector<TapeBlock> cut = blocks;
  cut[1].name.resize(16);
  EXPECT_EQ(read_file(back), image_of(cut));
  // The recording starts with a second of silence, its second block after
  // a pause of half a second.
  EXPECT_GT(found[0].start, 44100u);
  EXPECT_GT(found[1].start, found[0].start + 22050u);
}

TEST_F(TapeConvert, WrongFilesAreRefusedAndNothingIsWritten) {
  const std::string tkt = temp_path("real.tkt"), wav = temp_path("real.wav"),
                    out = temp_path("kept.out"), noBlock = temp_path("zaj.tkt");
  write_file(tkt, image_of({make_block("A", 0x4100, {1}, 0)}));
  std::vector<TapeBlock> found;
  char message[300];
  ASSERT_TRUE(tape_tkt_to_wav(tkt.c_str(), wav.c_str(), &found, message, sizeof message));
  write_file(out, {'o', 'l', 'd'});
  // A tape image is no WAV file; a WAV file holds no tape block.
  EXPECT_FALSE(tape_wav_to_tkt(tkt.c_str(), out.c_str(), &found, message, sizeof message));
  EXPECT_NE(std::string(message).find("nem PCM WAV"), std::string::npos) << message;
  EXPECT_FALSE(tape_tkt_to_wav(wav.c_str(), out.c_str(), &found, message, sizeof message));
  EXPECT_NE(std::string(message).find("nincs benne blokk"), std::string::npos) << message;
  // A WAV of silence has no block either.
  const std::string quiet = temp_path("csend.wav");
  std::vector<uint8_t> silence(44 + 44100, 0x80);
  wav_header(silence.data(), 44100, 8, 1);
  write_file(quiet, silence);
  EXPECT_FALSE(tape_wav_to_tkt(quiet.c_str(), out.c_str(), &found, message, sizeof message));
  EXPECT_NE(std::string(message).find("nincs benne ép"), std::string::npos) << message;
  EXPECT_FALSE(tape_wav_to_tkt(temp_path("nincs.wav").c_str(), out.c_str(), &found, message,
                               sizeof message));
  EXPECT_EQ(read_file(out), (std::vector<uint8_t>{'o', 'l', 'd'}));
  write_file(noBlock, std::vector<uint8_t>(100, 0x00));
  EXPECT_FALSE(tape_tkt_to_wav(noBlock.c_str(), out.c_str(), &found, message, sizeof message));
  EXPECT_EQ(read_file(out), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_FALSE(file_exists(out + ".tmp"));
}
