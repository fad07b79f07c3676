// Replays: a run recorded as its starting complete state and the inputs
// that reached the machine frame by frame, played back to the same frames.
//
// The file (".tkr", little-endian): "TKRP", the format version (16 bits),
// 16 reserved bits, then chunks, each a four-character tag, the frame it
// belongs to (32 bits), the payload's length (32 bits) and the payload:
//   "STAT"  a complete machine state (media/machine_state.h), put in place
//           before the frame: the start (frame 0) and every change from
//           outside the frames (a menu command, a file opened, the monitor)
//   "KEYS"  the key changes the machine got before the frame, 6 bytes each:
//           kind (0 a key, 1 every key released), virtual key, down,
//           modifiers (KEY_MOD_* shifted down 8 bits), the character (16 bits)
//   "HASH"  replay_machine_hash() after the frame
//   "END "  the number of frames recorded
// The writer flushes the file every second of emulated time, so a run that
// is killed leaves a recording that plays back to at most a second before
// the kill: the reader stops at a chunk cut short.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr uint16_t REPLAY_VERSION = 1;
// Frames between the hashes a recording stores (one second).
inline constexpr uint32_t REPLAY_HASH_INTERVAL = 50;

// A hash of the picture, the whole memory and the CPU's registers.
uint64_t replay_machine_hash();

// ---- recording ----
// Starts a recording of the machine as it is now. False with a reason for
// the user when the file cannot be written.
bool replay_record_start(const char* path, char* message, size_t messageSize);
bool replay_recording();
// The inputs between two frames, as the host hands them to the machine.
void replay_record_key(uint8_t vk, bool down, uint16_t character, uint32_t modifiers);
void replay_record_release_all();
// Something other than a key changed the machine between frames: the whole
// state is stored before the next frame.
void replay_record_machine_changed();
// Ends the recording (the "END " chunk). False when the file could not be
// written in full (a full disk): what was written before still plays.
bool replay_record_stop();

// ---- playing ----
// Reads a recording and puts its starting state in place. False with a
// reason (and nothing changed) for a file that is missing, foreign, of
// another version or damaged at its start.
bool replay_play_open(const char* path, char* message, size_t messageSize);
// The same from bytes in memory (copied).
bool replay_play_bytes(const uint8_t* data, size_t size, char* message, size_t messageSize);
bool replay_playing();
// Frames the recording holds (up to a chunk cut short).
uint32_t replay_play_length();
void replay_play_close();

// ---- around every frame, recording or playing ----
// Before the frame: a recording writes what came since the last frame; a
// replay puts this frame's inputs in place. False when a replay has no more
// frames or a stored state does not load (`message` says which).
bool replay_frame_begin(char* message, size_t messageSize);
// After the frame. Recording: the hash every REPLAY_HASH_INTERVAL frames,
// and false when the file could not be written (the recording is then
// closed). Playing: `*differs` set when the recording stores a hash for this
// frame that is not the machine's.
bool replay_frame_end(bool* differs);
// Frames run since the recording or the replay began.
uint32_t replay_frame();
