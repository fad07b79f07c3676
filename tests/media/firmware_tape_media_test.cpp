// Our Tarvik firmware with the media layer: the monitor's save and load
// through the tape-image traps, the emulator's autoload starting a program
// through the ROM's program start, and a save recorded into a WAV tape and
// loaded back from it by the ROM's own bit-level routines; the tape
// browser's list of an image and of a recording, wound to its second block
// and loaded from there by the firmware.
#include <algorithm>
#include <string>
#include <vector>

#include "host/core/keys.h"
#include "host/platform.h"
#include "machine/keyboard.h"
#include "machine/video.h"
#include "media/tape_encode.h"
#include "media/tape_list.h"
#include "media/wav_format.h"
#include "tests/common/tarvik_firmware_screen.h"
#include "tests/media/media_fixture.h"

namespace {

std::string row_text(int y) { return firmware_screen::row(y); }

std::string screen_text() { return firmware_screen::text(); }

bool screen_has(const std::string& text) { return screen_text().find(text) != std::string::npos; }

bool at_prompt() {
  for (int y = 31; y >= 0; --y)
    if (!row_text(y).empty()) return row_text(y) == ">";
  return false;
}

template <typename F> int frames_until(F done, int limit) {
  for (int i = 0; i <= limit; ++i) {
    if (done()) return i;
    run_frame();
  }
  return -1;
}

class FirmwareTapeMedia : public MediaTest {
protected:
  void boot() {
    host_keys_release();
    machineState.currentModel = MODEL_TARVIK41;
    machineState.ramSizeIndex = 3; // 16 KB
    machineState.symbolicKeyboard = 0;
    machineState.screenMode32 = 0;
    video_clear();
    machine_init();
    ASSERT_GE(frames_until(at_prompt, 50), 0) << screen_text();
  }
  void command(const std::string& line, int limit = 200) {
    const std::string text = line + "\r";
    ASSERT_TRUE(paste_begin(text.data(), text.size()));
    ASSERT_GE(frames_until([] { return !paste_active() && at_prompt(); }, limit), 0)
        << line << "\n"
        << screen_text();
  }
  void TearDown() override {
    wav_close();
    MediaTest::TearDown();
  }
};

std::vector<uint8_t> block(const std::string& name, uint16_t address,
                           const std::vector<uint8_t>& data, int trailers) {
  return firmware_screen::tape_block(name, address, data, trailers);
}

TEST_F(FirmwareTapeMedia, MonitorSaveWritesATapeImage) {
  boot();
  const std::string path = temp_path("save.tkt");
  headless_queue_dialog_answer(path.c_str());
  command("M 4100 01 02 03 FE");
  command("K PROBA 4100 4103");
  EXPECT_EQ(read_file(path), block("PROBA", 0x4100, {1, 2, 3, 0xFE}, 2));
  EXPECT_TRUE(screen_has("K\x7Bsz.")) << screen_text();
}

TEST_F(FirmwareTapeMedia, MonitorLoadsAnExportedImage) {
  boot();
  std::vector<uint8_t> data;
  for (int i = 0; i < 200; ++i) data.push_back(static_cast<uint8_t>(i * 3 + 1));
  const std::string path = temp_path("jatek.tkt");
  ASSERT_TRUE(
      tape_save_memory(path.c_str(), 0x4400, static_cast<uint32_t>(data.size()), data.data()));
  ASSERT_TRUE(tape_attach(path.c_str()));
  command("B");
  for (size_t i = 0; i < data.size(); ++i) ASSERT_EQ(memory[0x4400 + i], data[i]) << i;
  // The export names the block after the file: its name without the
  // extension, cut to 16 characters.
  std::string name = path.substr(path.find_last_of("/\\") + 1);
  name = name.substr(0, std::min<size_t>(name.rfind('.'), 16));
  EXPECT_TRUE(screen_has(name + " 4400-44C7")) << screen_text();
  EXPECT_TRUE(screen_has("Bet\x7Cltve."));
  EXPECT_EQ(memory[0x4030] | memory[0x4031] << 8, 0x4400);
  EXPECT_EQ(memory[0x4018] | memory[0x4019] << 8, 0x44C8);
}

// A save after a load from an attached image goes to the new file whole:
// the save ends the attachment.
TEST_F(FirmwareTapeMedia, SaveAfterLoadingFromAnAttachedImageWritesEveryByte) {
  boot();
  const std::vector<uint8_t> data = {0x11, 0x22, 0x33};
  const std::string image = temp_path("elso.tkt");
  ASSERT_TRUE(tape_save_memory(image.c_str(), 0x4200, 3, data.data()));
  const std::vector<uint8_t> imageBytes = read_file(image);
  ASSERT_TRUE(tape_attach(image.c_str()));
  command("B");
  ASSERT_EQ(memory[0x4202], 0x33);
  const std::string path = temp_path("masik.tkt");
  headless_queue_dialog_answer(path.c_str());
  command("M 4100 01 02 03 FE");
  command("K MASIK 4100 4103");
  const std::vector<uint8_t> saved = read_file(path);
  EXPECT_EQ(saved.size(), 274u);
  EXPECT_EQ(saved, block("MASIK", 0x4100, {1, 2, 3, 0xFE}, 2));
  EXPECT_EQ(read_file(image), imageBytes); // the image is untouched
}

// A key stops the search on a tape without blocks; that key is not typed at
// the prompt that follows.
TEST_F(FirmwareTapeMedia, KeyThatStopsTheSearchIsNotTyped) {
  boot();
  std::vector<uint8_t> noise(20000);
  uint32_t x = 7;
  for (uint8_t& b : noise) {
    x = x * 1103515245 + 12345;
    b = static_cast<uint8_t>(x >> 16);
    if (b == 0xA5) b = 0x5A; // no sync byte: the search never ends by itself
  }
  const std::string path = temp_path("zaj.tkt");
  write_file(path, noise);
  ASSERT_TRUE(tape_attach(path.c_str()));
  const std::string text = "B\r";
  ASSERT_TRUE(paste_begin(text.data(), text.size()));
  ASSERT_GE(frames_until([] { return screen_has("Keres"); }, 100), 0) << screen_text();
  run_frames(5);
  ASSERT_FALSE(at_prompt()) << screen_text();
  headless_set_key('X', true);
  ASSERT_GE(frames_until([] { return screen_has("Megszak"); }, 50), 0) << screen_text();
  run_frames(20); // the key is held on for a while, as a hand does
  headless_set_key('X', false);
  run_frames(10);
  EXPECT_TRUE(at_prompt()) << screen_text();
}

TEST_F(FirmwareTapeMedia, AutoloadWithSystemVariablesStartsTheProgram) {
  boot();
  // A block from 4016h: the system variables with the program start at
  // 4030h, and at 4100h a program that prints "KUKAC" and returns.
  std::vector<uint8_t> data(memory + 0x4016, memory + 0x4100);
  data[0x4030 - 0x4016] = 0x00;
  data[0x4031 - 0x4016] = 0x41;
  for (char c : std::string("KUKAC")) {
    data.push_back(0x3E); // ld a,c
    data.push_back(static_cast<uint8_t>(c));
    data.push_back(0xD7); // rst 10h
  }
  data.push_back(0xC9);
  const std::string path = temp_path("auto.tkt");
  ASSERT_TRUE(
      tape_save_memory(path.c_str(), 0x4016, static_cast<uint32_t>(data.size()), data.data()));
  ASSERT_TRUE(tape_autoload(path.c_str()));
  EXPECT_EQ(cpu.pc, 0x179D);
  ASSERT_GE(frames_until([] { return screen_has("KUKAC") && at_prompt(); }, 20), 0)
      << screen_text();
}

TEST_F(FirmwareTapeMedia, SaveToWavAndLoadItBack) {
  boot();
  std::vector<uint8_t> data;
  uint32_t x = 99;
  for (int i = 0; i < 64; ++i) {
    x = x * 1103515245 + 12345;
    data.push_back(static_cast<uint8_t>(x >> 16));
  }
  std::copy(data.begin(), data.end(), memory + 0x4100);
  const std::string wav = temp_path("adat.wav");
  ASSERT_TRUE(wav_menu_create(wav.c_str()));
  EXPECT_FALSE(tape_traps_installed());
  wav_set_running(1, cpu.tcount);
  command("K ADAT 4100 413F", 400);
  run_frames(10);
  wav_menu_close();
  const std::vector<uint8_t> file = read_file(wav);
  ASSERT_GT(file.size(), 44u + 44100);

  std::fill(memory + 0x4100, memory + 0x4140, 0);
  ASSERT_TRUE(wav_menu_attach(wav.c_str()));
  EXPECT_FALSE(tape_traps_installed());
  command("B", 600);
  for (size_t i = 0; i < data.size(); ++i) ASSERT_EQ(memory[0x4100 + i], data[i]) << i;
  EXPECT_TRUE(screen_has("ADAT 4100-413F")) << screen_text();
  EXPECT_TRUE(screen_has("Bet\x7Cltve."));
}

// Two blocks as the firmware saves them; the second one's bytes.
std::vector<uint8_t> two_blocks(size_t* secondAt) {
  std::vector<uint8_t> image = block("ELSO", 0x4100, {1, 2, 3}, 2);
  *secondAt = image.size();
  const std::vector<uint8_t> second = block("MASODIK", 0x4200, {7, 8, 9, 10}, 2);
  image.insert(image.end(), second.begin(), second.end());
  image[*secondAt - 3] ^= 0xFF; // the first block's checksum spoilt
  return image;
}

void expect_two_rows(const TapeList& list) {
  ASSERT_EQ(list.blocks.size(), 2u) << list.notice;
  const TapeListRow first = tape_list_row(list.blocks[0]), second = tape_list_row(list.blocks[1]);
  EXPECT_EQ(first.name + " " + first.range + " " + first.length + " " + first.check,
            "ELSO 4100-4102 3 hibás");
  EXPECT_EQ(second.name + " " + second.range + " " + second.length + " " + second.check,
            "MASODIK 4200-4203 4 jó");
}

// The browser's list of an attached image: its blocks and the place, which
// the firmware's reading moves; wound to the second block, the firmware's
// B loads that one. Without a tape the list is empty and winding does
// nothing.
TEST_F(FirmwareTapeMedia, BrowserWindsAnImageToItsSecondBlock) {
  boot();
  EXPECT_TRUE(tape_list().blocks.empty());
  EXPECT_EQ(tape_list().notice, "Nincs csatolt kazetta (TKT vagy WAV).");
  EXPECT_FALSE(tape_list_wind(0));
  size_t secondAt = 0;
  const std::string path = temp_path("ketto.tkt");
  write_file(path, two_blocks(&secondAt));
  ASSERT_TRUE(tape_attach(path.c_str()));
  const TapeList& list = tape_list();
  expect_two_rows(list);
  EXPECT_EQ(list.blocks[1].start, secondAt - 2); // the first block's trailer starts its leader
  TapePlace place;
  ASSERT_TRUE(tape_list_place(&place));
  EXPECT_EQ(place.kind, TAPE_PLACE_IN);
  EXPECT_EQ(place.block, 0u);
  EXPECT_EQ(tape_list_place_text(), "Pozíció: 0. bájt, a(z) 1. blokkban.");
  EXPECT_FALSE(tape_list_wind(2));

  ASSERT_TRUE(tape_list_wind(1));
  ASSERT_TRUE(tape_list_place(&place));
  EXPECT_EQ(place.kind, TAPE_PLACE_IN);
  EXPECT_EQ(place.block, 1u);
  EXPECT_EQ(place.at, list.blocks[1].start);
  memory[0x4100] = 0x55;
  command("B");
  EXPECT_EQ(memory[0x4100], 0x55); // the first block was wound past
  for (int i = 0; i < 4; ++i) EXPECT_EQ(memory[0x4200 + i], 7 + i) << i;
  EXPECT_TRUE(screen_has("MASODIK 4200-4203")) << screen_text();
  ASSERT_TRUE(tape_list_place(&place));
  EXPECT_EQ(place.kind, TAPE_PLACE_AFTER_LAST);
  // Wound back, the position is the first block's again.
  ASSERT_TRUE(tape_list_wind(0));
  ASSERT_TRUE(tape_list_place(&place));
  EXPECT_EQ(place.at, 0u);
}

// A recording made by our own writer: the decoder finds the same blocks,
// a wind lands on the second block's leader and the firmware loads that
// block from the signal. A recording without blocks lists nothing and says
// so.
TEST_F(FirmwareTapeMedia, BrowserWindsARecordingToItsSecondBlock) {
  boot();
  size_t secondAt = 0;
  const std::vector<uint8_t> image = two_blocks(&secondAt);
  const uint64_t pause = secondAt - 2;
  const std::string wav = temp_path("ketto.wav");
  std::FILE* f = std::fopen(wav.c_str(), "wb+");
  ASSERT_TRUE(f);
  ASSERT_TRUE(tape_encode_wav(f, image.data(), image.size(), &pause, 1));
  std::fclose(f);
  ASSERT_TRUE(wav_menu_attach(wav.c_str()));
  const TapeList& list = tape_list();
  expect_two_rows(list);
  EXPECT_EQ(list.kind, TAPE_LIST_WAV);
  TapePlace place;
  ASSERT_TRUE(tape_list_place(&place));
  EXPECT_EQ(place.kind, TAPE_PLACE_BEFORE); // a second of silence first
  EXPECT_EQ(place.block, 0u);

  ASSERT_TRUE(tape_list_wind(1));
  EXPECT_EQ(wav_tape_position(), list.blocks[1].start);
  wav_set_running(1, cpu.tcount);
  memory[0x4100] = 0x55;
  command("B", 600);
  EXPECT_EQ(memory[0x4100], 0x55);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(memory[0x4200 + i], 7 + i) << i;
  EXPECT_TRUE(screen_has("MASODIK 4200-4203")) << screen_text();

  const std::string quiet = temp_path("csend.wav");
  std::vector<uint8_t> silence(44 + 44100, 0x80);
  wav_header(silence.data(), 44100, 8, 1);
  write_file(quiet, silence);
  ASSERT_TRUE(wav_menu_attach(quiet.c_str()));
  EXPECT_TRUE(tape_list().blocks.empty());
  EXPECT_EQ(tape_list().notice,
            quiet.substr(quiet.find_last_of('/') + 1) + ": a felvételben nincs Tarvik blokk.");
  EXPECT_FALSE(tape_list_wind(0));
  EXPECT_EQ(tape_list_place_text(), tape_list().notice);
}

// The Veltra-16 reads its tape on demand by the time: after a wind the
// samples it reads go on from the chosen block's leader, whether the tape
// was running or started afterwards.
TEST_F(FirmwareTapeMedia, BrowserWindOnTheVeltraReadsOnFromTheLeader) {
  media_machine_reset(MODEL_VELTRA16);
  size_t secondAt = 0;
  const std::vector<uint8_t> image = two_blocks(&secondAt);
  const std::string wav = temp_path("veltra.wav");
  std::FILE* f = std::fopen(wav.c_str(), "wb+");
  ASSERT_TRUE(f);
  ASSERT_TRUE(tape_encode_wav(f, image.data(), image.size(), nullptr, 0));
  std::fclose(f);
  ASSERT_TRUE(wav_menu_attach(wav.c_str()));
  ASSERT_EQ(tape_list().blocks.size(), 2u);
  const uint64_t leader = tape_list().blocks[1].start;
  const int64_t tenMs = static_cast<int64_t>(cpu.clockHz / 100); // 441 samples
  for (int running : {0, 1}) {
    wav_set_running(running, cpu.tcount);
    cpu.tcount += tenMs;
    wav_playback_sample(cpu.tcount);
    ASSERT_TRUE(tape_list_wind(1));
    if (!running) {
      cpu.tcount += 5 * tenMs; // stopped meanwhile
      wav_set_running(1, cpu.tcount);
    }
    cpu.tcount += tenMs;
    wav_playback_sample(cpu.tcount);
    EXPECT_NEAR(static_cast<double>(wav_tape_position()), static_cast<double>(leader + 441), 1.0)
        << running;
    wav_set_running(0, cpu.tcount);
  }
}

} // namespace
