// WAV tapes: a PCM WAV file used as a real cassette. On playback each
// sample becomes the level of the machine's cassette input; while recording
// the machine's cassette output level becomes samples. One file is open at a
// time, for playback or for recording; the Play/Record switch decides
// whether time moves the tape. While a WAV tape is in use the tape-image
// traps are out of the ROM, so that the ROM's bit-level routines run.
#pragma once

#include <cstdint>
#include <cstdio>

#include "machine/cassette.h"

struct TimedEvent;

// ---- the machine's side ---------------------------------------------------
// Feeds the recorder the cassette output level (0/1) that held from its last
// time up to t.
void wav_record_level(int level, int64_t t);
// The Veltra-16 cassette input: the tape is read on demand up to the sample
// due at time t, and the level (0/1) returned. The Tarvik models read
// cassetteInputLevel, which timed event 2 keeps up to date.
int wav_playback_sample(int64_t t);
// End-of-frame hook: the tape counter in status-bar part 2.
void wav_frame_status(int64_t t);

// ---- the recorder ---------------------------------------------------------
// Starts a recording (unsigned 8-bit mono at the given rate). False for an
// empty name, a rate of 0 or a file that cannot be created.
bool wav_create(const char* path, uint32_t rate);
// Ends playback or recording; a recording gets its header sizes filled in
// from the samples that reached the file (their count in *bytesInFile).
// False when a recording could not be written completely.
bool wav_close(uint64_t* bytesInFile = nullptr);
// True (once) when a write of the recording failed: it records nothing more
// and waits to be closed.
bool wav_record_failed();
// Opens a file for playback; false (no file open) when it cannot be opened
// or is not a PCM WAV file ("Hibás WAV állomány: %s" in the status bar).
bool wav_attach(const char* path);
// Timed event 2 on the Tarvik models: one sample per sample period.
void wav_playback_tick(int64_t* tcount, TimedEvent* self);
// The Play/Record switch (F5).
void wav_set_running(int state, int64_t t);
// Back to the first sample; the tape stops.
void wav_rewind(int64_t t);
// True while the tape plays into a machine that reads it: a file is open
// for playback, the switch is on, samples are left, and the machine looked
// at its cassette input at most a second of emulated time before now.
bool wav_being_read(int64_t now);

// ---- the menu commands ----------------------------------------------------
// "WAV csatolása": the tape-image traps out, then wav_attach.
bool wav_menu_attach(const char* path);
// "WAV készítés": a 44 100 Hz recording; the traps go out if it started.
bool wav_menu_create(const char* path);
// "WAV lezárása": wav_close, then the traps back in.
bool wav_menu_close(uint64_t* bytesInFile = nullptr);

// ---- state ----------------------------------------------------------------
// The input level and the play/record state are the cassette socket's
// (machine/cassette.h).
extern std::FILE* wavFile;
// The conditioning stage in front of the input threshold (media/tape_filter.h):
// on, playback hears what the machine would have heard from a real
// recording; off, every sample is compared with the fixed threshold alone.
// Off until the host sets it (its setting is on by default).
extern bool wavFilterOn;
extern uint64_t wavSampleCount; // samples read on demand since the last rewind
extern int64_t wavStopTime, wavPausedTotal, wavLastRecordTime;
extern double wavSamplesPerTstate;
// Samples of the file passed so far (played or recorded): the tape counter.
uint64_t wav_tape_position();
// The file being played (null when none, or while recording), its length in
// samples, and a number that changes whenever a file is opened or closed.
const char* wav_tape_playing();
uint64_t wav_tape_length();
uint32_t wav_tape_rate();
uint32_t wav_tape_serial();
// Winds the tape being played to `sample` (at most its end), on both
// playback paths; the Play/Record switch stays as it is. False when no file
// is being played.
bool wav_wind_to(uint64_t sample);
// "WAVT": the tape in the deck. A file being played is kept by its name,
// format and position, not its bytes (a tape may run to many megabytes):
// the load opens it again and goes on from the same sample; when it is
// gone or changed the deck is left empty and wav_state_notice says so. A
// recording goes on only when the same file is being recorded now (its
// filters and time base come back); another recording is closed.
class StateWriter;
class StateReader;
void wav_state_save(StateWriter& w);
bool wav_state_load(StateReader& r, bool apply);
// After a load: a text for the user when the deck could not be put back as
// saved, else null.
const char* wav_state_notice();
