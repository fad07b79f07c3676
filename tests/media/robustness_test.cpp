// Every loader fed empty, truncated, oversized and random files: no crash, no
// access outside its buffers (run under the sanitizers), and nothing changed
// where the load failed.
#include <random>

#include "machine/video.h"
#include "media/files.h"
#include "media/snapshot.h"
#include "tests/media/media_fixture.h"

namespace {

std::vector<uint8_t> random_bytes(std::mt19937& rng, size_t n) {
  std::vector<uint8_t> v(n);
  for (uint8_t& b : v) b = static_cast<uint8_t>(rng());
  return v;
}

// Inputs derived from a valid file: empty, every truncation point among the
// first bytes and some later ones, one byte more, a much longer file, and
// random bytes of several sizes.
std::vector<std::vector<uint8_t>> variants(const std::vector<uint8_t>& valid, std::mt19937& rng) {
  std::vector<std::vector<uint8_t>> out = {{}};
  for (size_t n = 1; n < valid.size() && n < 300; n += 1)
    out.emplace_back(valid.begin(), valid.begin() + n);
  for (size_t n = 300; n < valid.size(); n += valid.size() / 7 + 1)
    out.emplace_back(valid.begin(), valid.begin() + n);
  auto longer = valid;
  longer.push_back(0x00);
  out.push_back(longer);
  auto oversized = valid;
  auto tail = random_bytes(rng, 70000);
  oversized.insert(oversized.end(), tail.begin(), tail.end());
  out.push_back(oversized);
  for (size_t n : {1u, 7u, 44u, 300u, 4096u, 70000u}) out.push_back(random_bytes(rng, n));
  // Valid structure with random bytes sprinkled over it.
  for (int k = 0; k < 20; ++k) {
    auto damaged = valid;
    for (int j = 0; j < 8 && !damaged.empty(); ++j)
      damaged[rng() % damaged.size()] = static_cast<uint8_t>(rng());
    out.push_back(damaged);
  }
  return out;
}

std::vector<uint8_t> valid_tape() {
  std::vector<uint8_t> b(20, 0);
  b.push_back(0xA5);
  b.insert(b.end(), {'N', 0, 0x00, 0x50, 0x10, 0x00});
  for (int i = 0; i < 16; ++i) b.push_back(static_cast<uint8_t>(i));
  b.insert(b.end(), {0x78, 0x00, 0x00});
  return b;
}

std::vector<uint8_t> valid_wav() {
  std::vector<uint8_t> f = {'R', 'I', 'F',  'F',  0,   0,   0,    0,    'W',  'A', 'V',
                            'E', 'f', 'm',  't',  ' ', 16,  0,    0,    0,    1,   0,
                            2,   0,   0x44, 0xAC, 0,   0,   0x10, 0xB1, 0x02, 0,   4,
                            0,   16,  0,    'd',  'a', 't', 'a',  64,   0,    0,   0};
  for (int i = 0; i < 64; ++i) f.push_back(static_cast<uint8_t>(i * 37));
  return f;
}

using Robustness = MediaTest;

} // namespace

TEST_F(Robustness, TapeAutoloadAndAttach) {
  std::mt19937 rng(1);
  std::string path = temp_path("fuzz.tkt");
  int loaded = 0;
  for (const auto& bytes : variants(valid_tape(), rng)) {
    media_machine_reset(1);
    std::vector<uint8_t> before(memory, memory + 0x20000);
    uint16_t pc = cpu.pc;
    write_file(path, bytes);
    bool ok = tape_autoload(path.c_str());
    loaded += ok;
    // Only RAM 0x4000-0x7FFF may change (and the BASIC entry's bytes there).
    ASSERT_TRUE(std::equal(before.begin(), before.begin() + 0x4000, memory));
    ASSERT_TRUE(std::equal(before.begin() + 0x8000, before.end(), memory + 0x8000));
    if (!ok && !bytes.empty() && bytes.size() < 21) {
      ASSERT_TRUE(std::equal(before.begin(), before.end(), memory)) << bytes.size();
      ASSERT_EQ(cpu.pc, pc);
    }
    // The same bytes as an attached tape: read until it detaches.
    ASSERT_EQ(tape_attach(path.c_str()), true);
    uint32_t n = 0;
    size_t reads = 0;
    while (tapeActive && reads < bytes.size() + 5) {
      tape_read_byte_trap(&n);
      ++reads;
    }
    ASSERT_EQ(tapeActive, 0u);
    ASSERT_EQ(reads, bytes.size() + 2); // every byte, one 0xFF, the detaching call
  }
  EXPECT_GT(loaded, 0);
}

TEST_F(Robustness, WavAttachAndPlayOnBothPaths) {
  std::mt19937 rng(2);
  std::string path = temp_path("fuzz.wav");
  int attached = 0;
  for (uint32_t m : {1u, 3u}) {
    for (const auto& bytes : variants(valid_wav(), rng)) {
      media_machine_reset(m);
      std::vector<uint8_t> before(memory, memory + 0x20000);
      write_file(path, bytes);
      wav_set_running(1, 0);
      bool ok = wav_attach(path.c_str());
      attached += ok;
      if (!ok) {
        ASSERT_EQ(wavFile, nullptr);
        ASSERT_EQ(event_find(EVENT_WAV_TAPE), nullptr);
        continue;
      }
      for (int64_t t = 0; t < 40000; t += 4) {
        cpu.tcount = t;
        if (m == 3)
          wav_playback_sample(t);
        else
          event_run_due();
        ASSERT_TRUE(cassetteInputLevel == 0 || cassetteInputLevel == 1);
      }
      wav_close();
      cassetteRunning = 0;
      ASSERT_TRUE(std::equal(before.begin(), before.end(), memory));
    }
  }
  EXPECT_GT(attached, 0);
}

TEST_F(Robustness, SnapshotLoad) {
  std::mt19937 rng(3);
  std::string good = temp_path("good.tks");
  ASSERT_TRUE(snapshot_save(good.c_str(), memory + 0x4000));
  auto valid = read_file(good);
  std::string path = temp_path("fuzz.tks");
  for (const auto& bytes : variants(valid, rng)) {
    for (uint32_t i = 0x4000; i < 0x20000; i += 97) memory[i] = static_cast<uint8_t>(rng());
    std::vector<uint8_t> before(memory, memory + 0x20000);
    uint16_t pc = cpu.pc, sp = cpu.sp;
    write_file(path, bytes);
    bool ok = snapshot_load(path.c_str(), memory + 0x4000);
    bool acceptable =
        bytes.size() >= 115238 && std::equal(bytes.begin(), bytes.begin() + 4, "TK01");
    ASSERT_EQ(ok, acceptable) << bytes.size();
    if (!ok) {
      ASSERT_TRUE(std::equal(before.begin(), before.end(), memory));
      ASSERT_EQ(cpu.pc, pc);
      ASSERT_EQ(cpu.sp, sp);
    }
  }
}

TEST_F(Robustness, BinaryAndCharsetLoads) {
  std::mt19937 rng(4);
  std::string path = temp_path("fuzz.bin");
  std::vector<uint8_t> valid = random_bytes(rng, 5000);
  for (const auto& bytes : variants(valid, rng)) {
    std::vector<uint8_t> high(memory + 0x10000, memory + 0x20000);
    write_file(path, bytes);
    ASSERT_TRUE(load_binary(path.c_str(), 0xFF00, 0));
    // The last 64 KB of the file are in memory, wrapping after 0xFFFF.
    size_t first = bytes.size() > 0x10000 ? bytes.size() - 0x10000 : 0;
    for (size_t i = first; i < bytes.size(); ++i)
      ASSERT_EQ(memory[(0xFF00 + i) % 0x10000], bytes[i]) << i;
    ASSERT_TRUE(std::equal(high.begin(), high.end(), memory + 0x10000)); // never past 64 KB
    std::vector<uint8_t> user(userCharset, userCharset + 2048);
    ASSERT_TRUE(load_charset(path.c_str()));
    size_t m = std::min<size_t>(bytes.size(), 2048);
    ASSERT_TRUE(std::equal(bytes.begin(), bytes.begin() + static_cast<long>(m), userCharset));
    ASSERT_TRUE(std::equal(user.begin() + static_cast<long>(m), user.end(), userCharset + m));
  }
}
