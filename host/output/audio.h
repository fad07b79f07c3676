// The audio output chain: cycle counter to 48 000 Hz samples, 960-sample
// blocks, the 50 Hz high-pass filter, the one-second ring with the drift
// check, the sound drivers, and recording the output to a WAV file.
#pragma once

#include <cstdint>

// What the user reads when the sound device cannot be opened.
inline constexpr const char* SOUND_DEVICE_FAILED =
    "A hangeszköz nem indítható, a program hang nélkül fut tovább. Ha nem kell hang, az "
    "„Opciók” › „Hang” › „Kikapcsolva” választással ez az üzenet elmarad.";

void audio_init();
// Brings the output up to cycle-counter time t.
void audio_update(int64_t t);
void audio_pause();
void audio_resume();
// While muted the device is paused whatever audio_resume says, and the
// output goes on being rendered block by block (every block kept, as with
// "No sound"), so that the sound sources run as they would be heard; a
// recording of the output and an AVI capture still get every block.
void audio_set_muted(bool muted);
void audio_reset();
// As the "SoundDriver" setting numbers them: 0 "No sound", 1 the ring output
// (DirectSound), 2 the queued output (WaveOut).
void audio_select_driver(int index);
void audio_shutdown();

// Shuts the output down and opens the given driver at 48 000 Hz; a failed
// open leaves "No sound" current. The output filter is kept across.
struct SoundDriver;
bool audio_open_driver(const SoundDriver* driver);

// Copies everything the output produces into a 48 kHz 16-bit mono WAV file.
// Every block is written through at once; the first failed write ends the
// copying (nothing more is written). Stop fixes the header sizes to the
// sample bytes that reached the file and closes it; false when the file
// could not be written completely. The byte counts are those of sample
// data in the file.
bool audio_record_start(const char* fileName);
bool audio_record_stop(uint32_t* bytesInFile = nullptr);
bool audio_recording(uint32_t* bytesRecorded);
// True (once) when a write failed since the start: the recording has stopped
// and waits for audio_record_stop.
bool audio_record_failed();

// The sound of an AVI capture: while it runs, every block handed to the
// driver is also kept until taken (at most AUDIO_CAPTURE_BLOCKS; older ones
// are given up), and the drift check keeps every block, so that the capture
// holds the sound of every emulated moment, in order.
inline constexpr uint32_t AUDIO_CAPTURE_BLOCKS = 4;
void audio_capture_start();
void audio_capture_stop();
// Copies the blocks kept since the last call into out (room for
// AUDIO_CAPTURE_BLOCKS blocks of 960 samples), oldest first; returns the
// number of samples.
uint32_t audio_capture_take(int16_t* out);

// Samples already in the 960-sample block being filled (0-959).
uint32_t audio_block_fill();
// The drift check's last verdict: 0 drop, 1 keep, 2 add a block.
int audio_last_verdict();
uint32_t audio_write_position();
