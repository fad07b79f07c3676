// Writes the seed corpora of the fuzz targets, one folder each under the
// folder given: small valid inputs made with the program's own writers,
// from which the fuzzer starts.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "machine/machine.h"
#include "machine/memory.h"
#include "media/machine_state.h"
#include "media/snapshot.h"
#include "media/tape.h"
#include "tests/fuzz/fuzz_common.h"

namespace {

std::string root;

bool put(const std::string& target, const std::string& name, const std::vector<uint8_t>& bytes) {
  std::string dir = root + "/" + target;
  ::mkdir(dir.c_str(), 0755);
  std::FILE* f = std::fopen((dir + "/" + name).c_str(), "wb");
  if (!f) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

bool put_text(const std::string& target, const std::string& name, const std::string& text) {
  return put(target, name, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> slurp(const std::string& path) {
  std::vector<uint8_t> bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return bytes;
  int c;
  while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
  std::fclose(f);
  return bytes;
}

void le(std::vector<uint8_t>* out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A PCM WAV file holding a square wave: a cassette tone.
std::vector<uint8_t> wav(uint32_t rate, uint16_t bits, uint32_t samples) {
  std::vector<uint8_t> data;
  for (uint32_t i = 0; i < samples; ++i) {
    bool high = (i / 9) % 2;
    if (bits == 8)
      data.push_back(high ? 0xE0 : 0x20);
    else
      le(&data, high ? 0x6000 : 0xA000, 2);
  }
  std::vector<uint8_t> out;
  const char* riff = "RIFF";
  out.insert(out.end(), riff, riff + 4);
  le(&out, static_cast<uint32_t>(36 + data.size()), 4);
  const char* wavefmt = "WAVEfmt ";
  out.insert(out.end(), wavefmt, wavefmt + 8);
  le(&out, 16, 4);
  le(&out, 1, 2);
  le(&out, 1, 2);
  le(&out, rate, 4);
  le(&out, rate * bits / 8, 4);
  le(&out, bits / 8, 2);
  le(&out, bits, 2);
  const char* tag = "data";
  out.insert(out.end(), tag, tag + 4);
  le(&out, static_cast<uint32_t>(data.size()), 4);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz-seeds FOLDER\n");
    return 2;
  }
  root = argv[1];
  ::mkdir(root.c_str(), 0755);
  fuzz_machine(1);
  bool ok = true;

  // A one-block tape image of a few bytes, as the memory save writes it.
  const uint8_t program[] = {0x3E, 0x41, 0xD7, 0xC9, 0x00, 0x10, 0x20};
  std::string tkt = fuzz_folder() + "seed.tkt";
  ok = ok && tape_save_memory(tkt.c_str(), 0x4100, sizeof program, program);
  std::vector<uint8_t> image = slurp(tkt);
  ok = ok && !image.empty() && put("tkt_attach", "block.tkt", image);
  std::vector<uint8_t> withModel = image;
  withModel.insert(withModel.begin(), 1);
  ok = ok && put("tkt_autoload", "block.tkt", withModel);

  std::string tks = fuzz_folder() + "seed.tks";
  ok = ok && snapshot_save(tks.c_str(), memory + 0x4000) && put("tks", "state.tks", slurp(tks));

  ok = ok && put("wav_tarvik", "tone8.wav", wav(44100, 8, 600)) &&
       put("wav_tarvik", "tone16.wav", wav(22050, 16, 300)) &&
       put("wav_veltra", "tone8.wav", wav(44100, 8, 600));

  std::string fields = "4000  4010  ";
  std::vector<uint8_t> bin(fields.begin(), fields.end());
  bin.insert(bin.end(), program, program + sizeof program);
  ok = ok && put("rom_bin", "range.bin", bin);

  std::vector<uint8_t> charset(1 + 2048);
  for (size_t i = 0; i < charset.size(); ++i) charset[i] = static_cast<uint8_t>(i * 37);
  charset[0] = 1;
  ok = ok && put("charset", "user.chr", charset);

  std::vector<uint8_t> roms = {0x7F, 0x21, 1};
  for (int i = 0; i < 256; ++i) roms.push_back(static_cast<uint8_t>(i));
  ok = ok && put("roms_folder", "some.bin", roms);

  ok = ok && put_text("settings", "settings.ini",
                      "Model=3\nTarvikMemSetup=2\nSoundDriver=0\nVideoDriver=1\nSyncSpeed=0\n");
  ok = ok && put_text("script", "lines.txt",
                      "frames 3\nkey A\npaste L 0\\r\nframes 2\nscreen-text screen.txt\n"
                      "command PAUSE\ncommand 104\nexpect L\n");
  ok = ok && put_text("console", "lines.txt", "r\nm 4000\nd 0000\nb 1234\nz\n: 4000 12 34\n");
  ok = ok && put_text("address", "range.txt", "4000\n40FF");
  // The chunks after a replay's start: a key pressed and let go, a hash, the end.
  const uint8_t replay[] = {'K', 'E', 'Y', 'S', 3,   0,   0,  0, 12, 0, 0,   0,   0,   'L',
                            1,   0,   'l', 0,   0,   'L', 0,  0, 0,  0, 'H', 'A', 'S', 'H',
                            9,   0,   0,   0,   8,   0,   0,  0, 1,  2, 3,   4,   5,   6,
                            7,   8,   'E', 'N', 'D', ' ', 20, 0, 0,  0, 0,   0,   0,   0};
  ok = ok && put("replay", "run.bin", std::vector<uint8_t>(replay, replay + sizeof replay));

  // The state target: the small records of a real state, one seed each and
  // all together (the memory and picture records stay the target's own),
  // and the head of a whole state.
  fuzz_machine(MODEL_DORVANE);
  std::vector<uint8_t> state;
  machine_state_save(state);
  std::vector<uint8_t> small;
  for (size_t at = 8; at + 10 <= state.size() - 4;) {
    const size_t length = state[at + 6] | state[at + 7] << 8 | state[at + 8] << 16 |
                          static_cast<size_t>(state[at + 9]) << 24;
    const std::vector<uint8_t> record(state.begin() + static_cast<long>(at),
                                      state.begin() + static_cast<long>(at + 10 + length));
    if (length <= 2048) {
      small.insert(small.end(), record.begin(), record.end());
      std::string name(reinterpret_cast<const char*>(&state[at]), 4);
      for (char& c : name)
        if (c == ' ') c = '_';
      ok = ok && put("state", name + ".rec", record);
    }
    at += 10 + length;
  }
  ok = ok && put("state", "small-records.rec", small) &&
       put("state", "head.tkm", std::vector<uint8_t>(state.begin(), state.begin() + 64));
  if (!ok) {
    std::fprintf(stderr, "fuzz-seeds: could not write the seeds under %s\n", root.c_str());
    return 1;
  }
  return 0;
}
