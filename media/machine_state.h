// The complete machine state, in memory and as a ".tkm" file: every
// device's record (cpu/state_io.h) behind a header, under a checksum.
//
// Layout (little-endian):
//   0  "TKMS"
//   4  format version (16 bits)
//   6  model (8 bits), RAM size index (8 bits)
//   8  the records, in a fixed order, each a tag, a version, a length and
//      its fields
//   end - 4  CRC-32 of every byte before it
// A load checks all of it (magic, version, checksum, each record's tag,
// version, length and fields, the model and RAM size) before it changes
// anything; a state it refuses leaves the machine as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr uint16_t MACHINE_STATE_VERSION = 1;
// The largest state a load reads (a tape image or a paste may be in it).
inline constexpr size_t MACHINE_STATE_MOST_BYTES = 64u << 20;

// Between two frames: the whole machine into `out` (its old contents
// replaced; its capacity reused, so a buffer kept from one save to the next
// allocates nothing once it is large enough).
void machine_state_save(std::vector<uint8_t>& out);
// Puts a saved state back. False with the reason in `message` (and the
// machine unchanged) for anything that is not a whole, undamaged state of
// this format version. On success `message` holds "" or a remark for the
// user (a WAV tape that is gone, a different ROM set).
bool machine_state_load(const uint8_t* data, size_t size, char* message, size_t messageSize);

// The same through a file: written through a temporary file renamed over
// the target; read whole and then loaded as above.
bool machine_state_save_file(const char* path);
bool machine_state_load_file(const char* path, char* message, size_t messageSize);

// What the host shows, with the caption "Hiba!", when a save fails.
inline constexpr const char* MACHINE_STATE_SAVE_FAILED = "A gépállapot mentése sikertelen.";
