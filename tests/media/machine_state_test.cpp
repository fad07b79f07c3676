// The complete machine state: a save and a load in the middle of a tape
// load, a speech phrase and a paste give back the same run; a damaged,
// truncated or other-version state is refused and changes nothing; a load
// switches the machine to the state's model and RAM size.
#include <cstring>
#include <string>
#include <vector>

#include "cpu/state_io.h"
#include "host/core/layers.h"
#include "machine/cassette.h"
#include "machine/hooks.h"
#include "machine/keyboard.h"
#include "machine/mea8000.h"
#include "machine/ports.h"
#include "machine/printer.h"
#include "machine/sound.h"
#include "machine/video.h"
#include "media/machine_state.h"
#include "tests/common/tarvik_firmware_screen.h"
#include "tests/media/media_fixture.h"

namespace {

bool at_prompt() {
  for (int y = 31; y >= 0; --y) {
    const std::string r = firmware_screen::row(y);
    if (!r.empty()) return r == ">";
  }
  return false;
}

uint64_t fnv(const uint8_t* p, size_t n, uint64_t h = 1469598103934665603ull) {
  for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

// The sound as the machine makes it: every sample of the mix from the
// machine's start, hashed, at 48 kHz of the cycle counter. Its position is
// the test's own, saved and put back with the machine's state.
struct SoundTap {
  uint64_t position = 0;
  uint64_t hash = 1469598103934665603ull;
  uint64_t nonZero = 0;
} soundTap;

void tap_update(int64_t t) {
  if (t < 0 || cpu.clockHz == 0) return;
  const uint64_t target = static_cast<uint64_t>(t) * 48000 / cpu.clockHz;
  int16_t block[960];
  while (soundTap.position < target) {
    const int n = static_cast<int>(std::min<uint64_t>(960, target - soundTap.position));
    sound_render(block, n);
    for (int i = 0; i < n; ++i) soundTap.nonZero += block[i] != 0;
    soundTap.hash =
        fnv(reinterpret_cast<const uint8_t*>(block), sizeof block[0] * n, soundTap.hash);
    soundTap.position += static_cast<uint64_t>(n);
  }
}
void tap_nothing() {}

class MachineStateTest : public MediaTest {
protected:
  void boot(uint32_t model, uint32_t ram = 3) {
    keyboard_release_all();
    machineState.currentModel = model;
    machineState.ramSizeIndex = ram;
    machineState.symbolicKeyboard = 0;
    machineState.screenMode32 = 0;
    video_clear();
    machine_init();
    // The Veltra-16 draws its own screen: it gets the same time.
    const bool prompt = model != MODEL_VELTRA16;
    for (int i = 0; i < 60 && !(prompt && at_prompt()); ++i) run_frame();
    if (prompt) { ASSERT_TRUE(at_prompt()) << firmware_screen::text(); }
  }
  void TearDown() override {
    host_connect_layers(); // the host's sound output back
    paste_cancel();
    wav_close();
    MediaTest::TearDown();
  }
  char message[512] = {};
};

// ---- the determinism test -------------------------------------------------

// What the user does at each frame: keys typed into the monitor, a speech
// phrase sent to the chip as it asks for bytes, and a paste. The same frame
// number gives the same input, so that a run from a loaded state can be
// given the inputs of the run that made it.
const char kTyped[] = "M 4100 12 34\rD 4100\rM 4200 AB\r";
int sent; // speech bytes sent: the test's input state, kept with the machine's

void user_input(int frame) {
  // A key every eight frames: down for four, up for four, with Shift for
  // the letters (this firmware types capitals with Shift).
  const int step = frame / 8, phase = frame % 8;
  const char c = kTyped[step % (sizeof kTyped - 1)];
  const bool letter = c >= 'A' && c <= 'Z';
  const uint8_t vk = c == ' ' ? 0x20 : c == '\r' ? 0x0D : static_cast<uint8_t>(c);
  if (phase == 0) {
    if (letter) keyboard_key_event(0x10, true, 0, KEY_MOD_SHIFT);
    keyboard_key_event(vk, true, static_cast<uint8_t>(c), letter ? KEY_MOD_SHIFT : 0u);
  } else if (phase == 4) {
    keyboard_key_event(vk, false, static_cast<uint8_t>(c), letter ? KEY_MOD_SHIFT : 0u);
    if (letter) keyboard_key_event(0x10, false, 0, 0);
  }
  // A phrase from frame 980 to about 1060: a start pitch, then frames of
  // 32 ms with moving formants, each byte when the chip is ready.
  if (frame == 980) {
    sent = 0;
    mea_write(0xF8, 0x50); // the start pitch
    mea_write(0xF9, 0x08); // stopped by the watchdog when no more bytes come
  }
  if (frame > 980 && sent < 4 * 40 && (mea_read(0xF9) & 0x80)) {
    for (int k = 0; k < 4 && sent < 4 * 40; ++k, ++sent) {
      const int n = sent / 4;
      const uint8_t bytes[4] = {0x5A, static_cast<uint8_t>(0x20 | (n % 32)),
                                static_cast<uint8_t>((n * 3 % 32) << 3 | 7),
                                static_cast<uint8_t>(0xC0 | (n % 2 ? 3 : 29))};
      mea_write(0xF8, bytes[k]);
    }
  }
  if (frame == 995) {
    const std::string text = "M 4300 01 02 03 04 05 06 07 08\rD 4300\rM 4400 11 22\r";
    paste_begin(text.data(), text.size());
  }
}

struct Hashes {
  std::vector<uint64_t> frames;
  std::vector<uint64_t> sound;
};

void run_and_hash(int from, int to, Hashes* out) {
  for (int frame = from; frame < to; ++frame) {
    user_input(frame);
    run_frame();
    video_render();
    tap_update(cpu.tcount);
    out->frames.push_back(fnv(frameBuffer, 256 * kFrameRowBytes));
    out->sound.push_back(soundTap.hash);
  }
}

TEST_F(MachineStateTest, LoadedStateRunsTheSameFramesAndSoundWithTheSameInput) {
  boot(MODEL_DORVANE);
  MachineHooks hooks{tap_update, tap_nothing, tap_nothing, nullptr};
  machine_set_hooks(hooks);
  soundTap = SoundTap{};
  soundTap.position = static_cast<uint64_t>(cpu.tcount) * 48000 / cpu.clockHz;
  Hashes ignored;
  run_and_hash(0, 1000, &ignored);
  // In the middle of everything: a phrase being spoken, a paste being
  // typed, a key change waiting.
  ASSERT_EQ(mea.stopped, 0);
  ASSERT_TRUE(paste_active());
  std::vector<uint8_t> state;
  machine_state_save(state);
  const SoundTap tapAtSave = soundTap;
  const int sentAtSave = sent;
  Hashes first, second;
  run_and_hash(1000, 3000, &first);
  EXPECT_GT(soundTap.nonZero, tapAtSave.nonZero) << "the phrase was heard";
  EXPECT_FALSE(paste_active());
  const std::string screenAfter = firmware_screen::text();

  // The state loads into a machine that has moved on elsewhere: another
  // model and RAM size, the keyboard in the other mode.
  ASSERT_TRUE(machine_select_model(MODEL_VELTRA16));
  ASSERT_TRUE(machine_set_ram_size(1));
  machine_set_symbolic_keyboard(1);
  run_frames(20);
  ASSERT_TRUE(machine_state_load(state.data(), state.size(), message, sizeof message)) << message;
  EXPECT_STREQ(message, "");
  soundTap = tapAtSave;
  sent = sentAtSave;
  run_and_hash(1000, 3000, &second);
  ASSERT_EQ(first.frames.size(), second.frames.size());
  for (size_t i = 0; i < first.frames.size(); ++i) {
    ASSERT_EQ(first.frames[i], second.frames[i]) << "frame " << 1000 + i;
    ASSERT_EQ(first.sound[i], second.sound[i]) << "sound up to frame " << 1000 + i;
  }
  EXPECT_EQ(firmware_screen::text(), screenAfter);
}

// The tag of the record that holds byte `offset` of a state.
std::string record_at(const std::vector<uint8_t>& s, size_t offset) {
  for (size_t at = 8; at + 10 <= s.size() - 4;) {
    const size_t end = at + 10 + le32(s, at + 6);
    if (offset < end) return std::string(reinterpret_cast<const char*>(&s[at]), 4);
    at = end;
  }
  return "the header or checksum";
}

// ---- every record as saved -------------------------------------------------

// A state loaded into another machine saves again to the same bytes, on
// every model: each record's fields come back in full. The registers the
// old snapshot left out are checked by name.
TEST_F(MachineStateTest, EveryRecordComesBackOnEveryModel) {
  for (uint32_t model = 0; model < MODEL_COUNT; ++model) {
    SCOPED_TRACE(model);
    boot(model, 6);
    const std::string line = "12345678\r";
    ASSERT_TRUE(paste_begin(line.data(), line.size()));
    run_frames(1);
    ASSERT_TRUE(paste_active());
    cpu.i = 0x3F;
    cpu.r = 0x85;
    cpu.iff1 = 1;
    cpu.iff2 = 0;
    cpu.im = 2;
    cpu.af_alt.w = 0x1234;
    cpu.iy.w = 0xBEEF;
    port_out(0x81, 1);               // the user character set
    machineState.highBankOffset = 0; // all RAM: the 64 KB paging switch
    userCharset[5] = 0xA5;
    keyboard_key_event('Q', true, 'q', 0);
    pioChannels[1].vector = 0x5A; // the parallel interface programmed
    pioChannels[1].mode = 3;
    std::snprintf(printerPath, sizeof printerPath, "%s", "nyomtato.txt");
    cassetteLastRead = cpu.tcount - 1000; // the cassette input read a moment ago
    const CpuState registers = cpu;
    std::vector<uint8_t> saved;
    machine_state_save(saved);

    boot(model == MODEL_DORVANE ? MODEL_VELTRA16 : MODEL_DORVANE, 3);
    std::snprintf(printerPath, sizeof printerPath, "%s", "masik.txt");
    run_frames(3);
    ASSERT_TRUE(machine_state_load(saved.data(), saved.size(), message, sizeof message)) << message;
    EXPECT_EQ(machineState.currentModel, model);
    EXPECT_EQ(machineState.ramSizeIndex, 6u);
    EXPECT_EQ(machineState.highBankOffset, 0u);
    EXPECT_EQ(cpu.i, 0x3F);
    EXPECT_EQ(cpu.r, 0x85);
    EXPECT_EQ(cpu.iff1, 1);
    EXPECT_EQ(cpu.iff2, 0);
    EXPECT_EQ(cpu.im, 2);
    EXPECT_EQ(std::memcmp(&cpu, &registers, sizeof cpu), 0);
    EXPECT_TRUE(paste_active());
    std::vector<uint8_t> again;
    machine_state_save(again);
    ASSERT_EQ(again.size(), saved.size());
    for (size_t i = 0; i < saved.size(); ++i)
      ASSERT_EQ(again[i], saved[i]) << "byte " << i << " of " << record_at(saved, i);
  }
}

// ---- a tape being loaded ----------------------------------------------------

TEST_F(MachineStateTest, LoadInTheMiddleOfATapeLoadFinishesItEvenWithTheFileGone) {
  boot(MODEL_TARVIK41);
  std::vector<uint8_t> data(0x2000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
  const std::string path = temp_path("hosszu.tkt");
  ASSERT_TRUE(
      tape_save_memory(path.c_str(), 0x4400, static_cast<uint32_t>(data.size()), data.data()));
  ASSERT_TRUE(tape_attach(path.c_str()));
  const std::string line = "B\r";
  ASSERT_TRUE(paste_begin(line.data(), line.size()));
  // Frame by frame until the tape is partly read.
  int frames = 0;
  while (frames < 2000 && tapeFile && tapeFile->position < data.size() / 2) {
    run_frame();
    ++frames;
  }
  ASSERT_NE(tapeFile, nullptr);
  ASSERT_GT(tapeFile->position, 0u);
  const size_t positionAtSave = tapeFile->position;
  std::vector<uint8_t> state;
  machine_state_save(state);
  std::remove(path.c_str());

  // Something else in between: another model, another RAM size, no tape.
  tape_close();
  ASSERT_TRUE(machine_select_model(MODEL_VELTRA16));
  ASSERT_TRUE(machine_set_ram_size(6));
  run_frames(10);

  ASSERT_TRUE(machine_state_load(state.data(), state.size(), message, sizeof message)) << message;
  EXPECT_EQ(machineState.currentModel, MODEL_TARVIK41);
  EXPECT_EQ(machineState.ramSizeIndex, 3u);
  EXPECT_EQ(machineState.ramTop, 0x77FFu);
  EXPECT_EQ(cpu.clockHz, 3000000u);
  ASSERT_NE(tapeFile, nullptr);
  EXPECT_EQ(tapeFile->position, positionAtSave);
  EXPECT_TRUE(tape_traps_installed());
  for (int i = 0; i < 2000 && !(at_prompt() && !tapeFile); ++i) run_frame();
  for (size_t i = 0; i < data.size(); ++i) ASSERT_EQ(memory[0x4400 + i], data[i]) << i;
  EXPECT_TRUE(firmware_screen::text().find("Bet\x7Cltve.") != std::string::npos)
      << firmware_screen::text();
}

// ---- refusals ----------------------------------------------------------------

// The parts of the machine a refused load must not touch.
struct Fingerprint {
  uint64_t memoryHash, pictureHash;
  CpuState registers;
  MachineState machine;
  bool operator==(const Fingerprint& o) const {
    return memoryHash == o.memoryHash && pictureHash == o.pictureHash &&
           std::memcmp(&registers, &o.registers, sizeof registers) == 0 &&
           std::memcmp(&machine, &o.machine, sizeof machine) == 0;
  }
};
Fingerprint fingerprint() {
  return {fnv(memory, sizeof memory), fnv(frameBuffer, sizeof frameBuffer), cpu, machineState};
}

// Rewrites the checksum, so that a change reaches the checks behind it.
void seal(std::vector<uint8_t>& s) {
  const uint32_t crc = state_crc32(s.data(), s.size() - 4);
  for (int i = 0; i < 4; ++i) s[s.size() - 4 + i] = static_cast<uint8_t>(crc >> (8 * i));
}

// The offset of a record's first field.
size_t record_body(const std::vector<uint8_t>& s, const char* tag) {
  size_t at = 8;
  while (at + 10 <= s.size() - 4) {
    const uint32_t length = le32(s, at + 6);
    if (std::memcmp(&s[at], tag, 4) == 0) return at + 10;
    at += 10 + length;
  }
  return 0;
}

TEST_F(MachineStateTest, DamagedTruncatedOrOtherVersionStatesAreRefusedAndChangeNothing) {
  boot(MODEL_TARVIK31, 6);
  std::vector<uint8_t> good;
  machine_state_save(good);
  run_frames(5);
  boot(MODEL_DORVANE, 3);
  run_frames(7);
  const Fingerprint before = fingerprint();

  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* says;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", {}, "nem Tarvik"});
  cases.push_back(
      {"a TKS snapshot's magic", {'T', 'K', '0', '1', 0, 0, 0, 0, 0, 0, 0, 0}, "nem Tarvik"});
  for (size_t cut : {size_t{6}, size_t{12}, good.size() / 2, good.size() - 1}) {
    std::vector<uint8_t> s(good.begin(), good.begin() + static_cast<long>(cut));
    cases.push_back({"truncated", s, ""});
  }
  std::vector<uint8_t> flipped = good;
  flipped[good.size() / 3] ^= 0x10;
  cases.push_back({"one bit changed", flipped, "sérült"});
  std::vector<uint8_t> version = good;
  version[4] = 2;
  seal(version);
  cases.push_back({"format version 2", version, "2. változatú"});
  std::vector<uint8_t> recordVersion = good;
  recordVersion[record_body(good, "KEYS") - 6] = 9;
  seal(recordVersion);
  cases.push_back({"a record of version 9", recordVersion, "KEYS rekordja 9. változatú"});
  std::vector<uint8_t> model = good;
  model[6] = 7;
  seal(model);
  cases.push_back({"model 7", model, "ismeretlen"});
  std::vector<uint8_t> header = good;
  header[7] = 2; // the machine record still says 6
  seal(header);
  cases.push_back({"header and machine record differ", header, "eltérnek"});
  std::vector<uint8_t> im = good;
  im[record_body(good, "CPU ") + 28] = 3; // interrupt mode 3
  seal(im);
  cases.push_back({"interrupt mode 3", im, "CPU  rekordja hibás"});
  std::vector<uint8_t> slow = good;
  // A clock too slow for one T-state a scan line, and a cycle count near
  // where sums of counts overflow.
  const size_t clockAt = record_body(good, "CPU ") + 49;
  for (int i = 0; i < 16; ++i) slow[clockAt + i] = 0;
  slow[clockAt] = 0xE8; // 1000 Hz
  slow[clockAt + 1] = 0x03;
  seal(slow);
  cases.push_back({"a clock of 1000 Hz", slow, "CPU  rekordja hibás"});
  std::vector<uint8_t> late = good;
  late[clockAt - 1] = 0x7F; // the cycle count's top byte
  seal(late);
  cases.push_back({"a cycle count near the end of its range", late, "CPU  rekordja hibás"});
  std::vector<uint8_t> ring = good;
  // The ring's first index after the chip's fields and three records:
  // current made the same as next.
  const size_t ringAt = record_body(good, "MEA ") + 4 + 1 + 4 + 4 + 4 + 8 + 3 * 48;
  ring[ringAt] = ring[ringAt + 1];
  seal(ring);
  cases.push_back({"speech ring with a record twice", ring, "MEA  rekordja hibás"});
  std::vector<uint8_t> longer = good;
  longer.insert(longer.end() - 4, {0, 0, 0});
  seal(longer);
  cases.push_back({"bytes after the last record", longer, "utolsó rekord után"});

  for (const Case& c : cases) {
    message[0] = '\0';
    EXPECT_FALSE(machine_state_load(c.bytes.data(), c.bytes.size(), message, sizeof message))
        << c.what;
    EXPECT_NE(message[0], '\0') << c.what;
    EXPECT_NE(std::string(message).find(c.says), std::string::npos) << c.what << ": " << message;
    EXPECT_TRUE(fingerprint() == before) << c.what;
  }
  // The good one still loads, into the model and RAM size it holds.
  EXPECT_TRUE(machine_state_load(good.data(), good.size(), message, sizeof message)) << message;
  EXPECT_EQ(machineState.currentModel, MODEL_TARVIK31);
  EXPECT_EQ(machineState.ramSizeIndex, 6u);
}

// ---- the file ------------------------------------------------------------------

TEST_F(MachineStateTest, FileRoundTripAndAFileThatIsNotAState) {
  boot(MODEL_TARVIK41);
  const std::string line = "M 4100 5A 5B 5C 5D 5E 5F\r";
  ASSERT_TRUE(paste_begin(line.data(), line.size()));
  run_frames(1);
  ASSERT_TRUE(paste_active());
  const std::string path = temp_path("allapot.tkm");
  ASSERT_TRUE(machine_state_save_file(path.c_str()));
  std::vector<uint8_t> inMemory;
  machine_state_save(inMemory);
  EXPECT_EQ(read_file(path), inMemory);
  for (int i = 0; i < 200 && !(at_prompt() && !paste_active()); ++i) run_frame();
  const std::vector<uint8_t> typed(memory + 0x4100, memory + 0x4106);
  EXPECT_EQ(typed, (std::vector<uint8_t>{0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F}));

  boot(MODEL_TARVIK31);
  ASSERT_TRUE(machine_state_load_file(path.c_str(), message, sizeof message)) << message;
  EXPECT_TRUE(paste_active());
  for (int i = 0; i < 200 && !(at_prompt() && !paste_active()); ++i) run_frame();
  EXPECT_EQ(std::vector<uint8_t>(memory + 0x4100, memory + 0x4106), typed);

  const std::string other = temp_path("nem.tkm");
  write_file(other, {'R', 'I', 'F', 'F', 1, 2, 3});
  const Fingerprint before = fingerprint();
  EXPECT_FALSE(machine_state_load_file(other.c_str(), message, sizeof message));
  EXPECT_NE(std::string(message).find("nem Tarvik"), std::string::npos) << message;
  EXPECT_FALSE(machine_state_load_file(temp_path("nincs.tkm").c_str(), message, sizeof message));
  EXPECT_TRUE(fingerprint() == before);
}

} // namespace
