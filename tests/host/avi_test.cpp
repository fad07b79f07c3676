// AVI capture: progress and closing messages, the file's RIFF structure
// (headers, streams, index, subject record), rows stored bottom-up, and a
// video-only file without sound.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "cpu/cpu.h"
#include "host/headless/headless.h"
#include "host/output/audio.h"
#include "machine/memory.h"
#include "machine/video.h"
#include "tests/host/host_fixture.h"

namespace {

class Avi : public HostTest {};

uint32_t le32(const std::string& s, size_t at) {
  return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8 |
         static_cast<uint8_t>(s[at + 2]) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24;
}

// The chunks of a RIFF list body: (code, offset of the data, size).
struct Chunk {
  std::string code;
  size_t data;
  uint32_t size;
};
std::vector<Chunk> chunks(const std::string& s, size_t from, size_t to) {
  std::vector<Chunk> out;
  while (from + 8 <= to) {
    Chunk c{s.substr(from, 4), from + 8, le32(s, from + 4)};
    out.push_back(c);
    from += 8 + c.size + (c.size & 1);
  }
  return out;
}
const Chunk* find(const std::vector<Chunk>& list, const std::string& code, const std::string& s,
                  const char* listType = nullptr) {
  for (const Chunk& c : list)
    if (c.code == code && (!listType || s.compare(c.data, 4, listType) == 0)) return &c;
  return nullptr;
}

// Runs n main-loop frames.
void run(int n) {
  headless_queue_frames(n);
  headless_queue_quit(0);
  app_main_loop();
}

TEST_F(Avi, CaptureOf250FramesWithSound) {
  start({"/w"}); // with the (virtual) sound device
  std::string file = path("capture.avi");
  headless_queue_dialog_answer(path("capture").c_str()); // ".avi" is appended
  window_on_command(CMD_AVI);
  ASSERT_EQ(aviState, AVI_CAPTURING);
  EXPECT_EQ(std::string(status_text(3)), "Streaming video to file: " + file + "...");
  run(100);
  EXPECT_STREQ(status_text(3), "Streaming video... 100 frames written so far. Alt+I to stop.");
  run(100);
  EXPECT_STREQ(status_text(3), "Streaming video... 200 frames written so far. Alt+I to stop.");
  run(50);
  window_on_command(CMD_AVI);
  EXPECT_EQ(aviState, AVI_OFF);
  EXPECT_STREQ(status_text(3), "Video stream closed. 250 frames written.");
  app_shutdown();

  std::string s = read_file(file);
  ASSERT_GT(s.size(), 250u * 16384);
  EXPECT_EQ(s.substr(0, 4), "RIFF");
  EXPECT_EQ(le32(s, 4), s.size() - 8);
  EXPECT_EQ(s.substr(8, 4), "AVI ");
  auto top = chunks(s, 12, s.size());
  const Chunk* hdrl = find(top, "LIST", s, "hdrl");
  const Chunk* movi = find(top, "LIST", s, "movi");
  const Chunk* idx1 = find(top, "idx1", s);
  const Chunk* info = find(top, "LIST", s, "INFO");
  ASSERT_TRUE(hdrl && movi && idx1 && info);
  EXPECT_EQ(s.substr(info->data, 4 + 4 + 4 + 17),
            std::string("INFOISBJ\x11\0\0\0Vorn's emulators\0", 29));

  auto header = chunks(s, hdrl->data + 4, hdrl->data + hdrl->size);
  const Chunk* avih = find(header, "avih", s);
  ASSERT_TRUE(avih);
  // The frame rate measured: 3 MHz over 59 808 T-states a frame and the
  // few the last instruction of each slice runs over.
  EXPECT_NEAR(le32(s, avih->data), 19936, 6); // microseconds per frame
  EXPECT_EQ(le32(s, avih->data + 16), 250u);  // frames
  EXPECT_EQ(le32(s, avih->data + 24), 2u);    // streams
  EXPECT_EQ(le32(s, avih->data + 32), 512u);  // width
  EXPECT_EQ(le32(s, avih->data + 36), 256u);  // the whole 256-row picture
  std::vector<const Chunk*> streams;
  for (const Chunk& c : header)
    if (c.code == "LIST" && s.compare(c.data, 4, "strl") == 0) streams.push_back(&c);
  ASSERT_EQ(streams.size(), 2u);
  auto video = chunks(s, streams[0]->data + 4, streams[0]->data + streams[0]->size);
  auto audio = chunks(s, streams[1]->data + 4, streams[1]->data + streams[1]->size);
  EXPECT_EQ(s.substr(video[0].data, 4), "vids");
  double rate = double(le32(s, video[0].data + 24)) / le32(s, video[0].data + 20);
  EXPECT_GT(rate, 3e6 / 59830);
  EXPECT_LE(rate, 3e6 / 59808);
  EXPECT_EQ(le32(s, video[0].data + 32), 250u);        // length
  EXPECT_EQ(video[1].size, 48u);                       // header and two colours
  EXPECT_EQ(le32(s, video[1].data + 8), 256u);         // positive height: bottom-up rows
  EXPECT_EQ(le32(s, video[1].data + 32), 2u);          // colours used
  EXPECT_EQ(le32(s, video[1].data + 44), 0x00FFFFFFu); // white
  EXPECT_EQ(s.substr(audio[0].data, 4), "auds");
  EXPECT_EQ(le32(s, audio[0].data + 24), 48000u);
  EXPECT_EQ(audio[1].size, 18u);

  auto samples = chunks(s, movi->data + 4, movi->data + movi->size);
  uint32_t frames = 0, sound = 0, soundBytes = 0;
  for (const Chunk& c : samples) {
    if (c.code == "00db" && c.size == 256 * 64) ++frames;
    if (c.code == "01wb") {
      ++sound;
      soundBytes += c.size;
      EXPECT_EQ(c.size % 1920, 0u) << "whole 20 ms blocks";
    }
  }
  EXPECT_EQ(frames, 250u);
  EXPECT_EQ(sound, aviAudioChunks);
  // Five seconds of sound, less the block still being filled at the end.
  EXPECT_EQ(le32(s, audio[0].data + 32), soundBytes / 2);
  EXPECT_GE(soundBytes / 2, 249u * 960);
  EXPECT_LE(soundBytes / 2, 250u * 960);
  ASSERT_EQ(idx1->size, (frames + sound) * 16);
  // Index offsets count from the "movi" code.
  EXPECT_EQ(s.substr(idx1->data, 4), "00db");
  EXPECT_EQ(s.substr(movi->data + le32(s, idx1->data + 8), 4), "00db");
  EXPECT_EQ(le32(s, idx1->data + 4), 0x10u); // key frame
}

TEST_F(Avi, SoundIsWhatTheOutputPlayedInOrder) {
  start({"/w"}); // with the (virtual) sound device
  // A square wave on the beeper: output on, wait, output off, wait.
  const uint8_t tone[] = {0x3A, 0x80, 0xE0, 0x06, 0x40, 0x10, 0xFE, 0x3A,
                          0x00, 0xE0, 0x06, 0x40, 0x10, 0xFE, 0x18, 0xF0};
  std::memcpy(memory + 0x4100, tone, sizeof tone);
  cpu.pc = 0x4100;
  ASSERT_TRUE(audio_record_start(path("output.wav").c_str()));
  headless_queue_dialog_answer(path("tone.avi").c_str());
  window_on_command(CMD_AVI);
  ASSERT_EQ(aviState, AVI_CAPTURING);
  run(60);
  window_on_command(CMD_AVI);
  audio_record_stop();
  app_shutdown();

  // The capture's sound, chunk after chunk, is the output as the device got
  // it (the sound recording running alongside), without gaps or repeats.
  std::string s = read_file(path("tone.avi"));
  auto top = chunks(s, 12, s.size());
  const Chunk* movi = find(top, "LIST", s, "movi");
  ASSERT_TRUE(movi);
  std::string sound;
  for (const Chunk& c : chunks(s, movi->data + 4, movi->data + movi->size))
    if (c.code == "01wb") sound += s.substr(c.data, c.size);
  std::string wav = read_file(path("output.wav"));
  ASSERT_GT(wav.size(), 44u);
  EXPECT_GE(sound.size(), 59u * 1920);
  EXPECT_TRUE(sound == wav.substr(44))
      << sound.size() << " bytes captured, " << wav.size() - 44 << " played";
  int16_t low = 0, high = 0;
  for (size_t i = 0; i + 1 < sound.size(); i += 2) {
    int16_t v = static_cast<int16_t>(static_cast<uint8_t>(sound[i]) |
                                     static_cast<uint8_t>(sound[i + 1]) << 8);
    low = std::min(low, v);
    high = std::max(high, v);
  }
  EXPECT_GT(high - low, 2000) << "the tone is in the capture";
}

TEST_F(Avi, VideoOnlyWithoutSound) {
  start({"/h", "/w"});
  headless_queue_dialog_answer(path("quiet.avi").c_str());
  window_on_command(CMD_AVI);
  run(3);
  window_on_command(CMD_AVI);
  app_shutdown();
  std::string s = read_file(path("quiet.avi"));
  ASSERT_GT(s.size(), 100u);
  auto top = chunks(s, 12, s.size());
  const Chunk* hdrl = find(top, "LIST", s, "hdrl");
  ASSERT_TRUE(hdrl);
  auto header = chunks(s, hdrl->data + 4, hdrl->data + hdrl->size);
  EXPECT_EQ(le32(s, find(header, "avih", s)->data + 24), 1u);
  int lists = 0;
  for (const Chunk& c : header) lists += c.code == "LIST";
  EXPECT_EQ(lists, 1);
}

TEST_F(Avi, RowsAreStoredBottomUpAndGdiKeeps512) {
  start({"/h", "/x"});
  ASSERT_TRUE(avi_setup(&frameBitmap, false));
  ASSERT_TRUE(avi_start(path("rows.avi").c_str(), false));
  std::vector<uint8_t> pixels(512 * 64);
  for (int row = 0; row < 512; ++row) std::memset(&pixels[row * 64], row & 0xFF, 64);
  pixels[0] = 0xEE;
  avi_frame(&frameBitmap, false, pixels.data());
  avi_stop();
  app_shutdown();
  std::string s = read_file(path("rows.avi"));
  size_t at = s.find("00db");
  ASSERT_NE(at, std::string::npos);
  ASSERT_EQ(le32(s, at + 4), 512u * 64);
  EXPECT_EQ(static_cast<uint8_t>(s[at + 8]), 511 & 0xFF)
      << "the file's first row is the bottom one";
  EXPECT_EQ(static_cast<uint8_t>(s[at + 8 + 511 * 64]), 0xEE);
}

TEST_F(Avi, AFileThatCannotBeOpened) {
  start({"/h"});
  headless_queue_dialog_answer(path("no/such/folder/x.avi").c_str());
  window_on_command(CMD_AVI);
  EXPECT_EQ(aviState, AVI_OFF);
  EXPECT_EQ(headless_last_message_box(), "Could not open file stream!");
  app_shutdown();
}

TEST_F(Avi, ARunningCaptureIsFinishedAtExit) {
  start({"/h", "/w"});
  headless_queue_dialog_answer(path("exit.avi").c_str());
  window_on_command(CMD_AVI);
  run(2);
  app_shutdown();
  std::string s = read_file(path("exit.avi"));
  ASSERT_GT(s.size(), 12u);
  EXPECT_EQ(le32(s, 4), s.size() - 8);
  EXPECT_NE(s.find("idx1"), std::string::npos);
  EXPECT_EQ(aviState, AVI_OFF);
}

// What ffprobe says of the file's streams ("key=value" lines).
std::string ffprobe(const std::string& file, const char* stream,
                    const char* entries = "stream=nb_read_frames,duration") {
  std::string command = std::string("ffprobe -v error -count_frames -select_streams ") + stream +
                        " -show_entries " + entries + " -of default=nw=1 '" + file + "' 2>&1";
  std::string out;
  if (std::FILE* p = popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, p)) out += buffer;
    pclose(p);
  }
  return out;
}
double duration(const std::string& probe) {
  size_t at = probe.find("duration=");
  return at == std::string::npos ? -1.0 : std::strtod(probe.c_str() + at + 9, nullptr);
}

// Past 4 GiB the file goes on in RIFF AVIX parts with their standard
// indexes, super indexes and the total in dmlh, and ffprobe finds every
// frame. Holes of almost a part each (a sparse file) take it there fast.
TEST_F(Avi, OpenDmlPartsCarryTheFilePast4GiB) {
  start({"/w"}); // with sound
  std::string file = path("large.avi");
  headless_queue_dialog_answer(file.c_str());
  window_on_command(40037);
  ASSERT_EQ(aviState, 2u);
  run(20);
  for (int i = 0; i < 5; ++i) {
    posix_avi_insert_gap(uint64_t{1} << 30); // each part gets one
    run(20);
  }
  window_on_command(40037);
  EXPECT_STREQ(status_text(3), "Video stream closed. 120 frames written.");
  EXPECT_EQ(headless_message_box_count(), 0u);
  app_shutdown();

  uint64_t size = std::filesystem::file_size(file);
  ASSERT_GT(size, uint64_t{9} << 29); // 4.5 GiB
  // The parts: RIFF AVI first, then AVIX, one after the other to the end.
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> types;
  uint64_t firstEnd = 0;
  for (uint64_t at = 0; at < size;) {
    char head[12];
    in.seekg(static_cast<std::streamoff>(at));
    ASSERT_TRUE(in.read(head, sizeof head));
    std::string h(head, sizeof head);
    ASSERT_EQ(h.substr(0, 4), "RIFF") << "at " << at;
    types.push_back(h.substr(8, 4));
    at += 8 + uint64_t{le32(h, 4)};
    if (!firstEnd) firstEnd = at;
  }
  ASSERT_GE(types.size(), 6u);
  EXPECT_EQ(types[0], "AVI ");
  for (size_t i = 1; i < types.size(); ++i) EXPECT_EQ(types[i], "AVIX");
  in.seekg(0);
  std::string head(65536, '\0');
  in.read(&head[0], static_cast<std::streamsize>(head.size()));
  EXPECT_NE(head.find("indx"), std::string::npos);
  size_t dmlh = head.find("dmlh");
  ASSERT_NE(dmlh, std::string::npos);
  EXPECT_EQ(le32(head, dmlh + 8), 120u) << "the total frame count";
  // The first part keeps its old index: its chunks end with idx1.
  std::vector<std::string> firstPart;
  for (uint64_t at = 12; at + 8 <= firstEnd;) {
    char chunk[8];
    in.clear();
    in.seekg(static_cast<std::streamoff>(at));
    ASSERT_TRUE(in.read(chunk, sizeof chunk));
    firstPart.emplace_back(chunk, 4);
    at += 8 + uint64_t{le32(std::string(chunk, 8), 4)};
    at += at & 1;
  }
  ASSERT_GE(firstPart.size(), 2u);
  EXPECT_EQ(firstPart.back(), "idx1");

  std::string video = ffprobe(file, "v:0"), audio = ffprobe(file, "a:0");
  EXPECT_NE(video.find("nb_read_frames=120\n"), std::string::npos) << video;
  EXPECT_NEAR(duration(video), 120 * 623 / 31250.0, 0.001) << video;
  // The sound's length: its packets' bytes, 2 a sample at 48 kHz.
  std::string packets = ffprobe(file, "a:0", "packet=size");
  double sound = 0;
  for (size_t at = packets.find("size="); at != std::string::npos;
       at = packets.find("size=", at + 5))
    sound += std::strtod(packets.c_str() + at + 5, nullptr) / 2 / 48000;
  EXPECT_NEAR(sound, duration(video), 623 / 31250.0) << audio;
  std::filesystem::remove(file);
}

// What a capture of several parts holds while it runs, which is what a run
// killed then leaves: every part's RIFF size holds, the finished ones are in
// the super index, the counts are within half a second of the frames in the
// file.
TEST_F(Avi, ARunningCaptureOfSeveralPartsIsReadable) {
  start({"/w"});
  posix_avi_set_part_limit(400000); // about 23 frames with their sound a part
  std::string file = path("running.avi");
  headless_queue_dialog_answer(file.c_str());
  window_on_command(40037);
  run(140);
  std::string s = read_file(file);
  std::string video = ffprobe(file, "v:0");
  window_on_command(40037);
  posix_avi_set_part_limit(0);
  app_shutdown();

  EXPECT_NE(video.find("nb_read_frames=140\n"), std::string::npos) << video;
  auto top = chunks(s, 12, std::min<size_t>(s.size(), le32(s, 4) + 8));
  const Chunk* hdrl = find(top, "LIST", s, "hdrl");
  ASSERT_TRUE(hdrl && find(top, "idx1", s)) << "the first part ends with its old index";
  auto header = chunks(s, hdrl->data + 4, hdrl->data + hdrl->size);
  auto videoList = chunks(s, header[1].data + 4, header[1].data + header[1].size);
  ASSERT_EQ(videoList.size(), 3u);
  EXPECT_NEAR(le32(s, videoList[0].data + 32), 140, 25) << "the video stream's length";
  ASSERT_EQ(videoList[2].code, "indx");
  size_t dmlh = s.find("dmlh");
  ASSERT_NE(dmlh, std::string::npos);
  EXPECT_NEAR(le32(s, dmlh + 8), 140, 25) << "the total in dmlh";
  uint64_t next = le32(s, 4) + 8;
  uint32_t avix = 0;
  for (; next + 12 <= s.size() && s.compare(next, 4, "RIFF") == 0; ++avix)
    next += 8 + uint64_t{le32(s, next + 4)};
  EXPECT_EQ(avix, le32(s, videoList[2].data + 4)) << "the finished parts indexed, then the last";
  EXPECT_LE(next, s.size());
  EXPECT_GT(next + 25 * 18000, s.size()) << "the last part's size is kept current";
}

// A capture that cannot go on (here: the super index is full after 256
// small parts) stops with a message, and the file holds what was written.
TEST_F(Avi, ACaptureThatCannotGoOnStopsWithAReadableFile) {
  start({"/w"});
  posix_avi_set_part_limit(40000); // two frames with their sound a part
  std::string file = path("parts.avi");
  headless_queue_dialog_answer(file.c_str());
  window_on_command(40037);
  run(600);
  posix_avi_set_part_limit(0);
  EXPECT_EQ(aviState, 0u);
  EXPECT_EQ(headless_message_box_count(), 1u);
  uint32_t frames = aviVideoFrames;
  EXPECT_GT(frames, 400u);
  EXPECT_LT(frames, 600u);
  EXPECT_EQ(std::string(status_text(3)),
            "Video stream closed. " + std::to_string(frames) + " frames written.");
  EXPECT_NE(headless_last_message_box().find(std::to_string(frames) + " képkocka"),
            std::string::npos)
      << headless_last_message_box();
  app_shutdown();
  std::string video = ffprobe(file, "v:0");
  EXPECT_NE(video.find("nb_read_frames=" + std::to_string(frames) + "\n"), std::string::npos)
      << video;
}

} // namespace
