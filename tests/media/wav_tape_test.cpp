// WAV tapes: recording with its filters and header, playback on both paths,
// the Play/Record switch and rewind, RIFF chunks and sample layouts.
#include "host/output/status.h"
#include "machine/sound.h"
#include "media/wav_format.h"
#include "tests/media/media_fixture.h"

namespace {

struct Chunk {
  std::string id;
  std::vector<uint8_t> body;
};

void put(std::vector<uint8_t>& v, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) v.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> fmt_body(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  std::vector<uint8_t> b;
  uint16_t align = static_cast<uint16_t>((bits + 7) / 8 * channels);
  put(b, tag, 2);
  put(b, channels, 2);
  put(b, rate, 4);
  put(b, rate * align, 4);
  put(b, align, 2);
  put(b, bits, 2);
  return b;
}

std::vector<uint8_t> riff(const std::vector<Chunk>& chunks) {
  std::vector<uint8_t> f = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  for (const Chunk& c : chunks) {
    f.insert(f.end(), c.id.begin(), c.id.end());
    put(f, static_cast<uint32_t>(c.body.size()), 4);
    f.insert(f.end(), c.body.begin(), c.body.end());
    if (c.body.size() & 1) f.push_back(0);
  }
  uint32_t size = static_cast<uint32_t>(f.size() - 8);
  for (int i = 0; i < 4; ++i) f[4 + i] = static_cast<uint8_t>(size >> (8 * i));
  return f;
}

std::vector<uint8_t> mono8(uint32_t rate, const std::vector<uint8_t>& samples) {
  return riff({{"fmt ", fmt_body(1, 1, rate, 8)}, {"data", samples}});
}

// Cycle count at which sample k of a file of the given rate is due.
int64_t due(int64_t start, uint64_t k, uint32_t rate) {
  return start + static_cast<int64_t>(k * cpu.clockHz / rate);
}

// Runs the event list up to time t the way the instruction cycle does, in
// steps of 4 T-states, with a last dispatch at t itself.
void run_until(int64_t t) {
  while (cpu.tcount < t) {
    cpu.tcount = std::min<int64_t>(cpu.tcount + 4, t);
    event_run_due();
  }
  event_run_due();
}

using WavRecord = MediaTest;
using WavPlay = MediaTest;
using WavFiles = MediaTest;

} // namespace

// ---- recording ---------------------------------------------------------------

TEST_F(WavRecord, OneSecondOfConstantLevelSettlesTo80AndSizesAreFixed) {
  std::string path = temp_path("rec.wav");
  ASSERT_TRUE(wav_create(path.c_str(), 44100));
  wav_set_running(1, 0);
  wav_record_level(1, 3000000);
  wav_close();
  auto f = read_file(path);
  ASSERT_EQ(f.size(), 44u + 44100u);
  EXPECT_EQ(std::string(f.begin(), f.begin() + 4), "RIFF");
  EXPECT_EQ(le32(f, 4), 44100u + 36u);
  EXPECT_EQ(std::string(f.begin() + 8, f.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(le32(f, 16), 16u);
  EXPECT_EQ(le16(f, 20), 1);
  EXPECT_EQ(le16(f, 22), 1);
  EXPECT_EQ(le32(f, 24), 44100u);
  EXPECT_EQ(le32(f, 28), 44100u);
  EXPECT_EQ(le16(f, 32), 1);
  EXPECT_EQ(le16(f, 34), 8);
  EXPECT_EQ(std::string(f.begin() + 36, f.begin() + 40), "data");
  EXPECT_EQ(le32(f, 40), 44100u);
  EXPECT_EQ(f[44], 0x80); // written before the filters move
  EXPECT_GT(*std::max_element(f.begin() + 44, f.end()), 0x80 + 100);
  for (size_t i = f.size() - 1000; i < f.size(); ++i) ASSERT_EQ(f[i], 0x80) << i;
  // The fast filter's first steps towards 112 (56.86, 84.85) less the slow
  // one's (0.40, 1.00).
  EXPECT_EQ(f[45], 0x80 + 56);
  EXPECT_EQ(f[46], 0x80 + 83);
}

// Level changes every 100 T-states (1.47 sample periods): the fractions of a
// period must add up, not be dropped at every call.
TEST_F(WavRecord, ShortIntervalsKeepTime) {
  std::string path = temp_path("frac.wav");
  ASSERT_TRUE(wav_create(path.c_str(), 44100));
  wav_set_running(1, 0);
  for (int64_t t = 100; t <= 3000000; t += 100) wav_record_level(static_cast<int>(t / 100 % 2), t);
  wav_close();
  EXPECT_EQ(read_file(path).size(), 44u + 44100u);
}

TEST_F(WavRecord, StoppedTapeWritesNothingAndStartsWhereTheSwitchIsTurnedOn) {
  std::string path = temp_path("stop.wav");
  cpu.tcount = 6000000; // two seconds into the run
  ASSERT_TRUE(wav_create(path.c_str(), 44100));
  wav_record_level(1, 6300000);
  wav_set_running(1, 6300000);
  wav_record_level(1, 6600000); // 0.1 s
  wav_set_running(0, 6600000);
  wav_record_level(0, 9000000);
  wav_close();
  EXPECT_EQ(read_file(path).size(), 44u + 4410u);
}

TEST_F(WavRecord, SwitchOnBeforeCreateRecordsFromTheCreation) {
  wav_set_running(1, 0);
  cpu.tcount = 30000000; // ten seconds later
  std::string path = temp_path("late.wav");
  ASSERT_TRUE(wav_create(path.c_str(), 44100));
  wav_record_level(0, 30000000 + 30000);
  wav_close();
  EXPECT_EQ(read_file(path).size(), 44u + 441u);
}

TEST_F(WavRecord, CreateRefusesEmptyNameZeroRateAndUnwritablePath) {
  EXPECT_FALSE(wav_create("", 44100));
  EXPECT_FALSE(wav_create(temp_path("zero.wav").c_str(), 0));
  EXPECT_FALSE(wav_create((::testing::TempDir() + "no/such/dir/x.wav").c_str(), 44100));
  EXPECT_EQ(wavFile, nullptr);
  EXPECT_TRUE(tape_traps_installed());
  EXPECT_FALSE(wav_menu_create(""));
  EXPECT_TRUE(tape_traps_installed()); // the traps stay when nothing was created
}

TEST_F(WavRecord, MenuCreateAndCloseTakeTheTrapsOutAndBack) {
  std::string path = temp_path("menu.wav");
  ASSERT_TRUE(wav_menu_create(path.c_str()));
  EXPECT_FALSE(tape_traps_installed());
  EXPECT_EQ(std::memcmp(memory + 0x0600, pristine_rom() + 0x0600, 0x100), 0);
  wav_menu_close();
  EXPECT_TRUE(tape_traps_installed());
  EXPECT_EQ(read_file(path).size(), 44u);
}

TEST_F(WavRecord, TapeCounterShowsSecondsAndIsClearedForANewFile) {
  status_set_text(2, "%s", "old");
  std::string path = temp_path("count.wav");
  ASSERT_TRUE(wav_create(path.c_str(), 44100));
  wav_frame_status(0);
  EXPECT_STREQ(headless_status_text(2), "0000");
  wav_set_running(1, 0);
  wav_record_level(1, 3000000 * 3 + 1500000);
  wav_frame_status(0);
  EXPECT_STREQ(headless_status_text(2), "0003");
  wav_close();
  wav_frame_status(0);
  EXPECT_STREQ(headless_status_text(2), "");
}

// ---- playback -----------------------------------------------------------------

TEST_F(WavPlay, ThresholdsOnTheTimedEventPath) {
  const std::vector<uint8_t> bytes = {130, 129, 127, 126, 129, 130, 127, 126, 128};
  const int expected[] = {1, 1, 1, 0, 0, 1, 1, 0, 0};
  std::string path = temp_path("thr.wav");
  write_file(path, mono8(44100, bytes));
  wav_set_running(1, 0);
  cpu.tcount = 1000;
  ASSERT_TRUE(wav_menu_attach(path.c_str()));
  ASSERT_NE(event_find(EVENT_WAV_TAPE), nullptr);
  for (size_t k = 0; k < bytes.size(); ++k) {
    run_until(due(1000, k, 44100));
    EXPECT_EQ(cassetteInputLevel, expected[k]) << "sample " << k;
    EXPECT_EQ(beeperLevel, expected[k] * 4096);
  }
  // Past the end the tape reads 0xFF: level 1.
  run_until(due(1000, bytes.size(), 44100));
  EXPECT_EQ(cassetteInputLevel, 1);
}

TEST_F(WavPlay, ThresholdsOnTheVeltraOnDemandPath) {
  media_machine_reset(3);
  const std::vector<uint8_t> bytes = {130, 129, 127, 126, 129, 130, 127, 126, 128};
  const int expected[] = {1, 1, 0, 0, 0, 1, 0, 0, 0};
  std::string path = temp_path("thr3.wav");
  write_file(path, mono8(44100, bytes));
  wav_set_running(1, 0);
  cpu.tcount = 5000;
  ASSERT_TRUE(wav_attach(path.c_str()));
  EXPECT_EQ(event_find(EVENT_WAV_TAPE), nullptr);
  EXPECT_EQ(wav_playback_sample(5000), 0); // nothing due yet
  for (size_t k = 0; k < bytes.size(); ++k) {
    cpu.tcount = due(5000, k + 1, 44100) + 1;
    EXPECT_EQ(wav_playback_sample(cpu.tcount), expected[k]) << "sample " << k;
  }
}

TEST_F(WavPlay, StoppedTapeDoesNotMoveAndRewindStartsAgain) {
  std::string path = temp_path("rew.wav");
  write_file(path, mono8(44100, {200, 10, 200, 10, 200}));
  ASSERT_TRUE(wav_attach(path.c_str()));
  run_until(due(0, 3, 44100));
  EXPECT_EQ(wav_tape_position(), 0u); // stopped: nothing read
  EXPECT_EQ(cassetteInputLevel, 0);
  int64_t start = due(0, 4, 44100) + 1;
  run_until(start);
  wav_set_running(1, start); // F5: check mark on
  run_until(due(0, 7, 44100));
  EXPECT_EQ(wav_tape_position(), 3u); // samples due 5, 6 and 7
  wav_frame_status(0);
  wav_rewind(cpu.tcount); // stops, counter back to 0000
  EXPECT_EQ(cassetteRunning, 0);
  EXPECT_EQ(wav_tape_position(), 0u);
  wav_frame_status(0);
  EXPECT_STREQ(headless_status_text(2), "0000");
  // The menu item kept its check mark: the next F5 clears it (switching off
  // a stopped tape does nothing), the one after starts the tape again.
  wav_set_running(0, cpu.tcount);
  run_until(cpu.tcount + 300);
  EXPECT_EQ(wav_tape_position(), 0u);
  wav_set_running(1, cpu.tcount);
  int64_t next = event_find(EVENT_WAV_TAPE)->due;
  run_until(next);
  EXPECT_EQ(wav_tape_position(), 1u);
  EXPECT_EQ(cassetteInputLevel, 1); // the first sample again
}

TEST_F(WavPlay, VeltraPositionCountsOnlyRunningTimeAcrossRewind) {
  media_machine_reset(3);
  std::vector<uint8_t> bytes(400);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = i < 100 ? 20 : 230;
  std::string path = temp_path("v.wav");
  write_file(path, mono8(40000, bytes)); // 100 T-states per sample at 4 MHz
  ASSERT_TRUE(wav_attach(path.c_str()));
  wav_set_running(1, 1000000);
  EXPECT_EQ(wav_playback_sample(1000000 + 9900), 0); // sample 99
  wav_set_running(0, 1000000 + 9900);
  wav_set_running(1, 2000000); // paused time does not count
  EXPECT_EQ(wav_playback_sample(2000000 + 50), 0);
  EXPECT_EQ(wav_playback_sample(2000000 + 150), 1); // sample 101
  wav_rewind(2000000 + 150);
  wav_set_running(1, 3000000);
  EXPECT_EQ(wavSampleCount, 0u);
  EXPECT_EQ(wav_playback_sample(3000000 + 5000), 0); // sample 50 of the rewound tape
  EXPECT_EQ(wavSampleCount, 50u);
}

TEST_F(WavPlay, AttachReportsFormatAndDurationAndCloseRemovesTheEvent) {
  std::string path = temp_path("info.wav");
  write_file(path, mono8(22050, std::vector<uint8_t>(22050 * 2 + 100, 0x80)));
  ASSERT_TRUE(wav_attach(path.c_str()));
  EXPECT_STREQ(headless_status_text(3), "Magnófelvétel: 8-bit, 22.1 kHz, 2 mp.");
  EXPECT_NE(event_find(EVENT_WAV_TAPE), nullptr);
  wav_close();
  EXPECT_EQ(event_find(EVENT_WAV_TAPE), nullptr);
  EXPECT_EQ(wavFile, nullptr);
}

TEST_F(WavPlay, TapeImageAttachPutsTheTrapsBack) {
  std::string wav = temp_path("t.wav"), tkt = temp_path("t.tkt");
  write_file(wav, mono8(44100, {1, 2, 3}));
  write_file(tkt, {0x66});
  ASSERT_TRUE(wav_menu_attach(wav.c_str()));
  EXPECT_FALSE(tape_traps_installed());
  ASSERT_TRUE(tape_attach(tkt.c_str()));
  EXPECT_TRUE(tape_traps_installed());
  cpu.pc = 0x067C;
  while (cpu.pc != 0x069B) cpu_run(0);
  EXPECT_EQ(cpu.af.h, 0x66);
}

// A square wave recorded and played back. The player follows the recorded
// signal: its level changes at the moment the sample where the recording
// crosses a threshold is due, within one sample period. Every edge of the
// original wave comes back, in order, after the filters' delay of one to
// three sample periods, and that delay does not drift over the tape.
TEST_F(WavPlay, SquareWaveRoundTripThroughTimedEvent) {
  std::string path = temp_path("square.wav");
  ASSERT_TRUE(wav_create(path.c_str(), 44100));
  wav_set_running(1, 0);
  // Half periods of 700 to 1300 T-states (about 10 to 19 samples).
  std::vector<int64_t> edges;
  int64_t t = 20000;
  wav_record_level(0, t);
  for (int i = 0; i < 200; ++i) {
    edges.push_back(t);
    t += 700 + (i * 137) % 600;
    wav_record_level(i % 2 == 0 ? 1 : 0, t);
  }
  wav_record_level(0, t + 20000);
  wav_set_running(0, t + 20000);
  wav_close();
  const int64_t length = t + 10000; // the data runs to t + 20000

  // Where the recorded samples cross the thresholds (above 129: 1, below
  // 127: 0), in sample numbers.
  auto file = read_file(path);
  std::vector<uint64_t> crossings;
  int expectedLevel = 0;
  for (size_t k = 44; k < file.size(); ++k) {
    int next = file[k] > 129 ? 1 : file[k] < 127 ? 0 : expectedLevel;
    if (next != expectedLevel) crossings.push_back(k - 44);
    expectedLevel = next;
  }

  cpu.tcount = 1000000;
  wav_set_running(1, cpu.tcount);
  ASSERT_TRUE(wav_attach(path.c_str()));
  const int64_t start = cpu.tcount;
  std::vector<int64_t> played;
  int level = cassetteInputLevel;
  while (cpu.tcount < start + length) {
    cpu.tcount += 4;
    event_run_due();
    if (cassetteInputLevel != level) {
      level = cassetteInputLevel;
      played.push_back(cpu.tcount - start);
    }
  }

  const double period = 3000000.0 / 44100.0;
  ASSERT_EQ(played.size(), edges.size());
  for (size_t i = 0; i < played.size(); ++i) {
    double due = crossings.at(i) * period;
    EXPECT_LE(std::abs(static_cast<double>(played[i]) - due), period) << "edge " << i;
  }
  // The slow filter needs a few milliseconds to take out the direct current;
  // from then on every edge keeps its delay.
  double early = 0, late = 0;
  for (size_t i = 40; i < edges.size(); ++i) {
    double delay = static_cast<double>(played[i] - edges[i]);
    EXPECT_GT(delay, 0.0) << "edge " << i;
    EXPECT_LE(delay, 3 * period) << "edge " << i;
    (i < 120 ? early : late) += delay / 80;
  }
  EXPECT_LE(std::abs(early - late), period / 2);
}

// ---- file layouts --------------------------------------------------------------

TEST_F(WavFiles, ExtraChunksAreSkippedAndDataEndsAtItsChunk) {
  std::string path = temp_path("chunks.wav");
  write_file(path, riff({{"LIST", {'I', 'N', 'F', 'O', 'x'}}, // odd size: padded
                         {"fmt ", fmt_body(1, 1, 44100, 8)},
                         {"fact", {1, 0, 0, 0}},
                         {"data", {10, 250}},
                         {"LIST", {0, 0, 0, 0}}}));
  wav_set_running(1, 0);
  ASSERT_TRUE(wav_attach(path.c_str()));
  run_until(due(0, 0, 44100));
  EXPECT_EQ(cassetteInputLevel, 0);
  run_until(due(0, 1, 44100));
  EXPECT_EQ(cassetteInputLevel, 1);
  EXPECT_EQ(wav_tape_position(), 2u);
  run_until(due(0, 3, 44100));
  EXPECT_EQ(wav_tape_position(), 2u); // the trailing chunk is not played
}

TEST_F(WavFiles, SixteenBitStereoPlaysTheFirstChannel) {
  std::vector<uint8_t> data;
  // Most significant byte as an unsigned level: 0xCE, 0x81, 0x7E, 0x31, 0x82, 0x80.
  const int16_t left[] = {20000, 300, -300, -20000, 512, 255};
  const int expected[] = {1, 1, 0, 0, 1, 1};
  for (int16_t s : left) {
    put(data, static_cast<uint16_t>(s), 2);
    put(data, static_cast<uint16_t>(-s), 2); // the right channel is the opposite
  }
  std::string path = temp_path("s16.wav");
  write_file(path, riff({{"fmt ", fmt_body(1, 2, 48000, 16)}, {"data", data}}));
  wav_set_running(1, 0);
  ASSERT_TRUE(wav_attach(path.c_str()));
  EXPECT_STREQ(headless_status_text(3), "Magnófelvétel: 16-bit, 48.0 kHz, 0 mp.");
  for (int k = 0; k < 6; ++k) {
    run_until(due(0, k, 48000));
    EXPECT_EQ(cassetteInputLevel, expected[k]) << k;
  }
  EXPECT_EQ(wav_tape_position(), 6u);
}

TEST_F(WavFiles, OneBitFilePlaysBitsMostSignificantFirst) {
  std::string path = temp_path("bits.wav");
  write_file(path, riff({{"fmt ", fmt_body(1, 1, 44100, 1)}, {"data", {0xA0}}}));
  wav_set_running(1, 0);
  ASSERT_TRUE(wav_attach(path.c_str()));
  const int expected[] = {1, 0, 1, 0, 0, 0, 0, 0, 1};
  for (int k = 0; k < 9; ++k) {
    run_until(due(0, k, 44100));
    EXPECT_EQ(cassetteInputLevel, expected[k]) << k;
  }
}

TEST_F(WavFiles, BrokenFilesAreRefusedWithAMessage) {
  const std::vector<std::vector<uint8_t>> broken = {
      {},
      {'R', 'I', 'F', 'F'},
      riff({{"fmt ", fmt_body(1, 1, 0, 8)}, {"data", {1}}}),      // rate 0
      riff({{"fmt ", fmt_body(1, 0, 44100, 8)}, {"data", {1}}}),  // no channels
      riff({{"fmt ", fmt_body(1, 1, 44100, 0)}, {"data", {1}}}),  // 0 bits
      riff({{"fmt ", fmt_body(3, 1, 44100, 32)}, {"data", {1}}}), // floating point
      riff({{"fmt ", fmt_body(1, 1, 44100, 8)}}),                 // no data
      riff({{"data", {1, 2}}}),                                   // no format
  };
  int i = 0;
  for (const auto& bytes : broken) {
    std::string path = temp_path("broken" + std::to_string(i++) + ".wav");
    write_file(path, bytes);
    EXPECT_FALSE(wav_attach(path.c_str())) << path;
    EXPECT_EQ(wavFile, nullptr);
    EXPECT_EQ(event_find(EVENT_WAV_TAPE), nullptr);
    EXPECT_STREQ(headless_status_text(3), ("Hibás WAV állomány: " + path).c_str());
  }
  EXPECT_FALSE(wav_attach(temp_path("absent.wav").c_str()));
}

TEST_F(WavFiles, UnclosedRecordingPlaysToTheEndOfTheFile) {
  std::vector<uint8_t> f = mono8(44100, {200, 200, 10});
  f[40] = f[41] = f[42] = f[43] = 0; // data size never filled in
  std::string path = temp_path("open.wav");
  write_file(path, f);
  wav_set_running(1, 0);
  ASSERT_TRUE(wav_attach(path.c_str()));
  run_until(due(0, 2, 44100));
  EXPECT_EQ(cassetteInputLevel, 0);
  EXPECT_EQ(wav_tape_position(), 3u);
}
