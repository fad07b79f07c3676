// A complete machine state loaded, and run for a frame when it loads. An
// input that starts with the state's magic is loaded as it is (the header,
// checksum and framing checks); any other input is read as records that
// replace the records of the same tag in a real state, which is then given
// a right checksum, so that the checks of every record's fields are reached.
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "cpu/state_io.h"
#include "machine/machine.h"
#include "media/machine_state.h"
#include "tests/fuzz/fuzz_common.h"

namespace {

struct Record {
  size_t at, length; // the whole record, header included
};

std::vector<Record> records_of(const uint8_t* data, size_t size, size_t from) {
  std::vector<Record> out;
  size_t at = from;
  while (size >= at + kStateRecordHeader) {
    const uint32_t length = data[at + 6] | data[at + 7] << 8 | data[at + 8] << 16 |
                            static_cast<uint32_t>(data[at + 9]) << 24;
    if (length > size - at - kStateRecordHeader) break;
    out.push_back({at, kStateRecordHeader + length});
    at += kStateRecordHeader + length;
  }
  return out;
}

// The file names a state can make the machine open or write: the printer's,
// the tape's and the WAV tape's, each the first text of its record (after
// the deck's byte for the WAV tape). False when one could point outside the
// private folder.
bool names_inside(const std::vector<uint8_t>& s) {
  for (const Record& r : records_of(s.data(), s.size() - 4, 8)) {
    size_t at = r.at + kStateRecordHeader;
    const uint8_t* tag = &s[r.at];
    if (std::memcmp(tag, "WAVT", 4) == 0)
      ++at;
    else if (std::memcmp(tag, "PRNT", 4) != 0 && std::memcmp(tag, "TAPE", 4) != 0)
      continue;
    if (at + 2 > r.at + r.length) continue;
    const size_t length = s[at] | s[at + 1] << 8;
    if (at + 2 + length > r.at + r.length) continue;
    if (fuzz_names_outside(std::string(reinterpret_cast<const char*>(&s[at + 2]), length)))
      return false;
  }
  return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::vector<uint8_t> base;
  static std::vector<uint8_t> state;
  if (base.empty()) {
    fuzz_machine(MODEL_DORVANE);
    // Relative names land in the private folder.
    if (chdir(fuzz_folder().c_str()) != 0) return 0;
    machine_state_save(base);
  }
  if (size >= 4 && std::memcmp(data, "TKMS", 4) == 0) {
    state.assign(data, data + size);
  } else {
    // Each record of the input takes the place of the base's record of its tag.
    const std::vector<Record> given = records_of(data, size, 0);
    state.assign(base.begin(), base.begin() + 8);
    for (const Record& r : records_of(base.data(), base.size() - 4, 8)) {
      const uint8_t* from = base.data() + r.at;
      size_t length = r.length;
      for (const Record& g : given)
        if (std::memcmp(data + g.at, from, 4) == 0) {
          from = data + g.at;
          length = g.length;
        }
      state.insert(state.end(), from, from + length);
    }
    const uint32_t crc = state_crc32(state.data(), state.size());
    for (int i = 0; i < 4; ++i) state.push_back(static_cast<uint8_t>(crc >> (8 * i)));
  }
  if (state.size() >= 12 && !names_inside(state)) return 0;
  char message[512];
  if (machine_state_load(state.data(), state.size(), message, sizeof message)) {
    run_frame();
    // Back to the base for the next input.
    machine_state_load(base.data(), base.size(), message, sizeof message);
  }
  return 0;
}
